#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// What the simulated receiver remembers: its user waypoints, routes and track
// log, kept in a text file of sentences so a person or a test can read it.
//
// The file holds one sentence per line, without "*" and checksum (a line that
// still carries them is read all the same); blank lines and lines starting
// with "#" are ignored:
//   $PMGNWPL,5130.250,N,00012.345,W,00010,M,HOME,,a     a waypoint
//   $PMGNRTE,3,1,m,01,TO WORK                           a route's name
//   $PMGNRTE,3,2,c,01,HOME,PUB                          its waypoints, two a line
//   $PMGNRTE,3,3,c,01,WORK
//   $PMGNTRK,5130.250,N,00012.345,W,00010,M,101530.00,A,,150826   a track point
// Waypoints keep their order, routes are written by number with their name
// line first and their waypoints two to a line, and track points keep their
// order. The same lines, finished with "*" and a checksum, are what a download
// sends, except that a route line naming a single waypoint goes out with an
// empty second name field.
class ReceiverMemory
{
public:
    static constexpr int kMaxWaypoints = 500;
    static constexpr int kMaxRouteNumber = 20;
    static constexpr int kMaxRouteWaypoints = 31;
    static constexpr int kMaxTrackPoints = 10000;

    struct Route
    {
        int number = 0;
        QString name;
        QStringList waypoints;
    };

    // A missing file is an empty memory. False, with a reason, when the file
    // exists but cannot be read.
    bool Load(const QString& path, QString* error);
    // Writes beside the file and renames, so a reader never sees half a file.
    bool Save(const QString& path, QString* error) const;

    enum class Outcome
    {
        Stored,
        Full,
        Malformed
    };
    // `body` is a $PMGNWPL sentence without "*" and checksum. A waypoint with
    // the name of a stored one replaces it.
    Outcome StoreWaypoint(const QString& body);
    bool HasWaypoint(const QString& name) const;
    void DeleteWaypoint(const QString& name);
    void StoreRoute(const Route& route);
    void DeleteRoute(int number);
    Outcome AppendTrackPoint(const QString& body);
    void ClearWaypoints() { waypoints_.clear(); }
    void ClearRoutes() { routes_.clear(); }
    void ClearTrack() { track_.clear(); }

    // The sentences of each store, without "*" and checksum.
    QStringList WaypointLines() const { return waypoints_; }
    QStringList RouteLines() const;
    QStringList TrackLines() const { return track_; }

    static QStringList RouteLines(const Route& route);
    // The name field of a waypoint sentence, without surrounding blanks.
    static QString WaypointName(const QString& body);

private:
    QStringList waypoints_;
    QMap<int, Route> routes_;
    QStringList track_;
};
