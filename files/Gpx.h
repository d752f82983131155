#pragma once

#include "files/PositionText.h"
#include "model/ListKind.h"

#include <QString>
#include <QStringView>
#include <optional>

// GPX as Navora writes and reads it. A point, route or track Navora writes
// may carry one element "row" of Navora's own namespace in its extensions:
// its attributes hold the cells that GPX has no element for (a track point's
// time of day, validity letter and number) or holds only in another form (a
// height in feet, a position with more decimals, a padded name). Other
// programs ignore it; Navora takes an attribute only where it agrees with
// what the standard elements say, so a point moved elsewhere is not put back.

inline const QString kGpx10Namespace = QStringLiteral("http://www.topografix.com/GPX/1/0");
inline const QString kGpx11Namespace = QStringLiteral("http://www.topografix.com/GPX/1/1");
inline const QString kNavoraGpxNamespace = QStringLiteral("https://navora.github.io/gpx/1");

// Which lists a GPX import or export takes: all three from the window, the
// one list of its command from the command line.
struct GpxSelection
{
    bool waypoints = true;
    bool routes = true;
    bool track = true;

    static GpxSelection All() { return {}; }
    static GpxSelection Only(ListKind kind)
    {
        return {kind == ListKind::Waypoints, kind == ListKind::Routes, kind == ListKind::Track};
    }
    bool Has(ListKind kind) const
    {
        return kind == ListKind::Waypoints ? waypoints : kind == ListKind::Routes ? routes : track;
    }
};

// What the standard GPX elements give a list cell when Navora's extension
// says nothing more. The reader fills cells with these; the writer adds the
// extension attribute wherever a cell differs from them.
namespace GpxCell {

// The icon letter: a "sym" of one letter "a" to "t" (either case), else "a".
QString Icon(QStringView sym);
// The description: "cmt", or "desc" when there is no comment, in receiver
// characters and cut to 20.
QString Description(QStringView cmt, QStringView desc);
// A route's name in receiver characters, cut to 20.
QString RouteName(QStringView name);
// A track's name in receiver characters, cut to 7 as the receiver's own;
// "TRAK01" when it has none.
QString TrackName(const std::optional<QString>& name);
// The validity letter: "V" for a point whose "fix" says "none", else "A".
QString Valid(QStringView fix);
// The time of day of an ISO 8601 "time", in UTC, as the download writes it
// ("10:15:00 " with its blank); empty when the text is no time.
QString TimeOfDay(QStringView time);

// The height of an altitude cell in metres as an exact decimal ("0000404" in
// feet gives "123.1392"): what "ele" carries. Nothing for an empty cell or a
// height no GPX program would take (outside -99,999 to 999,999 m).
std::optional<QString> Elevation(QStringView altitude, QStringView unit);
// The same check for an "ele" read from a file: the text when it is a plain
// decimal number in range, else nothing.
std::optional<QString> ElevationText(QStringView ele);
// Two decimal numbers of the same value ("123.10" and "123.1").
bool SameNumber(QStringView a, QStringView b);
// An elevation in the list's form, in `unit`, rounded to whole metres or feet
// with halves to even; "0000000" without one.
Altitude AltitudeIn(const std::optional<QString>& elevation, const QString& unit);

// A cell that can go into a text file record and a sentence as it stands: no
// ",", "*", "$" nor control character.
bool IsPlain(QStringView text);

} // namespace GpxCell
