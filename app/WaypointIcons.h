#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

// The 20 small waypoint pictures, 16 x 16 pixels, keyed "a" to "t" like the
// receiver's icons, each also drawn at two and three times the pixels for
// scaled screens. The waypoint list and the waypoint editor's icon box both
// draw from here.

inline constexpr int kWaypointIconSize = 16;

// "a" to "t", in order.
QStringList WaypointIconKeys();

// The picture for `key` at 16 x 16 pixels; a null pixmap (or icon) for a key
// outside "a" to "t".
QPixmap WaypointPixmap(const QString& key);
QIcon WaypointIcon(const QString& key);
