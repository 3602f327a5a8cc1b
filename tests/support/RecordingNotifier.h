#pragma once

#include "app/UserNotifier.h"

#include <QString>

#include <vector>

namespace rtu {

// A UserNotifier for tests: keeps every message box and question, counts the beeps and
// answers every question with `answer` (Save, Discard, Cancel ones with `saveChoice`).
struct RecordingNotifier : UserNotifier {
    struct Message {
        QString text;
        QString title;
        MessageIcon icon = MessageIcon::None;
        friend bool operator==(const Message&, const Message&) = default;
    };

    void showMessage(const QString& text, const QString& title, MessageIcon icon) override {
        messages.push_back({text, title, icon});
    }
    void beep() override { ++beeps; }
    bool ask(const QString& text, const QString& title) override {
        questions.push_back({text, title, MessageIcon::None});
        return answer;
    }
    SaveChoice askToSave(const QString& text, const QString& title) override {
        questions.push_back({text, title, MessageIcon::None});
        return saveChoice;
    }

    std::vector<Message> messages;
    std::vector<Message> questions;
    int beeps = 0;
    bool answer = true;
    SaveChoice saveChoice = SaveChoice::Discard; // a close goes on as it did before the question
};

} // namespace rtu
