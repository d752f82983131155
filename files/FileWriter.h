#pragma once

#include "files/FileOutcome.h"
#include "model/ListKind.h"
#include "model/Lists.h"
#include "model/UserInteraction.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The date and time every record of one save carries: "MM/DD/YYYY" and
// "HH:MM:SS" (24-hour clock), taken once when the records are written.
struct SaveStamp
{
    QString date;
    QString time;
};
SaveStamp StampOf(const QDateTime& moment);

// The record writers append whole lines, each ended by CR LF, in the file's
// 8-bit character set, and return the number of records written.
void WriteDatumLine(QByteArray& out);
int WriteWaypoints(QByteArray& out, const ListModel& waypoints, const SaveStamp& stamp);
int WriteRoutes(QByteArray& out, const RouteStore& routes, const ListModel& waypoints,
                const SaveStamp& stamp);
int WriteTrack(QByteArray& out, const ListModel& track, const SaveStamp& stamp);

// Everything one save writes: the datum line and the records of `kind`.
QByteArray FileText(ListKind kind, const Lists& lists, const SaveStamp& stamp,
                    int* written = nullptr);

// Writes the list of `kind` to the text file at `path`, asking first, when
// the file exists, whether to append to it, overwrite it or cancel. An
// overwrite replaces the file only once the new text is completely on disk,
// and an append that fails is undone, so a failed save never leaves a
// damaged file. Failures are reported to the user; a track save reports its
// count.
FileOutcome SaveListFile(ListKind kind, const QString& path, const Lists& lists,
                         UserInteraction& ui, const QDateTime& moment);
