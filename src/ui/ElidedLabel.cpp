#include "ui/ElidedLabel.h"

#include <QPainter>

#include <algorithm>

namespace rtu {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {}

void ElidedLabel::setWholeText(const QString& text) {
    setText(text);
    setToolTip(text);
}

QSize ElidedLabel::sizeHint() const {
    const QSize whole = QLabel::sizeHint();
    return {std::max(whole.width(), preferredWidth_), whole.height()};
}

QSize ElidedLabel::minimumSizeHint() const {
    const int frame = 2 * frameWidth() + 2 * margin();
    return {fontMetrics().horizontalAdvance(QStringLiteral("\u2026")) + frame,
            QLabel::minimumSizeHint().height()};
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    painter.drawText(room, int(alignment()),
                     fontMetrics().elidedText(text(), Qt::ElideRight, room.width()));
}

} // namespace rtu
