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

// The line settings as their menu codes: baud, parity, length, stop bits.
std::vector<int> lineCodes(const CliOptions& o) {
    return {o.baudCode, o.parityCode, o.lengthCode, o.stopBitsCode};
}

TEST(CliOptions, EveryOptionReachesItsFieldHelpInformsAndNumbersTakeThePoint) {
    const CliOptions plain = parsedOptions({"--port", "/dev/ttyUSB0", "read"});
    EXPECT_EQ(plain.baudRate, 9600);
    EXPECT_EQ(lineCodes(plain), std::vector<int>({7, 0, 3, 0})); // 9600 Baud, None, 8, 1
    EXPECT_TRUE(plain.clockAuto && !plain.clockGiven && !plain.delayUnitMs && !plain.replyPacing);

    const CliOptions options = parsedOptions(
        {"--port",      "COM3",        "--baud",      "1200",       "--parity",        "mark",
         "--data-bits", "7",           "--stop-bits", "2",          "--clock",         "manual",
         "--time",      "17:08:23",    "--date",      "02/29/2024", "--delay-unit-ms", "2.5",
         "--log",       "traffic.log", "--quiet",     "program",    "site.txt"});
    EXPECT_EQ(options.command, CliCommand::Program);
    EXPECT_EQ(QStringList({options.file, options.port, options.log}).join('|'),
              "site.txt|COM3|traffic.log");
    EXPECT_EQ(options.baudRate, 1200);
    // "1200 Baud", "Sticky Odd" (the parity bit always set), "7 Bits", "2 Stop Bits".
    EXPECT_EQ(lineCodes(options), std::vector<int>({4, 3, 2, 1}));
    EXPECT_TRUE(!options.clockAuto && options.clockGiven && options.quiet);
    EXPECT_EQ(options.time + ' ' + options.date, "17:08:23 02/29/2024");
    EXPECT_EQ(options.delayUnitMs, 2.5);

    const CliOptions after =
        parsedOptions({"read", "--output", "unit.txt", "--port", "/dev/pts/3"});
    EXPECT_EQ(after.command, CliCommand::Read);
    EXPECT_EQ(after.output + ' ' + after.port, "unit.txt /dev/pts/3");

    // Line setting names map to their menu codes; clock fields imply the manual clock.
    const std::pair<QStringList, std::vector<int>> cases[] = {
        {{"--parity", "none"}, {7, 0, 3, 0}}, {{"--parity", "odd"}, {7, 1, 3, 0}},
        {{"--parity", "EVEN"}, {7, 2, 3, 0}}, {{"--parity", "space"}, {7, 4, 3, 0}},
        {{"--baud", "110"}, {0, 0, 3, 0}},    {{"--baud", "115200"}, {11, 0, 3, 0}},
        {{"--data-bits", "5"}, {7, 0, 0, 0}}};
    for (const auto& [option, codes] : cases)
        EXPECT_EQ(
            lineCodes(parsedOptions(QStringList{"--port", "p"} + option + QStringList{"read"})),
            codes)
            << qPrintable(option.join(' '));
    for (const QStringList& clock :
         {QStringList{"--time", "06:30:00"}, QStringList{"--date", "01/02/2030"}})
        EXPECT_FALSE(parsedOptions(QStringList{"--port", "p"} + clock + QStringList{"program", "f"})
                         .clockAuto);
    EXPECT_TRUE(parsedOptions({"--port", "p", "--clock", "auto", "program", "f"}).clockGiven);

    // Help is informative (what --version prints is InstalledTest's).
    const ParsedCommandLine help = parse({"--help"});
    EXPECT_TRUE(!help.options && help.error.isEmpty());
    EXPECT_TRUE(
        help.informative.contains("rtu7350-cli --port DEVICE [options] program [--changes] FILE"));

    // The delay unit is read with a point whatever the locale.
    const CommaDecimalLocale german;
    EXPECT_EQ(parsedOptions({"--port", "p", "--delay-unit-ms", "2.5", "read"}).delayUnitMs, 2.5);
    EXPECT_FALSE(parse({"--port", "p", "--delay-unit-ms", "2,5", "read"}).options.has_value());

    const CliOptions paced =
        parsedOptions({"--port", "p", "--pacing", "reply", "--reply-timeout-ms", "900", "read"});
    EXPECT_TRUE(paced.replyPacing);
    EXPECT_EQ(paced.replyTimeoutMs, 900);
}

TEST(CliOptions, UsageErrorsAndHostileArgumentsAreRefusedWithAReason) {
    QList<QStringList> cases{{"--port", "", "read"},
                             {"--port", "p", "--log", "", "read"},
                             {"--port", "p", "read", "--output", ""}};
    // Command lines, '|' between them.
    const QString commandLines =
        "|--port p|--port p fetch|--port p program|--port p read extra|read|"
        "--speed 9600 --port p read|--port p --baud|--port p --baud 9601 read|"
        "--port p --parity sticky read|--port p --data-bits 9 read|"
        "--port p --stop-bits 1.5 read|--port p --clock sometimes program f|"
        "--port p --clock auto --time 10:00:00 program f|--port p --time 24:00:00 program f|"
        "--port p --time 7:08:23 program f|--port p --date 02/30/2024 program f|"
        "--port p --date 12-31-2000 program f|--port p --date 12/31/2100 program f|"
        "--port p --delay-unit-ms 0 read|--port p --delay-unit-ms 1001 read|"
        "--port p --delay-unit-ms nan read|--port p --output x.txt program f|"
        "--port p --pacing fast read|--port p --reply-timeout-ms 500 read|"
        "--port p --pacing reply --reply-timeout-ms 0 read|"
        "--port p --pacing reply --reply-timeout-ms 30001 read|report f|report f --output r.txt|"
        "--port p --changes read|--port p --partial program --changes f|--json ports";
    for (const QString& line : commandLines.split('|'))
        cases.append(line.split(' ', Qt::SkipEmptyParts));
    const QString withNul = QStringLiteral("96") + QChar(0) + QStringLiteral("00");
    for (const QString& value : {QString(100000, '9'), withNul, QStringLiteral("\u00e9\u00e9")}) {
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

} // namespace
} // namespace rtu
