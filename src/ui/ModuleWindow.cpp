#include "ui/ModuleWindow.h"

#include "app/ModuleEditor.h"
#include "ui/Widgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QVBoxLayout>

namespace rtu {

ModuleWindow::ModuleWindow(ModuleEditor& editor, const Captions& captions, QWidget* parent)
    : QWidget(parent, Qt::Window), editor_(editor), tabs_(new QTabBar), settings_(new QVBoxLayout),
      programAll_(new QCheckBox(captions.programAll)), readAll_(new QCheckBox(captions.readAll)),
      status_(new QLabel) {
    editor_.setParent(this);
    setObjectName(captions.objectName);
    setWindowTitle(captions.title);
    setAttribute(Qt::WA_DeleteOnClose);

    tabs_->setObjectName(QStringLiteral("TabStrip1"));
    for (const int number : editor_.range().numbers())
        tabs_->setTabData(tabs_->addTab(editor_.range().caption(number)), number);
    auto* frame = new QGroupBox(captions.frame);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setLayout(settings_);

    programAll_->setObjectName(QStringLiteral("Check1"));
    readAll_->setObjectName(QStringLiteral("Check2"));
    auto* program = button(QStringLiteral("Program"), QStringLiteral("Command1"));
    auto* read = button(QStringLiteral("Read"), QStringLiteral("Command2"));
    auto* exit = button(QStringLiteral("EXIT"), captions.exitButton);
    auto* actions = new QHBoxLayout;
    actions->addWidget(programAll_);
    actions->addWidget(program);
    actions->addSpacing(12);
    actions->addWidget(readAll_);
    actions->addWidget(read);
    actions->addStretch(1);
    actions->addWidget(exit);
    status_->setObjectName(QStringLiteral("StatusLine"));
    status_->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(frame, 1);
    layout->addLayout(actions);
    layout->addWidget(status_);

    connect(tabs_, &QTabBar::currentChanged, &editor_,
            [this](int tab) { editor_.select(tabs_->tabData(tab).toInt()); });
    connect(programAll_, &QCheckBox::clicked, &editor_, &ModuleEditor::setProgramAll);
    connect(readAll_, &QCheckBox::clicked, &editor_, &ModuleEditor::setReadAll);
    connect(program, &QPushButton::clicked, &editor_, &ModuleEditor::program);
    connect(read, &QPushButton::clicked, &editor_, &ModuleEditor::read);
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    connect(&editor_, &ModuleEditor::changed, this, &ModuleWindow::refresh);
}

void ModuleWindow::open(const QRect& place) {
    setGeometry(place);
    editor_.select(editor_.range().first);
    show();
}

void ModuleWindow::showRecordAgain() {
    editor_.select(editor_.selected());
}

void ModuleWindow::refresh() {
    // The tab strip reports a tab set here as if the operator had chosen it; every other
    // control reports only the operator's own edits. Only the tab strip is kept quiet: the
    // text boxes' inner objects signal their repaints, which must go through.
    const QSignalBlocker quietTabs(tabs_);
    showEditor();
}

void ModuleWindow::showEditor() {
    tabs_->setCurrentIndex(int(editor_.range().numbers().indexOf(editor_.selected())));
    programAll_->setChecked(editor_.programAll());
    readAll_->setChecked(editor_.readAll());
    showCaption(status_, editor_.outcome());
}

void ModuleWindow::closeEvent(QCloseEvent* event) {
    // Disabled while its exchange runs: the exchange must end first.
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

CountingBar* ModuleWindow::scrollBar(const QString& name, int min, int max) {
    auto* bar = new CountingBar(name, min, max, 10);
    bar->setMinimumHeight(48);
    return bar;
}

QButtonGroup* ModuleWindow::options(const QStringList& captions, const QStringList& names,
                                    QWidget* box) {
    auto* group = new QButtonGroup(box);
    auto* layout = new QVBoxLayout(box);
    for (int i = 0; i < captions.size(); ++i) {
        auto* option = new QRadioButton(captions[i]);
        option->setObjectName(names[i]);
        group->addButton(option, i);
        layout->addWidget(option);
    }
    return group;
}

// -1 clears every option of the group, which an exclusive group does not allow by itself.
void ModuleWindow::showOption(QButtonGroup* group, int option) {
    if (group->checkedId() == option)
        return;
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(group->id(b) == option);
    group->setExclusive(true);
}

void ModuleWindow::showCaption(QLabel* label, const QString& caption) {
    if (label->text() != caption)
        label->setText(caption);
}

} // namespace rtu
