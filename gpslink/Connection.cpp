#include "gpslink/Connection.h"

#include "gpslink/Drain.h"
#include "gpslink/Sentence.h"
#include "model/TextNumber.h"

namespace {

constexpr int kDrainLines = 10;
constexpr int kVersionSends = 4;
const QString kCrLf = QStringLiteral("\r\n");

bool Stopped(const GpsLink& link)
{
    return link.Cancelled() || !link.Port().IsOpen();
}

// Reads lines until a time-out, a cancel or `limit` lines; the last line read
// (empty after a time-out).
QString Drain(GpsLink& link, int limit)
{
    QString line;
    for (int i = 0; i < limit; ++i) {
        line = link.GpsReceive().line;
        if (line.isEmpty() || Stopped(link))
            break;
    }
    return line;
}

struct VersionReply
{
    QString line;        // the version sentence; empty when none came
    bool failed = false; // a wrong answer or a failed send, already reported
    bool acknowledging = false;
    int sends = 0;
};

// Asks for the version up to four times, resending after each time-out. An
// acknowledgement shows that the receiver already acknowledges sentences; the
// version sentence may follow it even after the last request.
VersionReply QueryVersion(GpsLink& link, UserInteraction& ui)
{
    VersionReply reply;
    bool resend = true;
    bool acknowledgedThisSend = false;
    for (;;) {
        if (Stopped(link))
            return reply;
        if (resend) {
            if (!SendOrReport(link, ui, GpsCommand::Version + kCrLf)) {
                reply.failed = true;
                return reply;
            }
            ++reply.sends;
            resend = false;
            acknowledgedThisSend = false;
        }
        if (Stopped(link))
            return reply;
        const Received received = link.GpsReceive();
        bool readOn = false;
        if (!received.IsLine()) {
            resend = true;
        } else {
            const QString type = SentenceType(received.line);
            if (type == u"VER") {
                reply.line = received.line;
                return reply;
            }
            if (type != u"CSM") {
                ui.Message(type == u"NME" ? ConnectionText::NmeaOutput
                                          : ConnectionText::InvalidResponse);
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
bool AcceptVersion(GpsLink& link, UserInteraction& ui, const VersionReply& reply)
{
    const std::optional<VersionSentence> version = ParseVersionSentence(reply.line);
    if (!version) {
        ui.Message(ConnectionText::InvalidResponse);
        return false;
    }
    link.SetReceiver(*version);
    if (reply.acknowledging && !SendOrReport(link, ui, Acknowledgement(reply.line)))
        return false;
    if (!SupportedModel(version->modelCode))
        ui.Message(ConnectionText::Unsupported);
    return true;
}

// Quiets a receiver that is still talking; false when it streams standard
// NMEA output, which it must stop by itself.
bool QuietReceiver(GpsLink& link, UserInteraction& ui)
{
    if (LeadingNumber(link.Port().Settings()) > 4800) {
        if (!SendOrReport(link, ui, FinishSentence(GpsCommand::TonBody)))
            return false;
        link.GpsReceive();
    }
    const QString last = Drain(link, kDrainLines);
    if (Stopped(link))
        return false;
    if (last.startsWith(QStringLiteral("$GP"))) {
        ui.Message(ConnectionText::NmeaOutput);
        return false;
    }
    if (!last.isEmpty()) {
        if (!SendOrReport(link, ui, GpsCommand::Stop + kCrLf))
            return false;
        Drain(link, kDrainLines);
    }
    return true;
}

} // namespace

QString SendFailureText(const SerialStream& port, const SendResult& result)
{
    switch (result.status) {
    case SendStatus::WriteFailed:
        return result.error;
    case SendStatus::TimedOut:
        return port.PortLabel() + QStringLiteral(": Data cannot be sent");
    case SendStatus::Sent:
    case SendStatus::PortClosed:
        break;
    }
    return {};
}

bool SendOrReport(GpsLink& link, UserInteraction& ui, const QString& line)
{
    const SendResult sent = link.GpsSend(line);
    const QString failure = SendFailureText(link.Port(), sent);
    if (!failure.isEmpty())
        ui.Message(failure, MessageIcon::Exclamation);
    return sent.Ok();
}

bool RequireOpenPort(GpsLink& link, UserInteraction& ui)
{
    if (link.Port().IsOpen())
        return true;
    ui.Message(ConnectionText::PortClosed);
    return false;
}

bool GpsHandshake(GpsLink& link, UserInteraction& ui)
{
    if (!QuietReceiver(link, ui))
        return false;
    const VersionReply reply = QueryVersion(link, ui);
    if (reply.failed)
        return false;
    if (reply.line.isEmpty()) {
        if (!Stopped(link))
            ui.Message(ConnectionText::NoResponse);
        return false;
    }
    if (!AcceptVersion(link, ui, reply) || Stopped(link))
        return false;
    if (!reply.acknowledging && !SendOrReport(link, ui, FinishSentence(GpsCommand::HandOnBody)))
        return false;
    if (DrainUntilQuiet(link, ui, DrainMode::Listen) == DrainEnd::StillSending)
        return false;
    return !Stopped(link);
}

ExchangeOutcome Connect(GpsLink& link, UserInteraction& ui)
{
    ExchangeFrame frame(link, ui, ConnectionText::Connecting);
    if (!frame.Started())
        return ExchangeOutcome::Busy;
    SerialStream& port = link.Port();
    if (const std::optional<QString> error = port.Open()) {
        ui.Message(*error, MessageIcon::Exclamation);
        return ExchangeOutcome::Failed;
    }
    const bool ready = GpsHandshake(link, ui);
    const bool cancelled = link.Cancelled();
    if (!ready || cancelled) {
        port.Close();
        return cancelled ? ExchangeOutcome::Cancelled : ExchangeOutcome::Failed;
    }
    link.SetConnected(true);
    return ExchangeOutcome::Completed;
}

ExchangeOutcome Disconnect(GpsLink& link, UserInteraction& ui)
{
    ExchangeFrame frame(link, ui);
    if (!frame.Started())
        return ExchangeOutcome::Busy;
    SerialStream& port = link.Port();
    // The receiver may be gone already; the port closes all the same.
    if (link.GpsSend(FinishSentence(GpsCommand::HandOffBody)).Ok())
        link.GpsReceive();
    if (port.IsOpen()) {
        if (const std::optional<QString> error = port.Close())
            ui.Message(*error, MessageIcon::Exclamation);
    }
    link.SetConnected(false);
    return ExchangeOutcome::Completed;
}

ExchangeOutcome ConnectToggle(GpsLink& link, UserInteraction& ui)
{
    if (link.Connected() || link.Port().IsOpen())
        return Disconnect(link, ui);
    return Connect(link, ui);
}

void ReportPortError(GpsLink& link, UserInteraction& ui, const QString& text)
{
    ui.SetStatusText(StatusPanel::Status, QStringLiteral("Status: ") + text);
    ui.Beep();
    const Answer answer = ui.Question(text, Buttons::OkCancel, MessageIcon::Exclamation,
                                      ConnectionText::PortErrorTitle);
    if (answer == Answer::Cancel)
        link.Port().Close();
    link.FollowPort();
}
