#pragma once

#include "app/OutputModuleEditor.h"

namespace rtu {

// The G4 on/off module editor ("G4 Modules").
class G4Editor : public OutputModuleEditor {
    Q_OBJECT
public:
    explicit G4Editor(Session& session, QObject* parent = nullptr);

    const G4Record& record() const;
    // Comparison options: 0 ">" "GT", 1 "=" "EQ", 2 "<" "LT"; -1 for any other text.
    int onTestOption() const;
    int offTestOption() const;
    void chooseOnTest(int option);
    void chooseOffTest(int option);
    void editOnValue(const QString& text);
    void editOffValue(const QString& text);
    QString whenCaption() const; // "When Level is" / "When Temperature is"

protected:
    SharedFields fieldsOf(int number) const override;

private:
    G4Record& current() const;
};

} // namespace rtu
