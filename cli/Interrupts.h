#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

// Ctrl+C and SIGTERM. The first asks: Arrived is emitted from the event loop,
// which runs inside every exchange, and the running exchange is cancelled as
// the Cancel button does it. The second does not ask: the process ends at
// once with 128 + the signal's number.
class Interrupts : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Takes Ctrl+C over from the system, which otherwise ends the program at
    // once: what a command without an exchange to cancel wants.
    void Listen();

    // The first signal that arrived, 0 while none has.
    int Signal() const { return signal_; }
    bool Interrupted() const { return signal_ != 0; }
    // The exit status that tells a shell the program was interrupted.
    int ExitStatus() const { return 128 + signal_; }

signals:
    void Arrived();

private:
    void Take();

    std::unique_ptr<QSocketNotifier> notifier_;
    int signal_ = 0;
};
