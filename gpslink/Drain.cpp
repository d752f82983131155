#include "gpslink/Drain.h"

#include "gpslink/Connection.h"
#include "gpslink/Sentence.h"

#include <QDeadlineTimer>

DrainEnd DrainUntilQuiet(GpsLink& link, UserInteraction& ui, DrainMode mode)
{
    const QDeadlineTimer limit(link.DrainLimit());
    for (;;) {
        if (mode == DrainMode::Listen && link.Cancelled())
            return DrainEnd::Cancelled;
        const Received received = link.GpsReceive();
        if (received.status == ReceiveStatus::PortClosed)
            return DrainEnd::PortClosed;
        if (!received.IsLine())
            return DrainEnd::Quiet;
        if (mode == DrainMode::Acknowledge && SentenceType(received.line) != u"CSM" &&
            !SendOrReport(link, ui, AcknowledgementFromTail(received.line)))
            return DrainEnd::SendFailed;
        if (limit.hasExpired()) {
            ui.Message(kStillSendingText);
            return DrainEnd::StillSending;
        }
    }
}

DrainEnd StopAndDrain(GpsLink& link, UserInteraction& ui)
{
    link.SetCancelled(false);
    if (!SendOrReport(link, ui, GpsCommand::Stop + QStringLiteral("\r\n")))
        return link.Port().IsOpen() ? DrainEnd::SendFailed : DrainEnd::PortClosed;
    return DrainUntilQuiet(link, ui, DrainMode::Acknowledge);
}
