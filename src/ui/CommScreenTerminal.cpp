#include "ui/CommScreenTerminal.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <vector>

namespace rtu {

namespace {

constexpr QChar Cr = u'\r';
constexpr QChar Lf = u'\n';

bool breaksLine(QChar c) {
    return c == Cr || c == Lf || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// Offsets in `text` at which each shown character starts, and the text's end: a CR LF
// pair is one shown character.
std::vector<qsizetype> shownStarts(QStringView text) {
    std::vector<qsizetype> starts;
    starts.reserve(std::size_t(text.size()) + 1);
    for (qsizetype i = 0; i < text.size(); ++i) {
        starts.push_back(i);
        if (text[i] == Cr && i + 1 < text.size() && text[i + 1] == Lf)
            ++i;
    }
    starts.push_back(text.size());
    return starts;
}

// Operator input as screen text: every line break the box holds becomes CR LF.
QString withLineEnds(QStringView shown) {
    QString text;
    text.reserve(shown.size());
    for (QChar c : shown) {
        if (c == Lf)
            text += QStringLiteral("\r\n");
        else
            text += c;
    }
    return text;
}

} // namespace

CommScreenTerminal::CommScreenTerminal(QPlainTextEdit& box, QObject* parent)
    : QObject(parent), box_(box) {
    box_.setUndoRedoEnabled(false);
    text_ = withLineEnds(boxText());
    shown_ = shownForm(text_);
    connect(&box_, &QPlainTextEdit::textChanged, this, &CommScreenTerminal::followOperatorEdit);
}

QString CommScreenTerminal::shownForm(QStringView text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == Cr && i + 1 < text.size() && text[i + 1] == Lf)
            ++i;
        shown += breaksLine(c) ? Lf : c;
    }
    return shown;
}

QString CommScreenTerminal::boxText() const {
    QString text = box_.document()->toRawText();
    std::replace_if(text.begin(), text.end(), breaksLine, Lf);
    return text;
}

void CommScreenTerminal::setText(const QString& text) {
    text_ = text;
    showWholeText();
}

void CommScreenTerminal::insertAtEnd(const QString& text) {
    if (text.isEmpty())
        return;
    // A lone CR already shown as a line break pairs with an LF that now follows it.
    const bool pairsWithEnd = text_.endsWith(Cr) && text.startsWith(Lf);
    text_ += text;
    const QString added = shownForm(QStringView(text).mid(pairsWithEnd ? 1 : 0));
    shown_ += added;
    writing_ = true;
    QTextCursor cursor = box_.textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(added);
    box_.setTextCursor(cursor);
    writing_ = false;
}

// A flood cuts the text at every insertion: the box drops its head and takes the new end
// in one change, laid out once, instead of taking everything and then the whole text anew.
void CommScreenTerminal::insertAtEndKeeping(const QString& text, int limit, int keep) {
    const qsizetype shownBefore = shown_.size();
    const bool pairsWithEnd = text_.endsWith(Cr) && text.startsWith(Lf);
    text_ += text;
    const QString added = shownForm(QStringView(text).mid(pairsWithEnd ? 1 : 0));
    shown_ += added;
    if (text_.size() > limit) {
        // How the kept end looks is always the end of how the whole text looked.
        text_ = text_.right(keep);
        shown_ = shownForm(text_);
    }
    // The box keeps what survives of what it showed, and takes the rest at its end.
    const qsizetype keptBefore = std::max<qsizetype>(0, shown_.size() - added.size());
    writing_ = true;
    QTextCursor cursor(box_.document());
    cursor.beginEditBlock();
    cursor.setPosition(int(shownBefore - keptBefore), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(shown_.sliced(keptBefore));
    cursor.endEditBlock();
    box_.setTextCursor(cursor);
    writing_ = false;
    box_.ensureCursorVisible();
}

void CommScreenTerminal::removeLastCharacter() {
    if (text_.isEmpty())
        return;
    const bool splitsPair = text_.endsWith(QLatin1String("\r\n"));
    text_.chop(1);
    if (splitsPair) // the lone CR left behind still shows as the same line break
        return;
    shown_.chop(1);
    writing_ = true;
    QTextCursor cursor = box_.textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.setPosition(cursor.position() - 1, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    box_.setTextCursor(cursor);
    writing_ = false;
}

void CommScreenTerminal::moveCaretToEnd() {
    QTextCursor cursor = box_.textCursor();
    cursor.movePosition(QTextCursor::End);
    box_.setTextCursor(cursor);
    box_.ensureCursorVisible();
}

void CommScreenTerminal::showWholeText() {
    const int caret = box_.textCursor().position();
    shown_ = shownForm(text_);
    writing_ = true;
    box_.setPlainText(shown_);
    QTextCursor cursor = box_.textCursor();
    cursor.setPosition(std::min<int>(caret, int(shown_.size())));
    box_.setTextCursor(cursor);
    writing_ = false;
}

// The operator changed the box (typing, pasting, deleting): the one region that differs
// between what was shown and what the box now holds replaces the same region of the text.
void CommScreenTerminal::followOperatorEdit() {
    if (writing_)
        return;
    const QString now = boxText();
    const qsizetype common = std::min(shown_.size(), now.size());
    qsizetype prefix = 0;
    while (prefix < common && shown_[prefix] == now[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < common - prefix &&
           shown_[shown_.size() - 1 - suffix] == now[now.size() - 1 - suffix])
        ++suffix;

    const std::vector<qsizetype> starts = shownStarts(text_);
    const qsizetype from = starts[std::size_t(prefix)];
    const qsizetype to = starts[std::size_t(shown_.size() - suffix)];
    text_.replace(from, to - from,
                  withLineEnds(QStringView(now).mid(prefix, now.size() - suffix - prefix)));
    shown_ = shownForm(text_);
    // Lone CR and LF that the edit brought together form one break now: show that.
    if (shown_ != now)
        showWholeText();
}

} // namespace rtu
