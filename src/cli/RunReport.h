#pragma once

#include "app/UnitComparison.h"
#include "cli/CliOptions.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>

namespace rtu {

// What one program, read or verify run did, as --json prints it: one document for scripts
// that look after a fleet of units. It names the action ("program", "program-changes",
// "read", "verify"), the port as given and the device it leads to, every line sent (without
// its CR LF), the reads left without a whole reply, the differences found, and the exit
// status with its name.
class RunReport {
public:
    explicit RunReport(const CliOptions& options);

    void noteSent(const QString& line);
    void noteUnanswered(const QStringList& readLines);
    // `key` is "differences", or "stillDiffering" for a read-back after programming.
    void noteDifferences(const QString& key, const QList<FieldDifference>& differences);
    // read without --output: the configuration file's text goes into the document.
    void noteConfiguration(const QByteArray& configuration);

    QByteArray document(ExitCode code) const;

private:
    QJsonObject report_;
    QJsonArray sent_;
    QJsonArray unanswered_;
};

} // namespace rtu
