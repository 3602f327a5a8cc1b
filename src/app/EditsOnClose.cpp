#include "app/EditsOnClose.h"

#include "app/FileActions.h"
#include "app/Session.h"
#include "app/UserNotifier.h"
#include "config/ConfigurationFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace rtu {

EditsOnClose::EditsOnClose(Session& session, UserNotifier& notifier, QString recoveryPath)
    : session_(session), notifier_(notifier), recoveryPath_(std::move(recoveryPath)) {}

QString EditsOnClose::defaultRecoveryPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("recovered.txt"));
}

bool EditsOnClose::confirmClose(const std::function<void()>& save) {
    if (!asking_ || !session_.edits.any())
        return true;
    switch (notifier_.askToSave(QStringLiteral("The configuration has edits that were not saved "
                                               "since the last Save, Load or Program All.\n"
                                               "Save them before closing?"),
                                QString())) {
    case SaveChoice::Save:
        save();
        return !session_.edits.any();
    case SaveChoice::Discard:
        discarded_ = true;
        return true;
    case SaveChoice::Cancel:
        break;
    }
    return false;
}

QString EditsOnClose::keepUnsaved() {
    if (discarded_ || !session_.edits.any())
        return {};
    QDir().mkpath(QFileInfo(recoveryPath_).absolutePath()); // a failure is the save's to tell
    return saveConfigurationFile(recoveryPath_, session_.settings.values(), session_.tables);
}

QString EditsOnClose::offerRecovered() {
    const QFileInfo file(recoveryPath_);
    if (!file.exists())
        return {};
    const QString when = file.lastModified().toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    QString outcome;
    if (notifier_.ask(QStringLiteral("Unsaved edits from %1 were recovered: load them?").arg(when),
                      QString())) {
        outcome = loadConfigurationFrom(session_, recoveryPath_);
        session_.edits.markNotKept();
    }
    QFile::remove(recoveryPath_);
    return outcome;
}

} // namespace rtu
