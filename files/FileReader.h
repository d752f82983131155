#pragma once

#include "files/FileOutcome.h"
#include "model/ListKind.h"
#include "model/Lists.h"
#include "model/ProgramState.h"
#include "model/UserInteraction.h"

#include <QIODevice>
#include <QStringList>
#include <QStringView>
#include <vector>

// What the file reader carries from record to record and from load to load.
// A workspace holds one; a route point read before any route name of a file
// belongs to the route of the last route name read, even in an earlier file.
struct ReaderState
{
    int recordsRead = 0; // records taken into the list by the current load
    bool recordValid = true;
    int currentRouteNo = 0;
};

// Reads the records of one list kind, a line at a time, into that list.
// Rows are gathered and handed to the list in one go before anything is shown
// to the user and when the reader is done, which keeps large loads fast.
class RecordReader
{
public:
    RecordReader(ListKind kind, Lists& lists, const ProgramState& state, ReaderState& reader,
                 UserInteraction& ui);
    ~RecordReader();
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    // The record routine of the reader's kind. A line it rejects clears
    // `recordValid`; a line that is too short or otherwise broken is
    // abandoned quietly at the step that fails, keeping what was done.
    void ReadLine(QStringView line);
    void ReadWaypointRecord(QStringView line);
    void ReadRouteRecord(QStringView line);
    void ReadTrackRecord(QStringView line);

    // Warns when the file's datum differs (ignoring case) from the one set in
    // the program; reading goes on either way.
    bool CheckFileDatum(QStringView code);

    // Hands the rows read so far to the list.
    void Flush();

private:
    void Keep(QStringList& row);
    // Converts a record's position by its format code (field 1). False when
    // the record is too short to hold it; an unknown code is reported and
    // gives "Err".
    bool ConvertPosition(const QList<QStringView>& fields, int latitudeField, QString& latitude,
                         QString& longitude);
    const QString& Shared(QString& last, QStringView text);

    ListKind kind_;
    Lists& lists_;
    const ProgramState& state_;
    ReaderState& reader_;
    UserInteraction& ui_;
    std::vector<QStringList> pending_;
    // The previous value of columns that repeat from row to row, so that
    // equal cells share one string.
    QString lastTrackName_, lastValid_, lastUnit_, lastTime_;
};

// The pre-scans: read the open device from where it stands to the first line
// that starts (ignoring case, nothing trimmed) with the kind's keyword.
bool FileHasWaypoints(QIODevice& file);
bool FileHasRoutes(QIODevice& file);
bool FileHasTrack(QIODevice& file);
// The pre-scan of the list kind's records.
bool FileHasRecordsOf(ListKind kind, QIODevice& file);

// Replaces the list of `kind` with the records of the text file at `path`,
// saying everything it has to say itself: a file without records of the kind
// (the list keeps its rows), each invalid record (OK reads on, Cancel stops
// and keeps the rows read), and the count read.
FileOutcome LoadListFile(ListKind kind, const QString& path, Lists& lists,
                         const ProgramState& state, ReaderState& reader, UserInteraction& ui);

// The same for a file's whole text held in memory, such as standard input,
// named `name` in what the user is told.
FileOutcome LoadListText(ListKind kind, const QByteArray& text, const QString& name, Lists& lists,
                         const ProgramState& state, ReaderState& reader, UserInteraction& ui);
