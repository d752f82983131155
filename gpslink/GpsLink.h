#pragma once

#include "gpslink/Sentence.h"
#include "gpslink/SerialStream.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <chrono>
#include <optional>

// What one read from the receiver gave: a line, a time-out, or a port that
// is closed (a hang-up, or closed by the program).
enum class ReceiveStatus
{
    Line,
    TimedOut,
    PortClosed
};

struct Received
{
    ReceiveStatus status = ReceiveStatus::TimedOut;
    QString line; // the sentence without its CR LF; empty unless status is Line

    bool IsLine() const { return status == ReceiveStatus::Line; }
};

// What one write to the receiver gave.
enum class SendStatus
{
    Sent,        // left the port, or still queued when Cancelled stopped the wait
    WriteFailed, // the port refused the bytes; `error` holds its text
    PortClosed,
    TimedOut // still not out after the bytes' time on the line plus the link's time-out
};

struct SendResult
{
    SendStatus status = SendStatus::Sent;
    QString error;

    bool Ok() const { return status == SendStatus::Sent; }
};

// The two primitives every exchange with the receiver is built from, GpsSend
// and GpsReceive, and the link's state: Cancelled, whether an exchange runs
// (busy, set only by ExchangeFrame), whether the program is connected, the
// monitor echo and the receiver's version. Both primitives wait in a local
// event loop, so window events (the Cancel button, port errors, the monitor
// repainting) run meanwhile; nothing polls. The link shows nothing itself:
// callers decide what to say about a result.
class GpsLink : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kDefaultTimeout{4000};
    // How long a drain may go on receiving before the program gives up on a
    // receiver that will not stop talking.
    static constexpr std::chrono::milliseconds kDefaultDrainLimit{30000};
    // A started line longer than this without CR LF is noise, not a sentence.
    static constexpr qsizetype kLongestLine = 4096;

    explicit GpsLink(SerialStream& port, std::chrono::milliseconds timeout = kDefaultTimeout,
                     QObject* parent = nullptr);

    SerialStream& Port() const { return port_; }

    // Writes one finished sentence (CR LF included) and waits until the port
    // has sent it, Cancelled is set, the port closes or the bytes' time on the
    // line at the port's speed (10 bits a byte) plus the time-out has passed.
    SendResult GpsSend(const QString& line);
    // One line from "$" to CR LF, without the CR LF; bytes before the "$" are
    // dropped. A time-out when no whole line arrives in time, which loses a
    // partial line. Cancelled does not cut a read short: callers check it
    // between lines.
    Received GpsReceive();

    // Set by the cancel window to stop the running exchange; an exchange
    // clears it when it starts and sets it again when it ends.
    bool Cancelled() const { return cancelled_; }
    void SetCancelled(bool cancelled);
    // An exchange is running; a second one is refused.
    bool Busy() const { return busy_; }
    // The handshake succeeded and the port has stayed open since.
    bool Connected() const { return connected_; }
    void SetConnected(bool connected);
    // Takes the disconnected state when the port has closed meanwhile (a
    // hang-up, or the Cancel answer to a port error).
    void FollowPort();

    // While set, every line sent and received is echoed by MonitorText.
    bool MonitorOn() const { return monitorOn_; }
    void SetMonitorOn(bool on) { monitorOn_ = on; }
    // The connected receiver's version sentence: its model code, model name
    // and software version.
    const VersionSentence& Receiver() const { return receiver_; }
    void SetReceiver(const VersionSentence& version) { receiver_ = version; }
    // Model name and software version of the connected receiver.
    QString GpsVersion() const { return receiver_.display; }

    std::chrono::milliseconds Timeout() const { return timeout_; }
    void SetTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
    std::chrono::milliseconds DrainLimit() const { return drainLimit_; }
    void SetDrainLimit(std::chrono::milliseconds limit) { drainLimit_ = limit; }

signals:
    // A line for the comm port monitor: "> " or "< ", the text and CR LF.
    void MonitorText(const QString& text);
    // Cancelled has just been set.
    void CancelRequested();
    void BusyChanged(bool busy);
    void ConnectionChanged(bool connected);

private:
    friend class ExchangeFrame;
    void SetBusy(bool busy);

    std::optional<QString> TakeLine();
    void Echo(const QString& text);
    std::chrono::milliseconds LineTime(qsizetype bytes) const;

    SerialStream& port_;
    std::chrono::milliseconds timeout_;
    std::chrono::milliseconds drainLimit_ = kDefaultDrainLimit;
    // Bytes read from the port and not yet handed out; a line in progress
    // starts at its "$".
    QByteArray pending_;
    bool cancelled_ = true;
    bool busy_ = false;
    bool connected_ = false;
    bool monitorOn_ = false;
    VersionSentence receiver_;
};
