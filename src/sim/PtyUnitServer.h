#pragma once

#include "sim/PseudoTerminal.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <optional>

namespace rtu {

class SimulatedUnit;

// How the simulated unit behaves on its line, including the faults tests ask for.
struct ServerOptions {
    int baud = 9600;      // one character takes 10 bit times, both ways
    int turnaroundMs = 5; // from the end of a request to the start of its answer
    int byteDelayMs = 0;  // answer bytes leave this far apart at least, as from a slow unit
    bool silent = false;  // never answers
    int dropEvery = 0;    // leave every Nth request unanswered (0: never)
    int garbleEvery = 0;  // corrupt one byte of every Nth answer (0: never)
    bool echo = false;    // echo every received byte at once
    bool noise = false;   // unsolicited junk bytes between answers
    int noiseEvery = 0;   // junk bytes ahead of every Nth answer (0: never)
    int hangupAfter = 0;  // close the line once the Nth request is served (0: never)
    QString linkPath{};   // a fixed name for the line while it is served (empty: none)
};

// Serves a SimulatedUnit on a pseudo-terminal: the client opens slavePath() as its serial
// port. Requests are timed as if they had crossed the line at the set speed, and answers
// leave at that speed, so exchanges take as long as they would with a real unit. Where the
// build has no pseudo-terminals, start() says so. The pseudo-terminal's name changes from run
// to run; with a link path the line is also found under that fixed name, a symbolic link
// that lives as long as the line, as an adapter's stable name does.
class PtyUnitServer : public QObject {
    Q_OBJECT
public:
    static constexpr int NoiseIntervalMs = 200;

    PtyUnitServer(SimulatedUnit& unit, const ServerOptions& options, QObject* parent = nullptr);
    ~PtyUnitServer() override;

    // Creates the pseudo-terminal pair (and the link) and starts serving. Returns an empty
    // string on success, else a one-line reason.
    QString start();

    QString slavePath() const { return line_.slavePath(); }
    bool isServing() const { return line_.isOpen(); }
    int requestCount() const { return requestCount_; }

public slots:
    // Closes the line as an unplugged adapter would: the client sees its port fail.
    void hangUp();

signals:
    void bytesReceived();
    void hungUp();

private:
    // Bytes on their way out: due from startMs at one character per character time.
    struct Outgoing {
        QByteArray bytes;
        double startMs = 0;
        qsizetype sent = 0;
    };

    QString placeLink();
    void removeLink();
    void readLine();
    void serveRequestLine(const QByteArray& answer, double completedAtMs);
    void enqueue(const QByteArray& bytes, double readyAtMs);
    void pump();
    void schedulePump();
    void hangUpOnceDrained(double now);
    std::optional<qsizetype> writeToLine(QByteArrayView bytes);
    void sendNoise();
    QByteArray noiseBurst();
    double nowMs() const;
    double charTimeMs() const;
    double answerByteMs() const;

    SimulatedUnit& unit_;
    const ServerOptions options_;
    PseudoTerminal line_;
    QElapsedTimer clock_;
    QTimer pumpTimer_;
    QTimer noiseTimer_;
    std::deque<Outgoing> queue_;
    double inputFreeAtMs_ = 0;  // when the last received byte has fully crossed the line
    double outputFreeAtMs_ = 0; // when the last queued byte will have left
    int requestCount_ = 0;
    int answerCount_ = 0;
    int noisePosition_ = 0;
    bool hangupPending_ = false;
    double hangupDeadlineMs_ = -1; // set once the planned hang-up waits for the client
    bool linked_ = false;          // the link path leads to this line
};

} // namespace rtu
