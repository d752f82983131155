#pragma once

#include "gpslink/GpsLink.h"
#include "model/UserInteraction.h"

// Deleting in the receiver, one route or the whole track. Both run inside
// the frame of the command that calls them and show only a failed send.

// Deletes route `route` (1 to 20, as the route list numbers it) and reads the
// receiver's answer, whatever it is. False when the request could not be sent.
bool GpsDeleteRoute(GpsLink& link, UserInteraction& ui, int route);

// Deletes the track and acknowledges the receiver's commands until its end
// command or a time-out. True when the end command came.
bool GpsDeleteTrack(GpsLink& link, UserInteraction& ui);
