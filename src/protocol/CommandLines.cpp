#include "protocol/CommandLines.h"

#include "config/Numbers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace rtu {

namespace {

const QString VolumeFactorFormat = QStringLiteral("#0.0000####");
const QString G4ValueFormat = QStringLiteral("####0000.000###");
const QString Loop420ValueFormat = QStringLiteral("###000.000###");
const QChar Quote = QLatin1Char('"');

// Reply pieces by 0-based index. Whatever lies beyond the end of the reply is empty text, so
// a truncated reply yields short fields rather than an error.
QString piece(const QString& reply, qsizetype index, qsizetype count) {
    if (index < 0 || index >= reply.size())
        return {};
    return reply.mid(index, count);
}

QStringView rest(const QString& reply, qsizetype index) {
    if (index < 0 || index >= reply.size())
        return {};
    return QStringView(reply).mid(index);
}

// The decimal digit at index, or -1 when there is none.
int digitAt(const QString& reply, qsizetype index) {
    if (index < 0 || index >= reply.size())
        return -1;
    const char16_t c = reply.at(index).unicode();
    return c >= u'0' && c <= u'9' ? c - u'0' : -1;
}

// The whole number a text starts with, as plain decimal text ("05" -> "5", "x" -> "0").
QString wholeNumberText(QStringView text) {
    return shortestDecimal(std::trunc(numericValue(text)));
}

// The decimal number a text starts with, in its shortest form ("1.6700" -> "1.67"); nothing
// when the text, after its leading blanks, starts with no number.
std::optional<QString> decimalText(QStringView text) {
    const LeadingNumber number = readLeadingNumber(text);
    if (number.length == 0)
        return std::nullopt;
    return shortestDecimal(number.value);
}

// A monitor unit or channel number: after its leading blanks the field must start with a
// digit (a sign or a letter there is a garbled reply, and a negative unit would not fit its
// two places in the configuration file).
std::optional<QString> unsignedNumberText(QStringView field) {
    const QStringView digits = field.trimmed();
    if (digits.isEmpty() || digits.front() < u'0' || digits.front() > u'9')
        return std::nullopt;
    return wholeNumberText(field);
}

// A field of `width` characters at index, when the reply holds all of it.
std::optional<QString> wholeField(const QString& reply, qsizetype index, qsizetype width) {
    if (index < 0 || index + width > reply.size())
        return std::nullopt;
    return reply.mid(index, width);
}

// A count of one digit: any other character counts as none.
std::optional<QString> countAt(const QString& reply, qsizetype index) {
    const std::optional<QString> field = wholeField(reply, index, 1);
    return field ? std::optional(wholeNumberText(*field)) : std::nullopt;
}

// A G4 value stays in the unit's text form, with whatever follows it on the line, but only
// when it starts with a number: the window and the "SG4" line take its numeric value.
std::optional<QString> valueTextAt(const QString& reply, qsizetype index) {
    const QStringView text = rest(reply, index);
    if (readLeadingNumber(text).length == 0)
        return std::nullopt;
    return text.toString();
}

// The volume unit is stored as received, except a digit or a point: in the configuration
// file either would be read as part of the factor before it.
std::optional<QString> volumeUnitAt(const QString& reply, qsizetype index) {
    const std::optional<QString> unit = wholeField(reply, index, 1);
    if (!unit || unit->front() == u'.' || (unit->front() >= u'0' && unit->front() <= u'9'))
        return std::nullopt;
    return unit;
}

// The outcome of a module reply for the module that was asked.
template <ReplyOutcome (*apply)(const QString&, RecordTables&, int*)>
ReplyOutcome applyModuleReply(const QString& reply, int module, RecordTables& tables) {
    int named = -1;
    const ReplyOutcome outcome = apply(reply, tables, &named);
    if (named == module)
        return outcome;
    return outcome.cutOff ? ReplyOutcome::stillArriving() : ReplyOutcome{};
}

using Names = QList<QLatin1StringView>;
const Names SensorFields{QLatin1StringView("label"),
                         QLatin1StringView("floats"),
                         QLatin1StringView("level unit"),
                         QLatin1StringView("temperature sensors"),
                         QLatin1StringView("temperature unit"),
                         QLatin1StringView("factor"),
                         QLatin1StringView("volume unit")};
const Names G4Fields{QLatin1StringView("monitor unit"), QLatin1StringView("source"),
                     QLatin1StringView("channel"),      QLatin1StringView("on test"),
                     QLatin1StringView("on value"),     QLatin1StringView("off test"),
                     QLatin1StringView("off value")};
const Names Loop420Fields{QLatin1StringView("monitor unit"), QLatin1StringView("source"),
                          QLatin1StringView("channel"), QLatin1StringView("value at 4 mA"),
                          QLatin1StringView("value at 20 mA")};

// Indexed by ModuleKind.
const std::array<ModuleCommands, 3> AllModuleCommands{{
    {[](int tank, const RecordTables& t) {
         return sensorProgramLine(tank, t.SensorRecords.at(tank));
     },
     sensorReadLine,
     [](const QString& reply, int tank, RecordTables& t) {
         return applySensorReply(reply, tank, t.SensorRecords.at(tank));
     },
     {QLatin1StringView("SU")},
     SensorFields},
    {[](int module, const RecordTables& t) {
         return g4ProgramLine(module, t.G4Records.at(module));
     },
     g4ReadLine,
     applyModuleReply<applyG4Reply>,
     {QLatin1StringView("G4")},
     G4Fields},
    {[](int module, const RecordTables& t) {
         return loop420ProgramLine(module, t.Loop420Records[module]);
     },
     loop420ReadLine,
     applyModuleReply<applyLoop420Reply>,
     {QLatin1StringView("420C")},
     Loop420Fields},
}};

} // namespace

QStringView lineStart(QStringView reply) {
    const auto end =
        std::find_if(reply.begin(), reply.end(), [](QChar c) { return c == u'\r' || c == u'\n'; });
    return reply.first(end - reply.begin());
}

bool lineEnded(QStringView reply) {
    return lineStart(reply).size() < reply.size();
}

bool ReplyShape::isComplete(QStringView reply) const {
    const qsizetype at = reply.indexOf(keyword);
    if (at < 0)
        return false;
    const QStringView rest = reply.sliced(at);
    const QStringView end = rest.sliced(lineStart(rest).size());
    return end.size() >= (end.startsWith(u'\r') ? 2 : 1);
}

ReplyFields::ReplyFields(const QList<QLatin1StringView>& names) : count_(names.size()) {
    for (const QLatin1StringView name : names)
        kept_ << QString(name);
}

void ReplyFields::given(QLatin1StringView name) {
    kept_.removeOne(QString(name));
}

ReplyOutcome ReplyFields::outcome() const {
    if (kept_.size() == count_)
        return {};
    if (kept_.isEmpty())
        return ReplyOutcome::answered();
    return {ReplyOutcome::PartlyAnswered, kept_, false};
}

QString twoDigits(double value) {
    return formatNumber(value, u"##00");
}

const ModuleCommands& moduleCommands(ModuleKind kind) {
    return AllModuleCommands[static_cast<std::size_t>(kind)];
}

QString sensorProgramLine(int tank, const SensorRecord& record) {
    return QStringLiteral("SU") + twoDigits(tank) + Quote + record.Label.text() + Quote +
           QLatin1Char('L') + record.Floats.text() + record.LevelUnit.text() + QLatin1Char('T') +
           record.TempSensors.text() + record.TempUnit.text() +
           formatNumber(numericValue(record.VolumeFactor.text()), VolumeFactorFormat) +
           record.VolumeUnit.text() + LineEnd;
}

QString sensorReadLine(int tank) {
    return QStringLiteral("GU") + twoDigits(tank) + LineEnd;
}

QString g4ProgramLine(int module, const G4Record& record) {
    return QStringLiteral("SG4") + QString::number(module) + QLatin1Char('U') +
           twoDigits(numericValue(record.Unit.text())) + record.Source.text() +
           record.Channel.text() + QStringLiteral("ON") + record.OnTest.text() +
           formatNumber(numericValue(record.OnValue.text()), G4ValueFormat) +
           QStringLiteral("OFF") + record.OffTest.text() +
           formatNumber(numericValue(record.OffValue.text()), G4ValueFormat) + LineEnd;
}

QString g4ReadLine(int module) {
    return QStringLiteral("GG4") + QString::number(module) + LineEnd;
}

QString loop420ProgramLine(int module, const Loop420Record& record) {
    return QStringLiteral("S420C") + QString::number(module) + QLatin1Char('U') +
           twoDigits(numericValue(record.Unit.text())) + record.Source.text() +
           record.Channel.text() + QStringLiteral("V4M") +
           formatNumber(numericValue(record.Value4mA.text()), Loop420ValueFormat) +
           QStringLiteral("V20M") +
           formatNumber(numericValue(record.Value20mA.text()), Loop420ValueFormat) + LineEnd;
}

QString loop420ReadLine(int module) {
    return QStringLiteral("G420C") + QString::number(module) + LineEnd;
}

// The unit answers "GU" with an "SU" line of the same shape. Fields are taken in line
// order; a missing keyword stops the parse, and what follows it keeps its values.
ReplyOutcome applySensorReply(const QString& buffer, int tank, SensorRecord& record) {
    const QString reply = lineStart(buffer).toString();
    if (!reply.startsWith(QLatin1String("SU")))
        return {};
    if (!lineEnded(buffer))
        return ReplyOutcome::stillArriving();
    if (numericValue(piece(reply, 2, 2)) != tank)
        return {};

    ReplyFields fields(SensorFields);
    const qsizetype openQuote = reply.indexOf(Quote, 3);
    const qsizetype closeQuote = openQuote < 0 ? -1 : reply.indexOf(Quote, openQuote + 1);
    if (closeQuote < 0)
        return fields.outcome();
    fields.take(SensorFields[0], reply.mid(openQuote + 1, closeQuote - openQuote - 1),
                record.Label);

    const qsizetype level = reply.indexOf(QLatin1Char('L'), closeQuote);
    if (level < 0)
        return fields.outcome();
    fields.take(SensorFields[1], countAt(reply, level + 1), record.Floats);
    fields.take(SensorFields[2], wholeField(reply, level + 2, 1), record.LevelUnit);

    // The temperature part follows the level unit, which may itself be a "T".
    const qsizetype temperature = reply.indexOf(QLatin1Char('T'), level + 3);
    if (temperature < 0)
        return fields.outcome();
    fields.take(SensorFields[3], countAt(reply, temperature + 1), record.TempSensors);
    fields.take(SensorFields[4], wholeField(reply, temperature + 2, 1), record.TempUnit);
    const std::optional<QString> factor = decimalText(rest(reply, temperature + 3));
    fields.take(SensorFields[5], factor, record.VolumeFactor);

    // The volume unit follows a factor written with four decimals.
    const qsizetype point = reply.indexOf(QLatin1Char('.'), temperature + 3);
    if (factor && point >= 0)
        fields.take(SensorFields[6], volumeUnitAt(reply, point + 5), record.VolumeUnit);
    return fields.outcome();
}

// "G4" replies are laid out like the "SG4" line without its "S". The values stay in the
// unit's text form.
ReplyOutcome applyG4Reply(const QString& buffer, RecordTables& tables, int* recordNumber) {
    const QString reply = lineStart(buffer).toString();
    if (!reply.startsWith(QLatin1String("G4")))
        return {};
    if (!lineEnded(buffer))
        return ReplyOutcome::stillArriving();
    const int module = digitAt(reply, 2);
    if (module < 0)
        return {};
    if (recordNumber)
        *recordNumber = module;
    G4Record& record = tables.G4Records.at(module);

    ReplyFields fields(G4Fields);
    const qsizetype unit = reply.indexOf(QLatin1Char('U'), 3);
    if (unit < 0)
        return fields.outcome();
    // Source and channel sit right after a two-digit unit number, as the unit sends it.
    fields.take(G4Fields[0], unsignedNumberText(piece(reply, unit + 1, 2)), record.Unit);
    fields.take(G4Fields[1], wholeField(reply, unit + 3, 1), record.Source);
    fields.take(G4Fields[2], unsignedNumberText(piece(reply, unit + 4, 2)), record.Channel);

    const qsizetype on = reply.indexOf(QLatin1String("ON"), unit + 2);
    const qsizetype off = on < 0 ? -1 : reply.indexOf(QLatin1String("OFF"), on + 2);
    if (off < 0)
        return fields.outcome();
    fields.take(G4Fields[3], wholeField(reply, on + 2, 2), record.OnTest);
    fields.take(G4Fields[4], valueTextAt(reply, on + 4), record.OnValue);
    fields.take(G4Fields[5], wholeField(reply, off + 3, 2), record.OffTest);
    fields.take(G4Fields[6], valueTextAt(reply, off + 5), record.OffValue);
    return fields.outcome();
}

// "G420C" is answered by a line that starts "420C" and the module number.
ReplyOutcome applyLoop420Reply(const QString& buffer, RecordTables& tables, int* recordNumber) {
    const QString reply = lineStart(buffer).toString();
    if (!reply.startsWith(QLatin1String("420C")))
        return {};
    if (!lineEnded(buffer))
        return ReplyOutcome::stillArriving();
    const int module = digitAt(reply, 4);
    if (!Loop420Table::contains(module))
        return {};
    if (recordNumber)
        *recordNumber = module;
    Loop420Record& record = tables.Loop420Records[module];

    ReplyFields fields(Loop420Fields);
    const qsizetype unit = reply.indexOf(QLatin1Char('U'), 5);
    if (unit < 0)
        return fields.outcome();
    fields.take(Loop420Fields[0], unsignedNumberText(piece(reply, unit + 1, 2)), record.Unit);
    fields.take(Loop420Fields[1], wholeField(reply, unit + 3, 1), record.Source);
    fields.take(Loop420Fields[2], unsignedNumberText(piece(reply, unit + 4, 2)), record.Channel);

    const qsizetype value4mA = reply.indexOf(QLatin1String("V4M"), 5);
    if (value4mA < 0)
        return fields.outcome();
    fields.take(Loop420Fields[3], decimalText(rest(reply, value4mA + 3)), record.Value4mA);
    const qsizetype value20mA = reply.indexOf(QLatin1String("V20M"), 5);
    if (value20mA < 0)
        return fields.outcome();
    fields.take(Loop420Fields[4], decimalText(rest(reply, value20mA + 4)), record.Value20mA);
    return fields.outcome();
}

} // namespace rtu
