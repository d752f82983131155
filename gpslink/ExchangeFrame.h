#pragma once

#include "gpslink/GpsLink.h"
#include "model/UserInteraction.h"

#include <QString>

// How a command that talks to the receiver ended.
enum class ExchangeOutcome
{
    Completed,
    Cancelled, // the user pressed Cancel, or closed the window meanwhile
    Declined,  // the user answered No to its question; nothing was sent
    Failed,    // the receiver or the port let it down; the reason has been shown
    Busy       // another exchange was running: nothing was done
};

// One command's exchange with the receiver, from its start to its end, so no
// way out can forget a side effect. Constructing a frame starts the exchange
// unless one is already running, in which case Started() is false and nothing
// has changed. Starting clears Cancelled, marks the link busy and, given an
// activity text, shows the cancel window with it (the window disables the
// main window meanwhile). The destructor ends the exchange on every way out,
// return or exception alike: it sets Cancelled (so the cancel window stops
// bringing itself back), hides the cancel window, frees the link and lets the
// connection follow the port.
//
// One frame per command: the exchanges a command runs inside itself (a
// deletion before an upload, one per row of a deletion) run in its frame and
// open none of their own.
class ExchangeFrame
{
public:
    ExchangeFrame(GpsLink& link, UserInteraction& ui, const QString& activity = {});
    ~ExchangeFrame();
    ExchangeFrame(const ExchangeFrame&) = delete;
    ExchangeFrame& operator=(const ExchangeFrame&) = delete;

    bool Started() const { return started_; }

private:
    GpsLink& link_;
    UserInteraction& ui_;
    bool started_ = false;
    bool shown_ = false;
};
