#include "app/ReplyWait.h"

#include "serial/QtSerialLibrary.h"

namespace rtu {

ReplyWait::ReplyWait(QtSerialLibrary& library, QObject* parent)
    : QObject(parent), library_(library) {
    apply();
}

const QStringList& ReplyWait::waitCaptions() {
    static const QStringList captions{QStringLiteral("Normal"), QStringLiteral("x2"),
                                      QStringLiteral("x4"), QStringLiteral("x8")};
    return captions;
}

const QStringList& ReplyWait::pacingCaptions() {
    static const QStringList captions{QStringLiteral("Fixed Delays"),
                                      QStringLiteral("Until Reply Is In")};
    return captions;
}

// An index outside the list keeps the choice as it is.
void ReplyWait::chooseWait(int index) {
    if (index >= 0 && index < waitCaptions().size())
        waitIndex_ = index;
    apply();
}

void ReplyWait::choosePacing(int index) {
    if (index >= 0 && index < pacingCaptions().size())
        pacingIndex_ = index;
    apply();
}

QString ReplyWait::statusText() const {
    return QStringLiteral("Reply Wait %1, %2")
        .arg(waitCaptions().at(waitIndex_), pacingCaptions().at(pacingIndex_));
}

// Normal, x2, x4, x8: each entry doubles the one before.
void ReplyWait::apply() {
    library_.setDelayUnitFactor(1 << waitIndex_);
    library_.setPacing(pacingIndex_ == 0 ? QtSerialLibrary::Pacing::FixedDelays
                                         : QtSerialLibrary::Pacing::UntilReply);
    emit changed();
}

} // namespace rtu
