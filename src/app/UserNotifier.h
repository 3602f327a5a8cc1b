#pragma once

#include <QString>

namespace rtu {

enum class MessageIcon { None, Information, Critical };

// The answers to a question asked before edits could be lost.
enum class SaveChoice { Save, Discard, Cancel };

// How the program speaks to the operator: message boxes, questions and beeps. The desktop
// program shows real message boxes; tests and the command-line tool record or print them,
// so nothing ever blocks on a dialog.
class UserNotifier {
public:
    virtual ~UserNotifier() = default;
    // An empty title means the program's default title.
    virtual void showMessage(const QString& text, const QString& title, MessageIcon icon) = 0;
    virtual void beep() = 0;
    // A question with OK and Cancel; true for OK. Where no one can answer (the command-line
    // tool, the simulated unit) it is declined.
    virtual bool ask(const QString& /*text*/, const QString& /*title*/) { return false; }
    // A question with Save, Discard and Cancel. Where no one can answer it is cancelled, as
    // the question above is declined: nothing is lost, nothing is done.
    virtual SaveChoice askToSave(const QString& /*text*/, const QString& /*title*/) {
        return SaveChoice::Cancel;
    }
};

} // namespace rtu
