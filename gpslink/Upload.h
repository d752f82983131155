#pragma once

#include "gpslink/ExchangeFrame.h"
#include "gpslink/GpsLink.h"
#include "model/ListKind.h"
#include "model/Lists.h"
#include "model/UserInteraction.h"

#include <QString>

// Sending a list to the receiver: one sentence at a time, each checked against
// the receiver's acknowledgement and sent again when the echo is wrong. The
// lists are only read.

namespace UploadText {
inline const QString NoResponse = QStringLiteral("No response from GPS!");
inline const QString TrackNoResponse = QStringLiteral("No response from GPS");
inline const QString Unexpected = QStringLiteral("Unexpected response from GPS!");
inline const QString MaxRetries = QStringLiteral("Max retries exceeded");
// "the ALL" is the text users know; keep it as it is.
inline const QString TooManyWaypoints =
    QStringLiteral("You have more than 500 waypoints loaded!\r\n"
                   "The GPS will only accept a maximum of 500.\r\n"
                   "If you continue the ALL the User waypoints in your GPS may be corrupted!\r\n"
                   "\r\nContinue?");
} // namespace UploadText

// The cancel window's text while the upload of `kind` runs.
QString UploadActivity(ListKind kind);

// What would go wrong on the receiver's side, found before anything is sent:
// waypoints that share a name (the receiver keeps one of each) and, when
// the waypoint list has rows, route points that name none of them (the
// receiver refuses such a route halfway through). Empty when there is
// nothing to say; otherwise the message, which asks OK to send all the same.
QString UploadProblems(const Lists& lists, ListKind kind);

// The questions the upload of `kind` asks before it sends anything: more
// than 500 waypoints, then the problems above. Completed when each was
// answered Yes or OK, or none was asked; Declined on No or Cancel.
ExchangeOutcome AskBeforeUpload(UserInteraction& ui, const Lists& lists, ListKind kind);

// Whether an upload asks its questions itself, or the caller has had them
// agreed to before (several lists sent one after another, each question
// asked before the first is sent).
enum class UploadQuestions
{
    Ask,
    Agreed
};

// The upload of `kind` (the toolbar's Send), inside the caller's frame: it
// checks the port, asks its questions unless agreed (Declined on No or
// Cancel, nothing sent) and returns how it ended. Every failure but a
// closed port (whose port error has been reported) has shown its message.
ExchangeOutcome UploadList(GpsLink& link, UserInteraction& ui, const Lists& lists, ListKind kind,
                           UploadQuestions questions = UploadQuestions::Ask);
