#include "ui/CaretBlink.h"

#include <QApplication>
#include <QEvent>

namespace rtu {

CaretBlink::CaretBlink(QObject* parent)
    : QObject(parent), flashTimeMs_(QApplication::cursorFlashTime()) {
    stillTimer_.setSingleShot(true);
    stillTimer_.setInterval(StillAfterMs);
    connect(&stillTimer_, &QTimer::timeout, this, [] { QApplication::setCursorFlashTime(0); });
    qApp->installEventFilter(this);
    stillTimer_.start();
}

bool CaretBlink::eventFilter(QObject*, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress ||
        type == QEvent::InputMethod) {
        if (QApplication::cursorFlashTime() != flashTimeMs_)
            QApplication::setCursorFlashTime(flashTimeMs_);
        stillTimer_.start();
    }
    return false;
}

} // namespace rtu
