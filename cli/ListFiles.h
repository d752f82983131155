#pragma once

#include "cli/Session.h"
#include "files/FileFormat.h"

// The file of one list as the command line names it: Navora's text format,
// or GPX for a name ending in ".gpx"; "-" stands for standard input or
// output, which carry the text format.

// Replaces the workspace's list of `kind` with the one the file gives.
FileOutcome ReadListFile(Session& session, ListKind kind, const QString& path);
// Writes the workspace's list of `kind` in `format` to `path`, replacing a
// file there only once the new one is whole; empty or "-" is standard output.
FileOutcome WriteListFile(Session& session, ListKind kind, const QString& path,
                          const FileFormat& format);

// show: prints the rows the file gives, cells separated by tabs.
int RunShow(Session& session);
