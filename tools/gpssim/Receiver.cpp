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
    if (!ChecksumValid(line)) {
        Trace(QStringLiteral("# bad checksum, ignored"));
        return;
    }
    const QString address = line.left(8);
    if (address == QLatin1String("$PMGNCSM"))
        Acknowledged(line.mid(9, 2));
    else if (address == QLatin1String("$PMGNCMD"))
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
    const QString command = Fields(line).mid(9);
    if (command == QLatin1String("VERSION") && ignoreVersionLeft_ > 0) {
        --ignoreVersionLeft_;
        Trace(QStringLiteral("# version command ignored"));
        return;
    }
    // A command is acknowledged only when acknowledgements were on before it
    // arrived: HANDON itself goes unacknowledged, HANDOFF does not.
    if (acksOn_)
        Acknowledge(line);

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
    } else if (command == QLatin1String("WAYPOINT") || command == QLatin1String("ROUTE") ||
               command == QLatin1String("TRACK")) {
        const QStringList lines = command == QLatin1String("WAYPOINT") ? memory_.WaypointLines()
                                  : command == QLatin1String("ROUTE")  ? memory_.RouteLines()
                                                                       : memory_.TrackLines();
        QStringList bodies;
        for (const QString& stored : lines)
            bodies << DownloadForm(stored) + u'*';
        StartOutput(bodies << kEndBody);
    } else if (command.startsWith(QLatin1String("DELETE,"))) {
        const QString what = command.mid(7);
        if (what == QLatin1String("WAYPOINTS"))
            memory_.ClearWaypoints();
        else if (what == QLatin1String("ROUTES"))
            memory_.ClearRoutes();
        else if (what == QLatin1String("TRACK"))
            memory_.ClearTrack();
        else
            return;
        SaveNow();
        StartOutput({kEndBody});
    } else if (command == QLatin1String("END")) {
        // The end of an upload: whatever arrived is written out now.
        SaveIfChanged();
    }
    // TON and commands this receiver does not know change nothing.
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
    if (f.size() < 6 || !countOk || !indexOk || !numberOk || number < 1 ||
        number > ReceiverMemory::kMaxRouteNumber || (kind != u'm' && kind != u'c')) {
        Refuse();
        return;
    }
    if (index == 1 || !incomingRoute_ || incomingRoute_->number != number) {
        incomingRoute_ = ReceiverMemory::Route();
        incomingRoute_->number = number;
    }
    if (kind == u'm') {
        incomingRoute_->name = f[5];
    } else {
        for (qsizetype i = 5; i < f.size() && i < 7; ++i) {
            const QString name = f[i].trimmed();
            if (name.isEmpty())
                continue;
            // A route may only name waypoints the receiver holds.
            if (!memory_.HasWaypoint(name) ||
                incomingRoute_->waypoints.size() >= ReceiverMemory::kMaxRouteWaypoints) {
                Trace(QStringLiteral("# route %1 refused at %2").arg(number).arg(name));
                incomingRoute_.reset();
                Refuse();
                return;
            }
            incomingRoute_->waypoints << name;
        }
    }
    if (index >= count) {
        if (!incomingRoute_->waypoints.isEmpty()) {
            memory_.StoreRoute(*incomingRoute_);
            SaveNow();
        }
        incomingRoute_.reset();
    }
    Acknowledge(line);
}

void Receiver::ReceiveTrackPoint(const QString& line)
{
    if (memory_.AppendTrackPoint(Fields(line)) != ReceiverMemory::Outcome::Stored) {
        Refuse();
        return;
    }
    Changed();
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

void Receiver::Acknowledge(const QString& line)
{
    QString checksum = SentenceChecksum(line.left(line.indexOf(u'*') + 1));
    if (wrongEchoLeft_ > 0) {
        --wrongEchoLeft_;
        checksum = WrongChecksum(checksum);
    }
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
