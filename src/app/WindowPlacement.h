#pragma once

#include <QRect>

namespace rtu {

// Where the terminal window goes beside the main window (both as frame rectangles) on a
// screen area: against the main window's right edge, top aligned, when it fits there;
// else below the main window, left aligned, when that fits; else as far right of the main
// window as the area allows, pushed back inside it, so that all of it can be seen.
QRect terminalPlace(const QRect& mainFrame, const QSize& terminalFrame, const QRect& area);

// Where the main window starts (its frame's top-left) so that the pair is centred on the
// area: side by side, or the terminal below when only that fits.
QPoint mainPlace(const QSize& mainFrame, const QSize& terminalFrame, const QRect& area);

} // namespace rtu
