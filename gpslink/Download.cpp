#include "gpslink/Download.h"

#include "gpslink/Connection.h"
#include "gpslink/Drain.h"
#include "gpslink/Sentence.h"

namespace {

// Sendings of a request the receiver keeps mishearing, as for a route sentence.
constexpr int kRequestSendings = 5;

struct DownloadTexts
{
    QString activity;
    QString dataType; // the sentence type the download takes
    QString timedOut;
    QString invalid;
    bool drainAfterTimeOut;
};

const DownloadTexts& TextsOf(ListKind kind)
{
    // "recieved" is the text users know; keep it as it is.
    static const DownloadTexts waypoints{QStringLiteral("Downloading waypoints. Please wait..."),
                                         QStringLiteral("WPL"),
                                         QStringLiteral("Timed out waiting for response from GPS"),
                                         QStringLiteral("Invalid response recieved"), false};
    static const DownloadTexts routes{
        QStringLiteral("Downloading Routes. Please wait..."), QStringLiteral("RTE"),
        QStringLiteral("Timed out waiting for response from GPS."),
        QStringLiteral("Invalid response recieved. Please try again."), true};
    static const DownloadTexts track{QStringLiteral("Downloading the track. Please wait..."),
                                     QStringLiteral("TRK"), QStringLiteral("No response from GPS"),
                                     QStringLiteral("Invalid response recieved"), false};
    switch (kind) {
    case ListKind::Routes:
        return routes;
    case ListKind::Track:
        return track;
    case ListKind::Waypoints:
        break;
    }
    return waypoints;
}

QString Request(ListKind kind)
{
    switch (kind) {
    case ListKind::Routes:
        return FinishSentence(GpsCommand::RouteBody);
    case ListKind::Track:
        return FinishSentence(GpsCommand::TrackBody);
    case ListKind::Waypoints:
        break;
    }
    return GpsCommand::Waypoint + QStringLiteral("\r\n");
}

// A cancelled or failed download after its stop-and-drain: a drain that went
// wrong has said so and makes the download a failure.
ExchangeOutcome AfterDrain(DrainEnd end, ExchangeOutcome outcome)
{
    return end == DrainEnd::Quiet ? outcome : ExchangeOutcome::Failed;
}

} // namespace

QString DownloadActivity(ListKind kind)
{
    return TextsOf(kind).activity;
}

QString FallbackTime(const QTime& started)
{
    return started.toString(QStringLiteral("hh:mm:ss")) + u' ';
}

DownloadLines::DownloadLines(ListKind kind, Lists& lists, bool feet, const QString& fallbackTime)
    : kind_(kind), lists_(lists), feet_(feet), fallbackTime_(fallbackTime)
{
}

void DownloadLines::EmptyTarget()
{
    if (kind_ == ListKind::Routes)
        lists_.routes.Clear();
    else
        lists_.Of(kind_).Clear();
}

LineMeaning DownloadLines::Take(const QString& line)
{
    const QString type = SentenceType(line);
    if (type == TextsOf(kind_).dataType) {
        std::optional<QStringList> cells;
        switch (kind_) {
        case ListKind::Waypoints:
            cells = WaypointCells(line, feet_);
            break;
        case ListKind::Routes:
            return TakeRoute(line);
        case ListKind::Track:
            cells = TrackCells(line, count_ + 1, fallbackTime_);
            break;
        }
        if (!cells)
            return LineMeaning::Invalid;
        lists_.Of(kind_).AddRow(*cells);
        ++count_;
        return LineMeaning::Data;
    }
    if (type == u"CMD") {
        if (!CommandText(line).startsWith(QStringLiteral("END")))
            return LineMeaning::Skipped;
        ended_ = true;
        return LineMeaning::End;
    }
    if (type == u"CSM" && kind_ == ListKind::Track)
        return LineMeaning::Skipped;
    return LineMeaning::Invalid;
}

LineMeaning DownloadLines::TakeRoute(const QString& line)
{
    const std::optional<RouteSentence> sentence = ParseRouteSentence(line);
    if (!sentence)
        return LineMeaning::Invalid;
    const int route = sentence->routeNumber;
    RouteStore& routes = lists_.routes;
    if ((sentence->kind == u'c' || sentence->kind == u'm') && !RouteStore::IsRouteNumber(route))
        return LineMeaning::Invalid;
    if (sentence->kind == u'm') {
        routes.SetName(route, sentence->first);
    } else if (sentence->kind == u'c') {
        QStringList names;
        for (const QString& name : {sentence->first, sentence->second}) {
            if (!name.trimmed().isEmpty())
                names << name;
        }
        // All or nothing, so a refused sentence leaves no half of itself.
        if (routes.PointCount(route) + names.size() > RouteStore::kMaxPoints)
            return LineMeaning::Invalid;
        route_ = route;
        for (const QString& name : names)
            routes.AddPoint(route, name);
    }
    ++count_;
    return LineMeaning::Data;
}

QString DownloadLines::Progress() const
{
    switch (kind_) {
    case ListKind::Routes:
        return ended_ ? DownloadText::RoutesComplete
                      : QStringLiteral("Downloading Route: ") + QString::number(route_);
    case ListKind::Track:
        return QStringLiteral("Trackpoints downloaded: ") + QString::number(count_);
    case ListKind::Waypoints:
        break;
    }
    return QStringLiteral("Waypoints downloaded: ") + QString::number(count_);
}

namespace {

// Sends the request until the receiver acknowledges it. False when it did
// not; what went wrong has been said, unless the port closed.
bool RequestTaken(GpsLink& link, UserInteraction& ui, ListKind kind)
{
    const QString request = Request(kind);
    const QString checksum = SentenceChecksum(request.left(request.indexOf(u'*') + 1));
    for (int sendings = 1;; ++sendings) {
        if (!SendOrReport(link, ui, request))
            return false;
        const Received answer = link.GpsReceive();
        if (answer.status == ReceiveStatus::PortClosed)
            return false;
        const bool acknowledgement = SentenceType(answer.line) == u"CSM";
        if (acknowledgement && answer.line.mid(9, 2) == checksum)
            return true;
        // An acknowledgement of something else: the receiver misheard the
        // request and sends nothing, so it is asked again.
        if (!acknowledgement || sendings == kRequestSendings) {
            ui.Message(DownloadText::Unexpected);
            return false;
        }
    }
}

// Takes the receiver's sentences into the list until its END.
ExchangeOutcome ReceiveLines(GpsLink& link, UserInteraction& ui, DownloadLines& lines,
                             const DownloadTexts& texts)
{
    for (;;) {
        if (link.Cancelled())
            return AfterDrain(StopAndDrain(link, ui), ExchangeOutcome::Cancelled);
        const Received received = link.GpsReceive();
        // A hang-up has been reported by its port error; nothing more to say or drain.
        if (received.status == ReceiveStatus::PortClosed)
            return ExchangeOutcome::Failed;
        if (link.Cancelled())
            return AfterDrain(StopAndDrain(link, ui), ExchangeOutcome::Cancelled);
        if (received.status == ReceiveStatus::TimedOut) {
            ui.Message(texts.timedOut);
            if (texts.drainAfterTimeOut)
                StopAndDrain(link, ui);
            return ExchangeOutcome::Failed;
        }
        const LineMeaning meaning = lines.Take(received.line);
        if (meaning == LineMeaning::Invalid) {
            ui.Message(texts.invalid);
            StopAndDrain(link, ui);
            return ExchangeOutcome::Failed;
        }
        if (meaning == LineMeaning::Skipped)
            continue;
        // The receiver sends the next sentence only after our acknowledgement,
        // so the row is in the list before we answer: a cancel loses nothing.
        if (meaning == LineMeaning::Data)
            ui.ShowProgress(lines.Count(), 0);
        if (meaning == LineMeaning::Data || texts.dataType == u"RTE")
            ui.SetStatusText(StatusPanel::Settings, lines.Progress());
        if (!SendOrReport(link, ui, Acknowledgement(received.line)))
            return ExchangeOutcome::Failed;
        if (meaning == LineMeaning::End)
            return ExchangeOutcome::Completed;
    }
}

} // namespace

ExchangeOutcome GpsDownload(GpsLink& link, UserInteraction& ui, Lists& lists, ListKind kind,
                            bool feet, const QTime& started)
{
    // Until the receiver has taken the request the rows on the screen stay:
    // an absent receiver must not cost the user a list not yet saved.
    if (!RequireOpenPort(link, ui) || !RequestTaken(link, ui, kind))
        return ExchangeOutcome::Failed;
    // Nor does a cancel before anything came.
    if (link.Cancelled())
        return AfterDrain(StopAndDrain(link, ui), ExchangeOutcome::Cancelled);
    DownloadLines lines(kind, lists, feet, FallbackTime(started));
    lines.EmptyTarget();
    return ReceiveLines(link, ui, lines, TextsOf(kind));
}
