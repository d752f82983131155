#pragma once

#include "app/Lists.h"
#include "files/FileReader.h"
#include "tests/support/ScriptedInteraction.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

// Helpers shared by the file tests: write bytes to a file, load a file as the
// user would, and read a list back as rows of text.

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

inline const ProgramState& Wgs84State()
{
    static const ProgramState state = [] {
        ProgramState s;
        s.currentDatumCode = QStringLiteral("WGS84");
        return s;
    }();
    return state;
}

inline void Load(ListKind kind, const QString& path, Lists& lists, ScriptedInteraction& ui,
                 ReaderState& reader, const ProgramState& state = Wgs84State())
{
    ui.ExpectFileToOpen(path);
    LoadListFile(kind, lists, state, reader, ui);
}

// Every row of the list as its cells joined by "|".
inline QStringList Rows(const ListModel& list)
{
    QStringList rows;
    for (int r = 0; r < list.Count(); ++r) {
        QStringList cells;
        for (int c = 0; c < list.ColumnCount(); ++c)
            cells << list.Text(r, c);
        rows << cells.join(u'|');
    }
    return rows;
}
