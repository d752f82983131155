#pragma once

#include "gpslink/Sentence.h"
#include "model/ListModel.h"
#include "model/Lists.h"

#include <QStringList>

// The texts of one column of a list, top to bottom.
inline QStringList Column(const ListModel& list, int column)
{
    QStringList texts;
    for (int row = 0; row < list.Count(); ++row)
        texts << list.Text(row, column);
    return texts;
}

// Lists written and read as text, one line a row: the cells of a row joined by "|"; a route as
// "nn|name|point,point,...".
inline QStringList Rows(const ListModel& list)
{
    QStringList rows;
    for (int row = 0; row < list.Count(); ++row) {
        QStringList cells;
        for (int column = 0; column < list.ColumnCount(); ++column)
            cells << list.Text(row, column);
        rows << cells.join(u'|');
    }
    return rows;
}

inline QStringList Rows(const Lists& lists, ListKind kind)
{
    if (kind != ListKind::Routes)
        return Rows(lists.Of(kind));
    QStringList rows;
    for (int route = RouteStore::kFirstRoute; route <= RouteStore::kLastRoute; ++route) {
        if (lists.routes.Exists(route))
            rows << QStringLiteral("%1|%2|%3")
                        .arg(route, 2, 10, QChar(u'0'))
                        .arg(lists.routes.Name(route), lists.routes.Points(route).join(u','));
    }
    return rows;
}

inline void Fill(Lists& lists, ListKind kind, const QStringList& rows)
{
    for (const QString& row : rows) {
        const QStringList cells = row.split(u'|');
        if (kind == ListKind::Routes)
            lists.routes.ReplaceRoute(cells[0].toInt(), cells[1], cells[2].split(u','));
        else
            lists.Of(kind).AddRow(cells);
    }
}

// A line as the receiver sends or logs it: `fields` with their checksum, without CR LF.
inline QString Checked(const QString& fields)
{
    return FinishSentence(fields + u'*').chopped(2);
}
