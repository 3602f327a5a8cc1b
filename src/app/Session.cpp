#include "app/Session.h"

#include "serial/SerialLibrary.h"

namespace rtu {

Session::Session(SerialLibrary& library, TerminalScreen& screen, BatchListener& listener,
                 UserNotifier& notifier, UnitCommands::Clock clock, QObject* parent)
    : QObject(parent), settings(notifier), receiver(library, link, screen),
      exchange(library, link, screen, listener),
      commands(exchange, settings.storedValues(), settings.rows(), tables, std::move(clock),
               [this](const QList<ClockNotice>& notices) { settings.replyStored(notices); }),
      library_(library), notifier_(notifier) {
    SetAllDefaults(tables);
    edits.markKept(); // the defaults are no one's edits
    connect(&library, &SerialLibrary::bytesWaiting, this, [this] { receiver.PollReceiver(); });
    connect(&receiverTimer_, &QTimer::timeout, this, [this] { receiver.PollReceiver(); });
    // Idle, the program sleeps until the port has bytes; only an exchange waiting for a reply
    // keeps the safety net running.
    receiverTimer_.setInterval(ReceiverTickMs);
    connect(&exchange, &Exchange::runningChanged, &receiverTimer_,
            [this](bool running) { running ? receiverTimer_.start() : receiverTimer_.stop(); });
}

} // namespace rtu
