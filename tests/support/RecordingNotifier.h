#pragma once

#include "config/UserNotifier.h"

#include <QString>

#include <vector>

namespace rtu {

// A UserNotifier for tests: keeps every message box and counts the beeps.
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

    std::vector<Message> messages;
    int beeps = 0;
};

} // namespace rtu
