#include "gpslink/Deletion.h"

#include "gpslink/Connection.h"
#include "gpslink/Drain.h"
#include "gpslink/Sentence.h"
#include "model/TextNumber.h"

#include <QDeadlineTimer>
#include <algorithm>

namespace {

// The receiver's name of a waypoint of the list.
QString ReceiverName(const QString& name)
{
    return name.left(6).trimmed();
}

enum class EndOfDeletion
{
    Ended,        // the receiver's END came
    TimedOut,     // it fell silent before
    Unexpected,   // strict only: a line that is neither a command nor an acknowledgement
    Lost,         // the port closed or an acknowledgement could not be sent; reported
    StillSending, // lines kept coming for the drain limit; reported
};

// Reads until the receiver's END, acknowledging every command it sends.
// `strict` makes any line but a command or an acknowledgement the end.
EndOfDeletion AwaitEnd(GpsLink& link, UserInteraction& ui, bool strict)
{
    // A receiver that keeps talking without ever ending cannot keep us here.
    const QDeadlineTimer limit(link.DrainLimit());
    for (;;) {
        const Received received = link.GpsReceive();
        if (received.status == ReceiveStatus::PortClosed)
            return EndOfDeletion::Lost;
        if (received.status == ReceiveStatus::TimedOut)
            return EndOfDeletion::TimedOut;
        const QString type = SentenceType(received.line);
        if (type == u"CMD") {
            const bool end = CommandText(received.line).startsWith(QStringLiteral("END"));
            if (!SendOrReport(link, ui, AcknowledgementFromTail(received.line)))
                return EndOfDeletion::Lost;
            if (end)
                return EndOfDeletion::Ended;
        } else if (strict && type != u"CSM") {
            return EndOfDeletion::Unexpected;
        }
        if (limit.hasExpired()) {
            ui.Message(kStillSendingText);
            return EndOfDeletion::StillSending;
        }
    }
}

struct DeleteAll
{
    QString question;
    QString request;
    QString mayHaveFailed;
    bool strict;
};

DeleteAll DeleteAllOf(ListKind kind)
{
    switch (kind) {
    case ListKind::Routes:
        return {DeletionText::AllRoutes, FinishSentence(GpsCommand::DeleteRoutesBody),
                DeletionText::RoutesMayHaveFailed, true};
    case ListKind::Track:
        return {DeletionText::Track, FinishSentence(GpsCommand::DeleteTrackBody),
                DeletionText::TrackMayHaveFailed, false};
    case ListKind::Waypoints:
        break;
    }
    return {DeletionText::AllWaypoints, GpsCommand::DeleteWaypoints + QStringLiteral("\r\n"),
            DeletionText::WaypointsMayHaveFailed, false};
}

// Sends the delete-all request and waits for the receiver's END.
ExchangeOutcome RunDeleteAll(GpsLink& link, UserInteraction& ui, const DeleteAll& command)
{
    if (!SendOrReport(link, ui, command.request))
        return ExchangeOutcome::Failed;
    switch (AwaitEnd(link, ui, command.strict)) {
    case EndOfDeletion::Ended:
        return ExchangeOutcome::Completed;
    case EndOfDeletion::TimedOut:
        ui.Message(command.mayHaveFailed);
        break;
    case EndOfDeletion::Unexpected:
        ui.Message(DeletionText::Unexpected);
        break;
    case EndOfDeletion::Lost:
    case EndOfDeletion::StillSending:
        break;
    }
    return ExchangeOutcome::Failed;
}

} // namespace

ExchangeOutcome DeleteAllInReceiver(GpsLink& link, UserInteraction& ui, ListKind kind)
{
    if (!RequireOpenPort(link, ui))
        return ExchangeOutcome::Failed;
    const DeleteAll command = DeleteAllOf(kind);
    if (ui.Question(command.question, Buttons::YesNo) != Answer::Yes)
        return ExchangeOutcome::Declined;
    return RunDeleteAll(link, ui, command);
}

ExchangeOutcome DeleteTrackInReceiver(GpsLink& link, UserInteraction& ui)
{
    return RunDeleteAll(link, ui, DeleteAllOf(ListKind::Track));
}

bool GpsDeleteRoute(GpsLink& link, UserInteraction& ui, int route)
{
    // The receiver counts its routes from 0: the list's route 01 is its 00.
    if (!SendOrReport(link, ui,
                      FinishSentence(QStringLiteral("$PMGNDRT,") + ZeroPad(route - 1, 2) + u'*')))
        return false;
    link.GpsReceive();
    return true;
}

bool GpsDeleteWaypoint(GpsLink& link, UserInteraction& ui, const QString& name)
{
    if (!SendOrReport(link, ui,
                      FinishSentence(QStringLiteral("$PMGNDWP,") + name + QStringLiteral(",*"))))
        return false;
    link.GpsReceive();
    return true;
}

bool GpsDeleteTrack(GpsLink& link, UserInteraction& ui)
{
    if (!SendOrReport(link, ui, FinishSentence(GpsCommand::DeleteTrackBody)))
        return false;
    return AwaitEnd(link, ui, false) == EndOfDeletion::Ended;
}

int DeleteWaypointRows(GpsLink& link, UserInteraction& ui, ListModel& waypoints, QList<int> rows,
                       bool inReceiver)
{
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    int removed = 0;
    for (const int row : std::as_const(rows)) {
        if (row < 0 || row >= waypoints.Count())
            continue;
        if (inReceiver) {
            ui.ShowProgress(removed + 1, int(rows.size()));
            // A silent receiver costs a time-out per waypoint: Cancel stops the walk.
            if (link.Cancelled() ||
                !GpsDeleteWaypoint(link, ui,
                                   ReceiverName(waypoints.Text(row, WaypointColumn::Name))) ||
                !link.Port().IsOpen())
                break;
        }
        waypoints.RemoveRow(row);
        ++removed;
    }
    return removed;
}
