#include "app/WindowPlacement.h"

#include <gtest/gtest.h>

namespace rtu {
namespace {

// A 1280x1024 screen with a task bar; the main window 700x400, the terminal 560x400.
TEST(WindowPlacement, TheTerminalStaysWhollyOnTheScreen) {
    const QRect area(0, 0, 1280, 994);
    const QSize terminal(560, 400);
    struct Case {
        QPoint mainAt;
        QPoint terminalAt;
    };
    for (const Case& c : {Case{{10, 200}, {710, 200}},   // beside, as it always was
                          Case{{300, 50}, {300, 450}},   // below: no room at the right
                          Case{{300, 400}, {720, 400}}}) // neither: pushed back inside
        EXPECT_EQ(terminalPlace(QRect(c.mainAt, QSize(700, 400)), terminal, area).topLeft(),
                  c.terminalAt)
            << c.mainAt.x() << "," << c.mainAt.y();
}

} // namespace
} // namespace rtu
