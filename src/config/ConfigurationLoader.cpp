#include "config/ConfigurationFile.h"

#include "config/ConfigurationLines.h"
#include "config/UnitSettingsLines.h"
#include "config/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringDecoder>
#include <QStringList>

namespace rtu {

namespace configfile {

// The text of valid UTF-8 bytes; nothing otherwise.
std::optional<QString> decodeUtf8(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

namespace {

// Editors save non-ASCII text as UTF-8; anything that is not valid UTF-8 is taken as the
// program writes it, one byte per character.
QString decode(const QByteArray& content) {
    return decodeUtf8(content).value_or(QString::fromLatin1(content));
}

// Lines end in CR LF, LF or CR; the last line may lack its end.
QStringList splitLines(const QByteArray& content) {
    QString text = decode(content);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

} // namespace configfile

LoadResult LoadConfiguration(const QByteArray& content, UnitSettings& settings,
                             RecordTables& tables) {
    const QStringList lines = configfile::splitLines(content);
    LoadResult result;
    QHash<QString, int> firstNamedOn; // the line that named each record first
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(i + 1);
        configfile::LineNotes notes;
        try {
            configfile::applyLine(lines[i], settings, tables, notes);
        } catch (const std::exception& e) {
            result.ok = false;
            result.lineNumber = lineNumber;
            result.reason = QString::fromUtf8(e.what());
            break;
        }
        const std::optional<QString> record = configfile::recordKey(lines[i]);
        if (record && !record->isEmpty()) {
            if (const auto first = firstNamedOn.constFind(*record); first != firstNamedOn.cend())
                notes << QStringLiteral("%1 named a second time (first on line %2)")
                             .arg(*record)
                             .arg(*first);
            else
                firstNamedOn.insert(*record, lineNumber);
            result.records << *record;
        }
        for (const QString& note : notes)
            result.problems.append({lineNumber, note});
    }
    return result;
}

QString loadProblem(const QString& path, const LoadResult& result) {
    const QString name = QDir::toNativeSeparators(path);
    if (result.lineNumber == 0)
        return QStringLiteral("%1: %2").arg(name, result.reason);
    return QStringLiteral("%1, line %2: %3").arg(name).arg(result.lineNumber).arg(result.reason);
}

QList<int> placeholderLines(const QByteArray& content) {
    // The loader ends a text at its closing quote, so a text is the placeholder exactly where
    // the placeholder stands between two quotes.
    const QString quotedPlaceholder = configfile::Quote + lcdTextPlaceholder() + configfile::Quote;
    const QStringList lines = configfile::splitLines(content);
    QList<int> found;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(u"SLCDT1") && lines[i].contains(quotedPlaceholder))
            found << int(i + 1);
    }
    return found;
}

QStringList loadRefusals(const QString& path, const LoadResult& result) {
    QStringList refusals;
    for (const LineProblem& problem : result.problems)
        refusals << QStringLiteral("%1:%2: %3")
                        .arg(path, QString::number(problem.lineNumber), problem.reason);
    return refusals;
}

QStringList wholeConfigurationProblems(const QByteArray& content) {
    QStringList problems;
    QStringList wanted = configurationRecords();
    const QStringList lines = configfile::splitLines(content);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const std::optional<QString> key = configfile::recordKey(lines[i]);
        if (!key)
            problems << QStringLiteral("line %1 names no record of the unit: %2")
                            .arg(i + 1)
                            .arg(lines[i].left(8));
        else
            wanted.removeAll(*key);
    }
    if (!wanted.isEmpty())
        problems << QStringLiteral("missing: ") + wanted.join(QStringLiteral(", "));
    return problems;
}

ReadResult readConfigurationFile(const QString& path) {
    if (!readableAsWholeFile(path))
        return {{}, QStringLiteral("cannot open: not a regular file")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("cannot open: ") + file.errorString()};
    // A real configuration is about 1.1 KB; reading stops soon past the limit, so a huge
    // file or an endless device never fills the memory.
    QByteArray content = file.read(MaxConfigurationFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return {{}, QStringLiteral("cannot read: ") + file.errorString()};
    if (content.size() > MaxConfigurationFileSize)
        return {{}, QStringLiteral("larger than 1 MB: not a configuration file")};
    return {std::move(content), {}};
}

LoadResult loadConfigurationFile(const QString& path, UnitSettings& settings,
                                 RecordTables& tables) {
    const ReadResult read = readConfigurationFile(path);
    if (!read.error.isEmpty())
        return {false, 0, read.error, {}, {}};
    return LoadConfiguration(read.content, settings, tables);
}

} // namespace rtu
