#include "gpslink/ExchangeFrame.h"

ExchangeFrame::ExchangeFrame(GpsLink& link, UserInteraction& ui, const QString& activity)
    : link_(link), ui_(ui)
{
    if (link_.Busy())
        return;
    started_ = true;
    link_.SetCancelled(false);
    link_.SetBusy(true);
    if (!activity.isEmpty()) {
        shown_ = true;
        ui_.ShowCancelWindow(activity);
    }
}

ExchangeFrame::~ExchangeFrame()
{
    if (!started_)
        return;
    link_.SetCancelled(true);
    if (shown_)
        ui_.HideCancelWindow();
    link_.SetBusy(false);
    link_.FollowPort();
}
