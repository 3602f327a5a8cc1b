#include "protocol/ReadLines.h"

#include "config/ConfigurationFile.h"
#include "protocol/CommandLines.h"

#include <algorithm>

namespace rtu {

namespace {

QList<ReadLine> makeReadLines() {
    QList<ReadLine> lines{
        {QStringLiteral("GRTCT"), QStringLiteral("clock"), {"SRTCT", "SRTCD"}},
        {QStringLiteral("GPP"), QStringLiteral("poll period"), {"SPP"}},
        {QStringLiteral("GLCD"), QStringLiteral("LCD timing"), {"SLCD"}},
        {QStringLiteral("GLCDT"), QStringLiteral("LCD text"), {"SLCDT1"}},
        {QStringLiteral("GV"), QStringLiteral("software version"), {}},
    };
    for (const ModuleRange& range : ModuleRanges) {
        for (const int number : range.numbers())
            lines.append({moduleCommands(range.kind).readLine(number).chopped(LineEnd.size()),
                          range.describe(number),
                          {moduleRecord(range.kind, number)}});
    }
    return lines;
}

// Where the lines of each module kind begin in allReadLines().
qsizetype firstLineOf(ModuleKind kind) {
    qsizetype first = qsizetype(UnitGroup::Version) + 1;
    for (const ModuleRange& range : ModuleRanges) {
        if (range.kind == kind)
            break;
        first += range.count();
    }
    return first;
}

} // namespace

const QList<ReadLine>& allReadLines() {
    static const QList<ReadLine> lines = makeReadLines();
    return lines;
}

const ReadLine& unitReadLine(UnitGroup group) {
    return allReadLines().at(qsizetype(group));
}

const ReadLine& moduleReadLine(ModuleKind kind, int number) {
    return allReadLines().at(firstLineOf(kind) + number - moduleRange(kind).first);
}

QString readLineOf(const QString& record) {
    const QList<ReadLine>& lines = allReadLines();
    const auto line = std::find_if(lines.begin(), lines.end(), [&record](const ReadLine& read) {
        return read.records.contains(record);
    });
    return line == lines.end() ? QString() : line->name;
}

QString describeReadLine(const QString& name) {
    for (const ReadLine& line : allReadLines()) {
        if (line.name == name)
            return line.description;
    }
    return name;
}

} // namespace rtu
