#pragma once

#include "gpslink/Platform.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <algorithm>

class QSocketNotifier;

// The simulator's end of the serial cable: the master side of a
// pseudo-terminal. It splits what the host sends into lines and queues what
// the receiver sends, paces both directions to a baud rate and adds line
// faults on request. Everything is driven by the event loop; nothing blocks.
class HostLine : public QObject
{
    Q_OBJECT
public:
    struct Faults
    {
        int baud = 0;        // 0 moves bytes as fast as both ends take them
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
    // One direction of a serial line at the fault's baud rate, 10 bits a
    // byte: a byte is through once the line has had the time to carry it.
    class LinePace
    {
    public:
        explicit LinePace(int baud) : byteMs_(baud > 0 ? 10000.0 / baud : 0) {}
        bool Throttled() const { return byteMs_ > 0; }
        // Bytes were queued on an idle line: the first starts crossing now.
        void StartIdle(double nowMs) { freeMs_ = std::max(freeMs_, nowMs); }
        // How many of `queued` bytes are through by now.
        qsizetype Through(qsizetype queued, double nowMs) const;
        void Passed(qsizetype bytes) { freeMs_ += static_cast<double>(bytes) * byteMs_; }
        // Milliseconds from now until the first `bytes` queued are through.
        int MsUntilThrough(qsizetype bytes, double nowMs) const;

    private:
        double byteMs_;
        double freeMs_ = 0; // when the line has carried every byte passed so far
    };

    void ReadHost();
    void DeliverCarried();
    void SplitLines();
    void WritePending();
    void CloseWhenRead();
    double NowMs() const { return static_cast<double>(clock_.nsecsElapsed()) / 1e6; }

    PseudoTerminal terminal_;
    Faults faults_;
    QSocketNotifier* readNotifier_ = nullptr;
    QSocketNotifier* writeNotifier_ = nullptr;
    QTimer paceTimer_;   // paced writes, and retries while the host reads nothing
    QTimer carryTimer_;  // paced delivery of what the host sent
    QTimer reopenTimer_; // the host side hung up: look again later instead of spinning
    QTimer hangupTimer_; // waits for the host to read the last sentence before closing
    QElapsedTimer clock_;
    LinePace sendPace_;
    LinePace receivePace_;
    QByteArray onLine_;   // read from the host, still crossing the line
    QByteArray received_; // through the line, not yet a whole line
    QByteArray pending_;
    int sentences_ = 0;
    bool hangingUp_ = false;
    int hangupWaits_ = 0;
};
