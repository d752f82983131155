#pragma once

#include "model/ListKind.h"
#include "model/Lists.h"

#include <QStringList>

// An upload read back: what the receiver sends when asked for the list of
// `kind`, against the list that was sent. The protocol changes some cells
// on the way, and those changes are not differences:
// - heights compare as numbers ("00010" is "0000010"), and a track point
//   sent without one comes back as "0000000" metres;
// - a description comes back in upper case and cut to 20 characters;
// - a waypoint icon outside "a" to "t" comes back as "a";
// - the receiver keeps one waypoint of each name, the last one sent;
// - a track point keeps whole seconds, and one sent without a time comes
//   back with the time the download started;
// - the track sentence the host sends has no date field, and a track point
//   without a date comes back named "TRAK01", so track names are not compared.
// Waypoints are matched by name and routes by number; waypoints and routes
// the receiver held besides are no differences. The track is compared point
// by point, as the upload replaces it whole.
//
// Each difference is one line naming the row and what differs; none when the
// receiver holds what was sent.
QStringList ReadBackDifferences(ListKind kind, const Lists& sent, const Lists& received);
