#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

// The 20 small waypoint pictures, 16 x 16 pixels, keyed "a" to "t" like the
// receiver's icons. The waypoint list and the waypoint editor's icon box both
// draw from here.

inline constexpr int kWaypointIconSize = 16;

// "a" to "t", in order.
QStringList WaypointIconKeys();

// The picture for `key`; a null pixmap for a key outside "a" to "t".
QPixmap WaypointPixmap(const QString& key);
QIcon WaypointIcon(const QString& key);
