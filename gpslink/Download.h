#pragma once

#include "gpslink/ExchangeFrame.h"
#include "gpslink/GpsLink.h"
#include "model/ListKind.h"
#include "model/Lists.h"
#include "model/UserInteraction.h"

#include <QString>
#include <QTime>

// Fetching the receiver's waypoints, routes or track into a list: the request,
// one acknowledged data sentence at a time until the receiver's END, and a
// stop-and-drain tail when something goes wrong.

namespace DownloadText {
inline const QString Unexpected = QStringLiteral("Unexpected response");
inline const QString RoutesComplete = QStringLiteral("Route Download Complete");
} // namespace DownloadText

// The cancel window's text while the download of `kind` runs.
QString DownloadActivity(ListKind kind);

// What a received line is to a download.
enum class LineMeaning
{
    Data,    // a sentence of the download's kind, taken: acknowledge it
    End,     // the receiver's END: acknowledge it, the download is complete
    Skipped, // another command, or an acknowledgement amid the track
    Invalid  // anything else, a corrupted line or a sentence too short for its layout
};

// The line handling of one download, apart from the link: what each received
// line adds to the lists. A route number outside 1 to 20, or a route's 32nd
// waypoint, is an invalid line and adds nothing.
class DownloadLines
{
public:
    // `feet` turns waypoint heights into feet; `fallbackTime` (e.g.
    // "16:15:04 ") stands in for a track point's missing time.
    DownloadLines(ListKind kind, Lists& lists, bool feet, const QString& fallbackTime);

    // Empties the list the download fills (for routes, every route).
    void EmptyTarget();
    LineMeaning Take(const QString& line);
    // Data sentences taken so far.
    int Count() const { return count_; }
    // What the "Settings" panel shows after the line just taken.
    QString Progress() const;

private:
    LineMeaning TakeRoute(const QString& line);

    ListKind kind_;
    Lists& lists_;
    bool feet_;
    QString fallbackTime_;
    int count_ = 0;
    int route_ = -1; // the route the last "c" sentence belonged to
    bool ended_ = false;
};

// The time a track point without one gets: the time of day the download
// started, "hh:mm:ss ".
QString FallbackTime(const QTime& started);

// Downloads the list of `kind` inside the caller's frame. The list is
// emptied only once the receiver has acknowledged the request; whatever way
// the download ends, the rows received stay. Every failure but a closed port
// (whose port error has been reported) has shown its message.
ExchangeOutcome GpsDownload(GpsLink& link, UserInteraction& ui, Lists& lists, ListKind kind,
                            bool feet, const QTime& started = QTime::currentTime());
