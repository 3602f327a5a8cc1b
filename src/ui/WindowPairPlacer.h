#pragma once

#include "app/WindowPlacement.h"

#include <QObject>

#include <optional>

class QWidget;

namespace rtu {

class TerminalForm;

// Keeps the main window (or the module window in its place) and the terminal window both
// in view on the main window's screen (placeWindows), measured with the frames the window
// manager adds. The frames are known only once it has framed the windows, some time after
// they are shown: the pair is placed again then. Places remembered from the last run are
// taken instead while they fit the screens.
class WindowPairPlacer : public QObject {
    Q_OBJECT
public:
    WindowPairPlacer(QWidget& main, TerminalForm& terminal);

    void restore(const WindowPlaces& places) { remembered_ = places; }
    // Places the pair, or restores the remembered places.
    void place();
    // Moves a module window opened in the main window's place, and the terminal, apart
    // when the module window is larger than the main window.
    void keepApart(QWidget& window);
    WindowPlaces places() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placePair(QWidget& main);
    QMargins frameMargins() const;

    QWidget& main_;
    TerminalForm& terminal_;
    std::optional<WindowPlaces> remembered_;
    QMargins placedWith_; // the frame of the last placement
};

} // namespace rtu
