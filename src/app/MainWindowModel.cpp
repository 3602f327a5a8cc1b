#include "app/MainWindowModel.h"

#include "app/FileActions.h"
#include "app/ReadOutcome.h"
#include "app/UserNotifier.h"
#include "protocol/RecordReads.h"
#include "serial/SerialLibrary.h"

#include <QCoreApplication>
#include <QTime>

namespace rtu {

namespace {

const QString FileDialogTitle = QStringLiteral("File Open");
const QString FilePattern = QStringLiteral("*.txt");

} // namespace

MainWindowModel::MainWindowModel(const Environment& environment, QObject* parent)
    : QObject(parent), env_(environment), batchWindows_(env_.ui, env_.notifier),
      session_(env_.library, env_.screen, batchWindows_, env_.notifier), replyWait_(env_.library),
      ports_(env_.library, session_.link, env_.screen, env_.menus),
      lifecycle_(session_, ports_, batchWindows_, env_.notifier, env_.directory),
      editsOnClose_(session_, env_.notifier) {
    session_.record.setFolder(env_.workRecordFolder, QCoreApplication::applicationVersion());
    statusTimer_.setInterval(StatusTickMs);
    connect(&statusTimer_, &QTimer::timeout, this, &MainWindowModel::refreshPortStatus);
    connect(&session_.unanswered, &UnansweredReads::changed, this,
            &MainWindowModel::refreshReadAgain);
    connect(&session_.exchange, &Exchange::runningChanged, this, [this](bool running) {
        exchangeRunning_ = running;
        if (!running && closePending_)
            emit closeReady();
    });
}

void MainWindowModel::startUp(const std::function<void()>& showMainWindow) {
    lifecycle_.startUp(showMainWindow);
    const QString recovered = editsOnClose_.offerRecovered();
    if (!recovered.isEmpty())
        announce(recovered);
    refreshPortStatus();
    statusTimer_.start();
}

bool MainWindowModel::shutDown() {
    statusTimer_.stop();
    if (lifecycle_.hasShutDown())
        return false;
    // The port is closed whatever happened to the files; the operator learns which of them
    // did not reach the disk (the next start would otherwise use old settings unnoticed).
    QStringList problems = lifecycle_.shutDown();
    const QString recoveryProblem = editsOnClose_.keepUnsaved();
    if (!recoveryProblem.isEmpty())
        problems << recoveryProblem;
    if (!problems.isEmpty())
        env_.notifier.showMessage(QStringLiteral("Some files could not be written at exit:\n") +
                                      problems.join(QLatin1Char('\n')),
                                  QString(), MessageIcon::Critical);
    return true;
}

// Closing the port and unloading the windows under a running exchange would cut it off
// mid-line: it stops at its line boundary, the wait of the line going out cut short (an
// ending session or a service stop will not wait minutes at a slow line speed), and the
// program ends then.
bool MainWindowModel::requestClose() {
    if (!exchangeRunning_)
        return editsOnClose_.confirmClose([this] { save(); });
    closePending_ = true;
    announce(QStringLiteral("Closing when the exchange ends..."));
    session_.exchange.requestStop();
    return false;
}

void MainWindowModel::refreshPortStatus() {
    if (!exchangeRunning_)
        ports_.reopenLostPort();
    const PortStatus status = ports_.RefreshPortStatus(QTime::currentTime());
    portControlsEnabled_ = status.portControlsEnabled;
    emit portStatusChanged(status);
    refreshReadAgain();
}

void MainWindowModel::refreshReadAgain() {
    emit readAgainEnabledChanged(portControlsEnabled_ &&
                                 !session_.unanswered.toReadAgain().isEmpty());
}

// A work record that could not be written is told once, after the outcome of its action.
QString MainWindowModel::announce(const QString& text) {
    const QString shown = text.isEmpty() ? text : session_.record.withNotice(text);
    emit outcomeChanged(shown);
    return shown;
}

// The unit receives what the operator types as 8-bit characters; one it cannot receive
// goes out as '?'.
void MainWindowModel::sendTypedKeys(const QString& text) {
    for (const QChar c : text)
        env_.library.PutByte(session_.link.CurrentPort, c.unicode() <= 0xFF ? c.unicode() : '?');
}

void MainWindowModel::setRts(bool raised) {
    const PortId port = session_.link.CurrentPort;
    if (raised)
        env_.library.RtsOn(port);
    else
        env_.library.RtsOff(port);
    batchWindows_.rtsChanged(raised);
}

void MainWindowModel::showVersion() {
    env_.notifier.showMessage(QStringLiteral("Software Version ") +
                                  QCoreApplication::applicationVersion(),
                              QStringLiteral("Korvat"), MessageIcon::Information);
}

// A program action that covers fields the last read left unanswered asks first.
bool MainWindowModel::confirmProgram(const QString& action, const QStringList& readLines) {
    if (session_.unanswered.confirmProgram(action, readLines, env_.notifier))
        return true;
    announce(cancelledOutcome(action));
    return false;
}

void MainWindowModel::finishProgram(const QString& action, bool completed, int linesSent,
                                    const QStringList& records, const QString& wholeUnitDone) {
    session_.record.programmed(action, records, completed);
    announce(completed ? programOutcome(action, linesSent) : stoppedOutcome(action, wholeUnitDone));
}

void MainWindowModel::program() {
    const QString action = QStringLiteral("Program");
    if (!confirmProgram(action, session_.commands.unitSettingsReadLines(0)))
        return;
    const int lines = session_.commands.unitProgramLineCount(0);
    const QStringList records = recordsRead(session_.commands.unitSettingsReadLines(0));
    finishProgram(action, session_.commands.programButton(), lines, records);
}

void MainWindowModel::programAll() {
    const QString action = QStringLiteral("Program All");
    if (!confirmProgram(action, session_.commands.wholeUnitReadLines()))
        return;
    const bool completed = session_.commands.programAll();
    if (completed)
        session_.edits.markKept(); // the unit holds the whole configuration now
    finishProgram(action, completed, UnitCommands::WholeUnitLineCount, configurationRecords(),
                  QStringLiteral("programmed"));
}

QString MainWindowModel::readAll() {
    // The button is disabled without a port; a request from elsewhere is refused the same.
    if (session_.link.CurrentPort == NoPort)
        return announce(QStringLiteral("Read All needs an open port"));
    ReadReport report;
    const bool completed = session_.commands.readAll(&report);
    return finishRead(QStringLiteral("Read All"), completed, report, QStringLiteral("read"));
}

QString MainWindowModel::read() {
    ReadReport report;
    const bool completed = session_.commands.readButton(&report);
    return finishRead(QStringLiteral("Read"), completed, report);
}

QString MainWindowModel::readUnansweredAgain() {
    ReadReport report;
    const bool completed = session_.commands.readListed(session_.unanswered.toReadAgain(), &report);
    return finishRead(QStringLiteral("Read Unanswered Again"), completed, report);
}

// Every read, whole or cut short, tells what stays unanswered; the outcome replaces the
// status. A read cut short (the port went away, a reply that does not fit a control) leaves
// the fields read so far, and a box tells which action stopped and why, unless the
// program's closing stopped it: no box may hold the closing up.
QString MainWindowModel::finishRead(const QString& action, bool completed, const ReadReport& report,
                                    const QString& wholeUnitDone) {
    session_.unanswered.noteRead(report);
    session_.record.read(action, report);
    if (completed)
        return announce(readOutcome(action, report));
    const QString stopped = announce(stoppedOutcome(action, wholeUnitDone));
    if (!session_.exchange.stopRequested())
        env_.notifier.showMessage(stopped, QString(), MessageIcon::Critical);
    return stopped;
}

// Why an action stopped. After a lost port a whole-unit action, whose lines run in one fixed
// order, also says how far it got ("read", "programmed") and what to do.
QString MainWindowModel::stoppedOutcome(const QString& action, const QString& wholeUnitDone) const {
    const Exchange& exchange = session_.exchange;
    if (!wholeUnitDone.isEmpty() && exchange.portLost())
        return lostPortOutcome(action, wholeUnitDone, exchange.completedLines());
    if (!wholeUnitDone.isEmpty() && exchange.stopRequested())
        return closingOutcome(action, wholeUnitDone, exchange.completedLines());
    return QStringLiteral("%1 stopped: %2").arg(action, exchange.lastError());
}

// The status line is cleared once the dialog closes, whatever it answered.
QString MainWindowModel::chooseFile(FileChooser::Purpose purpose) {
    const QString path = env_.files.chooseFile(purpose, FileDialogTitle, FilePattern, FilePattern);
    announce(QString());
    return path;
}

void MainWindowModel::save() {
    const QString path = chooseFile(FileChooser::Purpose::Save);
    if (!path.isEmpty())
        announce(saveConfigurationTo(session_, path));
}

void MainWindowModel::load() {
    const QString path = chooseFile(FileChooser::Purpose::Load);
    if (!path.isEmpty())
        announce(loadConfigurationFrom(session_, path));
}

void MainWindowModel::exportReport(const UnitComparison* lastComparison) {
    const QString path = env_.files.chooseFile(
        FileChooser::Purpose::Save, QStringLiteral("Export Report"),
        QStringLiteral("Site report (*.pdf *.html *.png)"), QStringLiteral("site-report.pdf"));
    announce(QString());
    if (!path.isEmpty())
        announce(exportSiteReportTo(session_, path, lastComparison));
}

} // namespace rtu
