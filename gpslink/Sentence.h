#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// One $PMGN sentence: "$", address, comma-separated fields, "*", two upper-case
// hexadecimal digits of checksum, and CR LF on the wire. Lines handed around
// the program have their CR LF stripped. Characters are 8-bit (Latin-1).

// The XOR of every character strictly between the leading "$" and the final
// "*" of `body`, as two upper-case hex digits. A body shorter than three
// characters gives "00".
QString SentenceChecksum(const QString& body);

// Classifies a received line: "CMD", "CSM", "RTE", "TRK", "VER", "WPL" for
// $PMGN sentences with a valid checksum, "NME" for any line starting "$GP"
// (not checked), and "INV" for everything else, the empty line of a time-out
// included.
QString SentenceType(const QString& line);

// The body (ending in "*") with its checksum and CR LF appended, ready to send.
QString FinishSentence(const QString& body);

// The finished acknowledgement of a received line: "$PMGNCSM," + the line's
// checksum recomputed over the line up to its first "*".
QString Acknowledgement(const QString& line);
// The same, taking the acknowledged checksum from the line's last two characters.
QString AcknowledgementFromTail(const QString& line);

// Commands stored with their checksum already in the text.
namespace GpsCommand {
inline const QString Stop = QStringLiteral("$PMGNCMD,STOP*6A");
inline const QString Version = QStringLiteral("$PMGNCMD,VERSION*28");
inline const QString Waypoint = QStringLiteral("$PMGNCMD,WAYPOINT*71");
inline const QString DeleteWaypoints = QStringLiteral("$PMGNCMD,DELETE,WAYPOINTS*17");
inline const QString End = QStringLiteral("$PMGNCMD,END*3D");
// Bodies whose checksum is computed when they are sent.
inline const QString TonBody = QStringLiteral("$PMGNCMD,TON*");
inline const QString HandOnBody = QStringLiteral("$PMGNCMD,HANDON*");
inline const QString HandOffBody = QStringLiteral("$PMGNCMD,HANDOFF*");
inline const QString RouteBody = QStringLiteral("$PMGNCMD,ROUTE*");
inline const QString TrackBody = QStringLiteral("$PMGNCMD,TRACK*");
inline const QString DeleteRoutesBody = QStringLiteral("$PMGNCMD,DELETE,ROUTES*");
inline const QString DeleteTrackBody = QStringLiteral("$PMGNCMD,DELETE,TRACK*");
} // namespace GpsCommand

// The characters of a received $PMGNCMD line from its first field on
// (character 10 onwards), e.g. "END*3D".
QString CommandText(const QString& line);

// Received sentences split into what the lists hold. A line with fewer fields
// than its layout has no meaning and gives std::nullopt; callers treat it as an
// invalid line.

// $PMGNWPL: the nine waypoint cells (Name ... Icon). `feet` converts the
// altitude to whole feet with unit "F"; an altitude that is empty stays empty.
std::optional<QStringList> WaypointCells(const QString& line, bool feet);

// $PMGNRTE. A "c" sentence gives one or two waypoint names; a receiver may
// follow each with its icon letter (one lower-case letter from a to t, which
// no waypoint name is), and the letters are passed over. A route number far
// outside any route's reads as 0.
struct RouteSentence
{
    int routeNumber = 0;
    QString kind;   // "c" waypoint names, "m" the route name, other kinds add nothing
    QString first;  // first waypoint name, or the route name
    QString second; // second waypoint name of a "c" sentence, may be empty
};
std::optional<RouteSentence> ParseRouteSentence(const QString& line);

// $PMGNTRK: the ten track cells for point `pointNumber`; `fallbackTime` (e.g.
// "16:15:04 ") stands in for a missing time.
std::optional<QStringList> TrackCells(const QString& line, int pointNumber,
                                      const QString& fallbackTime);

struct VersionSentence
{
    QString modelCode; // e.g. "025"
    QString modelName; // e.g. "MAP 410"
    QString software;  // e.g. "4.02"
    QString display;   // model name, a blank, software version
};
std::optional<VersionSentence> ParseVersionSentence(const QString& line);
