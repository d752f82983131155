#include "workspace/Gpx.h"

#include "files/GpxFile.h"
#include "workspace/Workspace.h"

FileOutcome ImportGpx(Workspace& workspace, const QString& path, GpxSelection which)
{
    if (workspace.Busy())
        return {FileStatus::Busy, 0, {}};
    return LoadGpxFile(path, workspace.Data(), workspace.State(), workspace.Ui(), which);
}

bool ReadyToExportGpx(Workspace& workspace, GpxSelection which)
{
    for (const ListKind kind : {ListKind::Waypoints, ListKind::Routes, ListKind::Track}) {
        if (which.Has(kind) && workspace.List(kind).Count() > 0)
            return true;
    }
    workspace.Ui().Message(QStringLiteral("There is nothing to save!"));
    return false;
}

FileOutcome ExportGpx(Workspace& workspace, const QString& path, GpxSelection which)
{
    if (workspace.Busy())
        return {FileStatus::Busy, 0, {}};
    if (!ReadyToExportGpx(workspace, which))
        return {FileStatus::NothingToSave, 0, {}};
    return SaveGpxFile(path, workspace.Data(), workspace.Ui(), which);
}
