#pragma once

#include <QString>
#include <QStringView>

namespace rtu {

// A record field of the unit's configuration: always exactly Width characters.
// A shorter text is padded with spaces on the right, a longer one is cut.
//
// A field starts out sharing one blank text and gets its own characters at its first
// assignment; later assignments overwrite them in place. Loads, reads and defaults assign
// hundreds of fields, and each would otherwise allocate twice.
template <int Width> class FixedText {
public:
    static constexpr int width = Width;

    FixedText() : text_(blank()) {}
    FixedText(QStringView text) : text_(blank()) { // NOLINT(google-explicit-constructor)
        assign(text);
    }

    FixedText& operator=(QStringView text) {
        assign(text);
        return *this;
    }
    FixedText& operator=(const QString& text) { return *this = QStringView(text); }
    FixedText& operator=(const char* text) {
        assign(QLatin1StringView(text));
        return *this;
    }

    const QString& text() const { return text_; }
    operator const QString&() const { return text_; } // NOLINT(google-explicit-constructor)

    friend bool operator==(const FixedText& a, const FixedText& b) { return a.text_ == b.text_; }

private:
    static const QString& blank() {
        static const QString spaces(Width, QLatin1Char(' '));
        return spaces;
    }

    // The text may be a view of this very field: data() leaves a shared buffer to its other
    // owners, and copying forward from the same or a later position is safe in place.
    template <typename Text> void assign(Text text) {
        const Text kept = text.left(Width);
        QChar* out = text_.data();
        for (qsizetype i = 0; i < Width; ++i)
            out[i] = i < kept.size() ? QChar(kept[i]) : QLatin1Char(' ');
    }

    QString text_;
};

} // namespace rtu
