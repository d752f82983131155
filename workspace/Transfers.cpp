// The workspace's commands that move data between the lists and the
// receiver: one exchange frame per command around the exchange of gpslink.

#include "workspace/Workspace.h"

#include "gpslink/Deletion.h"
#include "gpslink/Download.h"
#include "gpslink/Upload.h"

ExchangeOutcome Workspace::Download(ListKind kind)
{
    ExchangeFrame frame(link_, ui_, DownloadActivity(kind));
    if (!frame.Started())
        return ExchangeOutcome::Busy;
    const ExchangeOutcome outcome =
        GpsDownload(link_, ui_, lists_, kind, state_.heightsMode == HeightsMode::Feet);
    // The panel counts this list's rows now.
    countShown_ = kind;
    return outcome;
}

ExchangeOutcome Workspace::Upload(ListKind kind, UploadQuestions questions)
{
    ExchangeFrame frame(link_, ui_, UploadActivity(kind));
    if (!frame.Started())
        return ExchangeOutcome::Busy;
    countShown_.reset();
    return UploadList(link_, ui_, lists_, kind, questions);
}

ExchangeOutcome Workspace::DeleteAllInReceiver(ListKind kind)
{
    ExchangeFrame frame(link_, ui_);
    if (!frame.Started())
        return ExchangeOutcome::Busy;
    return ::DeleteAllInReceiver(link_, ui_, kind);
}

ExchangeOutcome Workspace::DeleteWaypoints(const QList<int>& rows)
{
    const bool inReceiver = link_.Connected() &&
                            ui_.Question(DeletionText::WaypointsToo, Buttons::YesNo) == Answer::Yes;
    ExchangeFrame frame(link_, ui_, DeletionText::DeletingWaypoints);
    if (!frame.Started())
        return ExchangeOutcome::Busy;
    const int removed = DeleteWaypointRows(link_, ui_, lists_.waypoints, rows, inReceiver);
    countShown_.reset();
    ui_.SetStatusText(StatusPanel::Settings,
                      QString::number(removed) + QStringLiteral(" waypoints deleted"));
    if (link_.Cancelled())
        return ExchangeOutcome::Cancelled;
    return removed == rows.size() ? ExchangeOutcome::Completed : ExchangeOutcome::Failed;
}
