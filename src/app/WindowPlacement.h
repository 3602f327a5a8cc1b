#pragma once

#include <QList>
#include <QMargins>
#include <QRect>

#include <optional>

class QSettings;

namespace rtu {

// The least number of lines the terminal's log shows wherever the windows are placed.
inline constexpr int LeastLogLines = 8;

// What placing the main window (or the module window in its place) and the terminal window
// goes by. Sizes are of what lies inside the windows' frames.
struct PlacementSizes {
    QSize main;
    QSize terminal;      // as it would be: its status panels' texts whole
    QSize terminalLeast; // the least its controls take with a log of no lines
    int logLineHeight = 0;
};

// Both windows as frame rectangles: title bar and borders included.
struct WindowPair {
    QRect main;
    QRect terminal;
};

// Where the two windows go on a screen area when the window manager puts `frame` around
// each (nothing before it has framed them, nor offscreen). The pair is centred on the area.
// The terminal sits against the main window's right edge with the same top and height,
// narrowed as far as its controls allow when the area is not wide enough; else below the
// main window at the area's full width, no taller than the room left, its log still
// LeastLogLines high. On an area too small for either, the terminal goes below, pushed
// back inside the area over the main window.
WindowPair placeWindows(const PlacementSizes& sizes, const QMargins& frame, const QRect& area);

// A window's place as the next run restores it: its frame on the desktop and the size
// inside the frame.
struct WindowPlace {
    QRect frame;
    QSize size;
};

struct WindowPlaces {
    WindowPlace main;
    WindowPlace terminal;
};

void rememberPlaces(QSettings& settings, const WindowPlaces& places);
// The places last remembered, if any.
std::optional<WindowPlaces> rememberedPlaces(const QSettings& settings);

// Whether both windows lie wholly inside the available area of one of the screens: a place
// remembered on a screen that is gone, or larger than it was, is not restored.
bool placesFit(const WindowPlaces& places, const QList<QRect>& areas);

} // namespace rtu
