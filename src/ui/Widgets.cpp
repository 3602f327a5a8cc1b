#include "ui/Widgets.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace rtu {

CountingBar::CountingBar(const QString& name, int min, int max, int pageStep)
    : QScrollBar(Qt::Vertical) {
    setObjectName(name);
    setRange(-max, -min);
    setSingleStep(1);
    setPageStep(pageStep);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QScrollBar::valueChanged, this,
            [this](int value) { emit countChanged(-value); });
}

void CountingBar::showCount(int count) {
    const QSignalBlocker quiet(this);
    setValue(-count);
}

OutcomeBar::OutcomeBar() {
    connect(this, &QStatusBar::messageChanged, this, [this](const QString& message) {
        setToolTip(message);
        if (message.isEmpty())
            unsetCursor();
        else
            setCursor(Qt::PointingHandCursor);
    });
}

void OutcomeBar::mouseReleaseEvent(QMouseEvent* event) {
    QStatusBar::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && !currentMessage().isEmpty())
        emit outcomeClicked(currentMessage());
}

QFont fixedFont() {
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

QString indexed(const QString& name, int index) {
    return QStringLiteral("%1_%2").arg(name).arg(index);
}

QMenu* addMenu(QMenuBar* bar, const QString& caption, const QString& name) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(name);
    return menu;
}

QMenu* addSubmenu(QMenu* parent, const QString& caption, const QString& name) {
    QMenu* menu = parent->addMenu(caption);
    menu->setObjectName(name);
    return menu;
}

QAction* addEntry(QMenu* menu, const QString& caption, const QString& name, bool checkable) {
    QAction* entry = menu->addAction(caption);
    entry->setObjectName(name);
    entry->setCheckable(checkable);
    return entry;
}

QPushButton* button(const QString& caption, const QString& name, QWidget* parent) {
    auto* result = new QPushButton(caption, parent);
    result->setObjectName(name);
    return result;
}

QFrame* buttonBox(const QString& caption, QPushButton* first, QPushButton* second) {
    auto* box = new QFrame;
    box->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(first);
    buttons->addWidget(second);
    auto* layout = new QHBoxLayout(box);
    auto* label = new QLabel(caption);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    layout->addLayout(buttons);
    return box;
}

QLabel* valueDisplay(const QString& name) {
    auto* display = new QLabel;
    display->setObjectName(name);
    display->setFont(fixedFont());
    display->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    display->setAlignment(Qt::AlignCenter);
    display->setMinimumWidth(QFontMetrics(fixedFont()).horizontalAdvance(QStringLiteral("0000")));
    return display;
}

void showText(QLineEdit* box, const QString& text) {
    if (box->text() != text)
        box->setText(text);
}

void showFieldText(QLineEdit* box, const QString& field) {
    if (box->text().left(field.size()).leftJustified(field.size(), QLatin1Char(' ')) != field)
        box->setText(field);
}

} // namespace rtu
