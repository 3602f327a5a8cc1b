#pragma once

#include <QLabel>

namespace rtu {

// A one-line label that may be narrower than its text: it shows as much as fits, ending in
// an ellipsis, and the whole text as its tooltip. text() stays the whole text. Where there
// is room it likes to be as wide as its whole text, and at least its preferred width.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);
    void setWholeText(const QString& text);
    void setPreferredWidth(int width) { preferredWidth_ = width; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int preferredWidth_ = 0;
};

} // namespace rtu
