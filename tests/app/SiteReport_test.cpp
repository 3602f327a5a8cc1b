#include "app/SiteReport.h"

#include "support/Files.h"

#include <gtest/gtest.h>

namespace rtu::test {
namespace {

TEST(SiteReport, SaysTheSiteInTheWindowsWordsWithTheLastComparison) {
    UnitConfiguration site;
    SetAllDefaults(site.tables);
    ASSERT_TRUE(LoadConfiguration(readFile(RTU7350_TESTS_DIR "/../examples/site.txt"),
                                  site.settings, site.tables)
                    .ok);
    site.tables.SensorRecords[9].Label = "A<B & C";
    const UnitComparison comparison{
        {{"SU05", "tank 05 (GUN BARREL) factor", "2.5", "2.6"}}, {"tank 06"}, {}};
    const QString html =
        SiteReport(site, QDateTime(QDate(2026, 12, 7), QTime(10, 30)), &comparison).html();

    for (const char* held :
         {"CRUDE 1", "GUN BARREL", "NORTHFIELD OIL &amp; GAS", "A&lt;B &amp; C", "2026-12-07 10:30",
          "<td>Time Between Polls</td><td>00:15:00</td>", "1.67 Barrels per Inch",
          "0.25 Cubic Meters per Centimeter", "<td>05 GUN BARREL</td><td>level, float 2</td>",
          "ON when level &gt; 180.0 in, OFF when &lt; 170.0 in",
          "ON when temperature &gt; 140.0 \u00b0C, OFF when &lt; 135.5 \u00b0C",
          "<td>3</td><td>06 HEATER TRT</td><td>temperature, sensor 1</td>",
          "4 mA = 0.0, 20 mA = 240.0 in",
          "G4 modules 4, 5, 6, 7, 8, 9; 4-20mA modules 4, 5, 6, 7, 8.",
          "<td>tank 05 (GUN BARREL) factor</td><td>2.5</td><td>2.6</td>", "No reply: tank 06."})
        EXPECT_TRUE(html.contains(QString::fromUtf8(held))) << held;
    EXPECT_FALSE(html.contains("<td>4</td>")) << "a disabled module has no row";
    EXPECT_FALSE(SiteReport(site, {}).html().contains("Comparison"));
}

} // namespace
} // namespace rtu::test
