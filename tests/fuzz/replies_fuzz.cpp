// Any replies to a whole "Read All" (the input split at NUL bytes, one piece per read line):
// nothing breaks, what was read saves and loads back, and after each line every field holds
// either the value it had before or the reply's, as the line's state says (answered: every
// field of the line is the reply's; unanswered: none is; partly answered: all but those it
// names as kept). Two sessions read the same replies starting from different values: a
// field a reply gave is the same in both, a field kept is each one's own.

#include "FuzzRig.h"

#include <tuple>
#include <vector>

namespace {

using namespace rtu;

constexpr int UnitLines = 5; // GRTCT GPP GLCD GLCDT GV, then the tanks and modules in order
const QString UnknownText(UnitSettingsPanel::LcdTextMaxLength, u'?');
const QString UnknownVersion = QStringLiteral("????????  ");

// The fields the read line at `index` of "Read All" fills, by their names in reports, and
// their values. The poll period and LCD timing are their scroll bars: the displays beside
// them show "??" for no reply.
QStringList lineFields(int index) {
    static const std::array<QStringList, UnitLines> unitFields{QStringList{"date", "time"},
                                                               {"poll period"},
                                                               {"LCD timing"},
                                                               {"line 1", "line 2"},
                                                               {"version"}};
    if (index < UnitLines)
        return unitFields[std::size_t(index)];
    QStringList names;
    for (const ModuleRange& range : ModuleRanges) {
        if (index - UnitLines < range.count()) {
            for (const QLatin1StringView name : moduleCommands(range.kind).fields)
                names << QString(name);
            return names;
        }
        index -= range.count();
    }
    return names;
}

QStringList lineValues(const ProtocolRig& rig, int index) {
    const UnitSettingsPanel& p = rig.panel;
    const auto bars = [&p](int first, int last) {
        QString text;
        for (int n = first; n <= last; ++n)
            text += QString::number(p.vscroll(n)) + u' ';
        return QStringList{text};
    };
    switch (index) {
    case 0:
        return {p.text2(1), p.text2(0)};
    case 1:
        return bars(UnitSettingsPanel::PollHoursScroll, UnitSettingsPanel::PollSecondsScroll);
    case 2:
        return bars(UnitSettingsPanel::LcdSecondsScroll, UnitSettingsPanel::LcdRepeatsScroll);
    case 3:
        return {p.text1(0), p.text1(1)};
    case 4:
        return {p.label2(UnitSettingsPanel::VersionLabel)};
    }
    int number = index - UnitLines;
    if (number < TankCount) {
        const SensorRecord& r = rig.tables.SensorRecords.at(std::size_t(number));
        return {r.Label,    r.Floats,       r.LevelUnit, r.TempSensors,
                r.TempUnit, r.VolumeFactor, r.VolumeUnit};
    }
    number -= TankCount;
    if (number < G4Count) {
        const G4Record& r = rig.tables.G4Records.at(std::size_t(number));
        return {r.Unit, r.Source, r.Channel, r.OnTest, r.OnValue, r.OffTest, r.OffValue};
    }
    const Loop420Record& r = rig.tables.Loop420Records[number - G4Count + Loop420First];
    return {r.Unit, r.Source, r.Channel, r.Value4mA, r.Value20mA};
}

QStringList allValues(const ProtocolRig& rig) {
    QStringList values;
    for (int index = 0; index < UnitCommands::WholeUnitLineCount; ++index)
        values << lineValues(rig, index);
    return values;
}

// Values unlike the defaults in every field.
void setOtherValues(ProtocolRig& rig) {
    UnitSettingsPanel& p = rig.panel;
    p.setText2(0, QStringLiteral("01:02:03"));
    p.setText2(1, QStringLiteral("04/05/06"));
    for (int n = UnitSettingsPanel::FirstScroll; n <= UnitSettingsPanel::LastScroll; ++n)
        p.setVScroll(n, n + 1);
    p.setText1(0, QStringLiteral("other line 1"));
    p.setText1(1, QStringLiteral("other line 2"));
    p.setLabel2(UnitSettingsPanel::VersionLabel, QStringLiteral("other"));
    for (SensorRecord& r : rig.tables.SensorRecords)
        std::tie(r.Label, r.Floats, r.LevelUnit, r.TempSensors, r.TempUnit, r.VolumeFactor,
                 r.VolumeUnit) = std::tuple("OTHER", "9", "b", "8", "b", "9.5", "b");
    for (G4Record& r : rig.tables.G4Records)
        std::tie(r.Unit, r.Source, r.Channel, r.OnTest, r.OnValue, r.OffTest, r.OffValue) =
            std::tuple("42", "b", "7", "bb", "9.5", "bb", "8.5");
    for (const int module : moduleRange(ModuleKind::Loop420).numbers()) {
        Loop420Record& r = rig.tables.Loop420Records[module];
        std::tie(r.Unit, r.Source, r.Channel, r.Value4mA, r.Value20mA) =
            std::tuple("42", "b", "7", "9.5", "8.5");
    }
}

// A field left unread may show the unit-settings placeholder instead of its value.
bool keptOrPlaceholder(const QString& now, const QString& before) {
    return now == before || now == UnknownText || now == UnknownVersion;
}

// Reads the replies, noting the values of each line's fields before and after its read.
struct Reading {
    Reading(const QList<QByteArray>& replies, bool otherValues) {
        if (otherValues)
            setOtherValues(rig);
        const QStringList lines = rig.commands.wholeUnitReadLines();
        for (qsizetype i = 0; i < lines.size() && i < replies.size(); ++i)
            rig.library.answer(lines[i], replies[i]);
        // Each wait comes after the reply before it was parsed, and before its own is.
        rig.library.onDelay = [this] {
            const int index = int(before.size());
            if (index > 0)
                after.push_back(lineValues(rig, index - 1));
            before.push_back(lineValues(rig, index));
            rig.receiver.PollReceiver();
        };
        initial = allValues(rig);
        fuzz::require(rig.commands.readAll(&report), "a read ends orderly");
        fuzz::require(before.size() == std::size_t(lines.size()), "one wait per line");
        after.push_back(lineValues(rig, int(lines.size()) - 1));
    }

    ProtocolRig rig;
    ReadReport report;
    QStringList initial;
    std::vector<QStringList> before;
    std::vector<QStringList> after;
};

// Whether the line's state says it kept the field: an unanswered line keeps all, a partly
// answered one those it names.
bool keptByState(const ReadReport& report, const QString& line, const QString& field) {
    if (report.partlyAnswered.contains(line))
        return report.kept.value(line).contains(field);
    return !report.answered.contains(line);
}

void requireStatesTell(const Reading& a, const Reading& b) {
    const QStringList lines = a.rig.commands.wholeUnitReadLines();
    for (int i = 0; i < int(lines.size()); ++i) {
        const QStringList fields = lineFields(i);
        for (qsizetype f = 0; f < fields.size(); ++f) {
            const auto value = [f](const std::vector<QStringList>& values, int line) {
                return values[std::size_t(line)][f];
            };
            const bool same = value(a.after, i) == value(b.after, i);
            const bool kept = keptOrPlaceholder(value(a.after, i), value(a.before, i)) &&
                              keptOrPlaceholder(value(b.after, i), value(b.before, i));
            fuzz::require(keptByState(a.report, lines[i], fields[f]) ? kept : same,
                          "the line's state says which fields it took");
        }
    }
    // A reply naming another module fills that module's record, so at the end every field
    // is, in both sessions, either its own value (or a placeholder) or the same reply's.
    const QStringList finalA = allValues(a.rig);
    const QStringList finalB = allValues(b.rig);
    for (qsizetype k = 0; k < finalA.size(); ++k)
        fuzz::require(finalA[k] == finalB[k] || (keptOrPlaceholder(finalA[k], a.initial[k]) &&
                                                 keptOrPlaceholder(finalB[k], b.initial[k])),
                      "a field holds its value or a reply's");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> replies =
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\0');
    const Reading fromDefaults(replies, false);
    const Reading fromOthers(replies, true);
    const ReadReport& report = fromDefaults.report;
    fuzz::require(report.answered.size() + report.unanswered.size() +
                          report.partlyAnswered.size() ==
                      UnitCommands::WholeUnitLineCount,
                  "39 reads named");
    fuzz::require(report.answered == fromOthers.report.answered &&
                      report.partlyAnswered == fromOthers.report.partlyAnswered &&
                      report.kept == fromOthers.report.kept,
                  "a line's state is the reply's");
    requireStatesTell(fromDefaults, fromOthers);
    fuzz::requireRoundTrip(fromDefaults.rig.panel, fromDefaults.rig.tables);
    return 0;
}
