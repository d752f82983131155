#include "gpslink/Sentence.h"

#include "model/ListKind.h"
#include "model/TextNumber.h"

#include <cmath>

namespace {

const QString kAddresses[] = {QStringLiteral("$PMGNCMD"), QStringLiteral("$PMGNCSM"),
                              QStringLiteral("$PMGNRTE"), QStringLiteral("$PMGNTRK"),
                              QStringLiteral("$PMGNVER"), QStringLiteral("$PMGNWPL")};

// The line without its "*" and checksum, or the whole line when it has no "*".
QString BeforeStar(const QString& line)
{
    const qsizetype star = line.indexOf(u'*');
    return star < 0 ? line : line.left(star);
}

} // namespace

QString SentenceChecksum(const QString& body)
{
    if (body.size() < 3)
        return QStringLiteral("00");
    unsigned value = 0;
    for (qsizetype i = 1; i < body.size() - 1; ++i)
        value ^= body[i].unicode() & 0xFFu;
    return QString::number(value, 16).toUpper().rightJustified(2, u'0');
}

QString SentenceType(const QString& line)
{
    const QString address = line.left(8);
    for (const QString& known : kAddresses) {
        if (address != known)
            continue;
        const qsizetype star = line.indexOf(u'*');
        if (star < 0)
            return QStringLiteral("INV");
        if (SentenceChecksum(line.left(star + 1)) != line.mid(star + 1, 2))
            return QStringLiteral("INV");
        return known.right(3);
    }
    return line.startsWith(QStringLiteral("$GP")) ? QStringLiteral("NME") : QStringLiteral("INV");
}

QString FinishSentence(const QString& body)
{
    return body + SentenceChecksum(body) + QStringLiteral("\r\n");
}

QString Acknowledgement(const QString& line)
{
    const qsizetype star = line.indexOf(u'*');
    const QString checksum = SentenceChecksum(star < 0 ? line : line.left(star + 1));
    return FinishSentence(QStringLiteral("$PMGNCSM,") + checksum + u'*');
}

QString AcknowledgementFromTail(const QString& line)
{
    return FinishSentence(QStringLiteral("$PMGNCSM,") + line.right(2) + u'*');
}

QString CommandText(const QString& line)
{
    return line.mid(9);
}

std::optional<QStringList> WaypointCells(const QString& line, bool feet)
{
    // Split with the "*" and checksum still on the icon field: only its first
    // character is used, and an empty icon field then starts with "*".
    const QStringList f = line.split(u',');
    if (f.size() < 10)
        return std::nullopt;
    QString altitude = f[5];
    QString unit = f[6];
    if (feet && !altitude.isEmpty()) {
        const double value = RoundHalfEven(LeadingNumber(altitude) * 3.280839895);
        // No receiver holds such a height: the line is garbled.
        if (!(std::fabs(value) < 1e15))
            return std::nullopt;
        altitude = QString::number(static_cast<long long>(value));
        unit = QStringLiteral("F");
    }
    const QChar first = f[9].isEmpty() ? QChar() : f[9][0];
    const QString icon = (first >= u'a' && first <= u't') ? QString(first) : QStringLiteral("a");
    QStringList cells(WaypointColumn::Count);
    cells[WaypointColumn::Name] = f[7];
    cells[WaypointColumn::Latitude] = f[1];
    cells[WaypointColumn::NS] = f[2];
    cells[WaypointColumn::Longitude] = f[3];
    cells[WaypointColumn::WE] = f[4];
    cells[WaypointColumn::Altitude] = altitude;
    cells[WaypointColumn::MF] = unit;
    cells[WaypointColumn::Description] = f[8];
    cells[WaypointColumn::Icon] = icon;
    return cells;
}

std::optional<RouteSentence> ParseRouteSentence(const QString& line)
{
    const QStringList f = BeforeStar(line).split(u',');
    if (f.size() < 5)
        return std::nullopt;
    RouteSentence route;
    route.kind = f[3];
    // Far outside any route number, and too large for an int: no route.
    const double number = RoundHalfEven(LeadingNumber(f[4]));
    route.routeNumber = std::abs(number) < 1e6 ? static_cast<int>(number) : 0;
    if (route.kind == u'c') {
        if (f.size() < 7)
            return std::nullopt;
        // Receivers may follow each name with its icon letter; names are upper case.
        const auto isIcon = [&f](qsizetype i) {
            return i < f.size() && f[i].size() == 1 && f[i][0] >= u'a' && f[i][0] <= u't';
        };
        route.first = f[5];
        const qsizetype second = isIcon(6) ? 7 : 6;
        route.second = second < f.size() && !isIcon(second) ? f[second] : QString();
    } else if (route.kind == u'm') {
        if (f.size() < 6)
            return std::nullopt;
        route.first = f[5];
    }
    return route;
}

std::optional<QStringList> TrackCells(const QString& line, int pointNumber,
                                      const QString& fallbackTime)
{
    const QStringList f = BeforeStar(line).split(u',');
    if (f.size() < 9)
        return std::nullopt;
    QStringList cells(TrackColumn::Count);
    cells[TrackColumn::Point] = ZeroPad(pointNumber, 4);
    cells[TrackColumn::TrackName] =
        f.size() >= 11 ? (f[9] + QStringLiteral("       ")).left(7) : QStringLiteral("TRAK01");
    cells[TrackColumn::Latitude] = f[1];
    cells[TrackColumn::NS] = f[2];
    cells[TrackColumn::Longitude] = f[3];
    cells[TrackColumn::WE] = f[4];
    if (f[5].isEmpty()) {
        cells[TrackColumn::Altitude] = QStringLiteral("0000000");
        cells[TrackColumn::MF] = QStringLiteral("M");
    } else {
        cells[TrackColumn::Altitude] = f[5];
        cells[TrackColumn::MF] = f[6];
    }
    const QString& time = f[7];
    cells[TrackColumn::Time] =
        time.isEmpty() ? fallbackTime
                       : time.mid(0, 2) + u':' + time.mid(2, 2) + u':' + time.mid(4, 2) + u' ';
    cells[TrackColumn::Valid] = f[8];
    return cells;
}

std::optional<VersionSentence> ParseVersionSentence(const QString& line)
{
    const QStringList f = line.split(u',');
    if (f.size() < 4)
        return std::nullopt;
    VersionSentence version;
    version.modelCode = f[1];
    version.modelName = f[3].left(f[3].size() - 3);
    version.software = f[2];
    version.display = version.modelName + u' ' + version.software;
    return version;
}
