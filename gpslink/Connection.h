#pragma once

#include "gpslink/ExchangeFrame.h"
#include "gpslink/GpsLink.h"
#include "model/UserInteraction.h"

#include <QString>

// Connecting to the receiver and leaving it, and what the program does with a
// port error. The link is connected from a successful handshake until the
// port closes, whatever closes it.

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
// Ours: a transfer asked for while the port is closed.
inline const QString PortClosed = QStringLiteral("The port is closed. Connect to the GPS first.");
} // namespace ConnectionText

// What to tell the user about a send that failed: the port's own text, or
// that the data could not be sent; both name the port. Empty for a port that
// closed, whose port error has already been reported.
QString SendFailureText(const SerialStream& port, const SendResult& result);
// Sends one sentence; a failure is shown as SendFailureText says and gives false.
bool SendOrReport(GpsLink& link, UserInteraction& ui, const QString& line);

// True when the port is open; otherwise says that it is closed. Every
// transfer asks this first, so none writes into a closed port.
bool RequireOpenPort(GpsLink& link, UserInteraction& ui);

// Runs the connect handshake on the open port, inside the caller's frame:
// quiets the receiver, asks for its version (kept in GpsVersion) and makes
// sure it acknowledges every sentence. True when the receiver is ready for
// transfers. Every failure but a cancel or a closed port shows its message.
bool GpsHandshake(GpsLink& link, UserInteraction& ui);

// The Connect command: opens the port and runs the handshake in a frame that
// shows "Connecting to GPS...". Completed when the link is connected; on any
// other outcome the port is closed again.
ExchangeOutcome Connect(GpsLink& link, UserInteraction& ui);
// Tells the receiver to stop acknowledging and closes the port, in a frame
// without the cancel window.
ExchangeOutcome Disconnect(GpsLink& link, UserInteraction& ui);
// Connects when the link is not connected, disconnects when it is.
ExchangeOutcome ConnectToggle(GpsLink& link, UserInteraction& ui);

// A port error event with its text: the status panel shows it, the system
// beeps and the user chooses OK (nothing more happens) or Cancel (the port
// closes). A port that is closed afterwards leaves the link disconnected.
void ReportPortError(GpsLink& link, UserInteraction& ui, const QString& text);
