#pragma once

#include "files/FileReader.h"
#include "model/Lists.h"
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

// Loads `path` as the user would, with the WGS84 datum set.
inline void Load(ListKind kind, const QString& path, Lists& lists, ScriptedInteraction& ui,
                 ReaderState& reader, int heightsMode = 0)
{
    ProgramState state;
    state.currentDatumCode = QStringLiteral("WGS84");
    state.heightsMode = HeightsMode(heightsMode);
    ui.ExpectFileToOpen(path);
    LoadListFile(kind, lists, state, reader, ui);
}

// Every row of the list as its cells joined by "|".
inline QStringList Rows(const ListModel& list)
{
    QStringList rows;
    for (int r = 0; r < list.Count(); ++r) {
        rows << list.Text(r, 0);
        for (int c = 1; c < list.ColumnCount(); ++c)
            rows.last() += u'|' + list.Text(r, c);
    }
    return rows;
}

// The filled slots of the route table as "route.slot=text".
inline QStringList Table(const RouteTable& table)
{
    QStringList filled;
    for (int route = 1; route <= RouteTable::kMaxRoute; ++route)
        for (int slot = 0; slot < RouteTable::kSlots; ++slot)
            if (!table.Slot(route, slot).isEmpty())
                filled << QStringLiteral("%1.%2=").arg(route).arg(slot) + table.Slot(route, slot);
    return filled;
}
