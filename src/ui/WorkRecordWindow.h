#pragma once

#include <QJsonObject>
#include <QList>
#include <QWidget>

class QComboBox;
class QDateEdit;
class QLabel;
class QTableWidget;

namespace rtu {

class FileChooser;

// "Work Record...": the record's lines, newest first, of the days from and to and of one
// unit or all, with "Export CSV..." of the lines shown. It reads the record once, when
// opened.
class WorkRecordWindow : public QWidget {
    Q_OBJECT
public:
    WorkRecordWindow(const QString& folder, FileChooser& files, QWidget* parent = nullptr);

private:
    void showFiltered();

    FileChooser& files_;
    QList<QJsonObject> entries_; // oldest first
    QList<QJsonObject> shown_;
    QDateEdit* from_;
    QDateEdit* to_;
    QComboBox* unit_;
    QTableWidget* table_;
    QLabel* status_;
};

} // namespace rtu
