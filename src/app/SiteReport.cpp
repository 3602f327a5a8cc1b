#include "app/SiteReport.h"

#include "app/UnitLetters.h"
#include "config/Numbers.h"

#include <QLocale>
#include <QStringList>

#include <array>
#include <cmath>
#include <span>
#include <utility>

namespace rtu {

namespace {

const UnitLetter* unitLetter(std::span<const UnitLetter> letters, const QString& field) {
    for (const UnitLetter& known : letters) {
        if (field.trimmed() == QLatin1String(known.letter))
            return &known;
    }
    return nullptr;
}

// A letter no option stands for is shown as it is, in quotes.
QString optionCaption(std::span<const UnitLetter> letters, const QString& field) {
    const UnitLetter* known = unitLetter(letters, field);
    return known ? QString::fromUtf8(known->option)
                 : QLatin1Char('"') + field.trimmed() + QLatin1Char('"');
}

// A value with one decimal at least, as the operator reads a setting: "180.0", "1.67".
QString reportNumber(const QString& field) {
    QString text = shortestDecimal(numericValue(field));
    if (!text.contains(QLatin1Char('.')))
        text += QStringLiteral(".0");
    return text;
}

QString htmlText(const QString& text) {
    return text.trimmed().toHtmlEscaped();
}

// A table of cells already in HTML, with its headings; "None." for no rows.
QString htmlTable(const QStringList& headings, const QList<QStringList>& rows) {
    if (rows.isEmpty())
        return QStringLiteral("<p>None.</p>");
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" "
                                  "width=\"100%\"><tr>");
    for (const QString& heading : headings)
        html += QStringLiteral("<th align=\"left\">%1</th>").arg(heading);
    html += QStringLiteral("</tr>");
    for (const QStringList& row : rows)
        html += QStringLiteral("<tr><td>%1</td></tr>").arg(row.join(QStringLiteral("</td><td>")));
    return html + QStringLiteral("</table>");
}

QString heading(const char* title) {
    return QStringLiteral("<h2>%1</h2>").arg(QLatin1String(title));
}

// The tank a module's monitor unit names, or nothing for a number that names none.
const SensorRecord* followedTank(const RecordTables& tables, const QString& unitField) {
    const double unit = numericValue(unitField);
    const ModuleRange& tanks = moduleRange(ModuleKind::Tank);
    if (unit != std::floor(unit) || !tanks.contains(int(unit)))
        return nullptr;
    return &tables.SensorRecords.at(std::size_t(unit));
}

bool inUse(const QString& unitField) {
    return numericValue(unitField) != 99;
}

// "00 CRUDE 1", or "unit 20" for a monitor unit that is no tank.
QString followedTankCell(const RecordTables& tables, const QString& unitField) {
    const SensorRecord* tank = followedTank(tables, unitField);
    if (!tank)
        return QStringLiteral("unit ") + htmlText(unitField);
    const int index = int(tank - tables.SensorRecords.data());
    return moduleRange(ModuleKind::Tank).caption(index) + QLatin1Char(' ') + htmlText(tank->Label);
}

bool followsTemperature(const QString& sourceField) {
    return sourceField.trimmed() == QLatin1String("T");
}

// "level, float 1", "temperature, sensor 2".
QString followedValue(const QString& sourceField, const QString& channelField) {
    const QString channel = htmlText(channelField);
    if (followsTemperature(sourceField))
        return QStringLiteral("temperature, sensor ") + channel;
    if (sourceField.trimmed() == QLatin1String("L"))
        return QStringLiteral("level, float ") + channel;
    return QStringLiteral("\"%1\", number %2").arg(htmlText(sourceField), channel);
}

// The short unit after a value, from the followed tank's settings: " in", " \u00b0F".
QString valueUnit(const RecordTables& tables, const QString& unitField,
                  const QString& sourceField) {
    const SensorRecord* tank = followedTank(tables, unitField);
    const UnitLetter* letter = !tank ? nullptr
                               : followsTemperature(sourceField)
                                   ? unitLetter(TemperatureLetters, tank->TempUnit)
                                   : unitLetter(LevelLetters, tank->LevelUnit);
    return letter ? QLatin1Char(' ') + QString::fromUtf8(letter->abbreviation) : QString();
}

// The G4 window's ">", "=", "<" for "GT", "EQ", "LT"; another code as it stands.
QString comparisonSign(const QString& testField) {
    const QString test = testField.trimmed();
    if (test == QLatin1String("GT"))
        return QStringLiteral("&gt;");
    if (test == QLatin1String("EQ"))
        return QStringLiteral("=");
    if (test == QLatin1String("LT"))
        return QStringLiteral("&lt;");
    return test.toHtmlEscaped();
}

} // namespace

SiteReport::SiteReport(UnitConfiguration configuration, QDateTime made,
                       const UnitComparison* lastComparison)
    : configuration_(std::move(configuration)), made_(std::move(made)) {
    if (lastComparison)
        comparison_ = *lastComparison;
}

QString SiteReport::html() const {
    const auto& lines = configuration_.settings.lcdLines;
    return QStringLiteral("<html><head><meta charset=\"utf-8\"><title>Site Report</title></head>"
                          "<body><h1>Site Report</h1><p>Model 7350 Terminal Unit: <b>%1</b> "
                          "&mdash; <b>%2</b><br>Made %3</p>")
               .arg(htmlText(lines[0]), htmlText(lines[1]),
                    QLocale::c().toString(made_, QStringLiteral("yyyy-MM-dd HH:mm t"))) +
           settingsSection() + tankSection() + g4Section() + loop420Section() + disabledSection() +
           comparisonSection() + QStringLiteral("</body></html>");
}

// The main window's rows, in its captions.
QString SiteReport::settingsSection() const {
    const UnitSettings& s = configuration_.settings;
    QList<QStringList> rows;
    if (s.clockFromPc) {
        rows << QStringList{"Clock", "Auto: the PC's time and date when programmed"};
    } else {
        rows << QStringList{"Clock", "Manual"} << QStringList{"Time", htmlText(s.time)}
             << QStringList{"Date", htmlText(s.date)};
    }
    const QString poll =
        QStringList{s.pollHours.shown, s.pollMinutes.shown, s.pollSeconds.shown}.join(u':');
    rows << QStringList{"Time Between Polls", htmlText(poll)}
         << QStringList{"Seconds to Display Each Channel", htmlText(s.lcdSeconds.shown)}
         << QStringList{"Number of Times to Repeat Display", htmlText(s.lcdRepeats.shown)}
         << QStringList{"LCD Display",
                        QStringLiteral("<tt>%1<br>%2</tt>")
                            .arg(s.lcdLines[0].toHtmlEscaped(), s.lcdLines[1].toHtmlEscaped())};
    if (!s.version.trimmed().isEmpty())
        rows << QStringList{"RTU Software Version", htmlText(s.version)};
    return heading("Unit Settings") + htmlTable({"Setting", "Value"}, rows);
}

QString SiteReport::tankSection() const {
    const auto& tanks = configuration_.tables.SensorRecords;
    QList<QStringList> rows;
    for (std::size_t i = 0; i < tanks.size(); ++i) {
        const SensorRecord& r = tanks[i];
        const UnitLetter* level = unitLetter(LevelLetters, r.LevelUnit);
        const UnitLetter* volume = unitLetter(VolumeLetters, r.VolumeUnit);
        QString factor = reportNumber(r.VolumeFactor);
        if (level && volume)
            factor += QStringLiteral(" %1 per %2")
                          .arg(QString::fromUtf8(volume->word), QString::fromUtf8(level->word));
        rows << QStringList{moduleRange(ModuleKind::Tank).caption(int(i)),
                            htmlText(r.Label),
                            htmlText(r.Floats),
                            htmlText(r.TempSensors),
                            optionCaption(LevelLetters, r.LevelUnit).toHtmlEscaped(),
                            optionCaption(TemperatureLetters, r.TempUnit).toHtmlEscaped(),
                            optionCaption(VolumeLetters, r.VolumeUnit).toHtmlEscaped(),
                            factor.toHtmlEscaped()};
    }
    return heading("Tanks") + htmlTable({"Tank", "Label", "Floats", "Temperature<br>Sensors",
                                         "Level", "Temperature", "Volume", "Factor"},
                                        rows);
}

QString SiteReport::g4Section() const {
    const RecordTables& tables = configuration_.tables;
    QList<QStringList> rows;
    for (std::size_t m = 0; m < tables.G4Records.size(); ++m) {
        const G4Record& r = tables.G4Records[m];
        if (!inUse(r.Unit))
            continue;
        const QString unit = valueUnit(tables, r.Unit, r.Source).toHtmlEscaped();
        const QString what =
            followsTemperature(r.Source) ? QStringLiteral("temperature") : QStringLiteral("level");
        rows << QStringList{QString::number(m), followedTankCell(tables, r.Unit),
                            followedValue(r.Source, r.Channel),
                            QStringLiteral("ON when %1 %2 %3%4, OFF when %5 %6%4")
                                .arg(what, comparisonSign(r.OnTest), reportNumber(r.OnValue), unit,
                                     comparisonSign(r.OffTest), reportNumber(r.OffValue))};
    }
    return heading("G4 Modules in Use") +
           htmlTable({"Module", "Tank", "Monitor", "Switching"}, rows);
}

QString SiteReport::loop420Section() const {
    const RecordTables& tables = configuration_.tables;
    QList<QStringList> rows;
    for (const int m : moduleRange(ModuleKind::Loop420).numbers()) {
        const Loop420Record& r = tables.Loop420Records[m];
        if (!inUse(r.Unit))
            continue;
        rows << QStringList{QString::number(m), followedTankCell(tables, r.Unit),
                            followedValue(r.Source, r.Channel),
                            QStringLiteral("4 mA = %1, 20 mA = %2%3")
                                .arg(reportNumber(r.Value4mA), reportNumber(r.Value20mA),
                                     valueUnit(tables, r.Unit, r.Source).toHtmlEscaped())};
    }
    return heading("4-20mA Modules in Use") +
           htmlTable({"Module", "Tank", "Monitor", "Output"}, rows);
}

// "Disabled: G4 modules 4, 5; 4-20mA modules 8."
QString SiteReport::disabledSection() const {
    const RecordTables& tables = configuration_.tables;
    QStringList g4;
    for (std::size_t m = 0; m < tables.G4Records.size(); ++m) {
        if (!inUse(tables.G4Records[m].Unit))
            g4 << QString::number(m);
    }
    QStringList loop420;
    for (const int m : moduleRange(ModuleKind::Loop420).numbers()) {
        if (!inUse(tables.Loop420Records[m].Unit))
            loop420 << QString::number(m);
    }
    QStringList parts;
    if (!g4.isEmpty())
        parts << QStringLiteral("G4 modules ") + g4.join(QStringLiteral(", "));
    if (!loop420.isEmpty())
        parts << QStringLiteral("4-20mA modules ") + loop420.join(QStringLiteral(", "));
    return QStringLiteral("<p><b>Disabled:</b> %1.</p>")
        .arg(parts.isEmpty() ? QStringLiteral("none") : parts.join(QStringLiteral("; ")));
}

QString SiteReport::comparisonSection() const {
    if (!comparison_)
        return {};
    QString html = heading("Last Comparison with the Unit");
    if (comparison_->matches())
        return html + QStringLiteral("<p>The unit held the program's configuration.</p>");
    QList<QStringList> rows;
    for (const FieldDifference& d : comparison_->differences) {
        rows << QStringList{d.field.toHtmlEscaped(), d.inProgram.toHtmlEscaped(),
                            d.inUnit.toHtmlEscaped()};
    }
    if (!rows.isEmpty())
        html += htmlTable({"Setting", "In the Program", "In the Unit"}, rows);
    if (!comparison_->unanswered.isEmpty())
        html += QStringLiteral("<p>No reply: %1.</p>")
                    .arg(comparison_->unanswered.join(QStringLiteral(", ")).toHtmlEscaped());
    if (!comparison_->partlyAnswered.isEmpty())
        html += QStringLiteral("<p>Part of a reply: %1.</p>")
                    .arg(comparison_->partlyAnswered.join(QStringLiteral(", ")).toHtmlEscaped());
    return html;
}

} // namespace rtu
