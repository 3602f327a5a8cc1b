#include "ui/WorkRecordWindow.h"

#include "app/WorkRecordFile.h"
#include "app/WorkRecordList.h"
#include "ui/Widgets.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace rtu {

namespace {

QDateEdit* dateEdit(const QString& name, const QDate& date) {
    auto* edit = new QDateEdit(date);
    edit->setObjectName(name);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    return edit;
}

// The first day the record names, or today for an empty record.
QDate firstDay(const QList<QJsonObject>& entries) {
    const QDate first =
        entries.isEmpty()
            ? QDate()
            : QDateTime::fromString(entries.front().value(QLatin1String("time")).toString(),
                                    Qt::ISODate)
                  .date();
    return first.isValid() ? first : QDate::currentDate();
}

} // namespace

WorkRecordWindow::WorkRecordWindow(const QString& folder, FileChooser& files, QWidget* parent)
    : QWidget(parent, Qt::Window), files_(files), entries_(WorkRecordFile(folder).readAll()),
      from_(dateEdit(QStringLiteral("from"), firstDay(entries_))),
      to_(dateEdit(QStringLiteral("to"), std::max(QDate::currentDate(), firstDay(entries_)))),
      unit_(new QComboBox), table_(new QTableWidget), status_(new QLabel) {
    setObjectName(QStringLiteral("workRecordWindow"));
    setWindowTitle(QStringLiteral("Work Record"));
    setAttribute(Qt::WA_DeleteOnClose);
    unit_->setObjectName(QStringLiteral("unit"));
    unit_->addItem(QStringLiteral("All units"), QString());
    for (const QString& unit : unitsOf(entries_))
        unit_->addItem(unit, unit);
    table_->setObjectName(QStringLiteral("record"));
    table_->setColumnCount(int(recordColumns().size()));
    table_->setHorizontalHeaderLabels(recordColumns());
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    QPushButton* exportCsv = button(QStringLiteral("Export CSV..."), QStringLiteral("exportCsv"));
    status_->setObjectName(QStringLiteral("status"));

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("From")));
    filters->addWidget(from_);
    filters->addWidget(new QLabel(QStringLiteral("To")));
    filters->addWidget(to_);
    filters->addWidget(new QLabel(QStringLiteral("Unit")));
    filters->addWidget(unit_, 1);
    filters->addWidget(exportCsv);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(table_, 1);
    layout->addWidget(status_);
    resize(900, 400);

    connect(from_, &QDateEdit::dateChanged, this, &WorkRecordWindow::showFiltered);
    connect(to_, &QDateEdit::dateChanged, this, &WorkRecordWindow::showFiltered);
    connect(unit_, &QComboBox::currentIndexChanged, this, &WorkRecordWindow::showFiltered);
    connect(exportCsv, &QPushButton::clicked, this,
            [this] { status_->setText(exportRecordCsv(shown_, files_)); });
    showFiltered();
}

void WorkRecordWindow::showFiltered() {
    shown_ = filterRecord(entries_, {from_->date(), to_->date(), unit_->currentData().toString()});
    table_->setRowCount(int(shown_.size()));
    for (int row = 0; row < shown_.size(); ++row) {
        const QStringList cells = recordCells(shown_[row]);
        for (int column = 0; column < cells.size(); ++column)
            table_->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    table_->resizeColumnsToContents();
    status_->setText(QStringLiteral("%1 of %2 lines").arg(shown_.size()).arg(entries_.size()));
}

} // namespace rtu
