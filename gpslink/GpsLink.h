#pragma once

#include "gpslink/SerialStream.h"
#include "model/UserInteraction.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <chrono>
#include <optional>

// The two primitives every exchange with the receiver is built from, GpsSend
// and GpsReceive, and the link's program-wide state. Both primitives wait in
// a local event loop, so window events (the Cancel button, port errors, the
// monitor repainting) run meanwhile; nothing polls.
class GpsLink : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kDefaultTimeout{4000};
    // A started line longer than this without CR LF is noise, not a sentence.
    static constexpr qsizetype kLongestLine = 4096;

    GpsLink(SerialStream& port, UserInteraction& ui,
            std::chrono::milliseconds timeout = kDefaultTimeout, QObject* parent = nullptr);

    SerialStream& Port() const { return port_; }
    UserInteraction& Ui() const { return ui_; }

    // Writes one finished sentence (CR LF included) and waits until the port
    // has sent it, Cancelled is set or the port closes. A failed write is shown
    // and the exchange carries on.
    void GpsSend(const QString& line);
    // One line from "$" to CR LF, without the CR LF; bytes before the "$" are
    // dropped. The empty string when no whole line arrives within the time-out
    // or the port closes; a partial line is then lost. Ignores Cancelled:
    // callers check it between lines.
    QString GpsReceive();

    // Set by the cancel window to stop the running exchange; exchanges clear
    // it when they start and set it again when they end.
    bool Cancelled() const { return cancelled_; }
    void SetCancelled(bool cancelled);
    // While set, every line sent and received is echoed by MonitorText.
    bool MonitorOn() const { return monitorOn_; }
    void SetMonitorOn(bool on) { monitorOn_ = on; }
    // Model name and software version of the connected receiver.
    QString GpsVersion() const { return gpsVersion_; }
    void SetGpsVersion(const QString& version) { gpsVersion_ = version; }

    std::chrono::milliseconds Timeout() const { return timeout_; }
    void SetTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }

signals:
    // A line for the comm port monitor: "> " or "< ", the text and CR LF.
    void MonitorText(const QString& text);
    // Cancelled has just been set.
    void CancelRequested();

private:
    std::optional<QString> TakeLine();
    void Echo(const QString& text);

    SerialStream& port_;
    UserInteraction& ui_;
    std::chrono::milliseconds timeout_;
    // Bytes read from the port and not yet handed out; a line in progress
    // starts at its "$".
    QByteArray pending_;
    bool cancelled_ = true;
    bool monitorOn_ = false;
    QString gpsVersion_;
};
