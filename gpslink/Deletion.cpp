#include "gpslink/Deletion.h"

#include "gpslink/Connection.h"
#include "gpslink/Sentence.h"
#include "model/TextNumber.h"

bool GpsDeleteRoute(GpsLink& link, UserInteraction& ui, int route)
{
    // The receiver counts its routes from 0: the list's route 01 is its 00.
    if (!SendOrReport(link, ui,
                      FinishSentence(QStringLiteral("$PMGNDRT,") + ZeroPad(route - 1, 2) + u'*')))
        return false;
    link.GpsReceive();
    return true;
}

bool GpsDeleteTrack(GpsLink& link, UserInteraction& ui)
{
    if (!SendOrReport(link, ui, FinishSentence(Command::DeleteTrackBody)))
        return false;
    for (;;) {
        const Received received = link.GpsReceive();
        if (!received.IsLine())
            return false;
        if (SentenceType(received.line) != u"CMD")
            continue;
        const bool end = CommandText(received.line).startsWith(QStringLiteral("END"));
        if (!SendOrReport(link, ui, AcknowledgementFromTail(received.line)))
            return false;
        if (end)
            return true;
    }
}
