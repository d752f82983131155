#pragma once

#include "cli/Arguments.h"
#include "model/UserInteraction.h"

// gridref and latlon: the conversions of the waypoint editor's grid button
// and of the grid reference dialog, with their checks and messages.
int RunGridRef(const Invocation& invocation, UserInteraction& ui);
int RunLatLon(const Invocation& invocation, UserInteraction& ui);
