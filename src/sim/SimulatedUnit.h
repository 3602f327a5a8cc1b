#pragma once

#include "config/ConfigurationFile.h"
#include "config/Records.h"
#include "config/UnitSettings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace rtu {

// A Model 7350 unit without any I/O: it takes the bytes that arrive on its serial line and
// gives back, for every command line they complete, the answer it sends (if any). It holds
// the whole unit state: a clock that runs from the PC clock plus an offset, the unit-wide
// settings (kept as UnitSettings, so the configuration file code can read and write
// them), the three record tables and the software version.
//
// "S" lines change the state and are never answered; "G" lines are answered with the reply
// layouts the program reads; anything else is ignored, as a real unit ignores what it
// cannot parse.
class SimulatedUnit {
public:
    using Clock = std::function<QDateTime()>;

    // Longer lines are dropped whole: the unit's input buffer is bounded.
    static constexpr int MaxLineLength = 256;
    static constexpr const char* DefaultVersion = "7350-2.14";

    // One command line the unit received and what it answers (empty: no answer).
    struct Request {
        QByteArray line;
        QByteArray answer;
    };

    explicit SimulatedUnit(Clock pcClock = [] { return QDateTime::currentDateTime(); });
    SimulatedUnit(const SimulatedUnit&) = delete;
    SimulatedUnit& operator=(const SimulatedUnit&) = delete;

    // Feeds received bytes. Lines end at CR; LF is ignored; empty lines are no requests.
    // Returns the requests these bytes complete, in order; a partial line waits for more.
    QList<Request> receive(QByteArrayView bytes);

    // Acts on one complete command line (without its line end) and returns the answer,
    // CR LF included, or an empty array when the unit does not answer.
    QByteArray handleLine(const QByteArray& line);

    // The unit's clock as it reads now (a wall-clock time without time zone).
    QDateTime clock() const;
    int pollPeriodSeconds() const;
    QString version() const { return version_; }
    void setVersion(const QString& version) { version_ = version; }

    const RecordTables& tables() const { return tables_; }
    RecordTables& tables() { return tables_; }
    const UnitSettings& settings() const { return settings_; }
    UnitSettings& settings() { return settings_; }

    // Applies a configuration file to the state (the clock lines are not restored).
    LoadResult loadState(const QString& path);
    // Writes the state as a configuration file, the clock lines from the unit's clock.
    // Returns an empty string on success, else a one-line reason.
    QString saveState(const QString& path);

private:
    void applySetting(const QByteArray& line);
    bool applyConfigurationLine(const QByteArray& line);
    void setClockTime(QByteArrayView digits);
    void setClockDate(QByteArrayView digits);
    void setClock(const QDateTime& unitTime);
    QByteArray answerQuery(const QByteArray& line) const;
    QByteArray clockReply() const;
    QByteArray lcdTextReply() const;
    std::optional<Request> completeLine();

    Clock pcClock_;
    UnitSettings settings_;
    RecordTables tables_;
    qint64 clockOffsetSeconds_ = 0;
    QString version_ = QString::fromLatin1(DefaultVersion);
    QByteArray pendingLine_;
    bool pendingTooLong_ = false;
};

} // namespace rtu
