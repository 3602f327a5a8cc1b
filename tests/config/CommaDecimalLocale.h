#pragma once

#include <QLocale>

#include <clocale>

namespace rtu {

// Switches the Qt default locale (always) and the C library's locale (when the system has
// it) to German, whose decimal separator is a comma, and restores both on destruction.
class CommaDecimalLocale {
public:
    CommaDecimalLocale() : previous_(QLocale()) {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        std::setlocale(LC_ALL, "de_DE.UTF-8"); // stays "C" where the system lacks it
    }
    ~CommaDecimalLocale() {
        QLocale::setDefault(previous_);
        std::setlocale(LC_ALL, "C");
    }
    CommaDecimalLocale(const CommaDecimalLocale&) = delete;
    CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;

private:
    QLocale previous_;
};

} // namespace rtu
