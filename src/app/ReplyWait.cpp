#include "app/ReplyWait.h"

#include "serial/SerialLibrary.h"

#include <QSettings>

namespace rtu {

ReplyWait::ReplyWait(SerialLibrary& library, QObject* parent) : QObject(parent), library_(library) {
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

namespace {

const QString WaitKey = QStringLiteral("replyWait/wait");
const QString PacingKey = QStringLiteral("replyWait/pacing");

} // namespace

void ReplyWait::restore(const QSettings& settings) {
    const auto indexOf = [&settings](const QString& key, const QStringList& captions, int current) {
        const qsizetype index = captions.indexOf(settings.value(key).toString());
        return index < 0 ? current : int(index);
    };
    waitIndex_ = indexOf(WaitKey, waitCaptions(), waitIndex_);
    pacingIndex_ = indexOf(PacingKey, pacingCaptions(), pacingIndex_);
    apply();
}

void ReplyWait::remember(QSettings& settings) const {
    settings.setValue(WaitKey, waitCaptions().at(waitIndex_));
    settings.setValue(PacingKey, pacingCaptions().at(pacingIndex_));
    settings.sync();
}

// Normal, x2, x4, x8: each entry doubles the one before.
void ReplyWait::apply() {
    library_.setDelayUnitFactor(1 << waitIndex_);
    library_.setPacing(pacingIndex_ == 0 ? Pacing::FixedDelays : Pacing::UntilReply);
    emit changed();
}

} // namespace rtu
