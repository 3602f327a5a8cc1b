#include "cli/CliOptions.h"

#include "config/CommaDecimalLocale.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

ParsedCommandLine parse(const QStringList& words) {
    return parseCommandLine(QStringList{"rtu7350-cli"} + words);
}

CliOptions parsedOptions(const QStringList& words) {
    const ParsedCommandLine parsed = parse(words);
    EXPECT_TRUE(parsed.error.isEmpty()) << qPrintable(parsed.error);
    return parsed.options.value_or(CliOptions{});
}

TEST(CliOptions, ReadWithoutOptionsTakesTheDefaultLine) {
    const CliOptions options = parsedOptions({"--port", "/dev/ttyUSB0", "read"});
    EXPECT_EQ(options.command, CliCommand::Read);
    EXPECT_EQ(options.port, "/dev/ttyUSB0");
    EXPECT_EQ(options.baudRate, 9600);
    EXPECT_EQ(options.baudCode, 7);     // "9600 Baud"
    EXPECT_EQ(options.parityCode, 0);   // "None"
    EXPECT_EQ(options.lengthCode, 3);   // "8 Bits"
    EXPECT_EQ(options.stopBitsCode, 0); // "1 Stop Bit"
    EXPECT_TRUE(options.clockAuto);
    EXPECT_FALSE(options.delayUnitMs.has_value());
}

TEST(CliOptions, EveryOptionReachesItsFieldWhereverItStands) {
    const CliOptions options = parsedOptions(
        {"--port",      "COM3",        "--baud",      "1200",       "--parity",        "mark",
         "--data-bits", "7",           "--stop-bits", "2",          "--clock",         "manual",
         "--time",      "17:08:23",    "--date",      "02/29/2024", "--delay-unit-ms", "2.5",
         "--log",       "traffic.log", "--quiet",     "program",    "site.txt"});
    EXPECT_EQ(options.command, CliCommand::Program);
    EXPECT_EQ(options.file, "site.txt");
    EXPECT_EQ(options.port, "COM3");
    EXPECT_EQ(options.baudRate, 1200);
    EXPECT_EQ(options.baudCode, 4);   // "1200 Baud"
    EXPECT_EQ(options.parityCode, 3); // "Sticky Odd": the parity bit is always set
    EXPECT_EQ(options.lengthCode, 2); // "7 Bits"
    EXPECT_EQ(options.stopBitsCode, 1);
    EXPECT_FALSE(options.clockAuto);
    EXPECT_EQ(options.time, "17:08:23");
    EXPECT_EQ(options.date, "02/29/2024");
    EXPECT_EQ(options.delayUnitMs, 2.5);
    EXPECT_EQ(options.log, "traffic.log");
    EXPECT_TRUE(options.quiet);

    const CliOptions after =
        parsedOptions({"read", "--output", "unit.txt", "--port", "/dev/pts/3"});
    EXPECT_EQ(after.command, CliCommand::Read);
    EXPECT_EQ(after.output, "unit.txt");
    EXPECT_EQ(after.port, "/dev/pts/3");
}

TEST(CliOptions, LineSettingNamesMapToTheirMenuCodesAndClockFieldsImplyManual) {
    const std::pair<const char*, int> parities[] = {{"none", 0}, {"odd", 1},   {"even", 2},
                                                    {"mark", 3}, {"space", 4}, {"EVEN", 2}};
    for (const auto& [name, code] : parities)
        EXPECT_EQ(parsedOptions({"--port", "p", "--parity", name, "read"}).parityCode, code);
    EXPECT_EQ(parsedOptions({"--port", "p", "--baud", "110", "read"}).baudCode, 0);
    EXPECT_EQ(parsedOptions({"--port", "p", "--baud", "115200", "read"}).baudCode, 11);
    EXPECT_EQ(parsedOptions({"--port", "p", "--data-bits", "5", "read"}).lengthCode, 0);

    for (const QStringList& clock :
         {QStringList{"--time", "06:30:00"}, QStringList{"--date", "01/02/2030"},
          QStringList{"--clock", "manual"}})
        EXPECT_FALSE(parsedOptions(QStringList{"--port", "p"} + clock + QStringList{"program", "f"})
                         .clockAuto);
}

TEST(CliOptions, HelpAndVersionAreInformative) {
    const ParsedCommandLine help = parse({"--help"});
    EXPECT_FALSE(help.options.has_value());
    EXPECT_TRUE(help.error.isEmpty());
    EXPECT_TRUE(help.informative.contains("rtu7350-cli --port DEVICE [options] program FILE"));
    EXPECT_TRUE(parse({"--version"}).informative.startsWith("rtu7350-cli "));
}

TEST(CliOptions, UsageErrorsAndHostileArgumentsAreRefusedWithAReason) {
    QList<QStringList> cases{
        {},
        {"--port", "p"},
        {"--port", "p", "fetch"},
        {"--port", "p", "program"},
        {"--port", "p", "read", "extra"},
        {"read"},
        {"--port", "", "read"},
        {"--speed", "9600", "--port", "p", "read"},
        {"--port", "p", "--baud", "9601", "read"},
        {"--port", "p", "--parity", "sticky", "read"},
        {"--port", "p", "--data-bits", "9", "read"},
        {"--port", "p", "--stop-bits", "1.5", "read"},
        {"--port", "p", "--clock", "sometimes", "program", "f"},
        {"--port", "p", "--clock", "auto", "--time", "10:00:00", "program", "f"},
        {"--port", "p", "--time", "24:00:00", "program", "f"},
        {"--port", "p", "--time", "7:08:23", "program", "f"},
        {"--port", "p", "--date", "02/30/2024", "program", "f"},
        {"--port", "p", "--date", "12-31-2000", "program", "f"},
        {"--port", "p", "--date", "12/31/2100", "program", "f"},
        {"--port", "p", "--delay-unit-ms", "0", "read"},
        {"--port", "p", "--delay-unit-ms", "1001", "read"},
        {"--port", "p", "--delay-unit-ms", "nan", "read"},
        {"--port", "p", "--output", "x.txt", "program", "f"},
        {"--port", "p", "read", "--output", ""},
        {"--port", "p", "--log", "", "read"},
        {"--port", "p", "--baud"},
    };
    const QString huge(100000, QLatin1Char('9'));
    const QString withNul = QStringLiteral("96") + QChar(0) + QStringLiteral("00");
    for (const QString& value : {huge, withNul, QStringLiteral("\u00e9\u00e9")}) {
        cases.append({"--port", "p", "--baud", value, "read"});
        cases.append({"--port", "p", "--time", value, "program", "f"});
        cases.append({"--port", "p", value});
    }
    for (const QStringList& words : cases) {
        const ParsedCommandLine parsed = parse(words);
        EXPECT_FALSE(parsed.options.has_value()) << qPrintable(words.join(' ').left(80));
        EXPECT_FALSE(parsed.error.isEmpty()) << qPrintable(words.join(' ').left(80));
    }
}

TEST(CliOptions, DelayUnitIsReadWithAPointWhateverTheLocale) {
    const CommaDecimalLocale german;
    EXPECT_EQ(parsedOptions({"--port", "p", "--delay-unit-ms", "2.5", "read"}).delayUnitMs, 2.5);
    EXPECT_FALSE(parse({"--port", "p", "--delay-unit-ms", "2,5", "read"}).options.has_value());
}

} // namespace
} // namespace rtu
