// Receiver benchmark: a peer floods a pseudo-terminal as fast as it can while the desktop
// program's main window (offscreen) has it open as COM1, so every byte goes through
// QSerialPort, QtSerialLibrary, the Receiver, the reply buffer and the terminal window's
// text box with its 4096/2048 cut, as in the program. Meanwhile a 100 ms timer on the same
// thread records the longest gap between its ticks. Prints the figures beside their targets
// and exits 1 when one is missed. Not a test.
//
//   rtu7350-bench-receiver [SECONDS]     (default 3 s of flooding)

#include "serial/Receiver.h"
#include "serial/QtSerialLibrary.h"
#include "ui/Dialogs.h"
#include "ui/RtuForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr double TargetBytesPerSecond = 1e6;
constexpr qint64 TargetGapMs = 200;
constexpr int TickMs = 100;
constexpr QLatin1StringView EndMarker("END-OF-FLOOD\r\n");

// 62 printable characters and CR LF: the terminal shows one line per 64 bytes.
QByteArray floodLines() {
    QByteArray line;
    for (char c = '0'; line.size() < 62; c = c == 'z' ? '0' : char(c + 1))
        line += c;
    line += "\r\n";
    return line.repeated(256);
}

bool writeAll(int fd, QByteArrayView bytes) {
    while (!bytes.isEmpty()) {
        const ssize_t written = ::write(fd, bytes.data(), std::size_t(bytes.size()));
        if (written < 0 && errno != EINTR)
            return false;
        if (written > 0)
            bytes = bytes.sliced(written);
    }
    return true;
}

// The flooding peer: blocking writes on the master side from a thread of its own, for
// `seconds`, then the end marker. Counts what it wrote.
void flood(int master, double seconds, std::atomic<qint64>& written) {
    const QByteArray block = floodLines();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < qint64(seconds * 1000)) {
        if (!writeAll(master, block))
            return;
        written += block.size();
    }
    if (writeAll(master, QByteArrayView(EndMarker.data(), EndMarker.size())))
        written += EndMarker.size();
}

struct Pty {
    int master = -1;
    QString slave;
};

Pty openPty() {
    Pty pty;
    pty.master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (pty.master < 0 || ::grantpt(pty.master) != 0 || ::unlockpt(pty.master) != 0)
        return {};
    pty.slave = QString::fromLocal8Bit(::ptsname(pty.master));
    return pty;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    const Pty pty = openPty();
    QTemporaryDir directory;
    if (pty.master < 0 || !directory.isValid() || !(seconds > 0)) {
        std::fprintf(stderr, "rtu7350-bench-receiver: no pseudo-terminal or scratch folder\n");
        return 1;
    }

    // The desktop program as main() makes it, COM1 on the pseudo-terminal.
    rtu::QtSerialLibrary library;
    library.setDevice(0, pty.slave);
    rtu::MessageBoxNotifier notifier;
    rtu::FileDialogChooser files;
    rtu::PortDevicesDialogChooser devices;
    rtu::RtuForm form({library, notifier, files, devices, directory.path()});
    form.load();
    rtu::Session& session = form.session();
    if (session.link.CurrentPort != 0) {
        std::fprintf(stderr, "rtu7350-bench-receiver: COM1 (%s) did not open\n",
                     qPrintable(pty.slave));
        return 1;
    }

    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longestGap = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
    });
    // Connected after the session's own receiver tick, so this runs once the bytes are in.
    qint64 doneMs = -1;
    qint64 notices = 0;
    QObject::connect(&library, &rtu::SerialLibrary::bytesWaiting, [&] {
        ++notices;
        if (doneMs < 0 && session.link.ReplyBuffer.endsWith(EndMarker)) {
            doneMs = clock.elapsed();
            app.quit();
        }
    });

    std::atomic<qint64> written = 0;
    clock.start();
    ticker.start(TickMs);
    std::thread peer(flood, pty.master, seconds, std::ref(written));
    // Quits early when the marker comes through; a receiver that stalls ends here.
    QTimer::singleShot(int(seconds * 1000) + 30000, &app, &QCoreApplication::quit);
    app.exec();
    ticker.stop();
    longestGap = std::max(longestGap, clock.elapsed() - lastTick); // a stall at the end too
    const bool complete = doneMs > 0;
    ::close(pty.master); // also frees a peer still blocked on a full line
    peer.join();

    const QString screen = form.terminal().screen().text();
    const double rate = complete ? double(written) / (double(doneMs) / 1000) : 0;
    const bool rateOk = rate >= TargetBytesPerSecond;
    const bool gapOk = longestGap <= TargetGapMs;
    std::printf("rtu7350 receiver benchmark: a peer flooding a pseudo-terminal for %.1f s into "
                "the desktop program (offscreen)\n",
                seconds);
    std::printf("%-36s %14s %14s\n", "figure", "measured", "target");
    std::printf("%-36s %14.2f %14s  %s\n", "receiver MB/s (1e6 bytes)", rate / 1e6, ">= 1.00",
                rateOk ? "ok" : "MISSED");
    std::printf("%-36s %14lld %14s  %s\n", "longest gap of 100 ms ticks, ms", longestGap, "<= 200",
                gapOk ? "ok" : "MISSED");
    std::printf("%-36s %14lld\n", "bytes moved", qint64(written));
    std::printf("%-36s %14lld\n", "receiver ticks (ready-read notices)", notices);
    std::printf("%-36s %14.3f\n", "seconds until the last byte", double(doneMs) / 1000);
    std::printf("%-36s %14lld %14s\n", "reply buffer, characters",
                qint64(session.link.ReplyBuffer.size()), "<= 60 + CR/LF");
    std::printf("%-36s %14lld %14s\n", "terminal screen, characters", qint64(screen.size()),
                "<= 4096");
    if (!complete || !screen.endsWith(EndMarker))
        std::printf("the end of the flood did not reach the terminal screen\n");
    form.close();
    return complete && rateOk && gapOk ? 0 : 1;
}
