#pragma once

#include "gpslink/Platform.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QSocketNotifier;

// The simulator's end of the serial cable: the master side of a
// pseudo-terminal. It splits what the host sends into lines and queues what
// the receiver sends, pacing it to a baud rate and adding line faults on
// request. Everything is driven by the event loop; nothing blocks.
class HostLine : public QObject
{
    Q_OBJECT
public:
    struct Faults
    {
        int baud = 0;        // 0 sends as fast as the host reads
        bool noise = false;  // a few stray bytes before every sentence
        int hangupAfter = 0; // close the terminal after this many sentences; 0 never
    };

    HostLine(PseudoTerminal terminal, Faults faults, QObject* parent = nullptr);
    ~HostLine() override;

    // Queues one finished sentence (ending in CR LF). Ignored once the line is
    // hung up or about to be.
    void Send(const QString& sentence);
    // Nothing is waiting to be written.
    bool Idle() const { return pending_.isEmpty(); }
    bool IsOpen() const { return terminal_.masterFd >= 0; }

signals:
    // One line from the host, as received, without its CR LF.
    void LineReceived(const QString& line);
    // Everything queued has been written.
    void Drained();
    // The terminal was closed after the last sentence allowed by hangupAfter.
    void HungUp();

private:
    void ReadHost();
    void WritePending();
    void CloseWhenRead();

    PseudoTerminal terminal_;
    Faults faults_;
    QSocketNotifier* readNotifier_ = nullptr;
    QSocketNotifier* writeNotifier_ = nullptr;
    QTimer paceTimer_;   // paced writes, and retries while the host reads nothing
    QTimer reopenTimer_; // the host side hung up: look again later instead of spinning
    QTimer hangupTimer_; // waits for the host to read the last sentence before closing
    QElapsedTimer paceClock_;
    double credit_ = 0; // bytes the baud rate allows now
    QByteArray received_;
    QByteArray pending_;
    int sentences_ = 0;
    bool hangingUp_ = false;
    int hangupWaits_ = 0;
};
