#pragma once

#include <QObject>
#include <QTimer>

namespace rtu {

// The text caret blinks while the operator works and holds still once the program has been
// left alone for a while, as desktops commonly do: a caret blinking for ever would wake the
// idle program twice a second to repaint it. Any key, click or input-method text starts the
// blinking again, at the desktop's own rate.
class CaretBlink : public QObject {
    Q_OBJECT
public:
    static constexpr int StillAfterMs = 5000;

    explicit CaretBlink(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int flashTimeMs_;
    QTimer stillTimer_;
};

} // namespace rtu
