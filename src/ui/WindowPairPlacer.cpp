#include "ui/WindowPairPlacer.h"

#include "ui/TerminalForm.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

namespace rtu {

namespace {

QMargins marginsOf(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect inside = window.geometry();
    return {inside.left() - frame.left(), inside.top() - frame.top(),
            frame.right() - inside.right(), frame.bottom() - inside.bottom()};
}

void putAt(QWidget& window, const QRect& frame, const QMargins& margins) {
    window.resize(frame.size().shrunkBy(margins));
    window.move(frame.topLeft());
}

void putAt(QWidget& window, const WindowPlace& place) {
    window.resize(place.size);
    window.move(place.frame.topLeft());
}

QList<QRect> screenAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

} // namespace

WindowPairPlacer::WindowPairPlacer(QWidget& main, TerminalForm& terminal)
    : main_(main), terminal_(terminal) {
    main_.installEventFilter(this);
}

void WindowPairPlacer::place() {
    if (remembered_ && placesFit(*remembered_, screenAreas())) {
        putAt(main_, remembered_->main);
        putAt(terminal_, remembered_->terminal);
        return;
    }
    remembered_.reset();
    placePair(main_);
}

void WindowPairPlacer::keepApart(QWidget& window) {
    const QRect area = window.screen()->availableGeometry();
    const QRect frame = window.geometry().marginsAdded(frameMargins());
    if (frame.intersects(terminal_.frameGeometry()) || !area.contains(frame))
        placePair(window);
}

void WindowPairPlacer::placePair(QWidget& main) {
    placedWith_ = frameMargins();
    const WindowPair pair = placeWindows(
        {main.size(), terminal_.sizeHint(), terminal_.leastSize(), terminal_.logLineHeight()},
        placedWith_, main.screen()->availableGeometry());
    putAt(main, pair.main, placedWith_);
    putAt(terminal_, pair.terminal, placedWith_);
}

// The windows share one decoration; whichever the window manager has framed tells it.
QMargins WindowPairPlacer::frameMargins() const {
    const QMargins main = marginsOf(main_);
    return main.isNull() ? marginsOf(terminal_) : main;
}

WindowPlaces WindowPairPlacer::places() const {
    return {{main_.frameGeometry(), main_.size()}, {terminal_.frameGeometry(), terminal_.size()}};
}

bool WindowPairPlacer::eventFilter(QObject* watched, QEvent* event) {
    // Framing moves the window; the pair goes where it would have gone with the frame known.
    const bool framed = event->type() == QEvent::Move || event->type() == QEvent::Show;
    if (framed && !remembered_ && placedWith_.isNull() && !frameMargins().isNull()) {
        main_.removeEventFilter(this);
        placePair(main_);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace rtu
