#include "ui/LcdTextBox.h"

#include "config/ConfigurationFile.h"
#include "config/UnitSettings.h"

#include <algorithm>

namespace rtu {

namespace {

qsizetype unstorable(const QString& text) {
    return std::count_if(text.begin(), text.end(),
                         [](QChar c) { return !isStorableTextCharacter(c); });
}

} // namespace

LcdTextBox::LcdTextBox(QWidget* parent) : QLineEdit(parent), guard_(new QuoteGuard(*this)) {
    setValidator(guard_);
    // The validator sees the edited text only, so it keeps the text the edit started from.
    connect(this, &QLineEdit::textChanged, this,
            [this](const QString& text) { guard_->accepted = text; });
}

void LcdTextBox::showText(const QString& text) {
    setMaxLength(std::max(UnitSettings::LcdTextMaxLength, int(text.size())));
    guard_->accepted = text; // not an edit of the operator's: nothing to refuse
    if (this->text() != text)
        setText(text);
}

QValidator::State LcdTextBox::QuoteGuard::validate(QString& input, int&) const {
    if (unstorable(input) <= unstorable(accepted))
        return Acceptable;
    emit box_.characterRefused();
    return Invalid;
}

void LcdTextBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit focusEntered();
}

} // namespace rtu
