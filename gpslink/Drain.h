#pragma once

#include "gpslink/GpsLink.h"
#include "model/UserInteraction.h"

#include <QString>

// Letting a receiver run out what it is sending. No drain waits for ever: one
// that is still receiving lines after the link's drain limit gives up and says so.

// Ours: the receiver kept talking for the whole drain limit.
inline const QString kStillSendingText = QStringLiteral("The GPS did not stop sending.");

enum class DrainMode
{
    // Reads only, and stops as soon as Cancelled is set (connecting).
    Listen,
    // Acknowledges every line but acknowledgements, so that a receiver waiting
    // for them can run out its transfer (after a STOP).
    Acknowledge
};

enum class DrainEnd
{
    Quiet,        // a read timed out: the receiver has stopped
    Cancelled,    // Listen only
    PortClosed,   // a hang-up, whose port error has been reported
    SendFailed,   // an acknowledgement could not be sent; already reported
    StillSending, // the drain limit passed; kStillSendingText has been shown
};

// Reads lines until one read times out.
DrainEnd DrainUntilQuiet(GpsLink& link, UserInteraction& ui, DrainMode mode);

// The tail of a download that was cancelled or went wrong: clears Cancelled,
// tells the receiver to stop and drains with acknowledgements.
DrainEnd StopAndDrain(GpsLink& link, UserInteraction& ui);
