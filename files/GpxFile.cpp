#include "files/GpxFile.h"

#include "files/GpxReader.h"
#include "files/GpxWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString NativePath(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString NothingText(GpxSelection which)
{
    if (which.waypoints && !which.routes && !which.track)
        return QStringLiteral(" does not contain any Waypoint information!");
    if (which.routes && !which.waypoints && !which.track)
        return QStringLiteral(" does not contain any route information!");
    if (which.track && !which.waypoints && !which.routes)
        return QStringLiteral(" does not contain any track information!");
    return QStringLiteral(" does not contain any waypoints, routes or track points!");
}

QString Rows(qsizetype count)
{
    return QString::number(count) + (count == 1 ? QStringLiteral(" row") : QStringLiteral(" rows"));
}

void AddSection(QStringList& list, const QString& heading, const QStringList& lines)
{
    if (lines.isEmpty())
        return;
    if (!list.isEmpty())
        list << QString();
    list << heading;
    for (const QString& line : lines)
        list << QStringLiteral("  ") + line;
}

} // namespace

FileOutcome LoadGpxFile(const QString& path, Lists& lists, const ProgramState& state,
                        UserInteraction& ui, GpxSelection which)
{
    const QString shownPath = NativePath(path);
    const auto fail = [&](FileStatus status, const QString& problem) {
        const QString message = shownPath + QStringLiteral("\r\n") + problem;
        ui.Message(message, MessageIcon::Exclamation);
        return FileOutcome{status, 0, message};
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(FileStatus::Failed,
                    QStringLiteral(" could not be read: ") + file.errorString());
    GpxReadResult read = ReadGpx(file, state.heightsMode, which);
    if (!read.data)
        return fail(read.status, read.problem);
    GpxImport& data = *read.data;

    const bool waypoints = which.waypoints && !data.waypoints.empty();
    const bool routes = which.routes && !data.routes.empty();
    const bool track = which.track && !data.track.empty();
    if (!waypoints && !routes && !track) {
        const QString message = shownPath + QStringLiteral("\r\n") + NothingText(which);
        ui.Message(message);
        return {FileStatus::NotThatKind, 0, message};
    }

    QString text = QStringLiteral("Import ") + shownPath + QStringLiteral("?\r\n\r\n") +
                   QStringLiteral("It replaces");
    if (waypoints) {
        text += QStringLiteral("\r\n  the waypoint list with ") +
                Rows(qsizetype(data.waypoints.size()));
        if (data.waypointsFromRoutes > 0)
            text += QStringLiteral(" (") + QString::number(data.waypointsFromRoutes) +
                    QStringLiteral(" of them from route points)");
    }
    if (routes)
        text += QStringLiteral("\r\n  the route list with ") + Rows(data.RouteRows());
    if (track)
        text += QStringLiteral("\r\n  the track list with ") + Rows(qsizetype(data.track.size()));
    if (!(waypoints && routes && track))
        text += QStringLiteral("\r\nLists not named here stay as they are.");

    QStringList details;
    if (waypoints || routes)
        AddSection(details,
                   QStringLiteral("These waypoint names change to names the receiver takes:"),
                   data.renamings);
    if (routes) {
        AddSection(details, QStringLiteral("The receiver holds 20 routes; these are left out:"),
                   data.routesLeftOut);
        AddSection(details, QStringLiteral("A route holds 31 points; these keep their first 31:"),
                   data.pointsCut);
    }
    AddSection(details, QStringLiteral("Not kept, as the lists have no place for it:"),
               data.notKept);
    if (ui.QuestionWithList(text, details, Buttons::YesNo) != Answer::Yes)
        return {FileStatus::Cancelled, 0, {}};

    const int rows = ReplaceLists(data, lists, which);
    ui.SetStatusText(StatusPanel::Settings,
                     QString::number(rows) + QStringLiteral(" Records read"));
    return {FileStatus::Read, rows, {}};
}

FileOutcome SaveGpxFile(const QString& path, const Lists& lists, UserInteraction& ui,
                        GpxSelection which)
{
    const QString shownPath = NativePath(path);
    QSaveFile file(path);
    QString error;
    GpxWritten written;
    if (file.open(QIODevice::WriteOnly)) {
        written = WriteGpx(file, lists, which);
        error = written.error;
        // Flushed first: commit() would not see a write that fails while the buffer empties.
        if (error.isEmpty() && !file.flush())
            error = file.errorString();
    } else {
        error = file.errorString();
    }
    if (error.isEmpty() && !written.leftOut.isEmpty() &&
        ui.QuestionWithList(QStringLiteral("These points have no place in a GPX file, so ") +
                                shownPath + QStringLiteral(" is written without them:"),
                            written.leftOut, Buttons::OkCancel,
                            MessageIcon::Exclamation) != Answer::Ok) {
        file.cancelWriting();
        return {FileStatus::Cancelled, 0, {}};
    }
    if (error.isEmpty() && !file.commit())
        error = file.errorString();
    if (!error.isEmpty()) {
        file.cancelWriting();
        const QString message =
            shownPath + QStringLiteral("\r\n") + QStringLiteral(" could not be written: ") + error;
        ui.Message(message, MessageIcon::Exclamation);
        return {FileStatus::Failed, 0, message};
    }
    return {FileStatus::Written, written.points, {}};
}

FileOutcome GpxFileFormat::Load(ListKind kind, const QString& path, Lists& lists,
                                const ProgramState& state, ReaderState& reader,
                                UserInteraction& ui) const
{
    const FileOutcome outcome = LoadGpxFile(path, lists, state, ui, GpxSelection::Only(kind));
    reader.recordsRead = outcome.count;
    return outcome;
}

FileOutcome GpxFileFormat::Save(ListKind kind, const QString& path, const Lists& lists,
                                UserInteraction& ui, const QDateTime&) const
{
    return SaveGpxFile(path, lists, ui, GpxSelection::Only(kind));
}

bool IsGpxPath(const QString& path)
{
    return path.endsWith(QStringLiteral(".gpx"), Qt::CaseInsensitive);
}
