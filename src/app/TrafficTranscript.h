#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <deque>

namespace rtu {

// The whole traffic of a run, as it happened and with the time of each piece: the lines and
// keys sent, the bytes received and the program's own messages. The terminal screen keeps
// only its last few thousand characters; this keeps the most recent `limitBytes` of traffic,
// dropping the oldest pieces first, for "Save Log...".
class TrafficTranscript {
public:
    enum class Kind { Sent, Received, Message };
    static constexpr qsizetype DefaultLimitBytes = qsizetype(10) * 1024 * 1024;

    explicit TrafficTranscript(qsizetype limitBytes = DefaultLimitBytes) : limit_(limitBytes) {}

    void add(Kind kind, const QByteArray& data, const QDateTime& time);
    bool droppedSome() const { return dropped_; }

    // One line per line of traffic, CR LF ended: "2026-12-07 10:12:03.123 > GPP", with ">"
    // for what was sent, "<" for what was received and "*" for messages. A line of traffic
    // takes the time its first byte went or came; a line cut short by traffic the other way
    // ends there. Bytes that are not printable ASCII show as <XX>.
    QString render() const;

private:
    struct Piece {
        QDateTime time;
        Kind kind;
        QByteArray data;
    };
    // What a piece costs against the limit, its bookkeeping included.
    static qsizetype cost(const Piece& piece) { return piece.data.size() + 64; }

    qsizetype limit_;
    qsizetype size_ = 0;
    bool dropped_ = false;
    std::deque<Piece> pieces_;
};

} // namespace rtu
