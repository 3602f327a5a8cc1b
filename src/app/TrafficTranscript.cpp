#include "app/TrafficTranscript.h"

namespace rtu {

namespace {

constexpr char CrByte = '\r';
constexpr char LfByte = '\n';

QChar markOf(TrafficTranscript::Kind kind) {
    switch (kind) {
    case TrafficTranscript::Kind::Sent:
        return u'>';
    case TrafficTranscript::Kind::Received:
        return u'<';
    case TrafficTranscript::Kind::Message:
        break;
    }
    return u'*';
}

QString printable(char byte) {
    const auto code = static_cast<unsigned char>(byte);
    if (code >= 0x20 && code <= 0x7E)
        return QString(QChar(char16_t(code)));
    return QStringLiteral("<%1>").arg(code, 2, 16, QChar(u'0')).toUpper();
}

// Builds the rendered text: the traffic of one direction flows into lines until a line end,
// or until a piece of another kind ends the line it left open.
class TranscriptLines {
public:
    void take(TrafficTranscript::Kind kind, const QByteArray& data, const QDateTime& time) {
        if (kind != kind_)
            endOpenLine();
        kind_ = kind;
        if (kind == TrafficTranscript::Kind::Message) {
            for (const QString& line : QString::fromUtf8(data).split(QStringLiteral("\r\n")))
                write(time, line);
            return;
        }
        for (const char byte : data) {
            const bool pairsWithCr = byte == LfByte && afterCr_;
            afterCr_ = byte == CrByte;
            if (byte == CrByte || byte == LfByte) {
                if (!pairsWithCr)
                    endLine(time);
                continue;
            }
            if (!open_) {
                open_ = true;
                openedAt_ = time;
            }
            line_ += printable(byte);
        }
    }

    QString finish() {
        endOpenLine();
        return text_;
    }

private:
    void endOpenLine() {
        if (open_)
            endLine(openedAt_);
        afterCr_ = false;
    }
    void endLine(const QDateTime& time) {
        write(open_ ? openedAt_ : time, line_);
        line_.clear();
        open_ = false;
    }
    void write(const QDateTime& time, const QString& line) {
        text_ += time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz ")) + markOf(kind_) + u' ' +
                 line + QStringLiteral("\r\n");
    }

    TrafficTranscript::Kind kind_ = TrafficTranscript::Kind::Message;
    QString text_;
    QString line_;
    QDateTime openedAt_;
    bool open_ = false;
    bool afterCr_ = false;
};

} // namespace

void TrafficTranscript::add(Kind kind, const QByteArray& data, const QDateTime& time) {
    if (data.isEmpty())
        return;
    pieces_.push_back({time, kind, data});
    size_ += cost(pieces_.back());
    while (size_ > limit_ && pieces_.size() > 1) {
        size_ -= cost(pieces_.front());
        pieces_.pop_front();
        dropped_ = true;
    }
}

QString TrafficTranscript::render() const {
    TranscriptLines lines;
    for (const Piece& piece : pieces_)
        lines.take(piece.kind, piece.data, piece.time);
    const QString text = lines.finish();
    return dropped_ ? QStringLiteral("(older traffic of this run was not kept)\r\n") + text : text;
}

} // namespace rtu
