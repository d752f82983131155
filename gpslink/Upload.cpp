#include "gpslink/Upload.h"

#include "gpslink/Connection.h"
#include "gpslink/Deletion.h"
#include "gpslink/Sentence.h"
#include "model/TextNumber.h"

#include <QSet>

namespace {

// Routes whose sentences are refused this many times in a row are given up.
constexpr int kMaxRetries = 4;
constexpr int kReceiverWaypoints = 500;
// A problem list longer than this is cut short in the message.
constexpr int kNamesShown = 20;

const QString kCrLf = QStringLiteral("\r\n");

// What the receiver made of one sentence.
struct Heard
{
    enum Kind
    {
        Accepted,  // acknowledged with the sentence's checksum
        WrongEcho, // acknowledged with another checksum: it misheard
        Other,     // any other line
        TimedOut,
        Lost // the send failed or the port closed; already reported
    } kind;
    QString line;
};

// Sends one sentence, finished from `body`, and reads the receiver's answer.
Heard SendSentence(GpsLink& link, UserInteraction& ui, const QString& body)
{
    const QString checksum = SentenceChecksum(body);
    if (!SendOrReport(link, ui, body + checksum + kCrLf))
        return {Heard::Lost, {}};
    const Received received = link.GpsReceive();
    switch (received.status) {
    case ReceiveStatus::PortClosed:
        return {Heard::Lost, {}};
    case ReceiveStatus::TimedOut:
        return {Heard::TimedOut, {}};
    case ReceiveStatus::Line:
        break;
    }
    if (SentenceType(received.line) != u"CSM")
        return {Heard::Other, received.line};
    return {received.line.mid(9, 2) == checksum ? Heard::Accepted : Heard::WrongEcho,
            received.line};
}

QString WaypointBody(const ListModel& list, int row)
{
    const auto cell = [&](int column) { return list.Text(row, column); };
    return QStringLiteral("$PMGNWPL,") + cell(WaypointColumn::Latitude) + u',' +
           cell(WaypointColumn::NS) + u',' + cell(WaypointColumn::Longitude) + u',' +
           cell(WaypointColumn::WE) + u',' + cell(WaypointColumn::Altitude) + u',' +
           cell(WaypointColumn::MF) + u',' + cell(WaypointColumn::Name) + u',' +
           cell(WaypointColumn::Description) + u',' + list.IconKey(row) + u'*';
}

// The time of a track row as the sentence carries it: "12:34:56 " goes as
// "123456.00"; the list keeps no fraction of a second.
QString TrackTimeField(const QString& time)
{
    if (time.isEmpty())
        return {};
    return time.mid(0, 2) + time.mid(3, 2) + time.mid(6, 2) + QStringLiteral(".00");
}

QString TrackBody(const ListModel& list, int row)
{
    const auto cell = [&](int column) { return list.Text(row, column); };
    return QStringLiteral("$PMGNTRK,") + cell(TrackColumn::Latitude) + u',' +
           cell(TrackColumn::NS) + u',' + cell(TrackColumn::Longitude) + u',' +
           cell(TrackColumn::WE) + u',' + cell(TrackColumn::Altitude) + u',' +
           cell(TrackColumn::MF) + u',' + TrackTimeField(cell(TrackColumn::Time)) + u',' +
           cell(TrackColumn::Valid) + u',' + cell(TrackColumn::TrackName) + u'*';
}

// The end of a waypoint or track upload. After a cancel the answer to the
// last sentence may still be on its way, and is read first.
ExchangeOutcome CloseUpload(GpsLink& link, UserInteraction& ui, bool cancelled)
{
    if (cancelled && link.GpsReceive().status == ReceiveStatus::PortClosed)
        return ExchangeOutcome::Failed;
    if (!SendOrReport(link, ui, GpsCommand::End + kCrLf) ||
        link.GpsReceive().status == ReceiveStatus::PortClosed)
        return ExchangeOutcome::Failed;
    return cancelled ? ExchangeOutcome::Cancelled : ExchangeOutcome::Completed;
}

// Waypoints and track points go up alike: row by row, a wrong echo sent
// again, anything but an acknowledgement the end.
struct RowUpload
{
    const ListModel& list;
    QString (*body)(const ListModel&, int);
    QString progress; // the "Settings" panel's text before the row number
    int digits;
    QString noResponse;
};

ExchangeOutcome UploadRows(GpsLink& link, UserInteraction& ui, const RowUpload& upload)
{
    const int count = upload.list.Count();
    for (int row = 0; row < count; ++row) {
        ui.SetStatusText(StatusPanel::Settings, upload.progress + ZeroPad(row + 1, upload.digits));
        ui.ShowProgress(row + 1, count);
        const QString body = upload.body(upload.list, row);
        for (;;) {
            const Heard heard = SendSentence(link, ui, body);
            if (heard.kind == Heard::Lost)
                return ExchangeOutcome::Failed;
            if (link.Cancelled())
                return CloseUpload(link, ui, true);
            if (heard.kind == Heard::Accepted)
                break;
            if (heard.kind == Heard::WrongEcho)
                continue;
            ui.Message(heard.kind == Heard::TimedOut ? upload.noResponse
                                                     : UploadText::Unexpected + kCrLf + heard.line);
            return ExchangeOutcome::Failed;
        }
    }
    return CloseUpload(link, ui, false);
}

// Names listed in a message, cut short when there are many.
QString NameList(const QStringList& names)
{
    QStringList shown = names.mid(0, kNamesShown);
    if (names.size() > kNamesShown)
        shown << QStringLiteral("...");
    return shown.join(QStringLiteral(", "));
}

QString RouteId(int route)
{
    return ZeroPad(route, 2);
}

// A route's sentences: its name sentence when it has a name, then its
// waypoints two to a sentence.
int RouteSentences(const RouteStore& routes, int route)
{
    return (routes.PointCount(route) + 1) / 2 + (routes.Name(route).isEmpty() ? 0 : 1);
}

struct RouteUpload
{
    GpsLink& link;
    UserInteraction& ui;
    const RouteStore& routes;
    int total = 0; // sentences of every route
    int sent = 0;  // sentences accepted or passed so far
};

// Sends one route; Completed when the receiver took all of it.
ExchangeOutcome SendRoute(RouteUpload& upload, int route)
{
    GpsLink& link = upload.link;
    UserInteraction& ui = upload.ui;
    const QString name = upload.routes.Name(route);
    // Slot 0 is the route's name, slots 1 to 31 its waypoints.
    const QStringList routeSlots = QStringList{name} + upload.routes.Points(route);
    const QString head = QStringLiteral("$PMGNRTE,%1,").arg(RouteSentences(upload.routes, route));
    const QString progress = QStringLiteral("Uploading Route: ") + RouteId(route);
    int number = 1;
    ui.SetStatusText(StatusPanel::Settings, progress);
    int retries = 0;
    if (!name.isEmpty()) {
        ui.ShowProgress(++upload.sent, upload.total);
        const QString body =
            head + QStringLiteral("%1,m,").arg(number) + RouteId(route) + u',' + name + u'*';
        // Only a wrong echo is taken from the answer to the name: a receiver
        // that misheard it would refuse the rest of the route.
        for (;;) {
            const Heard heard = SendSentence(link, ui, body);
            if (heard.kind == Heard::Lost)
                return ExchangeOutcome::Failed;
            if (heard.kind != Heard::WrongEcho)
                break;
            if (retries++ >= kMaxRetries) {
                ui.Message(UploadText::MaxRetries);
                return ExchangeOutcome::Failed;
            }
        }
        retries = 0;
        ++number;
    }
    for (int k = 1; k < routeSlots.size();) {
        ui.SetStatusText(StatusPanel::Settings,
                         progress + QStringLiteral(" Waypnt: ") + ZeroPad(k, 2));
        const int carried = k + 1 < routeSlots.size() ? 2 : 1;
        QString body = head + QStringLiteral("%1,c,").arg(number) + RouteId(route) + u',' +
                       routeSlots[k].trimmed();
        if (carried == 2)
            body += u',' + routeSlots[k + 1].trimmed();
        body += u'*';
        ui.ShowProgress(upload.sent + 1, upload.total);
        const Heard heard = SendSentence(link, ui, body);
        switch (heard.kind) {
        case Heard::Lost:
            return ExchangeOutcome::Failed;
        case Heard::TimedOut:
            ui.Message(UploadText::NoResponse);
            return ExchangeOutcome::Failed;
        case Heard::WrongEcho:
            if (retries >= kMaxRetries) {
                ui.Message(UploadText::MaxRetries);
                return ExchangeOutcome::Failed;
            }
            ++retries;
            continue;
        case Heard::Accepted:
            retries = 0;
            break;
        case Heard::Other:
            if (SentenceType(heard.line) != u"CMD") {
                ui.Message(UploadText::Unexpected + kCrLf + u'\'' + heard.line + u'\'');
                return ExchangeOutcome::Failed;
            }
            if (CommandText(heard.line).startsWith(QStringLiteral("UNABLE"))) {
                SendOrReport(link, ui, AcknowledgementFromTail(heard.line));
                const int last = k + carried - 1;
                ui.Message(QStringLiteral("The GPS will not accept route ") + RouteId(route) +
                           QStringLiteral("\r\nWaypoint is ") + routeSlots[last - 1].trimmed() +
                           QStringLiteral(" and/or ") + routeSlots[last].trimmed() +
                           QStringLiteral("\r\nCheck that these waypoints are present in the GPS"));
                return ExchangeOutcome::Failed;
            }
            // Any other command counts as taken.
            break;
        }
        ++upload.sent;
        ++number;
        k += carried;
    }
    return ExchangeOutcome::Completed;
}

} // namespace

QString UploadActivity(ListKind kind)
{
    switch (kind) {
    case ListKind::Routes:
        return QStringLiteral("Uploading routes. Please wait...");
    case ListKind::Track:
        return QStringLiteral("Uploading Track points. Please wait...");
    case ListKind::Waypoints:
        break;
    }
    return QStringLiteral("Uploading waypoints. Please wait...");
}

QString UploadProblems(const Lists& lists, ListKind kind)
{
    QSet<QString> known, repeated;
    QStringList repeatedInOrder;
    for (int row = 0; row < lists.waypoints.Count(); ++row) {
        const QString name = lists.waypoints.Text(row, WaypointColumn::Name).trimmed();
        if (known.contains(name) && !repeated.contains(name)) {
            repeated.insert(name);
            repeatedInOrder << name;
        }
        known.insert(name);
    }
    QString text;
    if (kind == ListKind::Waypoints && !repeatedInOrder.isEmpty()) {
        text = QStringLiteral("These waypoints share a name, and the GPS keeps only the last "
                              "waypoint of each name:\r\n") +
               NameList(repeatedInOrder);
    } else if (kind == ListKind::Routes && lists.waypoints.Count() > 0) {
        // Without a waypoint list the user sends routes over the receiver's own waypoints.
        QStringList lines;
        for (int route = RouteStore::kFirstRoute; route <= RouteStore::kLastRoute; ++route) {
            QStringList missing;
            for (const QString& point : lists.routes.Points(route)) {
                if (!known.contains(point.trimmed()) && !missing.contains(point.trimmed()))
                    missing << point.trimmed();
            }
            if (!missing.isEmpty())
                lines << QStringLiteral("Route ") + RouteId(route) + QStringLiteral(": ") +
                             NameList(missing);
        }
        if (!lines.isEmpty())
            text = QStringLiteral("These route points name no waypoint of the waypoint list. "
                                  "The GPS refuses a route whose waypoints it does not "
                                  "hold:\r\n") +
                   lines.join(kCrLf);
    }
    if (text.isEmpty())
        return text;
    return text + QStringLiteral("\r\n\r\nClick OK to upload all the same, or Cancel to "
                                 "upload nothing.");
}

ExchangeOutcome AskBeforeUpload(UserInteraction& ui, const Lists& lists, ListKind kind)
{
    // Exactly as many as the receiver holds ask nothing.
    if (kind == ListKind::Waypoints && lists.waypoints.Count() > kReceiverWaypoints &&
        ui.Question(UploadText::TooManyWaypoints, Buttons::YesNo) != Answer::Yes)
        return ExchangeOutcome::Declined;
    const QString problems = UploadProblems(lists, kind);
    if (!problems.isEmpty() && ui.Question(problems, Buttons::OkCancel) != Answer::Ok)
        return ExchangeOutcome::Declined;
    return ExchangeOutcome::Completed;
}

namespace {

// Each runs once the port is open and the questions were agreed to.
ExchangeOutcome UploadWaypoints(GpsLink& link, UserInteraction& ui, const Lists& lists)
{
    return UploadRows(link, ui,
                      {lists.waypoints, WaypointBody, QStringLiteral("Uploading waypoint: "), 3,
                       UploadText::NoResponse});
}

ExchangeOutcome UploadRoutes(GpsLink& link, UserInteraction& ui, const Lists& lists)
{
    RouteUpload upload{link, ui, lists.routes};
    for (int route = RouteStore::kFirstRoute; route <= RouteStore::kLastRoute; ++route) {
        if (lists.routes.Exists(route))
            upload.total += RouteSentences(lists.routes, route);
    }
    for (int route = RouteStore::kFirstRoute; route <= RouteStore::kLastRoute; ++route) {
        // The receiver builds a route from all its sentences: a cancel waits
        // for the route being sent to be whole.
        if (link.Cancelled())
            return ExchangeOutcome::Cancelled;
        if (!lists.routes.Exists(route))
            continue;
        const ExchangeOutcome sent = SendRoute(upload, route);
        if (sent != ExchangeOutcome::Completed)
            return sent;
    }
    return ExchangeOutcome::Completed;
}

ExchangeOutcome UploadTrack(GpsLink& link, UserInteraction& ui, const Lists& lists)
{
    // The receiver appends what it is sent to its track: what it holds goes first.
    GpsDeleteTrack(link, ui);
    if (!link.Port().IsOpen())
        return ExchangeOutcome::Failed;
    return UploadRows(link, ui,
                      {lists.track, TrackBody, QStringLiteral("Uploading Track Point: "), 4,
                       UploadText::TrackNoResponse});
}

} // namespace

ExchangeOutcome UploadList(GpsLink& link, UserInteraction& ui, const Lists& lists, ListKind kind,
                           UploadQuestions questions)
{
    if (!RequireOpenPort(link, ui))
        return ExchangeOutcome::Failed;
    if (questions == UploadQuestions::Ask &&
        AskBeforeUpload(ui, lists, kind) != ExchangeOutcome::Completed)
        return ExchangeOutcome::Declined;
    switch (kind) {
    case ListKind::Routes:
        return UploadRoutes(link, ui, lists);
    case ListKind::Track:
        return UploadTrack(link, ui, lists);
    case ListKind::Waypoints:
        break;
    }
    return UploadWaypoints(link, ui, lists);
}
