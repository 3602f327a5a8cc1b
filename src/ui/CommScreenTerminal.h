#pragma once

#include "serial/TerminalScreen.h"

#include <QObject>
#include <QString>

class QPlainTextEdit;

namespace rtu {

// The terminal screen on the terminal window's CommScreen text box. The screen's text is
// kept here with CR LF line ends, exactly as the program writes it, so lengths and the
// 4096/2048 cut count a line break as two characters; the text box shows it with one line
// break per CR LF (a lone CR or LF also breaks the line). Writes at the end reach the box
// as one insertion each; what the operator types into the box is carried back into the
// text.
class CommScreenTerminal : public QObject, public TerminalScreen {
    Q_OBJECT
public:
    explicit CommScreenTerminal(QPlainTextEdit& box, QObject* parent = nullptr);

    QString text() const override { return text_; }
    int length() const override { return int(text_.size()); }
    void setText(const QString& text) override;
    void insertAtEnd(const QString& text) override;
    void insertAtEndKeeping(const QString& text, int limit, int keep) override;
    void removeLastCharacter() override;
    void moveCaretToEnd() override;

    // How a text looks in the box: each CR LF, lone CR and lone LF becomes one '\n'.
    static QString shownForm(QStringView text);

private:
    void showWholeText();
    void followOperatorEdit();
    QString boxText() const;

    QPlainTextEdit& box_;
    QString text_;
    QString shown_;        // shownForm(text_), which is what the box holds
    bool writing_ = false; // the box is being changed from here, not by the operator
};

} // namespace rtu
