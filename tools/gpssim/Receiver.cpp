#include "tools/gpssim/Receiver.h"

#include "gpslink/Sentence.h"
#include "tools/gpssim/HostLine.h"
#include "tools/gpssim/Trace.h"

#include <QDateTime>

namespace {

// Sendings of one sentence before the receiver gives up waiting for its
// acknowledgement and abandons the transfer.
constexpr int kMaxSendings = 4;
// Waypoints and track points arrive in quick succession; the file is written
// once they pause, and at once at the end of an upload.
constexpr int kSaveDelayMs = 300;
constexpr int kNmeaIntervalMs = 250;

const QString kEndBody = QStringLiteral("$PMGNCMD,END*");

// A line whose "*" is followed by exactly its two checksum digits.
bool ChecksumValid(const QString& line)
{
    const qsizetype star = line.indexOf(u'*');
    return star >= 0 && line.size() == star + 3 &&
           line.mid(star + 1) == SentenceChecksum(line.left(star + 1));
}

QString Fields(const QString& line)
{
    const qsizetype star = line.indexOf(u'*');
    return line.left(star);
}

// Two hexadecimal digits that are surely not `checksum`.
QString WrongChecksum(const QString& checksum)
{
    const uint value = checksum.toUInt(nullptr, 16) ^ 0xFFu;
    return QString::number(value, 16).toUpper().rightJustified(2, u'0');
}

// A route line naming one waypoint goes out with an empty second name field,
// as the receiver sends it; the host's own uploads leave the field out.
QString DownloadForm(const QString& stored)
{
    const QStringList fields = stored.split(u',');
    const bool singleName =
        fields.size() == 6 && fields[0] == QLatin1String("$PMGNRTE") && fields[3] == u'c';
    return singleName ? stored + u',' : stored;
}

bool IsDataSentence(const QString& body)
{
    return body.startsWith(QLatin1String("$PMGNWPL")) ||
           body.startsWith(QLatin1String("$PMGNRTE")) || body.startsWith(QLatin1String("$PMGNTRK"));
}

// Commands this receiver carries out; any other is answered with UNABLE.
bool KnownCommand(const QStringList& words)
{
    static const QStringList plain = {QStringLiteral("VERSION"), QStringLiteral("HANDON"),
                                      QStringLiteral("HANDOFF"), QStringLiteral("TON"),
                                      QStringLiteral("STOP"),    QStringLiteral("WAYPOINT"),
                                      QStringLiteral("ROUTE"),   QStringLiteral("TRACK"),
                                      QStringLiteral("END"),     QStringLiteral("NMEAOFF")};
    static const QStringList deletable = {QStringLiteral("WAYPOINTS"), QStringLiteral("WAYPOINT"),
                                          QStringLiteral("ROUTES"), QStringLiteral("TRACK")};
    if (words.size() == 1)
        return plain.contains(words[0]);
    // Hosts ask for the track with a layout number ("TRACK,2"); there is only one layout here.
    return words.size() == 2 &&
           (words[0] == QLatin1String("TRACK") ||
            (words[0] == QLatin1String("DELETE") && deletable.contains(words[1])));
}

bool IsIcon(const QString& field)
{
    return field.size() == 1 && field[0] >= u'a' && field[0] <= u't';
}

// The waypoint names of a "c" route sentence, one or two, from field 5 on.
// Hosts send each name alone or followed by its icon; a field after a name
// that is one lower-case letter from a to t is that icon (names are upper case).
std::optional<QStringList> RouteWaypoints(const QStringList& fields)
{
    QStringList names;
    for (qsizetype i = 5; i < fields.size(); ++i) {
        const QString name = fields[i].trimmed();
        if (i + 1 < fields.size() && IsIcon(fields[i + 1]))
            ++i;
        if (!name.isEmpty())
            names << name;
    }
    if (names.isEmpty() || names.size() > 2)
        return std::nullopt;
    return names;
}

} // namespace

Receiver::Receiver(Options options, ReceiverMemory& memory, HostLine& host, QObject* parent)
    : QObject(parent), options_(std::move(options)), memory_(memory), host_(host),
      acksOn_(options_.acksOn), wrongEchoLeft_(options_.wrongEcho),
      ignoreVersionLeft_(options_.ignoreVersion)
{
    connect(&host_, &HostLine::LineReceived, this, &Receiver::HandleLine);
    connect(&host_, &HostLine::Drained, this, &Receiver::Pump);
    resendTimer_.setSingleShot(true);
    connect(&resendTimer_, &QTimer::timeout, this, &Receiver::ResendHead);
    saveTimer_.setSingleShot(true);
    connect(&saveTimer_, &QTimer::timeout, this, &Receiver::SaveIfChanged);
    connect(&nmeaTimer_, &QTimer::timeout, this, &Receiver::SendNmea);
    if (options_.nmea && !options_.silent)
        nmeaTimer_.start(kNmeaIntervalMs);
}

void Receiver::HandleLine(const QString& received)
{
    if (options_.silent)
        return;
    const qsizetype dollar = received.indexOf(u'$');
    if (dollar < 0)
        return;
    const QString line = received.mid(dollar);
    const QString address = line.left(8);
    if (address == QLatin1String("$PMGNCSM")) {
        // Acknowledgements are never answered; a garbled one counts as none.
        if (ChecksumValid(line))
            Acknowledged(line.mid(9, 2));
        return;
    }
    const qsizetype star = line.indexOf(u'*');
    if (star < 0) {
        Trace(QStringLiteral("# no checksum, ignored"));
        return;
    }
    const QString heard = SentenceChecksum(line.left(star + 1));
    if (!ChecksumValid(line)) {
        // The receiver answers with the checksum of what it heard; the host
        // sees it differ from what it sent and sends the sentence again.
        Trace(QStringLiteral("# bad checksum, not taken"));
        if (Acknowledges(line))
            Echo(heard);
        return;
    }
    if (address == QLatin1String("$PMGNCMD") && ignoreVersionLeft_ > 0 &&
        Fields(line) == QLatin1String("$PMGNCMD,VERSION")) {
        --ignoreVersionLeft_;
        Trace(QStringLiteral("# version command ignored"));
        return;
    }
    if (wrongEchoLeft_ > 0 && Acknowledges(line)) {
        --wrongEchoLeft_;
        Trace(QStringLiteral("# misheard: wrong echo, not taken"));
        Echo(WrongChecksum(heard));
        return;
    }

    // A resend is recognised only right after the sentence it repeats.
    if (address != QLatin1String("$PMGNRTE"))
        incomingRoute_.reset();
    if (address != QLatin1String("$PMGNTRK"))
        lastTrackPoint_.clear();

    if (address == QLatin1String("$PMGNCMD"))
        HandleCommand(line);
    else if (address == QLatin1String("$PMGNWPL"))
        ReceiveWaypoint(line);
    else if (address == QLatin1String("$PMGNRTE"))
        ReceiveRoute(line);
    else if (address == QLatin1String("$PMGNTRK"))
        ReceiveTrackPoint(line);
    else if (address == QLatin1String("$PMGNDWP"))
        DeleteWaypoint(line);
    else if (address == QLatin1String("$PMGNDRT"))
        DeleteRoute(line);
    else if (acksOn_)
        Acknowledge(line);
}

void Receiver::HandleCommand(const QString& line)
{
    const QStringList words = Fields(line).mid(9).split(u',');
    if (!KnownCommand(words)) {
        Trace(QStringLiteral("# unknown command"));
        Refuse();
        return;
    }
    // A command is acknowledged only when acknowledgements were on before it
    // arrived: HANDON itself goes unacknowledged, HANDOFF does not.
    if (acksOn_)
        Acknowledge(line);

    const QString& command = words[0];
    if (command == QLatin1String("VERSION")) {
        StartOutput({QStringLiteral("$PMGNVER,%1,%2,%3*")
                         .arg(options_.modelCode, options_.software, options_.modelName)});
    } else if (command == QLatin1String("HANDON")) {
        acksOn_ = true;
    } else if (command == QLatin1String("HANDOFF")) {
        acksOn_ = false;
    } else if (command == QLatin1String("STOP")) {
        StopOutput();
        nmeaTimer_.stop();
    } else if (command == QLatin1String("NMEAOFF")) {
        nmeaTimer_.stop();
    } else if (command == QLatin1String("WAYPOINT") || command == QLatin1String("ROUTE") ||
               command == QLatin1String("TRACK")) {
        const QStringList lines = command == QLatin1String("WAYPOINT") ? memory_.WaypointLines()
                                  : command == QLatin1String("ROUTE")  ? memory_.RouteLines()
                                                                       : memory_.TrackLines();
        QStringList bodies;
        for (const QString& stored : lines)
            bodies << DownloadForm(stored) + u'*';
        StartOutput(bodies << kEndBody);
    } else if (command == QLatin1String("DELETE")) {
        if (words[1].startsWith(QLatin1String("WAYPOINT")))
            memory_.ClearWaypoints();
        else if (words[1] == QLatin1String("ROUTES"))
            memory_.ClearRoutes();
        else
            memory_.ClearTrack();
        SaveNow();
        StartOutput({kEndBody});
    } else if (command == QLatin1String("END")) {
        // The end of an upload: whatever arrived is written out now.
        SaveIfChanged();
    }
    // TON changes nothing here.
}

void Receiver::ReceiveWaypoint(const QString& line)
{
    switch (memory_.StoreWaypoint(Fields(line))) {
    case ReceiverMemory::Outcome::Stored:
        Changed();
        Acknowledge(line);
        break;
    case ReceiverMemory::Outcome::Full:
    case ReceiverMemory::Outcome::Malformed:
        Refuse();
        break;
    }
}

void Receiver::ReceiveRoute(const QString& line)
{
    const QStringList f = Fields(line).split(u',');
    bool countOk = false, indexOk = false, numberOk = false;
    const int count = f.value(1).toInt(&countOk);
    const int index = f.value(2).toInt(&indexOk);
    const int number = f.value(4).toInt(&numberOk);
    const QString kind = f.value(3);
    const std::optional<QStringList> names =
        kind == u'c' ? RouteWaypoints(f) : std::optional<QStringList>();
    if (f.size() < 6 || !countOk || !indexOk || !numberOk || index < 1 || index > count ||
        number < 1 || number > ReceiverMemory::kMaxRouteNumber || (kind != u'm' && !names)) {
        Refuse();
        return;
    }
    // The host sends one sentence at a time and repeats it until it is
    // acknowledged: the route and sentence number of the one just received
    // mark a resend, which replaces it.
    const bool sameRoute =
        incomingRoute_ && incomingRoute_->number == number && incomingRoute_->count == count;
    const bool resend = sameRoute && incomingRoute_->lastIndex == index;
    const auto refuseRoute = [&](const QString& why) {
        Trace(QStringLiteral("# route %1 refused: %2").arg(number).arg(why));
        incomingRoute_.reset();
        Refuse();
    };
    if (index == 1 && !resend) {
        incomingRoute_ = IncomingRoute();
        incomingRoute_->number = number;
        incomingRoute_->count = count;
    } else if (!sameRoute) {
        refuseRoute(QStringLiteral("its first sentences are missing"));
        return;
    }
    IncomingRoute& route = *incomingRoute_;
    route.lastIndex = index;
    if (kind == u'm') {
        route.name = f[5];
    } else {
        qsizetype total = names->size();
        for (auto it = route.waypoints.cbegin(); it != route.waypoints.cend(); ++it)
            total += it.key() == index ? 0 : it.value().size();
        if (total > ReceiverMemory::kMaxRouteWaypoints) {
            refuseRoute(QStringLiteral("too many waypoints"));
            return;
        }
        // A route may only name waypoints the receiver holds.
        for (const QString& name : *names) {
            if (!memory_.HasWaypoint(name)) {
                refuseRoute(QStringLiteral("no waypoint ") + name);
                return;
            }
        }
        route.waypoints[index] = *names;
    }
    if (index == count) {
        ReceiverMemory::Route complete;
        complete.number = number;
        complete.name = route.name;
        for (const QStringList& part : std::as_const(route.waypoints))
            complete.waypoints << part;
        if (!complete.waypoints.isEmpty()) {
            memory_.StoreRoute(complete);
            SaveNow();
        }
    }
    Acknowledge(line);
}

void Receiver::ReceiveTrackPoint(const QString& line)
{
    const QString body = Fields(line);
    // The host's resend of the point just stored: stored once.
    if (body != lastTrackPoint_) {
        if (memory_.AppendTrackPoint(body) != ReceiverMemory::Outcome::Stored) {
            Refuse();
            return;
        }
        lastTrackPoint_ = body;
        Changed();
    }
    Acknowledge(line);
}

void Receiver::DeleteWaypoint(const QString& line)
{
    memory_.DeleteWaypoint(Fields(line).split(u',').value(1));
    SaveNow();
    Acknowledge(line);
}

void Receiver::DeleteRoute(const QString& line)
{
    bool ok = false;
    const int number = Fields(line).split(u',').value(1).toInt(&ok);
    if (ok) {
        // The host numbers routes from 0 here.
        memory_.DeleteRoute(number + 1);
        SaveNow();
    }
    Acknowledge(line);
}

void Receiver::Acknowledged(const QString& echo)
{
    if (!awaitingAck_)
        return;
    if (echo != expectedEcho_) {
        Trace(QStringLiteral("# acknowledgement echoes %1, expected %2").arg(echo, expectedEcho_));
        ResendHead();
        return;
    }
    resendTimer_.stop();
    awaitingAck_ = false;
    outgoing_.removeFirst();
    Pump();
}

// Data sentences and deletions are always acknowledged, other sentences only
// while acknowledgements are on.
bool Receiver::Acknowledges(const QString& line) const
{
    static const QStringList always = {QStringLiteral("$PMGNWPL"), QStringLiteral("$PMGNRTE"),
                                       QStringLiteral("$PMGNTRK"), QStringLiteral("$PMGNDWP"),
                                       QStringLiteral("$PMGNDRT")};
    return acksOn_ || always.contains(line.left(8));
}

void Receiver::Acknowledge(const QString& line)
{
    Echo(SentenceChecksum(line.left(line.indexOf(u'*') + 1)));
}

void Receiver::Echo(const QString& checksum)
{
    host_.Send(FinishSentence(QStringLiteral("$PMGNCSM,") + checksum + u'*'));
}

void Receiver::Refuse()
{
    host_.Send(FinishSentence(QStringLiteral("$PMGNCMD,UNABLE*")));
}

void Receiver::Changed()
{
    changed_ = true;
    saveTimer_.start(kSaveDelayMs);
}

void Receiver::SaveNow()
{
    changed_ = true;
    SaveIfChanged();
}

void Receiver::SaveIfChanged()
{
    saveTimer_.stop();
    if (!changed_ || options_.memoryFile.isEmpty())
        return;
    QString error;
    if (memory_.Save(options_.memoryFile, &error))
        changed_ = false;
    else
        qWarning("navora-gpssim: %s", qPrintable(error));
}

void Receiver::StartOutput(const QStringList& bodies)
{
    resendTimer_.stop();
    awaitingAck_ = false;
    outgoing_ = bodies;
    Pump();
}

void Receiver::StopOutput()
{
    resendTimer_.stop();
    awaitingAck_ = false;
    outgoing_.clear();
}

void Receiver::Pump()
{
    if (awaitingAck_)
        return;
    // Without acknowledgements the sentences stream out as fast as the line
    // takes them; with them, one at a time.
    while (!outgoing_.isEmpty() && host_.Idle() && host_.IsOpen()) {
        sendings_ = 0;
        SendHead();
        if (acksOn_)
            return;
        outgoing_.removeFirst();
    }
}

void Receiver::SendHead()
{
    const QString& body = outgoing_.first();
    QString sentence = FinishSentence(body);
    expectedEcho_ = SentenceChecksum(body);
    if (IsDataSentence(body) && ++dataSent_ == options_.corruptNth) {
        sentence = body + WrongChecksum(expectedEcho_) + QStringLiteral("\r\n");
        Trace(QStringLiteral("# the next sentence carries a wrong checksum"));
    }
    ++sendings_;
    host_.Send(sentence);
    if (acksOn_) {
        awaitingAck_ = true;
        resendTimer_.start(options_.resendMs);
    }
}

void Receiver::ResendHead()
{
    if (outgoing_.isEmpty())
        return;
    if (sendings_ >= kMaxSendings) {
        Trace(QStringLiteral("# no acknowledgement; transfer abandoned"));
        StopOutput();
        return;
    }
    SendHead();
}

void Receiver::SendNmea()
{
    if (!host_.Idle())
        return; // nobody is reading: do not pile up output
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QString time = now.toString(QStringLiteral("hhmmss.00"));
    QString latitude = QStringLiteral("5130.250"), ns = QStringLiteral("N");
    QString longitude = QStringLiteral("00012.345"), we = QStringLiteral("W");
    const QStringList waypoints = memory_.WaypointLines();
    if (!waypoints.isEmpty()) {
        const QStringList f = waypoints.first().split(u',');
        latitude = f[1], ns = f[2], longitude = f[3], we = f[4];
    }
    const QString position = QStringList{latitude, ns, longitude, we}.join(u',');
    const QString body =
        (nmeaCount_++ % 2 == 0)
            ? QStringLiteral("$GPGGA,%1,%2,1,07,1.2,45.0,M,47.0,M,,*").arg(time, position)
            : QStringLiteral("$GPRMC,%1,A,%2,000.0,000.0,%3,,*")
                  .arg(time, position, now.toString(QStringLiteral("ddMMyy")));
    host_.Send(FinishSentence(body));
}
