#include "ui/CompareWindow.h"

#include "app/Session.h"
#include "ui/Widgets.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace rtu {

CompareWindow::CompareWindow(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), model_(session), table_(new QTableWidget(0, 4)),
      outcome_(new QLabel), notCompared_(new QLabel),
      program_(button(QStringLiteral("Program Differences"), QStringLiteral("ProgramDifferences"))),
      take_(button(QStringLiteral("Take Unit's Values"), QStringLiteral("TakeUnitsValues"))) {
    setObjectName(QStringLiteral("compareWindow"));
    setWindowTitle(QStringLiteral("Compare With Unit"));
    table_->setObjectName(QStringLiteral("differencesTable"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Record"), QStringLiteral("Field"),
                                       QStringLiteral("In the program"),
                                       QStringLiteral("In the unit")});
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    outcome_->setObjectName(QStringLiteral("compareOutcome"));
    notCompared_->setObjectName(QStringLiteral("notCompared"));
    for (QLabel* label : {outcome_, notCompared_})
        label->setWordWrap(true);
    auto* compareAgain = button(QStringLiteral("Compare Again"), QStringLiteral("CompareAgain"));
    auto* exit = button(QStringLiteral("EXIT"), QStringLiteral("CompareExit"));

    auto* actions = new QHBoxLayout;
    actions->addWidget(compareAgain);
    actions->addWidget(program_);
    actions->addWidget(take_);
    actions->addStretch(1);
    actions->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(outcome_);
    layout->addWidget(table_, 1);
    layout->addWidget(notCompared_);
    layout->addLayout(actions);
    resize(720, 420);

    connect(compareAgain, &QPushButton::clicked, &model_, &CompareModel::compare);
    connect(program_, &QPushButton::clicked, &model_, &CompareModel::programDifferences);
    connect(take_, &QPushButton::clicked, this, [this] { model_.takeUnitValues(selectedRows()); });
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    connect(&model_, &CompareModel::outcomeChanged, outcome_, &QLabel::setText);
    connect(&model_, &CompareModel::comparisonChanged, this, &CompareWindow::showComparison);
    connect(table_, &QTableWidget::itemSelectionChanged, this, &CompareWindow::refreshButtons);
    connect(&session.exchange, &Exchange::runningChanged, this,
            [this](bool running) { setEnabled(!running); });
    showComparison();
}

void CompareWindow::showComparison() {
    const UnitComparison& comparison = model_.comparison();
    table_->clearContents();
    table_->setRowCount(int(comparison.differences.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const FieldDifference& difference = comparison.differences[row];
        const QStringList cells{difference.record, difference.field, difference.inProgram,
                                difference.inUnit};
        for (int column = 0; column < cells.size(); ++column)
            table_->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    // Nothing differs: the outcome says so in one line, with no empty table under it.
    table_->setVisible(!comparison.differences.isEmpty());
    QStringList notCompared;
    if (!comparison.unanswered.isEmpty())
        notCompared << QStringLiteral("No reply, not compared: ") +
                           comparison.unanswered.join(QStringLiteral(", "));
    if (!comparison.partlyAnswered.isEmpty())
        notCompared << QStringLiteral("Partly answered, not compared: ") +
                           comparison.partlyAnswered.join(QStringLiteral(", "));
    notCompared_->setText(notCompared.join(u'\n'));
    notCompared_->setVisible(!notCompared.isEmpty());
    refreshButtons();
}

void CompareWindow::refreshButtons() {
    program_->setEnabled(model_.hasDifferencesToProgram());
    take_->setEnabled(!selectedRows().isEmpty());
}

QList<int> CompareWindow::selectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
        rows << index.row();
    return rows;
}

} // namespace rtu
