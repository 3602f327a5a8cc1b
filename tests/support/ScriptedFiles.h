#pragma once

#include "app/FileChooser.h"

#include <QStringList>

namespace rtu::test {

// Each request as "Save|title|pattern|proposed name"; answers `answer` (empty: cancel).
struct ScriptedFiles : FileChooser {
    QString chooseFile(Purpose purpose, const QString& title, const QString& pattern,
                       const QString& proposedName) override {
        requests << QStringList{purpose == Purpose::Save ? "Save" : "Load", title, pattern,
                                proposedName}
                        .join('|');
        return answer;
    }
    QString answer;
    QStringList requests;
};

} // namespace rtu::test
