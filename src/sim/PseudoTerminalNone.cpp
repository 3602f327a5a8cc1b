#include "sim/PseudoTerminal.h"

namespace rtu {

// Never created: a line that cannot be opened has nothing to hold.
struct PseudoTerminal::Line {};

PseudoTerminal::PseudoTerminal(QObject* parent) : QObject(parent) {}

PseudoTerminal::~PseudoTerminal() = default;

QString PseudoTerminal::open() {
    return QStringLiteral("this build of rtu7350 has no pseudo-terminals (they exist on Linux "
                          "and macOS, built with RTU7350_POSIX on)");
}

std::optional<QByteArray> PseudoTerminal::read() {
    return std::nullopt;
}

std::optional<qsizetype> PseudoTerminal::write(QByteArrayView) {
    return std::nullopt;
}

int PseudoTerminal::unreadByClient() const {
    return 0;
}

void PseudoTerminal::close() {}

} // namespace rtu
