#pragma once

#include "files/FileFormat.h"
#include "files/FileOutcome.h"
#include "files/Gpx.h"
#include "model/Lists.h"
#include "model/ProgramState.h"
#include "model/UserInteraction.h"

#include <QString>

// Replaces the chosen lists with what the GPX file at `path` holds, after one
// question that names the lists replaced with their rows, every waypoint
// name that changes, the routes and route points left out and what the
// lists have no place for. Lists the file holds nothing for stay as they
// are; so do all of them when the user says No or the file cannot be read,
// which is said in a message. Heights come in the unit `state` asks for.
FileOutcome LoadGpxFile(const QString& path, Lists& lists, const ProgramState& state,
                        UserInteraction& ui, GpxSelection which = GpxSelection::All());

// Writes the chosen lists to the GPX file at `path`, replacing it only once
// the new file is completely on disk. When points have to be left out, the
// user sees them and may keep the old file instead.
FileOutcome SaveGpxFile(const QString& path, const Lists& lists, UserInteraction& ui,
                        GpxSelection which = GpxSelection::All());

// GPX as a format of one list, as navora-cli reads and writes files: a load
// replaces the list of `kind` only, a save writes that list only (a route's
// points with the waypoint list's positions).
class GpxFileFormat : public FileFormat
{
public:
    FileOutcome Load(ListKind kind, const QString& path, Lists& lists, const ProgramState& state,
                     ReaderState& reader, UserInteraction& ui) const override;
    FileOutcome Save(ListKind kind, const QString& path, const Lists& lists, UserInteraction& ui,
                     const QDateTime& moment) const override;
};

// A file name that ends in ".gpx", in any case.
bool IsGpxPath(const QString& path);
