#include "ui/WindowBatchUi.h"

#include "ui/TerminalForm.h"

#include <QApplication>
#include <QWidget>

namespace rtu {

WindowBatchUi::WindowBatchUi(QWidget& mainWindow, QWidget& terminalWindow, RtsLed& rtsLed,
                             std::function<QWidget*(Window)> moduleWindow, QObject* parent)
    : QObject(parent), mainWindow_(mainWindow), terminalWindow_(terminalWindow), rtsLed_(rtsLed),
      moduleWindow_(std::move(moduleWindow)) {}

WindowBatchUi::~WindowBatchUi() {
    for (; busyDepth_ > 0; --busyDepth_)
        QApplication::restoreOverrideCursor();
}

void WindowBatchUi::setWindowEnabled(Window window, bool enabled) {
    switch (window) {
    case Window::RtuForm:
        mainWindow_.setEnabled(enabled);
        break;
    case Window::TerminalForm:
        terminalWindow_.setEnabled(enabled);
        break;
    case Window::ConfigSensors:
    case Window::ConfigG4:
    case Window::Config4_20mA:
        if (QWidget* module = moduleWindow_(window))
            module->setEnabled(enabled);
        break;
    }
}

void WindowBatchUi::setBusyPointer(bool busy) {
    if (busy) {
        ++busyDepth_;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return;
    }
    if (busyDepth_ == 0)
        return;
    --busyDepth_;
    QApplication::restoreOverrideCursor();
}

void WindowBatchUi::setRtsIndicator(int colour) {
    rtsLed_.setColour(colour);
}

void WindowBatchUi::progress(int done, int total, const QString& what) {
    emit progressed(done, total, what);
}

} // namespace rtu
