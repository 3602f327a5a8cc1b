#include "serial/Receiver.h"

#include "serial/LinkState.h"
#include "serial/SerialLibrary.h"
#include "serial/TerminalScreen.h"

namespace rtu {

namespace {

constexpr int CarriageReturn = 13;
constexpr int LineFeed = 10;
constexpr int Backspace = 8;
constexpr int FirstPrintable = 32;
constexpr int LastPrintable = 126;
constexpr char16_t Placeholder = u'.';

QChar shownCharacter(int byte) {
    if (byte < FirstPrintable || byte > LastPrintable)
        return QChar(Placeholder);
    return QChar(char16_t(byte));
}

void keepAtMost(QString& text, qsizetype size) {
    if (text.size() > size)
        text.remove(0, text.size() - size);
}

} // namespace

Receiver::Receiver(SerialLibrary& library, LinkState& link, TerminalScreen& screen)
    : library_(library), link_(link), screen_(screen) {}

void Receiver::PollReceiver() {
    // What this tick adds to the screen, inserted in one piece at the end.
    QString screenLine;
    QByteArray bytes;

    // Drain everything waiting; GetByte answers -1 also while no port is open.
    for (int byte = library_.GetByte(link_.CurrentPort); byte >= 0;
         byte = library_.GetByte(link_.CurrentPort)) {
        bytes += char(byte);
        if (byte == CarriageReturn) {
            screenLine += QStringLiteral("\r\n");
            link_.ReplyBuffer += QChar(char16_t(CarriageReturn));
        } else if (byte == LineFeed) {
            // CR already broke the screen line, so LF shows nothing; the reply keeps it.
            link_.ReplyBuffer += QChar(char16_t(LineFeed));
        } else if (byte == Backspace) {
            if (!screenLine.isEmpty()) {
                screenLine.chop(1);
            } else if (screen_.length() > 0) {
                screen_.removeLastCharacter();
                screen_.moveCaretToEnd();
            }
        } else {
            const QChar shown = shownCharacter(byte);
            screenLine += shown;
            link_.ReplyBuffer += shown;
            keepAtMost(link_.ReplyBuffer, ReplyBufferKeep);
        }
        // Line ends alone never trigger the cut above: a flood of them is cut in large
        // steps here, and exactly once the tick is over.
        if (link_.ReplyBuffer.size() > qsizetype(2) * ReplyBufferLimit)
            keepAtMost(link_.ReplyBuffer, ReplyBufferLimit);
    }

    keepAtMost(link_.ReplyBuffer, ReplyBufferLimit);
    if (!bytes.isEmpty())
        screen_.insertReceived(screenLine, bytes, ScreenLimit, ScreenKeep);
}

} // namespace rtu
