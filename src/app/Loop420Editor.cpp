#include "app/Loop420Editor.h"

#include "app/Session.h"

namespace rtu {

Loop420Editor::Loop420Editor(Session& session, QObject* parent)
    : OutputModuleEditor(session, ModuleKind::Loop420, Window::Config4_20mA, 0, parent) {}

Loop420Record& Loop420Editor::current() const {
    return tables_.Loop420Records[selected()];
}

const Loop420Record& Loop420Editor::record() const {
    return current();
}

QString Loop420Editor::storedUnitCaption() const {
    return unitOf(selected()).text();
}

FixedText<2>& Loop420Editor::unitOf(int number) const {
    return tables_.Loop420Records[number].Unit;
}

FixedText<1>& Loop420Editor::sourceOf(int number) const {
    return tables_.Loop420Records[number].Source;
}

FixedText<1>& Loop420Editor::channelOf(int number) const {
    return tables_.Loop420Records[number].Channel;
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
