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

// The decimal number a text starts with, in its shortest form ("1.6700" -> "1.67").
QString decimalText(QStringView text) {
    return shortestDecimal(numericValue(text));
}

// A monitor unit or channel number: the field must start with a digit (a sign or a letter
// there is a garbled reply, and a negative unit would not fit its two places in the
// configuration file).
std::optional<QString> unsignedNumberText(QStringView field) {
    if (field.isEmpty() || field.front() < u'0' || field.front() > u'9')
        return std::nullopt;
    return wholeNumberText(field);
}

// A unit letter of a tank: one of the codes the program knows. Anything else in its place
// comes from a garbled reply and could not be told apart from the next field in the
// configuration file.
bool isUnitCode(const QString& field, const char* codes) {
    return field.size() == 1 && QLatin1String(codes).contains(field.front());
}

// The outcome of a module reply for the module that was asked.
template <ReplyOutcome (*apply)(const QString&, RecordTables&, int*)>
ReplyOutcome applyModuleReply(const QString& reply, int module, RecordTables& tables) {
    int named = -1;
    const ReplyOutcome outcome = apply(reply, tables, &named);
    return named == module ? outcome : ReplyOutcome::NoReply;
}

// The longest replies the parsers read: a sensor line with a 10-character label and a
// factor in its longest form; G4 and 4-20mA lines with their values in their longest forms.
constexpr int SensorReplyWidth = 34;
constexpr int G4ReplyWidth = 48;
constexpr int Loop420ReplyWidth = 43;

// Indexed by ModuleKind.
const std::array<ModuleCommands, 3> AllModuleCommands{{
    {[](int tank, const RecordTables& t) {
         return sensorProgramLine(tank, t.SensorRecords.at(tank));
     },
     sensorReadLine,
     [](const QString& reply, int tank, RecordTables& t) {
         return applySensorReply(reply, tank, t.SensorRecords.at(tank));
     },
     {QLatin1StringView("SU"), SensorReplyWidth}},
    {[](int module, const RecordTables& t) {
         return g4ProgramLine(module, t.G4Records.at(module));
     },
     g4ReadLine,
     applyModuleReply<applyG4Reply>,
     {QLatin1StringView("G4"), G4ReplyWidth}},
    {[](int module, const RecordTables& t) {
         return loop420ProgramLine(module, t.Loop420Records[module]);
     },
     loop420ReadLine,
     applyModuleReply<applyLoop420Reply>,
     {QLatin1StringView("420C"), Loop420ReplyWidth}},
}};

} // namespace

QStringView lineStart(QStringView reply) {
    const auto end =
        std::find_if(reply.begin(), reply.end(), [](QChar c) { return c == u'\r' || c == u'\n'; });
    return reply.first(end - reply.begin());
}

// A CR that ends what has come may be the first half of CR LF: the line end is in only once
// the LF, or any byte after a lone CR, has come too.
bool ReplyShape::isComplete(QStringView reply) const {
    const qsizetype at = reply.indexOf(keyword);
    if (at < 0)
        return false;
    const QStringView rest = reply.sliced(at);
    const QStringView end = rest.sliced(lineStart(rest).size());
    return rest.size() >= width || end.size() >= (end.startsWith(u'\r') ? 2 : 1);
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

// The unit answers "GU" with an "SU" line of the same shape. Fields are stored in line
// order; a reply that stops part way keeps what was stored before the stop.
ReplyOutcome applySensorReply(const QString& buffer, int tank, SensorRecord& record) {
    const QString reply = lineStart(buffer).toString();
    if (!reply.startsWith(QLatin1String("SU")) || numericValue(piece(reply, 2, 2)) != tank)
        return ReplyOutcome::NoReply;

    const qsizetype openQuote = reply.indexOf(Quote, 3);
    const qsizetype closeQuote = openQuote < 0 ? -1 : reply.indexOf(Quote, openQuote + 1);
    if (closeQuote < 0)
        return ReplyOutcome::Partial;
    record.Label = QStringView(reply).mid(openQuote + 1, closeQuote - openQuote - 1);

    const qsizetype level = reply.indexOf(QLatin1Char('L'), closeQuote);
    if (level < 0)
        return ReplyOutcome::Partial;
    record.Floats = wholeNumberText(piece(reply, level + 1, 1));
    if (!isUnitCode(piece(reply, level + 2, 1), "IC"))
        return ReplyOutcome::Partial;
    record.LevelUnit = piece(reply, level + 2, 1);

    const qsizetype temperature = reply.indexOf(QLatin1Char('T'), closeQuote);
    if (temperature < 0)
        return ReplyOutcome::Partial;
    record.TempSensors = wholeNumberText(piece(reply, temperature + 1, 1));
    if (!isUnitCode(piece(reply, temperature + 2, 1), "FC"))
        return ReplyOutcome::Partial;
    record.TempUnit = piece(reply, temperature + 2, 1);
    record.VolumeFactor = decimalText(rest(reply, temperature + 3));

    // The volume unit follows a factor written with four decimals.
    const qsizetype point = reply.indexOf(QLatin1Char('.'), temperature + 3);
    if (point < 0 || !isUnitCode(piece(reply, point + 5, 1), "EM%"))
        return ReplyOutcome::Partial;
    record.VolumeUnit = piece(reply, point + 5, 1);
    return ReplyOutcome::Applied;
}

// "G4" replies are laid out like the "SG4" line without its "S". The values stay in the
// unit's text form.
ReplyOutcome applyG4Reply(const QString& buffer, RecordTables& tables, int* recordNumber) {
    const QString reply = lineStart(buffer).toString();
    const int module = digitAt(reply, 2);
    if (!reply.startsWith(QLatin1String("G4")) || module < 0)
        return ReplyOutcome::NoReply;
    if (recordNumber)
        *recordNumber = module;
    G4Record& record = tables.G4Records.at(module);

    // Source and channel sit right after a two-digit unit number, as the unit sends it.
    const qsizetype unit = reply.indexOf(QLatin1Char('U'), 3);
    const auto unitText = unit < 0 ? std::nullopt : unsignedNumberText(piece(reply, unit + 1, 2));
    const auto channelText =
        unit < 0 ? std::nullopt : unsignedNumberText(piece(reply, unit + 4, 2));
    if (!unitText || !channelText)
        return ReplyOutcome::Partial;
    record.Unit = *unitText;
    record.Source = piece(reply, unit + 3, 1);
    record.Channel = *channelText;

    const qsizetype on = reply.indexOf(QLatin1String("ON"), unit + 2);
    const qsizetype off = on < 0 ? -1 : reply.indexOf(QLatin1String("OFF"), on + 2);
    if (off < 0)
        return ReplyOutcome::Partial;
    record.OnTest = piece(reply, on + 2, 2);
    record.OnValue = piece(reply, on + 4, decltype(record.OnValue)::width);
    record.OffTest = piece(reply, off + 3, 2);
    record.OffValue = piece(reply, off + 5, decltype(record.OffValue)::width);
    return ReplyOutcome::Applied;
}

// "G420C" is answered by a line that starts "420C" and the module number.
ReplyOutcome applyLoop420Reply(const QString& buffer, RecordTables& tables, int* recordNumber) {
    const QString reply = lineStart(buffer).toString();
    const int module = digitAt(reply, 4);
    if (!reply.startsWith(QLatin1String("420C")) || !Loop420Table::contains(module))
        return ReplyOutcome::NoReply;
    if (recordNumber)
        *recordNumber = module;
    Loop420Record& record = tables.Loop420Records[module];

    const qsizetype unit = reply.indexOf(QLatin1Char('U'), 5);
    const auto unitText = unit < 0 ? std::nullopt : unsignedNumberText(piece(reply, unit + 1, 2));
    const auto channelText =
        unit < 0 ? std::nullopt : unsignedNumberText(piece(reply, unit + 4, 1));
    if (!unitText || !channelText)
        return ReplyOutcome::Partial;
    record.Unit = *unitText;
    record.Source = piece(reply, unit + 3, 1);
    record.Channel = *channelText;

    const qsizetype value4mA = reply.indexOf(QLatin1String("V4M"), 5);
    if (value4mA < 0)
        return ReplyOutcome::Partial;
    record.Value4mA = decimalText(rest(reply, value4mA + 3));

    const qsizetype value20mA = reply.indexOf(QLatin1String("V20M"), 5);
    if (value20mA < 0)
        return ReplyOutcome::Partial;
    record.Value20mA = decimalText(rest(reply, value20mA + 4));
    return ReplyOutcome::Applied;
}

} // namespace rtu
