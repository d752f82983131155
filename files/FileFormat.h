#pragma once

#include "files/FileOutcome.h"
#include "files/FileReader.h"
#include "model/ListKind.h"
#include "model/Lists.h"
#include "model/ProgramState.h"
#include "model/UserInteraction.h"

#include <QDateTime>
#include <QString>

// A kind of file the lists are kept in. Each format reads a file into one
// list and writes one list to a file; its questions on the way (an invalid
// record, another datum, whether to append to an existing file) go to the
// user interaction, and what happened comes back as the outcome.
class FileFormat
{
public:
    virtual ~FileFormat() = default;

    virtual FileOutcome Load(ListKind kind, const QString& path, Lists& lists,
                             const ProgramState& state, ReaderState& reader,
                             UserInteraction& ui) const = 0;
    // `moment` is the date and time the records carry.
    virtual FileOutcome Save(ListKind kind, const QString& path, const Lists& lists,
                             UserInteraction& ui, const QDateTime& moment) const = 0;
};

// The program's own text format: comma-separated records, one list per file.
class TextFileFormat : public FileFormat
{
public:
    FileOutcome Load(ListKind kind, const QString& path, Lists& lists, const ProgramState& state,
                     ReaderState& reader, UserInteraction& ui) const override;
    FileOutcome Save(ListKind kind, const QString& path, const Lists& lists, UserInteraction& ui,
                     const QDateTime& moment) const override;
};

// The format a file name asks for: GPX for a name ending in ".gpx" (in any
// case), the program's own text format for every other.
const FileFormat& FileFormatFor(const QString& path);
