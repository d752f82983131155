#pragma once

#include "cli/Session.h"

// The commands that talk to the receiver, and the list of ports to find it
// on. Each connects, runs its exchanges in the workspace, disconnects and
// returns the exit status.
int RunPorts();
int RunInfo(Session& session);
int RunDownload(Session& session);
int RunUpload(Session& session);
int RunDelete(Session& session);
