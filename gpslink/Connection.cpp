#include "gpslink/Connection.h"

#include "gpslink/Sentence.h"
#include "model/TextNumber.h"

#include <limits>

namespace {

constexpr int kDrainLines = 10;
constexpr int kVersionSends = 4;
const QString kCrLf = QStringLiteral("\r\n");

bool Stopped(const GpsLink& link)
{
    return link.Cancelled() || !link.Port().IsOpen();
}

void Say(GpsLink& link, const QString& text)
{
    link.Ui().Message(text);
}

// Reads lines until a time-out, a cancel or `limit` lines; the last line read
// (empty after a time-out).
QString Drain(GpsLink& link, int limit)
{
    QString line;
    for (int i = 0; i < limit; ++i) {
        line = link.GpsReceive();
        if (line.isEmpty() || Stopped(link))
            break;
    }
    return line;
}

struct VersionReply
{
    QString line;        // the version sentence; empty when none came
    bool failed = false; // a wrong answer, already reported
    bool acknowledging = false;
    int sends = 0;
};

// Asks for the version up to four times, resending after each time-out. An
// acknowledgement shows that the receiver already acknowledges sentences; the
// version sentence may follow it even after the last request.
VersionReply QueryVersion(GpsLink& link)
{
    VersionReply reply;
    bool resend = true;
    bool acknowledgedThisSend = false;
    for (;;) {
        if (Stopped(link))
            return reply;
        if (resend) {
            link.GpsSend(Command::Version + kCrLf);
            ++reply.sends;
            resend = false;
            acknowledgedThisSend = false;
        }
        if (Stopped(link))
            return reply;
        const QString line = link.GpsReceive();
        bool readOn = false;
        if (line.isEmpty()) {
            resend = true;
        } else {
            const QString type = SentenceType(line);
            if (type == u"VER") {
                reply.line = line;
                return reply;
            }
            if (type != u"CSM") {
                Say(link,
                    type == u"NME" ? ConnectionText::NmeaOutput : ConnectionText::InvalidResponse);
                reply.failed = true;
                return reply;
            }
            reply.acknowledging = true;
            readOn = !acknowledgedThisSend;
            acknowledgedThisSend = true;
        }
        if (reply.sends >= kVersionSends && !readOn)
            return reply;
    }
}

bool SupportedModel(const QString& code)
{
    return code == u"024" || code == u"025" || code == u"019" || code == u"023";
}

// Keeps the receiver's version, acknowledges it when the receiver expects it
// and warns about a model the program was not made for.
bool AcceptVersion(GpsLink& link, const VersionReply& reply)
{
    const std::optional<VersionSentence> version = ParseVersionSentence(reply.line);
    if (!version) {
        Say(link, ConnectionText::InvalidResponse);
        return false;
    }
    link.SetGpsVersion(version->display);
    if (reply.acknowledging)
        link.GpsSend(Acknowledgement(reply.line));
    if (!SupportedModel(version->modelCode))
        Say(link, ConnectionText::Unsupported);
    return true;
}

// Quiets a receiver that is still talking; false when it streams standard
// NMEA output, which it must stop by itself.
bool QuietReceiver(GpsLink& link)
{
    if (LeadingNumber(link.Port().Settings()) > 4800) {
        link.GpsSend(FinishSentence(Command::TonBody));
        link.GpsReceive();
    }
    const QString last = Drain(link, kDrainLines);
    if (Stopped(link))
        return false;
    if (last.startsWith(QStringLiteral("$GP"))) {
        Say(link, ConnectionText::NmeaOutput);
        return false;
    }
    if (!last.isEmpty()) {
        link.GpsSend(Command::Stop + kCrLf);
        Drain(link, kDrainLines);
    }
    return true;
}

void Disconnect(GpsLink& link, const ApplyConnectedLook& applyLook)
{
    SerialStream& port = link.Port();
    UserInteraction& ui = link.Ui();
    link.SetCancelled(false);
    link.GpsSend(FinishSentence(Command::HandOffBody));
    link.GpsReceive();
    if (port.IsOpen()) {
        if (const std::optional<QString> error = port.Close())
            ui.Message(*error, MessageIcon::Exclamation);
    }
    if (applyLook)
        applyLook(false);
    ui.SetStatusText(StatusPanel::Settings, SettingsPanelText(port));
    ui.SetStatusText(StatusPanel::Status, ConnectionText::Disconnected);
    link.SetCancelled(true);
}

void Connect(GpsLink& link, const ApplyConnectedLook& applyLook)
{
    SerialStream& port = link.Port();
    UserInteraction& ui = link.Ui();
    link.SetCancelled(false);
    ui.ShowCancelWindow(ConnectionText::Connecting);
    if (const std::optional<QString> error = port.Open()) {
        ui.Message(*error, MessageIcon::Exclamation);
        link.SetCancelled(true);
        ui.HideCancelWindow();
        return;
    }
    if (!GpsHandshake(link) || link.Cancelled()) {
        link.SetCancelled(true);
        ui.HideCancelWindow();
        port.Close();
        return;
    }
    if (applyLook)
        applyLook(true);
    ui.SetStatusText(StatusPanel::Settings, ConnectionText::Detected + link.GpsVersion());
    ui.SetStatusText(StatusPanel::Status, ConnectionText::Connected);
    link.SetCancelled(true);
    ui.HideCancelWindow();
}

} // namespace

bool GpsHandshake(GpsLink& link)
{
    if (!QuietReceiver(link))
        return false;
    const VersionReply reply = QueryVersion(link);
    if (reply.failed)
        return false;
    if (reply.line.isEmpty()) {
        if (!Stopped(link))
            Say(link, ConnectionText::NoResponse);
        return false;
    }
    if (!AcceptVersion(link, reply) || Stopped(link))
        return false;
    if (!reply.acknowledging)
        link.GpsSend(FinishSentence(Command::HandOnBody));
    Drain(link, std::numeric_limits<int>::max());
    return !Stopped(link);
}

void ConnectToggle(GpsLink& link, const ApplyConnectedLook& applyLook)
{
    if (link.Port().IsOpen())
        Disconnect(link, applyLook);
    else
        Connect(link, applyLook);
}

void ReportPortError(GpsLink& link, const QString& text, const std::function<void()>& beep)
{
    UserInteraction& ui = link.Ui();
    ui.SetStatusText(StatusPanel::Status, QStringLiteral("Status: ") + text);
    if (beep)
        beep();
    const Answer answer = ui.Question(text, Buttons::OkCancel, MessageIcon::Exclamation,
                                      ConnectionText::PortErrorTitle);
    if (answer == Answer::Cancel)
        link.Port().Close();
}
