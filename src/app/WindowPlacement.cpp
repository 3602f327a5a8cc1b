#include "app/WindowPlacement.h"

#include <algorithm>

namespace rtu {

namespace {

// The rectangle moved the least to lie inside area (its top-left corner wins when it is
// larger than the area).
QRect keptInside(QRect rect, const QRect& area) {
    rect.moveLeft(std::max(area.left(), std::min(rect.left(), area.right() - rect.width() + 1)));
    rect.moveTop(std::max(area.top(), std::min(rect.top(), area.bottom() - rect.height() + 1)));
    return rect;
}

} // namespace

QRect terminalPlace(const QRect& mainFrame, const QSize& terminalFrame, const QRect& area) {
    const QRect beside(mainFrame.topRight() + QPoint(1, 0), terminalFrame);
    if (area.contains(beside))
        return beside;
    const QRect below(mainFrame.bottomLeft() + QPoint(0, 1), terminalFrame);
    if (area.contains(below))
        return below;
    return keptInside(beside, area);
}

QPoint mainPlace(const QSize& mainFrame, const QSize& terminalFrame, const QRect& area) {
    QSize pair(mainFrame.width() + terminalFrame.width(), mainFrame.height());
    const QSize stacked(std::max(mainFrame.width(), terminalFrame.width()),
                        mainFrame.height() + terminalFrame.height());
    if (pair.width() > area.width() && stacked.height() <= area.height())
        pair = stacked;
    return area.topLeft() + QPoint(std::max(0, (area.width() - pair.width()) / 2),
                                   std::max(0, (area.height() - pair.height()) / 2));
}

} // namespace rtu
