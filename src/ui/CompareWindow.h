#pragma once

#include "app/CompareModel.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

namespace rtu {

class Session;

// "Compare With Unit": how the unit differs from the program, a row per setting (record,
// field, in the program, in the unit), the reads that got no whole reply listed below, and
// the actions on it. It stays open beside the other windows and is disabled while any
// exchange runs. It mirrors its CompareModel, which holds the rules.
class CompareWindow : public QWidget {
    Q_OBJECT
public:
    CompareWindow(Session& session, QWidget* parent = nullptr);

    CompareModel& model() { return model_; }

private:
    void showComparison();
    void refreshButtons();
    QList<int> selectedRows() const;

    CompareModel model_;
    QTableWidget* table_;
    QLabel* outcome_;
    QLabel* notCompared_;
    QPushButton* program_;
    QPushButton* take_;
};

} // namespace rtu
