#include "config/ConfigurationLines.h"

#include "config/Numbers.h"
#include "config/RuntimeError.h"
#include "config/UnitSettings.h"

#include <QStringBuilder>

#include <algorithm>
#include <climits>
#include <cmath>
#include <stdexcept>

namespace rtu {

namespace configfile {

namespace {

// A fault in one line of a configuration file; the load stops there.
class LineError : public std::runtime_error {
public:
    explicit LineError(const QString& reason) : std::runtime_error(reason.toStdString()) {}
};

// Positions in a line count from 1, as the file format is described; 0 means "not found".
// Characters beyond the end of the line read as empty text.
QStringView piece(QStringView line, qsizetype position, qsizetype count) {
    const qsizetype start = std::clamp<qsizetype>(position - 1, 0, line.size());
    return line.sliced(start, std::clamp<qsizetype>(count, 0, line.size() - start));
}

QStringView charAt(QStringView line, qsizetype position) {
    return piece(line, position, 1);
}

QStringView restFrom(QStringView line, qsizetype position) {
    return piece(line, position, line.size());
}

qsizetype findFrom(QStringView line, QStringView what, qsizetype position) {
    return line.indexOf(what, std::max<qsizetype>(position, 1) - 1) + 1;
}

qsizetype findRequired(QStringView line, QStringView what, qsizetype position,
                       const char* missing) {
    const qsizetype found = findFrom(line, what, position);
    if (found == 0)
        throw LineError(QStringLiteral("no ") + QLatin1String(missing));
    return found;
}

QString shortestValueOf(QStringView text) {
    return shortestDecimal(numericValue(text));
}

// The characters from position up to (not including) end, a position found in the line.
QStringView between(QStringView line, qsizetype position, qsizetype end) {
    return piece(line, position, end - position);
}

// Some text of a line, as a reason shows it: cut short, as a line may be of any length, and
// with '?' for a control character, which a terminal would act on.
QString shown(QStringView text) {
    constexpr qsizetype Longest = 24;
    QString part = text.size() <= Longest ? text.toString() : text.left(Longest) % u"...";
    std::replace_if(
        part.begin(), part.end(), [](QChar c) { return isControlCharacter(c.unicode()); }, u'?');
    return part;
}

// "e5", "E+05", "e-3": an exponent, which the loader does not read.
bool startsExponent(QStringView text) {
    const qsizetype digit = text.size() > 1 && (text[1] == u'+' || text[1] == u'-') ? 2 : 1;
    return text.size() > digit && (text[0] == u'e' || text[0] == u'E') && text[digit] >= u'0' &&
           text[digit] <= u'9';
}

// The program writes each number in plain decimals. The loader reads the number at the start
// of text, the whole piece where the line holds it, and stops where the number ends: anything
// after it there is lost ("1e400" reads as 1).
void noteNumberForm(QStringView text, LineNotes& notes) {
    const LeadingNumber number = readLeadingNumber(text);
    const QStringView rest = text.sliced(number.length);
    if (number.length > 0 && startsExponent(rest))
        notes << u"number with an exponent: " % shown(text);
    else if (number.length == 0 || !rest.isEmpty())
        notes << u"not a plain number: \"" % shown(text) % u'"';
}

// Stores a value as its shortest decimal text. Where only the zero before the point keeps it
// from its field, the text goes without that zero: a factor typed as ".12345" is written as
// 0.12345 and must load back whole. A field still too narrow cuts the value ("12345678901" to
// 12345678), so the line loads as another number.
template <int Width> void storeValue(FixedText<Width>& field, double value, LineNotes& notes) {
    QString text = shortestDecimal(value);
    const qsizetype zero = text.startsWith(u'-') ? 1 : 0;
    if (text.size() > Width && text.sliced(zero).startsWith(u"0."))
        text.remove(zero, 1);
    if (text.size() > Width)
        notes << QStringLiteral("number longer than its %1 places: %2").arg(Width).arg(shown(text));
    field = text;
}

// A monitor unit fills two places; a negative one would not fit them when written back.
QString monitorUnit(QStringView field) {
    const double unit = numericValue(field);
    if (unit < 0)
        throw LineError(QStringLiteral("monitor unit below 0"));
    return shortestDecimal(unit);
}

// The record number a line names, when it is written in digits within the table's range.
std::optional<int> recordNumber(QStringView text, int first, int last) {
    if (text.isEmpty() ||
        !std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    const int number = text.toInt();
    if (number < first || number > last)
        return std::nullopt;
    return number;
}

using Counter = UnitSettings::Counter;

// The scroll bar itself refuses a value outside its range; for a file that is a line error.
// The caption goes first: a real change of the value reformats it.
void setCounterFromFile(UnitSettings& settings, Counter which, const QString& caption,
                        double value) {
    settings.counter(which).shown = caption;
    const double clamped = std::clamp(value, double(INT_MIN), double(INT_MAX));
    try {
        settings.setCounter(which, static_cast<int>(clamped));
    } catch (const RuntimeError&) {
        throw LineError(QStringLiteral("value out of range for the ") +
                        QLatin1String(UnitSettings::counterMeaning(which)));
    }
}

void applyLcdTexts(QStringView line, UnitSettings& settings, RecordTables&, LineNotes&) {
    // Line 1 stays applied when line 2 is faulty, as everything before a line error does.
    const qsizetype end1 = findRequired(line, Quote, 8, "closing double quote");
    settings.lcdLines[0] = piece(line, 8, end1 - 8).toString();
    const qsizetype start2 = findRequired(line, Quote, end1 + 2, "opening double quote");
    const qsizetype end2 = findRequired(line, Quote, start2 + 1, "closing double quote");
    settings.lcdLines[1] = piece(line, start2 + 1, end2 - start2 - 1).toString();
}

void applyLcdSetting(UnitSettings& settings, Counter which, QStringView caption, LineNotes& notes) {
    noteNumberForm(caption, notes);
    setCounterFromFile(settings, which, caption.toString(), roundHalfEven(numericValue(caption)));
}

void applyLcdTiming(QStringView line, UnitSettings& settings, RecordTables&, LineNotes& notes) {
    const qsizetype r = findRequired(line, u"R", 1, "R");
    applyLcdSetting(settings, Counter::LcdSeconds, between(line, 5, r), notes);
    applyLcdSetting(settings, Counter::LcdRepeats, restFrom(line, r + 1), notes);
}

void applyPollPeriod(QStringView line, UnitSettings& settings, RecordTables&, LineNotes& notes) {
    noteNumberForm(restFrom(line, 4), notes);
    const std::array<double, 3> parts =
        UnitSettings::splitPollPeriod(numericValue(restFrom(line, 4)));
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const QString caption = formatNumber(parts[i], u"##00");
        setCounterFromFile(settings, UnitSettings::Counters[i], caption, numericValue(caption));
    }
}

void applySensorLine(QStringView line, UnitSettings&, RecordTables& tables, LineNotes& notes) {
    const auto tank = recordNumber(piece(line, 3, 2), 0, TankCount - 1);
    if (!tank)
        return;
    SensorRecord& r = tables.SensorRecords.at(static_cast<std::size_t>(*tank));
    const qsizetype q1 = findRequired(line, Quote, 4, "opening double quote");
    const qsizetype q2 = findRequired(line, Quote, q1 + 1, "closing double quote");
    r.Label = piece(line, q1 + 1, q2 - q1 - 1);
    const qsizetype pL = findRequired(line, u"L", q2, "L");
    r.Floats = shortestValueOf(charAt(line, pL + 1));
    r.LevelUnit = charAt(line, pL + 2);
    // The temperature part follows the level unit: searching from there keeps a level unit
    // of "T" from being taken for it.
    const qsizetype pT = findRequired(line, u"T", pL + 3, "T");
    r.TempSensors = shortestValueOf(charAt(line, pT + 1));
    r.TempUnit = charAt(line, pT + 2);
    // The line ends with the volume unit, one character after the factor.
    noteNumberForm(between(line, pT + 3, line.size()), notes);
    const LeadingNumber factor = readLeadingNumber(restFrom(line, pT + 3));
    storeValue(r.VolumeFactor, factor.value, notes);
    r.VolumeUnit = charAt(line, pT + 3 + factor.length);
}

void applyG4Line(QStringView line, UnitSettings&, RecordTables& tables, LineNotes& notes) {
    const auto module = recordNumber(charAt(line, 4), 0, G4Count - 1);
    if (!module)
        return;
    G4Record& r = tables.G4Records.at(static_cast<std::size_t>(*module));
    const qsizetype pU = findRequired(line, u"U", 4, "U");
    r.Unit = monitorUnit(piece(line, pU + 1, 2));
    r.Source = charAt(line, pU + 3);
    r.Channel = shortestValueOf(charAt(line, pU + 4));
    const qsizetype pOn = findRequired(line, u"ON", pU + 2, "ON");
    const qsizetype pOff = findRequired(line, u"OFF", pOn + 2, "OFF");
    r.OnTest = piece(line, pOn + 2, 2);
    noteNumberForm(between(line, pOn + 4, pOff), notes);
    storeValue(r.OnValue, numericValue(restFrom(line, pOn + 4)), notes);
    r.OffTest = piece(line, pOff + 3, 2);
    noteNumberForm(restFrom(line, pOff + 5), notes);
    storeValue(r.OffValue, numericValue(restFrom(line, pOff + 5)), notes);
}

void applyLoop420Line(QStringView line, UnitSettings&, RecordTables& tables, LineNotes& notes) {
    const auto module = recordNumber(charAt(line, 6), Loop420First, Loop420Last);
    if (!module)
        return;
    Loop420Record& r = tables.Loop420Records[*module];
    const qsizetype pU = findRequired(line, u"U", 6, "U");
    // Unit, source and channel stand at fixed places, as in the G4 line: reading the unit as a
    // whole run of digits would swallow a source that is a digit.
    r.Unit = monitorUnit(piece(line, pU + 1, 2));
    r.Source = charAt(line, pU + 3);
    r.Channel = shortestValueOf(charAt(line, pU + 4));
    const qsizetype p4 = findRequired(line, u"V4M", 6, "V4M");
    const qsizetype p20 = findRequired(line, u"V20M", 6, "V20M");
    noteNumberForm(between(line, p4 + 3, p20), notes);
    storeValue(r.Value4mA, numericValue(restFrom(line, p4 + 3)), notes);
    noteNumberForm(restFrom(line, p20 + 4), notes);
    storeValue(r.Value20mA, numericValue(restFrom(line, p20 + 4)), notes);
}

void skipLine(QStringView, UnitSettings&, RecordTables&, LineNotes&) {}

using LineAction = void (*)(QStringView, UnitSettings&, RecordTables&, LineNotes&);

struct LineKind {
    const char16_t* prefix;
    LineAction apply;
};

// Matched in this order, the first match deciding: "SLCDT1" must come before "SLCD", and
// the clock lines are written for the unit but never restored from a file.
constexpr std::array<LineKind, 9> LineKinds{{
    {u"SRTCT", skipLine},
    {u"SRTCD", skipLine},
    {u"SLCDT1", applyLcdTexts},
    {u"SLCD", applyLcdTiming},
    {u"SPP", applyPollPeriod},
    {u"S420MC", skipLine},
    {u"SU", applySensorLine},
    {u"SG4", applyG4Line},
    {u"S420C", applyLoop420Line},
}};

const LineKind* lineKind(QStringView line) {
    const auto kind = std::find_if(LineKinds.begin(), LineKinds.end(), [line](const LineKind& k) {
        return line.startsWith(QStringView(k.prefix));
    });
    return kind == LineKinds.end() ? nullptr : &*kind;
}

// The unit takes one byte per character.
void requireLatin1(QStringView line) {
    if (std::any_of(line.begin(), line.end(), [](QChar c) { return c.unicode() > 0xFF; }))
        throw LineError(QStringLiteral("a character the unit cannot take (outside Latin-1)"));
}

void noteControlCharacter(QStringView line, LineNotes& notes) {
    const auto found = std::find_if(line.begin(), line.end(),
                                    [](QChar c) { return isControlCharacter(c.unicode()); });
    if (found != line.end())
        notes << QStringLiteral("control character 0x%1 at column %2")
                     .arg(found->unicode(), 2, 16, QLatin1Char('0'))
                     .arg(found - line.begin() + 1);
}

} // namespace

void applyLine(QStringView line, UnitSettings& settings, RecordTables& tables, LineNotes& notes) {
    if (const LineKind* kind = lineKind(line)) {
        requireLatin1(line);
        noteControlCharacter(line, notes);
        kind->apply(line, settings, tables, notes);
    }
}

// The record a line stands for ("SU05", "SLCD"), or an empty string for lines that stand for
// none; nullopt for a record line whose number is outside its table.
std::optional<QString> recordKey(QStringView line) {
    const LineKind* kind = lineKind(line);
    const QStringView prefix = kind ? QStringView(kind->prefix) : QStringView();
    if (!kind || prefix == u"S420MC")
        return QString();
    const auto numbered = std::find_if(NumberedLines.begin(), NumberedLines.end(),
                                       [&](const NumberedLine& n) { return prefix == n.prefix; });
    if (numbered == NumberedLines.end())
        return prefix.toString();
    const ModuleRange& range = moduleRange(numbered->kind);
    const auto number =
        recordNumber(line.mid(prefix.size(), range.digits), range.first, range.last);
    if (!number)
        return std::nullopt;
    return prefix % range.caption(*number);
}

} // namespace configfile

} // namespace rtu
