#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace rtu {

// The simulated unit's end of a serial line: a pseudo-terminal pair whose slave side
// (slavePath()) a client opens as its serial port, while the unit reads and writes the master
// side, raw and without blocking. The pair exists on POSIX systems only
// (PseudoTerminalPosix.cpp); elsewhere, and in the portable build, open() says that there is
// none (PseudoTerminalNone.cpp) and the simulated unit cannot be served.
class PseudoTerminal : public QObject {
    Q_OBJECT
public:
    explicit PseudoTerminal(QObject* parent = nullptr);
    ~PseudoTerminal() override;

    // Creates the pair (a new one, when open already). Returns an empty string on success,
    // else a one-line reason.
    QString open();
    bool isOpen() const { return line_ != nullptr; }
    QString slavePath() const { return slavePath_; }

    // What the client has sent and nobody read yet (possibly nothing); nullopt when the line
    // has failed.
    std::optional<QByteArray> read();
    // Writes what the line takes now: the number of bytes written (0 while its buffer is
    // full), or nullopt when the line has failed.
    std::optional<qsizetype> write(QByteArrayView bytes);
    // How many written bytes the client has not read yet.
    int unreadByClient() const;
    // Closes both sides: the client's port fails as with an unplugged adapter. Safe to call
    // from a slot connected to readyRead().
    void close();

signals:
    void readyRead();

private:
    struct Line; // the descriptors of the open pair
    std::unique_ptr<Line> line_;
    QString slavePath_;
};

} // namespace rtu
