#pragma once

#include <QString>

// How a load or a save ended, for the caller to act on (the command line's
// exit status, the status panel). The user has already been told.
enum class FileStatus
{
    Read,          // the list now holds the file's records
    Written,       // the file holds the list
    Cancelled,     // the user stopped it; a load keeps the rows read until then
    Failed,        // the file could not be read or written
    NotThatKind,   // the file holds no records of the list's kind; the list is unchanged
    NothingToSave, // the list is empty; no file was touched
    Busy,          // an exchange with the receiver was running: nothing was done
};

struct FileOutcome
{
    FileStatus status = FileStatus::Failed;
    int count = 0;   // records read or written
    QString message; // what the user was told when it failed
};
