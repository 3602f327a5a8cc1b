#pragma once

#include <QLineEdit>
#include <QValidator>

namespace rtu {

// One line of the unit's two-line display. A double quote cannot be stored (the
// configuration file quotes these texts without escaping), nor a character outside Latin-1
// (the unit takes one byte per character), nor a control character (the unit would act on
// it), so an edit that would add one, typed, pasted or dropped, is refused and reported;
// such a character already in the text can still be deleted. The box also reports when it
// takes the focus.
class LcdTextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit LcdTextBox(QWidget* parent = nullptr);

    // Shows a text set by the program: whole, even beyond 20 characters or with quotes
    // (typing then stops at the longer of the two lengths).
    void showText(const QString& text);

signals:
    void focusEntered();
    void characterRefused();

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    class QuoteGuard : public QValidator {
    public:
        explicit QuoteGuard(LcdTextBox& box) : QValidator(&box), box_(box) {}
        State validate(QString& input, int& position) const override;
        QString accepted; // the box's text before the edit being checked

    private:
        LcdTextBox& box_;
    };

    QuoteGuard* guard_;
};

} // namespace rtu
