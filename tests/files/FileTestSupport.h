#pragma once

#include "files/FileReader.h"
#include "model/Lists.h"
#include "tests/support/ListTexts.h"
#include "tests/support/ScriptedInteraction.h"

#include <QFile>
#include <QStringList>

inline bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Loads `path` with the WGS84 datum set.
inline FileOutcome Load(ListKind kind, const QString& path, Lists& lists, ScriptedInteraction& ui,
                        ReaderState& reader, int heightsMode = 0)
{
    ProgramState state;
    state.currentDatumCode = QStringLiteral("WGS84");
    state.heightsMode = HeightsMode(heightsMode);
    return LoadListFile(kind, path, lists, state, reader, ui);
}

// The routes as "route.0=name" and "route.point=waypoint", names only when set.
inline QStringList Table(const RouteStore& routes)
{
    QStringList filled;
    for (int route = RouteStore::kFirstRoute; route <= RouteStore::kLastRoute; ++route) {
        if (!routes.Name(route).isEmpty())
            filled << QStringLiteral("%1.0=").arg(route) + routes.Name(route);
        const QStringList points = routes.Points(route);
        for (int i = 0; i < points.size(); ++i)
            filled << QStringLiteral("%1.%2=").arg(route).arg(i + 1) + points[i];
    }
    return filled;
}
