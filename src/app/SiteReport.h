#pragma once

#include "app/UnitComparison.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace rtu {

// The sheet a technician hands over after a visit: what the unit is set to, in the windows'
// words ("1.67 Barrels per Inch", "ON when level > 180.0 in, OFF when < 170.0 in"), and how
// the unit differed from the program at the last comparison, when there was one.
class SiteReport {
public:
    // `lastComparison` may be null; the report keeps copies, not references.
    SiteReport(UnitConfiguration configuration, QDateTime made,
               const UnitComparison* lastComparison = nullptr);

    // The whole report as an HTML page that Qt's text document lays out as it stands.
    QString html() const;

    // Writes the report where `path` says, in the format its suffix names: ".html" (or
    // ".htm"), ".pdf", or ".png" for a picture of the first page. Gives why it could not, or
    // an empty text. PDF and PNG lay out text with fonts: they need a QGuiApplication.
    QString write(const QString& path) const;
    // Whether `path` names a format the report is written in.
    static bool writes(const QString& path);

private:
    QString settingsSection() const;
    QString tankSection() const;
    QString g4Section() const;
    QString loop420Section() const;
    QString disabledSection() const;
    QString comparisonSection() const;

    UnitConfiguration configuration_;
    QDateTime made_;
    std::optional<UnitComparison> comparison_;
};

} // namespace rtu
