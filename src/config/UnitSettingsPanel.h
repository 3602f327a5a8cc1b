#pragma once

#include <QObject>
#include <QString>

#include <array>

namespace rtu {

class UserNotifier;

// The unit-wide settings as the main window shows them: the clock boxes (Text2 0/1), the
// LCD text boxes (Text1 0/1), the five scroll bars VScroll2..VScroll6 with their value
// displays (Label8 0..4), the software version display (Label2 index 2), the six row
// check boxes (Check1 0..5) and the Clock Auto/Manual mark. It is the one home of these
// values: the main window mirrors it, the command groups and the configuration file read
// and write it, and it reacts to changes as the window's controls do.
class UnitSettingsPanel : public QObject {
    Q_OBJECT
public:
    static constexpr int CheckCount = 6;
    static constexpr int FirstScroll = 2; // VScroll2
    static constexpr int LastScroll = 6;  // VScroll6
    static constexpr int LcdTextMaxLength = 20;

    // The rows the check boxes select (Check1 index).
    enum Row { TimeRow, DateRow, PollRow, LcdTimingRow, LcdTextRow, VersionRow };
    // The scroll bars by what they set.
    static constexpr int PollHoursScroll = 2;
    static constexpr int PollMinutesScroll = 3;
    static constexpr int PollSecondsScroll = 4;
    static constexpr int LcdSecondsScroll = 5;
    static constexpr int LcdRepeatsScroll = 6;
    static constexpr int VersionLabel = 2; // the only Label2 element the panel owns

    explicit UnitSettingsPanel(UserNotifier& notifier, QObject* parent = nullptr);

    // The settings by name, for everything that is not the main window.
    QString timeText() const { return text2(0); }
    QString dateText() const { return text2(1); }
    void setClockTexts(const QString& time, const QString& date);
    int pollPeriodSeconds() const; // at most 9:59:59
    int lcdSeconds() const { return vscroll(LcdSecondsScroll); }
    int lcdRepeats() const { return vscroll(LcdRepeatsScroll); }
    QString lcdLine(int line) const { return text1(line - 1); } // line 1 or 2
    QString version() const { return version_; }
    // Hours, minutes and seconds of a period as the three poll scroll bars show it (whole
    // numbers; the hours are not limited).
    static std::array<double, 3> splitPollPeriod(double seconds);

    // Clock boxes: 0 = time "12:00:00", 1 = date "12/31/2000". Every change runs the
    // clock-box input check (message box titled "Hi" or a beep, replacement text).
    QString text2(int index) const;
    void setText2(int index, const QString& text);

    // LCD display lines 1 and 2 ("Company", "Lease Name").
    QString text1(int index) const;
    void setText1(int index, const QString& text);

    // Scroll bars VScroll2..VScroll6 (n = 2..6): ranges 0..9, 0..59, 0..59, 0..99, 0..99.
    // A value outside the range throws RuntimeError and changes nothing. A real change
    // shows the value in "##00" in Label8(n - 2); setting the same value does nothing.
    int vscroll(int n) const;
    void setVScroll(int n, int value);
    static int vscrollMin(int n);
    static int vscrollMax(int n);

    // Value displays Label8 0..4; the read and load operations may write any caption.
    QString label8(int index) const;
    void setLabel8(int index, const QString& caption);

    // Software version display (Label2 index 2).
    QString label2(int index) const;
    void setLabel2(int index, const QString& caption);

    // Row check boxes, 0 = unticked, 1 = ticked.
    int check1(int index) const;
    void setCheck1(int index, int value);
    void setAllChecks(int value); // "Set All" (1) and "Clear All" (0), in index order

    // Clock menu: Auto (the PC clock is sent) or Manual (the clock boxes are sent).
    bool clockAuto() const { return clockAuto_; }
    void setClockAuto(bool autoMode);

signals:
    void text2Changed(int index);
    void text1Changed(int index);
    void vscrollChanged(int n);
    void label8Changed(int index);
    void label2Changed(int index);
    void check1Changed(int index);
    void clockModeChanged();

private:
    void checkClockBox(int index);

    UserNotifier& notifier_;
    std::array<QString, 2> text2_;
    std::array<QString, 2> text1_;
    std::array<int, LastScroll - FirstScroll + 1> vscroll_{};
    std::array<QString, LastScroll - FirstScroll + 1> label8_;
    QString version_;
    std::array<int, CheckCount> check1_{};
    bool clockAuto_ = true;
};

} // namespace rtu
