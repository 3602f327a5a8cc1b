#include "sim/SimulatedUnit.h"

#include "protocol/CommandLines.h"

#include <QLocale>
#include <QTimeZone>

#include <algorithm>
#include <array>

namespace rtu {

namespace {

// The "S" lines whose layout the configuration file shares; the file's line rules apply
// them. "SLCD" also covers "SLCDT1".
constexpr std::array<const char*, 5> ConfigurationLinePrefixes{"SU", "SG4", "S420C", "SLCD", "SPP"};

bool isConfigurationLine(const QByteArray& line) {
    return std::any_of(ConfigurationLinePrefixes.begin(), ConfigurationLinePrefixes.end(),
                       [&](const char* prefix) { return line.startsWith(prefix); });
}

// The PC's local wall-clock reading, taken as a plain date and time so that the unit's
// offset arithmetic never meets a daylight-saving jump.
QDateTime wallClock(const QDateTime& pcTime) {
    return QDateTime(pcTime.date(), pcTime.time(), QTimeZone::utc());
}

// The value of a field made only of ASCII digits, or nothing.
std::optional<int> digitsValue(QByteArrayView digits) {
    if (digits.isEmpty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return digits.toByteArray().toInt();
}

// The record number of a read line "<prefix><digits>" when it lies in [first, last].
std::optional<int> recordNumber(const QByteArray& line, QByteArrayView prefix, int digits,
                                int first, int last) {
    if (line.size() != prefix.size() + digits || !line.startsWith(prefix))
        return std::nullopt;
    const auto number = digitsValue(QByteArrayView(line).sliced(prefix.size()));
    if (!number || *number < first || *number > last)
        return std::nullopt;
    return number;
}

QByteArray zeroPadded(int value, int width) {
    return QByteArray::number(value).rightJustified(width, '0');
}

// An answer as the unit sends it: one byte per character, ended by CR LF.
QByteArray answerLine(QString text) {
    if (text.endsWith(QLatin1String("\r\n")))
        text.chop(2);
    return text.toLatin1() + "\r\n";
}

} // namespace

SimulatedUnit::SimulatedUnit(Clock pcClock) : pcClock_(std::move(pcClock)) {
    SetAllDefaults(tables_);
}

QList<SimulatedUnit::Request> SimulatedUnit::receive(QByteArrayView bytes) {
    QList<Request> requests;
    for (const char byte : bytes) {
        if (byte == '\n')
            continue;
        if (byte == '\r') {
            if (auto request = completeLine())
                requests.append(std::move(*request));
        } else if (pendingLine_.size() < MaxLineLength) {
            pendingLine_.append(byte);
        } else {
            pendingTooLong_ = true;
        }
    }
    return requests;
}

std::optional<SimulatedUnit::Request> SimulatedUnit::completeLine() {
    const QByteArray line = std::exchange(pendingLine_, {});
    const bool tooLong = std::exchange(pendingTooLong_, false);
    if (line.isEmpty())
        return std::nullopt;
    if (tooLong)
        return Request{line, {}};
    return Request{line, handleLine(line)};
}

QByteArray SimulatedUnit::handleLine(const QByteArray& line) {
    if (line.startsWith('S')) {
        applySetting(line);
        return {};
    }
    return answerQuery(line);
}

void SimulatedUnit::applySetting(const QByteArray& line) {
    if (line.startsWith("SRTCT"))
        setClockTime(QByteArrayView(line).sliced(5));
    else if (line.startsWith("SRTCD"))
        setClockDate(QByteArrayView(line).sliced(5));
    else if (isConfigurationLine(line))
        applyConfigurationLine(line);
}

// All or nothing: the line is applied to copies and kept only when the whole line was
// accepted, so a malformed line never leaves a half-changed record.
bool SimulatedUnit::applyConfigurationLine(const QByteArray& line) {
    RecordTables tables = tables_;
    UnitSettings settings = settings_;
    if (!LoadConfiguration(line + "\r\n", settings, tables).ok)
        return false;
    tables_ = std::move(tables);
    settings_ = std::move(settings);
    return true;
}

void SimulatedUnit::setClockTime(QByteArrayView digits) {
    if (digits.size() != 6)
        return;
    const auto hours = digitsValue(digits.sliced(0, 2));
    const auto minutes = digitsValue(digits.sliced(2, 2));
    const auto seconds = digitsValue(digits.sliced(4, 2));
    if (!hours || !minutes || !seconds)
        return;
    const QTime time(*hours, *minutes, *seconds);
    if (time.isValid())
        setClock(QDateTime(clock().date(), time, QTimeZone::utc()));
}

void SimulatedUnit::setClockDate(QByteArrayView digits) {
    if (digits.size() != 6)
        return;
    const auto month = digitsValue(digits.sliced(0, 2));
    const auto day = digitsValue(digits.sliced(2, 2));
    const auto year = digitsValue(digits.sliced(4, 2));
    if (!month || !day || !year)
        return;
    const QDate date(2000 + *year, *month, *day);
    if (date.isValid())
        setClock(QDateTime(date, clock().time(), QTimeZone::utc()));
}

void SimulatedUnit::setClock(const QDateTime& unitTime) {
    clockOffsetSeconds_ = wallClock(pcClock_()).secsTo(unitTime);
}

QDateTime SimulatedUnit::clock() const {
    return wallClock(pcClock_()).addSecs(clockOffsetSeconds_);
}

int SimulatedUnit::pollPeriodSeconds() const {
    return settings_.pollPeriodSeconds();
}

QByteArray SimulatedUnit::answerQuery(const QByteArray& line) const {
    if (line == "GRTCT")
        return clockReply();
    if (line == "GPP")
        return "PP" + zeroPadded(pollPeriodSeconds(), 5) + "\r\n";
    if (line == "GLCD")
        return "LCD" + zeroPadded(settings_.lcdSeconds.value, 2) + 'R' +
               zeroPadded(settings_.lcdRepeats.value, 2) + "\r\n";
    if (line == "GLCDT")
        return lcdTextReply();
    if (line == "GV")
        return answerLine(QLatin1Char('V') + version_);
    if (const auto tank = recordNumber(line, "GU", 2, 0, TankCount - 1))
        return answerLine(sensorProgramLine(*tank, tables_.SensorRecords.at(*tank)));
    // The module answers are their "S" lines without the "S".
    if (const auto module = recordNumber(line, "GG4", 1, 0, G4Count - 1))
        return answerLine(g4ProgramLine(*module, tables_.G4Records.at(*module)).mid(1));
    if (const auto module = recordNumber(line, "G420C", 1, Loop420First, Loop420Last))
        return answerLine(loop420ProgramLine(*module, tables_.Loop420Records[*module]).mid(1));
    return {};
}

QByteArray SimulatedUnit::clockReply() const {
    const QDateTime now = clock();
    const QLocale c = QLocale::c();
    return answerLine(QLatin1String("RTC ") + c.toString(now.date(), QStringLiteral("MM/dd/yy")) +
                      QLatin1Char(' ') + c.toString(now.time(), QStringLiteral("HH:mm:ss")));
}

// Both display lines exactly as wide as the LCD, between double quotes.
QByteArray SimulatedUnit::lcdTextReply() const {
    const auto displayLine = [this](int line) {
        return QLatin1Char('"') +
               settings_.lcdLines.at(std::size_t(line - 1))
                   .leftJustified(UnitSettings::LcdTextMaxLength, QLatin1Char(' '), true) +
               QLatin1Char('"');
    };
    return answerLine(QLatin1String("LCDT1") + displayLine(1) + QLatin1String("T2") +
                      displayLine(2));
}

LoadResult SimulatedUnit::loadState(const QString& path) {
    return loadConfigurationFile(path, settings_, tables_);
}

QString SimulatedUnit::saveState(const QString& path) {
    const QDateTime now = clock();
    const QLocale c = QLocale::c();
    settings_.time = checkClockText(ClockBox::Time, c.toString(now.time(), u"HH:mm:ss")).text;
    settings_.date = checkClockText(ClockBox::Date, c.toString(now.date(), u"MM/dd/yyyy")).text;
    return saveConfigurationFile(path, settings_, tables_);
}

} // namespace rtu
