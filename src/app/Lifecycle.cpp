#include "app/Lifecycle.h"

#include "app/PortSelection.h"
#include "app/PortSettingsFiles.h"
#include "app/Session.h"
#include "app/UserNotifier.h"
#include "config/ConfigurationFile.h"
#include "protocol/BatchListener.h"

#include <QDir>

#include <exception>

namespace rtu {

Lifecycle::Lifecycle(Session& session, PortSelection& ports, BatchListener& listener,
                     UserNotifier& notifier, QString directory)
    : session_(session), ports_(ports), listener_(listener), notifier_(notifier),
      directory_(std::move(directory)) {}

QString Lifecycle::lastFilePath() const {
    return QDir(directory_).filePath(QString::fromLatin1(LastFileName));
}

bool Lifecycle::startUp(const std::function<void()>& showMainWindow) {
    try {
        // The record tables already hold their defaults: the session fills them when made.
        if (showMainWindow)
            showMainWindow();
        session_.settings.setClockFromPc(true);
        restorePort();
        return true;
    } catch (const std::exception&) {
        // The program keeps running with what was set up so far.
        notifier_.beep();
        notifier_.beep();
        return false;
    }
}

void Lifecycle::restorePort() {
    const PortSettingsFiles files(directory_);
    LinkState& link = session_.link;
    link.CurrentPort = NoPort;
    ports_.SelectPort(files.readPortIndex());
    ports_.uncheckLineSettings();
    files.readLineSettings(link.PortRecord);
    ports_.ApplyLineSettings();
    if (link.CurrentPort == NoPort)
        return;
    session_.library().RtsOff(link.CurrentPort);
    listener_.rtsChanged(false);
    session_.exchange.PulseRts();
}

QStringList Lifecycle::shutDown() {
    if (shutDown_)
        return {};
    shutDown_ = true;
    QStringList problems;
    const QString saveError =
        saveConfigurationFile(lastFilePath(), session_.settings.values(), session_.tables);
    if (!saveError.isEmpty())
        problems << saveError;

    LinkState& link = session_.link;
    if (link.CurrentPort == NoPort)
        return problems;
    const PortSettingsFiles files(directory_);
    QString reason;
    if (!files.writeLineSettings(link.PortRecord, &reason))
        problems << reason;
    if (!files.writePortIndex(link.CurrentPort, &reason))
        problems << reason;
    session_.library().UnInitializePort(link.CurrentPort);
    link.CurrentPort = NoPort;
    return problems;
}

} // namespace rtu
