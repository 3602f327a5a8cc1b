#include "app/WindowPlacement.h"

#include <QSettings>

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

// Where a pair of the given extent starts when centred on the area.
QPoint centred(const QSize& pair, const QRect& area) {
    return area.topLeft() + QPoint(std::max(0, (area.width() - pair.width()) / 2),
                                   std::max(0, (area.height() - pair.height()) / 2));
}

bool fitsOneScreen(const QRect& frame, const QList<QRect>& areas) {
    return std::any_of(areas.begin(), areas.end(),
                       [&frame](const QRect& area) { return area.contains(frame); });
}

} // namespace

WindowPair placeWindows(const PlacementSizes& sizes, const QMargins& frame, const QRect& area) {
    const QSize border(frame.left() + frame.right(), frame.top() + frame.bottom());
    const QSize main = sizes.main + border;
    const QSize least(sizes.terminalLeast.width() + border.width(),
                      sizes.terminalLeast.height() + LeastLogLines * sizes.logLineHeight +
                          border.height());

    const int besideWidth =
        std::min(std::max(sizes.terminal.width() + border.width(), least.width()),
                 area.width() - main.width());
    const int besideHeight = std::max(main.height(), least.height());
    if (besideWidth >= least.width() && besideHeight <= area.height()) {
        const QPoint at = centred(QSize(main.width() + besideWidth, besideHeight), area);
        return {QRect(at, main),
                QRect(at + QPoint(main.width(), 0), QSize(besideWidth, besideHeight))};
    }

    const int belowHeight =
        std::max(least.height(), std::min(main.height(), area.height() - main.height()));
    const QPoint at = centred(QSize(main.width(), main.height() + belowHeight), area);
    const QRect mainFrame = keptInside(QRect(at, main), area);
    const QRect below(area.left(), mainFrame.bottom() + 1, std::max(area.width(), least.width()),
                      belowHeight);
    return {mainFrame, keptInside(below, area)};
}

void rememberPlaces(QSettings& settings, const WindowPlaces& places) {
    settings.setValue(QStringLiteral("windows/mainFrame"), places.main.frame);
    settings.setValue(QStringLiteral("windows/mainSize"), places.main.size);
    settings.setValue(QStringLiteral("windows/terminalFrame"), places.terminal.frame);
    settings.setValue(QStringLiteral("windows/terminalSize"), places.terminal.size);
}

std::optional<WindowPlaces> rememberedPlaces(const QSettings& settings) {
    const WindowPlaces places{{settings.value(QStringLiteral("windows/mainFrame")).toRect(),
                               settings.value(QStringLiteral("windows/mainSize")).toSize()},
                              {settings.value(QStringLiteral("windows/terminalFrame")).toRect(),
                               settings.value(QStringLiteral("windows/terminalSize")).toSize()}};
    for (const WindowPlace& place : {places.main, places.terminal}) {
        if (place.frame.isEmpty() || place.size.isEmpty())
            return std::nullopt;
    }
    return places;
}

bool placesFit(const WindowPlaces& places, const QList<QRect>& areas) {
    return fitsOneScreen(places.main.frame, areas) && fitsOneScreen(places.terminal.frame, areas);
}

} // namespace rtu
