#pragma once

#include <QString>

#include <functional>

namespace rtu {

class Session;
class UserNotifier;

// What becomes of unsaved edits (UnsavedEdits) when the program ends. An operator who
// closes is asked to save them, discard them or go on working. When the program ends with
// no one to ask (a termination signal, the end of the desktop session) they go to a
// recovery file in the user's data folder, which the next start offers to load.
class EditsOnClose {
public:
    EditsOnClose(Session& session, UserNotifier& notifier,
                 QString recoveryPath = defaultRecoveryPath());

    // "recovered.txt" in the user's data folder, in the configuration file's format.
    static QString defaultRecoveryPath();

    // The operator closes a window: with unsaved edits, Save (through `save`, the "Save"
    // button's action), Discard or Cancel. Returns whether the program may close: not after
    // Cancel, nor after a save that did not happen.
    bool confirmClose(const std::function<void()>& save);
    // The program ends without asking from now on.
    void endWithoutAsking() { asking_ = false; }

    // At shutdown: edits neither saved nor discarded go to the recovery file. Returns why
    // it could not be written; empty when written or not needed.
    QString keepUnsaved();
    // At start-up: offers the recovery file of an earlier run. Loaded or declined, it is
    // removed; loaded edits count as unsaved. Returns the load's outcome; empty without one.
    QString offerRecovered();

private:
    Session& session_;
    UserNotifier& notifier_;
    QString recoveryPath_;
    bool asking_ = true;
    bool discarded_ = false;
};

} // namespace rtu
