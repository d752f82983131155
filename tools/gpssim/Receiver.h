#pragma once

#include "tools/gpssim/ReceiverMemory.h"

#include <QMap>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <optional>

class HostLine;

// The behaviour of a Magellan hand-held as its host sees it: it answers
// commands, sends its memory on request and acknowledges what it is sent.
// Every sentence it sends while acknowledgements are on waits for the host's
// acknowledgement and is sent again when none comes. A sentence it receives
// again (the host's resend) replaces the one it repeats.
class Receiver : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        QString modelCode = QStringLiteral("025");
        QString modelName = QStringLiteral("MAP 410");
        QString software = QStringLiteral("4.02");
        QString memoryFile;    // empty: nothing is saved
        bool acksOn = false;   // acknowledgements on from the start
        bool silent = false;   // answers nothing at all
        bool nmea = false;     // streams standard sentences until STOP
        int corruptNth = 0;    // this data sentence goes out with a wrong checksum
        int wrongEcho = 0;     // this many sentences are misheard: wrong echo, nothing done
        int ignoreVersion = 0; // this many VERSION commands go unanswered
        int resendMs = 3000;   // wait for an acknowledgement before sending again
    };

    Receiver(Options options, ReceiverMemory& memory, HostLine& host, QObject* parent = nullptr);

    // Writes the memory file if anything changed since it was last written.
    void SaveIfChanged();

private:
    // A route as its sentences arrive, kept after its last sentence so that a
    // resend of any of them is recognised.
    struct IncomingRoute
    {
        int number = 0;
        int count = 0;
        int lastIndex = 0; // number of the sentence received last
        QString name;
        QMap<int, QStringList> waypoints; // by sentence number
    };

    void HandleLine(const QString& received);
    void HandleCommand(const QString& line);
    void ReceiveWaypoint(const QString& line);
    void ReceiveRoute(const QString& line);
    void ReceiveTrackPoint(const QString& line);
    void DeleteWaypoint(const QString& line);
    void DeleteRoute(const QString& line);
    void Acknowledged(const QString& echo);

    bool Acknowledges(const QString& line) const;
    void Acknowledge(const QString& line);
    void Echo(const QString& checksum);
    void Refuse();
    void Changed();
    void SaveNow();

    // Replaces whatever was being sent by these bodies (each ending in "*").
    void StartOutput(const QStringList& bodies);
    void StopOutput();
    void Pump();
    void SendHead();
    void ResendHead();
    void SendNmea();

    Options options_;
    ReceiverMemory& memory_;
    HostLine& host_;
    bool acksOn_;
    int wrongEchoLeft_;
    int ignoreVersionLeft_;
    int dataSent_ = 0;

    QStringList outgoing_;
    bool awaitingAck_ = false;
    QString expectedEcho_;
    int sendings_ = 0;
    QTimer resendTimer_;

    std::optional<IncomingRoute> incomingRoute_;
    QString lastTrackPoint_; // the track point just stored, to tell its resend
    bool changed_ = false;
    QTimer saveTimer_;

    QTimer nmeaTimer_;
    int nmeaCount_ = 0;
};
