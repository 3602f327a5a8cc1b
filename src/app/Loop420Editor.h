#pragma once

#include "app/OutputModuleEditor.h"

namespace rtu {

// The 4-20mA output module editor ("4-20mA Modules").
class Loop420Editor : public OutputModuleEditor {
    Q_OBJECT
public:
    explicit Loop420Editor(Session& session, QObject* parent = nullptr);

    const Loop420Record& record() const;
    void editValue4mA(const QString& text);
    void editValue20mA(const QString& text);

protected:
    // The 4-20mA window shows the monitor unit as stored ("5 " after a file load).
    QString storedUnitCaption() const override;
    SharedFields fieldsOf(int number) const override;

private:
    Loop420Record& current() const;
};

} // namespace rtu
