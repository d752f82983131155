#pragma once

#include "gpslink/GpsLink.h"

#include <QString>
#include <functional>

// Connecting to the receiver and leaving it, and what the program does with a
// port error. The program is connected exactly when the port is open.

namespace ConnectionText {
inline const QString Connecting = QStringLiteral("Connecting to GPS...");
inline const QString NmeaOutput = QStringLiteral("Please switch off NMEA output on the GPS");
inline const QString NoResponse = QStringLiteral("No response from GPS");
inline const QString InvalidResponse = QStringLiteral("Invalid response from GPS");
inline const QString Unsupported =
    QStringLiteral("Unsupported GPS:\rThis program is designed for use with the following "
                   "models:\rMap 410, GPS315/320, ColorTrak, Tracker");
inline const QString Connected = QStringLiteral("Status: Connected");
inline const QString Disconnected = QStringLiteral("Status: Disconnected");
inline const QString Detected = QStringLiteral("Detected: ");
inline const QString PortErrorTitle = QStringLiteral("Click Cancel to quit, OK to ignore.");
} // namespace ConnectionText

// Runs the connect handshake on the open port: quiets the receiver, asks for
// its version (kept in GpsVersion) and makes sure it acknowledges every
// sentence. True when the receiver is ready for transfers. Every failure but
// a cancel shows its message; a port that closes meanwhile counts as a cancel.
bool GpsHandshake(GpsLink& link);

// The window's connected (true) or disconnected look.
using ApplyConnectedLook = std::function<void(bool connected)>;

// The Connect command: connects, with the cancel window shown, when the port
// is closed; disconnects when it is open.
void ConnectToggle(GpsLink& link, const ApplyConnectedLook& applyLook);

// A port error event with its text: the status panel shows it, `beep` sounds
// and the user chooses OK (nothing more happens) or Cancel (the port closes,
// the window keeps its look).
void ReportPortError(GpsLink& link, const QString& text, const std::function<void()>& beep = {});
