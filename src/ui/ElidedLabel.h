#pragma once

#include <QLabel>

namespace rtu {

// A one-line label that may be narrower than its text: it shows as much as fits, ending in
// an ellipsis, and the whole text as its tooltip. text() stays the whole text.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);
    void setWholeText(const QString& text);
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace rtu
