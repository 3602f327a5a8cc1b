#pragma once

#include <QByteArray>
#include <QString>

namespace rtu {

// The terminal window's log text (CommScreen). The receiver, the port routines and the
// command exchange write to it; the desktop program backs it with its text box, the
// command-line tool with a log file, tests with a plain string. Line breaks are CR LF.
class TerminalScreen {
public:
    virtual ~TerminalScreen() = default;
    virtual QString text() const = 0;
    virtual int length() const { return text().size(); }
    virtual void setText(const QString& text) = 0;
    // Puts the caret at the end, nothing selected, and inserts there.
    virtual void insertAtEnd(const QString& text) = 0;
    virtual void removeLastCharacter() = 0;
    virtual void moveCaretToEnd() = 0;

    // Inserts at the end; then, once the text is longer than `limit`, keeps only its last
    // `keep` characters; the caret ends at the end. A screen backed by a text box makes it
    // one change of the box.
    virtual void insertAtEndKeeping(const QString& text, int limit, int keep) {
        insertAtEnd(text);
        if (length() > limit)
            setText(this->text().right(keep));
        moveCaretToEnd();
    }

    // One message line followed by CR LF, caret to the end.
    virtual void appendLine(const QString& line) {
        insertAtEnd(line + QStringLiteral("\r\n"));
        moveCaretToEnd();
    }

    // A command line the program sends, as it goes out.
    virtual void insertSent(const QString& line) { insertAtEnd(line); }

    // What one receiver tick drained: `shown` is its text as the screen shows it (possibly
    // empty), `bytes` the bytes as they came; then the screen is cut as insertAtEndKeeping.
    virtual void insertReceived(const QString& shown, const QByteArray& bytes, int limit,
                                int keep) {
        Q_UNUSED(bytes);
        if (!shown.isEmpty())
            insertAtEndKeeping(shown, limit, keep);
    }
};

// A terminal screen held in a string.
class TextTerminalScreen : public TerminalScreen {
public:
    QString text() const override { return text_; }
    int length() const override { return text_.size(); }
    void setText(const QString& text) override { text_ = text; }
    void insertAtEnd(const QString& text) override { text_ += text; }
    void removeLastCharacter() override { text_.chop(1); }
    void moveCaretToEnd() override {}

private:
    QString text_;
};

} // namespace rtu
