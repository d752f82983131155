#pragma once

#include "files/FileOutcome.h"
#include "files/Gpx.h"

#include <QString>

class Workspace;

// The GPX commands: the File menu's "Import GPX..." and "Export GPX..." take
// all three lists; navora-cli takes the one list of its command. Both are
// refused (Busy) while an exchange with the receiver runs.

// Replaces the lists the GPX file at `path` has data for, after asking.
FileOutcome ImportGpx(Workspace& workspace, const QString& path,
                      GpxSelection which = GpxSelection::All());
// False, after saying "There is nothing to save!", when the chosen lists are
// all empty; a window asks this before it asks for a file name.
bool ReadyToExportGpx(Workspace& workspace, GpxSelection which = GpxSelection::All());
// Writes the chosen lists to the GPX file at `path`.
FileOutcome ExportGpx(Workspace& workspace, const QString& path,
                      GpxSelection which = GpxSelection::All());
