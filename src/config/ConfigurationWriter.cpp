#include "config/ConfigurationFile.h"

#include "config/ConfigurationLines.h"
#include "config/Numbers.h"
#include "config/UnitSettings.h"
#include "config/UnitSettingsLines.h"
#include "config/WholeFile.h"

#include <QStringBuilder>
#include <QStringList>

#include <algorithm>

namespace rtu {

namespace configfile {

namespace {

QString clockTimeLine(const UnitSettings& settings) {
    const QString time = settings.time;
    return QStringLiteral("SRTCT") + time.mid(0, 2) + time.mid(3, 2) + time.mid(6, 2);
}

QString clockDateLine(const UnitSettings& settings) {
    const QString date = settings.date;
    return QStringLiteral("SRTCD") + date.mid(0, 2) + date.mid(3, 2) + date.right(2);
}

// The file's "S" lines look like the ones sent to the unit (protocol/CommandLines.cpp) but
// are written with the file's own number patterns ("#0" floats, "#0.000###" values where the
// unit gets the stored digit and "####0000.000###"): files already written and the unit's
// parser each depend on their own form, so the two writers must stay apart.
//
// Each line is built in one piece (QStringBuilder's "%"): a whole file is written for every
// save and, in the tests, for every round trip.
QString sensorLine(int tank, const RecordTables& tables) {
    const SensorRecord& r = tables.SensorRecords.at(static_cast<std::size_t>(tank));
    return u"SU" % formatNumber(tank, u"##00") % Quote % r.Label.text() % Quote % u"L" %
           formatNumber(numericValue(r.Floats.text()), u"#0") % r.LevelUnit.text() % u"T" %
           r.TempSensors.text() % r.TempUnit.text() %
           formatNumber(numericValue(r.VolumeFactor.text()), u"#0.0000####") % r.VolumeUnit.text();
}

QString g4Line(int module, const RecordTables& tables) {
    const G4Record& r = tables.G4Records.at(static_cast<std::size_t>(module));
    return u"SG4" % formatNumber(module, u"#0") % u"U" %
           formatNumber(numericValue(r.Unit.text()), u"##00") % r.Source.text() % r.Channel.text() %
           u"ON" % r.OnTest.text() % formatNumber(numericValue(r.OnValue.text()), u"#0.000###") %
           u"OFF" % r.OffTest.text() % formatNumber(numericValue(r.OffValue.text()), u"#0.000###");
}

QString loop420Line(int module, const RecordTables& tables) {
    const Loop420Record& r = tables.Loop420Records[module];
    return u"S420C" % formatNumber(module, u"#0") % u"U" %
           formatNumber(numericValue(r.Unit.text()), u"##00") % r.Source.text() % r.Channel.text() %
           u"V4M" % formatNumber(numericValue(r.Value4mA.text()), u"#0.000###") % u"V20M" %
           formatNumber(numericValue(r.Value20mA.text()), u"#0.000###");
}

QStringList configurationLines(const UnitSettings& settings, const RecordTables& tables) {
    QStringList lines{clockTimeLine(settings), clockDateLine(settings), lcdTimingLine(settings),
                      lcdTextLine(settings), pollPeriodLine(settings)};
    // Indexed by ModuleKind.
    constexpr std::array<QString (*)(int, const RecordTables&), 3> recordLine{sensorLine, g4Line,
                                                                              loop420Line};
    for (const ModuleRange& range : ModuleRanges) {
        for (const int number : range.numbers())
            lines << recordLine[static_cast<std::size_t>(range.kind)](number, tables);
    }
    return lines;
}

// One byte per character. A character beyond Latin-1 cannot be stored, and a control
// character must not be (in a label or an LCD text, whether a reply, an edit or a loaded
// file put it there): each becomes '?'.
void appendLatin1Line(QByteArray& bytes, QStringView line) {
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char16_t c = line[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < line.size() && line[i + 1].isLowSurrogate())
            ++i; // the two halves of one character beyond Latin-1
        bytes += c <= 0xFF && !isControlCharacter(c) ? static_cast<char>(c) : '?';
    }
    bytes += "\r\n";
}

// The file's bytes: Latin-1, one line after another, each ended by CR LF.
QByteArray configurationBytes(const QStringList& lines) {
    constexpr qsizetype TypicalSize = 1400;
    QByteArray latin1;
    latin1.reserve(TypicalSize);
    for (const QString& line : lines)
        appendLatin1Line(latin1, line);
    // A file that is valid UTF-8 is read as UTF-8. The rare text whose Latin-1 bytes happen
    // to form UTF-8 (D6 AB, "Ö«", is one Hebrew mark in UTF-8) would come back as other
    // characters, so such a file is written in UTF-8, which reads back unchanged.
    const bool readAsUtf8 =
        std::any_of(latin1.begin(), latin1.end(),
                    [](char c) { return static_cast<unsigned char>(c) > 0x7F; }) &&
        decodeUtf8(latin1).has_value();
    return readAsUtf8 ? QString::fromLatin1(latin1).toUtf8() : latin1;
}

} // namespace

} // namespace configfile

QByteArray WriteConfiguration(const UnitSettings& settings, const RecordTables& tables) {
    return configfile::configurationBytes(configfile::configurationLines(settings, tables));
}

QByteArray WriteConfiguration(const UnitSettings& settings, const RecordTables& tables,
                              const QStringList& records) {
    QStringList lines = configfile::configurationLines(settings, tables);
    lines.removeIf([&records](const QString& line) {
        return !records.contains(configfile::recordKey(line).value_or(QString()));
    });
    return configfile::configurationBytes(lines);
}

QString saveConfigurationFile(const QString& path, const UnitSettings& settings,
                              const RecordTables& tables) {
    return writeWholeFile(path, WriteConfiguration(settings, tables));
}

QStringList configurationRecords() {
    return QStringList{QStringLiteral("SRTCT"), QStringLiteral("SRTCD"), QStringLiteral("SLCD"),
                       QStringLiteral("SLCDT1"), QStringLiteral("SPP")} +
           moduleRecords();
}

QStringList moduleRecords() {
    QStringList records;
    for (const ModuleRange& range : ModuleRanges) {
        for (const int number : range.numbers())
            records << moduleRecord(range.kind, number);
    }
    return records;
}

QString moduleRecord(ModuleKind kind, int number) {
    const auto numbered =
        std::find_if(configfile::NumberedLines.begin(), configfile::NumberedLines.end(),
                     [kind](const configfile::NumberedLine& n) { return n.kind == kind; });
    return QString::fromUtf16(numbered->prefix) + moduleRange(kind).caption(number);
}

bool isStorableTextCharacter(QChar c) {
    return c.unicode() <= 0xFF && !configfile::isControlCharacter(c.unicode()) && c != u'"';
}

} // namespace rtu
