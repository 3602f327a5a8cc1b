#include "app/Loop420Editor.h"

#include "app/Session.h"

namespace rtu {

Loop420Editor::Loop420Editor(Session& session, QObject* parent)
    : OutputModuleEditor(session, ModuleKind::Loop420, 0, parent) {}

Loop420Record& Loop420Editor::current() const {
    return tables_.Loop420Records[selected()];
}

const Loop420Record& Loop420Editor::record() const {
    return current();
}

QString Loop420Editor::storedUnitCaption() const {
    return fieldsOf(selected()).unit.text();
}

OutputModuleEditor::SharedFields Loop420Editor::fieldsOf(int number) const {
    return sharedFields(tables_.Loop420Records[number]);
}

void Loop420Editor::editValue4mA(const QString& text) {
    current().Value4mA = text;
    edited();
}

void Loop420Editor::editValue20mA(const QString& text) {
    current().Value20mA = text;
    edited();
}

} // namespace rtu
