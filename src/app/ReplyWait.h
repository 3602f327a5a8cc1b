#pragma once

#include <QObject>
#include <QStringList>

class QSettings;

namespace rtu {

class SerialLibrary;

// The reply wait chosen under "Port Characteristics": "Reply Wait" lengthens every
// settle-delay unit ("Normal", "x2", "x4", "x8" of the unit derived from the line speed or
// fixed on the command line), for a unit that answers late; "Reply Pacing" decides how the
// wait after a read line ends ("Fixed Delays", or "Until Reply Is In" with the settle delay
// as the longest wait). A choice goes straight to the serial library; exactly one entry of
// each list is checked.
class ReplyWait : public QObject {
    Q_OBJECT
public:
    explicit ReplyWait(SerialLibrary& library, QObject* parent = nullptr);

    static const QStringList& waitCaptions();
    static const QStringList& pacingCaptions();

    void chooseWait(int index);
    void choosePacing(int index);
    int waitIndex() const { return waitIndex_; }
    int pacingIndex() const { return pacingIndex_; }
    // For the terminal window's status bar: "Reply Wait x2, Until Reply Is In".
    QString statusText() const;

    // The choices are kept in the user's settings by their captions; one the lists no longer
    // hold leaves the choice as it is.
    void restore(const QSettings& settings);
    void remember(QSettings& settings) const;

signals:
    void changed();

private:
    void apply();

    SerialLibrary& library_;
    int waitIndex_ = 0;
    int pacingIndex_ = 0;
};

} // namespace rtu
