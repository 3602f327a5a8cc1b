#include "app/G4Editor.h"

#include "app/Session.h"

namespace rtu {

namespace {

constexpr OptionCodes Comparisons{"GT", "EQ", "LT"};

} // namespace

// The G4 window's channel bar starts at 1.
G4Editor::G4Editor(Session& session, QObject* parent)
    : OutputModuleEditor(session, ModuleKind::G4, 1, parent) {}

G4Record& G4Editor::current() const {
    return tables_.G4Records.at(std::size_t(selected()));
}

const G4Record& G4Editor::record() const {
    return current();
}

OutputModuleEditor::SharedFields G4Editor::fieldsOf(int number) const {
    return sharedFields(tables_.G4Records.at(std::size_t(number)));
}

int G4Editor::onTestOption() const {
    return optionOf(current().OnTest, Comparisons);
}

int G4Editor::offTestOption() const {
    return optionOf(current().OffTest, Comparisons);
}

void G4Editor::chooseOnTest(int option) {
    current().OnTest = optionCode(option, Comparisons);
    edited();
}

void G4Editor::chooseOffTest(int option) {
    current().OffTest = optionCode(option, Comparisons);
    edited();
}

void G4Editor::editOnValue(const QString& text) {
    current().OnValue = text;
    edited();
}

void G4Editor::editOffValue(const QString& text) {
    current().OffValue = text;
    edited();
}

QString G4Editor::whenCaption() const {
    return temperatureSource() ? QStringLiteral("When Temperature is")
                               : QStringLiteral("When Level is");
}

} // namespace rtu
