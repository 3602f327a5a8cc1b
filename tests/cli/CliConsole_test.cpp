#include "cli/CliConsole.h"
#include "cli/LogTerminalScreen.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace rtu {
namespace {

TEST(CliConsole, TheLogKeepsEveryByteAndMessagesPrintAsOneLineLeavingBatchErrorsToTheTool) {
    QBuffer log;
    log.open(QIODevice::WriteOnly);
    LogTerminalScreen screen(&log);
    screen.appendLine(QStringLiteral("GPP"));
    const QString received = QStringLiteral("PP00060\r\n") + QChar(0) + QChar(0xFF);
    screen.insertAtEnd(received);
    EXPECT_EQ(screen.text(), QStringLiteral("GPP\r\n") + received);

    // The receiver trims a long screen; the log keeps the whole traffic.
    screen.setText(QStringLiteral("tail"));
    screen.removeLastCharacter();
    screen.insertAtEnd(QStringLiteral("!"));
    EXPECT_EQ(screen.text(), "tai!");
    EXPECT_EQ(log.data(), QByteArray("GPP\r\nPP00060\r\n\0\xFF!", 17));

    QString text;
    QTextStream stream(&text);
    StreamNotifier notifier(stream);
    notifier.showMessage(QStringLiteral("Error!"), QString(), MessageIcon::Critical);
    notifier.beep();
    notifier.showMessage(QStringLiteral("Please use this format for Time 17:08:23 "),
                         QStringLiteral("Hi"), MessageIcon::Information);
    EXPECT_EQ(text, "rtu7350-cli: Hi: Please use this format for Time 17:08:23\n");
}

} // namespace
} // namespace rtu
