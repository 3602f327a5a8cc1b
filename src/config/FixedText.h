#pragma once

#include <QString>
#include <QStringView>

namespace rtu {

// A record field of the unit's configuration: always exactly Width characters.
// A shorter text is padded with spaces on the right, a longer one is cut.
template <int Width> class FixedText {
public:
    static constexpr int width = Width;

    FixedText() : text_(Width, QLatin1Char(' ')) {}
    FixedText(QStringView text) { assign(text); } // NOLINT(google-explicit-constructor)

    FixedText& operator=(QStringView text) {
        assign(text);
        return *this;
    }
    FixedText& operator=(const QString& text) { return *this = QStringView(text); }
    FixedText& operator=(const char* text) { return *this = QString::fromLatin1(text); }

    const QString& text() const { return text_; }
    operator const QString&() const { return text_; } // NOLINT(google-explicit-constructor)

    friend bool operator==(const FixedText& a, const FixedText& b) { return a.text_ == b.text_; }

private:
    void assign(QStringView text) {
        text_ = text.left(Width).toString();
        if (text_.size() < Width)
            text_.append(QString(Width - text_.size(), QLatin1Char(' ')));
    }

    QString text_;
};

} // namespace rtu
