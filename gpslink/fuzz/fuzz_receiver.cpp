// Feeds arbitrary lines, as a receiver might send them, to the sentence layer
// and to a download's line handling, checking what must hold for any input:
// no crash, no row outside the lists' layouts, no route outside 1 to 20 or
// longer than 31 waypoints, and a route list that shows exactly the routes held.
//
// The first byte chooses how the rest is read: bits 0 and 1 the download
// (waypoints, routes, track; 3 is waypoints), bit 2 whether each line gets its
// checksum appended (so the fuzzer can explore fields instead of guessing
// checksums; the seeds are the simulator's memory lines, which carry none),
// bit 3 feet. The rest is split into lines at LF, a CR before it dropped; the
// first 64 are read.

#include "gpslink/Download.h"
#include "gpslink/Sentence.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kLinesPerRun = 64;

void Require(bool condition, const char* what, const QString& line)
{
    if (!condition) {
        std::fprintf(stderr, "%s: [%s]\n", what, line.toLatin1().constData());
        std::abort();
    }
}

// What holds for any line, whatever the download does with it.
void CheckSentence(const QString& line)
{
    const QString type = SentenceType(line);
    static const QStringList kTypes = {
        QStringLiteral("CMD"), QStringLiteral("CSM"), QStringLiteral("RTE"), QStringLiteral("TRK"),
        QStringLiteral("VER"), QStringLiteral("WPL"), QStringLiteral("NME"), QStringLiteral("INV")};
    Require(kTypes.contains(type), "unknown sentence type", line);
    // The handshake reads the version sentence; the downloads read the rest.
    if (type == u"VER")
        ParseVersionSentence(line);
}

void CheckLists(const Lists& lists, const QString& line)
{
    const RouteStore& routes = lists.routes;
    const ListModel& list = routes.List();
    int pointRows[RouteStore::kLastRoute + 1] = {};
    int nameRows[RouteStore::kLastRoute + 1] = {};
    for (int row = 0; row < list.Count(); ++row) {
        const int route = routes.RouteOfRow(row).value_or(0);
        Require(RouteStore::IsRouteNumber(route), "route row outside 1 to 20", line);
        ++(list.Text(row, RouteColumn::Num) == u"======" ? nameRows : pointRows)[route];
    }
    for (int route = RouteStore::kFirstRoute; route <= RouteStore::kLastRoute; ++route) {
        Require(routes.PointCount(route) <= RouteStore::kMaxPoints, "route too long", line);
        Require(pointRows[route] == routes.PointCount(route) && nameRows[route] <= 1,
                "route list differs from the routes", line);
    }
    for (int row = 0; row < lists.waypoints.Count(); ++row) {
        const QString icon = lists.waypoints.IconKey(row);
        Require(icon.size() == 1 && icon[0] >= u'a' && icon[0] <= u't', "icon", line);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // One set of lists for every run, emptied first, keeps runs short.
    static Lists lists;
    lists.waypoints.Clear();
    lists.routes.Clear();
    lists.track.Clear();
    const std::uint8_t choice = data[0];
    const int kinds[] = {1, 2, 3, 1};
    const ListKind kind = ListKind(kinds[choice & 3]);
    const bool finish = choice & 4;
    DownloadLines download(kind, lists, choice & 8, QStringLiteral("12:00:00 "));
    download.EmptyTarget();
    const QByteArray rest(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    QString line;
    int lines = 0;
    for (QByteArray bytes : rest.split('\n')) {
        // Enough for a route's 32nd point; more lines only make runs slower.
        if (++lines > kLinesPerRun)
            break;
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        line = QString::fromLatin1(bytes);
        if (finish)
            line = FinishSentence(line + u'*').chopped(2);
        CheckSentence(line);
        const LineMeaning meaning = download.Take(line);
        // The download ends here, as the exchange does.
        if (meaning == LineMeaning::End || meaning == LineMeaning::Invalid)
            break;
    }
    CheckLists(lists, line);
    return 0;
}
