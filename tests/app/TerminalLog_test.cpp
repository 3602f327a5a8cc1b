#include "app/TerminalLog.h"
#include "serial/LinkState.h"
#include "serial/Receiver.h"
#include "support/FakeSerialLibrary.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace rtu::test {
namespace {

const QDateTime At(QDate(2026, 12, 7), QTime(10, 12, 3, 123));

// A port message, a byte, a command line and a reply over two ticks, the second opening
// with a backspace.
void writeRun(TerminalScreen& screen) {
    FakeSerialLibrary library;
    LinkState link;
    link.CurrentPort = 0;
    Receiver receiver(library, link, screen);
    screen.appendLine("Initialize Port Status = OK");
    library.queueIncoming("x");
    receiver.PollReceiver();
    screen.insertSent("GPP\r\n");
    library.queueIncoming("PP0\x01");
    receiver.PollReceiver();
    library.queueIncoming("\b0060\r\n");
    receiver.PollReceiver();
}

QString hexLine(const QString& hex, const QString& text) {
    return hex.leftJustified(TerminalLog::HexBytesPerLine * 3) + ' ' + text + "\r\n";
}

TEST(TerminalLog, EachViewAddsToTheScreenTextWhichAllOffLeavesAsItIs) {
    TextTerminalScreen plain;
    writeRun(plain);
    TextTerminalScreen shown;
    TerminalLog log(shown, [] { return At; });
    QBuffer logFile;
    logFile.open(QIODevice::WriteOnly);
    log.setLogDevice(&logFile);
    writeRun(log);
    EXPECT_EQ(shown.text(), plain.text());

    log.setText({});
    log.setView({.markSent = true, .timestamps = true});
    writeRun(log);
    EXPECT_EQ(shown.text(), "10:12:03.123 Initialize Port Status = OK\r\n10:12:03.123 x\r\n"
                            "10:12:03.123 > GPP\r\n10:12:03.123 PP00060\r\n");

    log.setText({});
    log.setView({.markSent = true, .hex = true});
    writeRun(log);
    EXPECT_EQ(shown.text(), "Initialize Port Status = OK\r\n" + hexLine("78", "x") + "> GPP\r\n" +
                                hexLine("50 50 30 01 08 30 30 36 30 0D 0A", "PP0..0060.."));

    // A line left open shows once the line has gone quiet.
    const QString before = shown.text();
    log.insertReceived("ab", "ab", Receiver::ScreenLimit, Receiver::ScreenKeep);
    log.showIdleHexLine();
    EXPECT_EQ(shown.text(), before);
    log.showIdleHexLine();
    EXPECT_EQ(shown.text(), before + hexLine("61 62", "ab"));
    // The log file takes the traffic as the command-line tool writes it, whatever the view.
    EXPECT_EQ(logFile.data(),
              QByteArray("Initialize Port Status = OK\r\nxGPP\r\nPP0.0060\r\n").repeated(3) + "ab");
}

TEST(TrafficTranscript, EachLineKeepsTheTimeItBeganAndTheOldestTrafficGoesFirst) {
    using Kind = TrafficTranscript::Kind;
    TrafficTranscript transcript;
    transcript.add(Kind::Message, "Initialize Port Status = OK", At);
    transcript.add(Kind::Sent, "GPP\r\n", At.addSecs(1));
    transcript.add(Kind::Received, "PP0\x01", At.addSecs(2));
    transcript.add(Kind::Received, "\b0060\r\nP", At.addSecs(3));
    transcript.add(Kind::Sent, "A", At.addSecs(4));
    EXPECT_EQ(transcript.render(), "2026-12-07 10:12:03.123 * Initialize Port Status = OK\r\n"
                                   "2026-12-07 10:12:04.123 > GPP\r\n"
                                   "2026-12-07 10:12:05.123 < PP0<01><08>0060\r\n"
                                   "2026-12-07 10:12:06.123 < P\r\n"
                                   "2026-12-07 10:12:07.123 > A\r\n");

    TrafficTranscript small(100);
    small.add(Kind::Received, QByteArray(30, 'a'), At);
    small.add(Kind::Received, "b", At.addSecs(1));
    EXPECT_EQ(small.render(),
              "(older traffic of this run was not kept)\r\n2026-12-07 10:12:04.123 < b\r\n");
}

} // namespace
} // namespace rtu::test
