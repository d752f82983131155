#pragma once

#include "model/ListModel.h"

#include <QStringList>

// The texts of one column of a list, top to bottom.
inline QStringList Column(const ListModel& list, int column)
{
    QStringList texts;
    for (int row = 0; row < list.Count(); ++row)
        texts << list.Text(row, column);
    return texts;
}
