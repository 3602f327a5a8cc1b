// Any replies to the 39 reads of "Read All" (the input split at NUL bytes, one piece per read
// line), read by two sessions whose records start from different values (the defaults, and
// blanks): nothing breaks, what was read saves and loads back, and each tank or module
// line's state says which of its record's fields hold the reply's value, the same in both
// sessions (answered: all; partly answered: all but those it names as kept), and which kept
// each session's own (unanswered: all).

#include "FuzzRig.h"

namespace {

using namespace rtu;

constexpr int UnitLines = 5; // GRTCT GPP GLCD GLCDT GV come before the records

// The record that the index-th read of "Read All" fills, and its fields' values in the order
// of their names (ModuleCommands::fields).
std::pair<ModuleKind, int> recordOf(int index) {
    int number = index - UnitLines;
    for (const ModuleRange& range : ModuleRanges) {
        if (number < range.count())
            return {range.kind, range.first + number};
        number -= range.count();
    }
    return {};
}

QStringList valuesOf(const RecordTables& tables, int index) {
    const auto [kind, number] = recordOf(index);
    if (kind == ModuleKind::Tank)
        return test::fieldsOf(tables.SensorRecords.at(std::size_t(number)));
    if (kind == ModuleKind::G4)
        return test::fieldsOf(tables.G4Records.at(std::size_t(number)));
    return test::fieldsOf(tables.Loop420Records[number]);
}

// The two sessions, built once for all inputs. Each input starts them as new rigs start,
// the records as `initial` holds them: what an input changes is the library's script and
// records, the link, the screen, the recordings of the seams, the records and the
// settings, all put back here; the exchange resets its batch state as each batch opens.
struct Sessions {
    void reset() {
        for (std::size_t s = 0; s < 2; ++s) {
            ProtocolRig& rig = rigs[s];
            rig.library.reset();
            rig.link = LinkState{};
            rig.link.CurrentPort = 0;
            rig.screen.setText({});
            rig.listener = RecordingBatchListener(&rig.library.calls());
            rig.tables = initial[s];
            rig.settings = UnitSettings{};
            rig.rows = UnitRows{};
            fuzz::require(!rig.exchange.stopRequested(), "no stop carried over");
        }
    }

    std::array<ProtocolRig, 2> rigs;
    // The defaults, and blanks: unlike the defaults in every field.
    const std::array<RecordTables, 2> initial{test::defaultTables(), {}};
    const QStringList lines = rigs[0].commands.wholeUnitReadLines();
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> replies =
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\0');
    static Sessions sessions;
    sessions.reset();
    std::array<ProtocolRig, 2>& rigs = sessions.rigs;
    const std::array<RecordTables, 2>& initial = sessions.initial;
    const QStringList& lines = sessions.lines;
    const auto lineCount = int(lines.size());
    // Per session, each record line's fields before and after its read: a line's wait comes
    // after the reply before it was parsed, and before its own is.
    std::array<std::vector<QStringList>, 2> before, after;
    std::array<ReadReport, 2> reports;
    for (std::size_t s = 0; s < 2; ++s) {
        ProtocolRig& rig = rigs[s];
        for (qsizetype i = 0; i < lines.size() && i < replies.size(); ++i)
            rig.library.answer(lines[i], replies[i]);
        const auto fields = [&rig](int line) {
            return line >= UnitLines ? valuesOf(rig.tables, line) : QStringList();
        };
        rig.library.onDelay = [&rig, &fields, &before = before[s], &after = after[s]] {
            const auto line = int(before.size());
            if (line > 0)
                after.push_back(fields(line - 1));
            before.push_back(fields(line));
            rig.receiver.PollReceiver();
        };
        fuzz::require(rig.commands.readAll(&reports[s]), "a read ends orderly");
        after[s].push_back(fields(lineCount - 1));
    }
    const ReadReport& report = reports[0];
    fuzz::require(report.answered.size() + report.unanswered.size() +
                          report.partlyAnswered.size() ==
                      lineCount,
                  "39 reads named");
    fuzz::require(report.answered == reports[1].answered &&
                      report.partlyAnswered == reports[1].partlyAnswered &&
                      report.kept == reports[1].kept,
                  "a line's state is the reply's");
    for (int i = UnitLines; i < lineCount; ++i) {
        const QString& line = lines[i];
        const QList<QLatin1StringView>& names = moduleCommands(recordOf(i).first).fields;
        const auto n = std::size_t(i);
        // A reply naming another module fills that module's record: at the end every field
        // is, in both sessions, its own value or the same reply's.
        const std::array<QStringList, 2> start{valuesOf(initial[0], i), valuesOf(initial[1], i)};
        const std::array<QStringList, 2> end{valuesOf(rigs[0].tables, i),
                                             valuesOf(rigs[1].tables, i)};
        for (qsizetype f = 0; f < names.size(); ++f) {
            const bool kept = report.partlyAnswered.contains(line)
                                  ? report.kept.value(line).contains(names[f])
                                  : !report.answered.contains(line);
            fuzz::require(kept ? after[0][n][f] == before[0][n][f] &&
                                     after[1][n][f] == before[1][n][f]
                               : after[0][n][f] == after[1][n][f],
                          "the line's state says which fields it took");
            fuzz::require(end[0][f] == end[1][f] ||
                              (end[0][f] == start[0][f] && end[1][f] == start[1][f]),
                          "a field holds its value or a reply's");
        }
    }
    fuzz::requireRoundTrip(rigs[0].settings, rigs[0].tables);
    return 0;
}
