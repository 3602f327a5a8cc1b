#pragma once

#include <QStringList>

namespace rtu::test {

// The 39 lines (without CR LF) that "Program All" sends for the default records, the clock
// lines carrying `time` (HHMMSS) and `date` (MMDDYY).
inline QStringList defaultProgramAllLines(const QString& time, const QString& date) {
    QStringList lines{"SRTCT" + time, "SRTCD" + date, "SPP060", "SLCD03R05",
                      "SLCDT1\"Company\"T2\"Lease Name\""};
    for (int tank = 0; tank < 16; ++tank)
        lines << QStringLiteral("SU%1\"TANK %2   \"L0IT0F1.6700E")
                     .arg(tank, 2, 10, QLatin1Char('0'))
                     .arg(tank + 1, 2, 10, QLatin1Char('0'));
    for (int module = 0; module <= 9; ++module)
        lines << QStringLiteral("SG4%1U99L1ONGT0000.000OFFLT0000.000").arg(module);
    for (int module = 1; module <= 8; ++module)
        lines << QStringLiteral("S420C%1U99L1V4M000.000V20M239.500").arg(module);
    return lines;
}

// The 39 lines that "Read All" sends, in order.
inline QStringList readAllLines() {
    QStringList lines{"GRTCT", "GPP", "GLCD", "GLCDT", "GV"};
    for (int tank = 0; tank < 16; ++tank)
        lines << QStringLiteral("GU%1").arg(tank, 2, 10, QLatin1Char('0'));
    for (int module = 0; module <= 9; ++module)
        lines << QStringLiteral("GG4%1").arg(module);
    for (int module = 1; module <= 8; ++module)
        lines << QStringLiteral("G420C%1").arg(module);
    return lines;
}

} // namespace rtu::test
