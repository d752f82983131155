#include "model/ListModel.h"

#include "model/TextNumber.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
constexpr ListModel::SortBy kNumber = ListModel::SortBy::Number;

std::vector<ListModel::Column> ColumnsOf(ListKind kind)
{
    switch (kind) {
    case ListKind::Waypoints:
        return {{QStringLiteral("Name"), 1764, kLeft},
                {QStringLiteral("Latitude"), 1587, kRight},
                {QStringLiteral("NS"), 741, kLeft},
                {QStringLiteral("Longitude"), 1764, kRight},
                {QStringLiteral("WE"), 794, kLeft},
                {QStringLiteral("Altitude"), 1499, kRight, kNumber},
                {QStringLiteral("MF"), 794, kLeft},
                {QStringLiteral("Description"), 5292, kLeft},
                {QStringLiteral("Icon"), 794, kLeft}};
    case ListKind::Routes:
        return {{QStringLiteral("Id"), 1764, kLeft},
                {QStringLiteral("Num"), 1764, kLeft},
                {QStringLiteral("Waypoint Name/Route Name"), 7056, kLeft}};
    case ListKind::Track:
        return {{QStringLiteral("Point #"), 1411, kLeft, kNumber},
                {QStringLiteral("Track Name"), 2117, kLeft},
                {QStringLiteral("Latitude"), 1764, kRight},
                {QStringLiteral("NS"), 882, kLeft},
                {QStringLiteral("Longitude"), 1764, kRight},
                {QStringLiteral("WE"), 882, kLeft},
                {QStringLiteral("Altitude"), 1764, kRight, kNumber},
                {QStringLiteral("MF"), 882, kLeft},
                {QStringLiteral("Time"), 1764, kLeft},
                {QStringLiteral("fValid"), 1235, kLeft}};
    }
    return {};
}

// The number a cell starts with, as the program reads numbers everywhere.
// Point numbers and heights are plain digits almost always, which are read
// here directly; anything else takes the general rule.
double SortNumber(const QString& text)
{
    const qsizetype n = text.size();
    if (n > 0 && n <= 15) {
        long long value = 0;
        qsizetype i = 0;
        const bool negative = text[0] == u'-';
        if (negative)
            ++i;
        for (; i < n; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9')
                break;
            value = value * 10 + (c - u'0');
        }
        if (i == n && n > (negative ? 1 : 0))
            return double(negative ? -value : value);
    }
    const double value = LeadingNumber(text);
    return std::isnan(value) ? 0.0 : value;
}

} // namespace

ListModel::ListModel(ListKind kind, QObject* parent)
    : QAbstractTableModel(parent), kind_(kind), columns_(ColumnsOf(kind))
{
}

void ListModel::Normalise(QStringList& cells) const
{
    if (cells.size() < ColumnCount())
        cells.resize(ColumnCount());
}

int ListModel::AddRow(QStringList cells)
{
    Normalise(cells);
    const int row = Count();
    beginInsertRows({}, row, row);
    Row r{std::move(cells), {}, false};
    if (kind_ == ListKind::Waypoints)
        r.iconKey = r.cells.at(WaypointColumn::Icon);
    rows_.push_back(std::move(r));
    endInsertRows();
    return row;
}

void ListModel::AddRows(std::vector<QStringList> rows)
{
    if (rows.empty())
        return;
    const int first = Count();
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    rows_.reserve(rows_.size() + rows.size());
    for (QStringList& cells : rows) {
        Normalise(cells);
        Row r{std::move(cells), {}, false};
        if (kind_ == ListKind::Waypoints)
            r.iconKey = r.cells.at(WaypointColumn::Icon);
        rows_.push_back(std::move(r));
    }
    endInsertRows();
}

void ListModel::RemoveRow(int row)
{
    if (row < 0 || row >= Count())
        return;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void ListModel::Clear()
{
    if (!rows_.empty()) {
        beginResetModel();
        rows_.clear();
        endResetModel();
    }
    // Even an empty list is cleared to make way for new rows, which arrive
    // in their own order; the next header click then sorts ascending.
    if (sortColumn_ != -1) {
        sortColumn_ = -1;
        sortOrder_ = Qt::AscendingOrder;
        emit SortChanged(sortColumn_, sortOrder_);
    }
}

QString ListModel::Text(int row, int column) const
{
    if (row < 0 || row >= Count() || column < 0 || column >= ColumnCount())
        return {};
    return rows_[size_t(row)].cells.at(column);
}

void ListModel::SetText(int row, int column, const QString& text)
{
    if (row < 0 || row >= Count() || column < 0 || column >= ColumnCount())
        return;
    rows_[size_t(row)].cells[column] = text;
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell);
}

QString ListModel::IconKey(int row) const
{
    return row >= 0 && row < Count() ? rows_[size_t(row)].iconKey : QString();
}

void ListModel::SetIconKey(int row, const QString& key)
{
    if (row < 0 || row >= Count())
        return;
    rows_[size_t(row)].iconKey = key;
    const QModelIndex cell = index(row, 0);
    emit dataChanged(cell, cell, {Qt::DecorationRole, IconKeyRole});
}

bool ListModel::IsSelected(int row) const
{
    return row >= 0 && row < Count() && rows_[size_t(row)].selected;
}

void ListModel::SetSelected(int row, bool selected)
{
    if (row < 0 || row >= Count() || rows_[size_t(row)].selected == selected)
        return;
    rows_[size_t(row)].selected = selected;
    emit SelectedChanged(row, selected);
}

void ListModel::SortByColumn(int column)
{
    if (kind_ == ListKind::Routes || column < 0 || column >= ColumnCount())
        return;
    if (column != sortColumn_) {
        sortColumn_ = column;
        sortOrder_ = Qt::AscendingOrder;
    } else {
        sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    }

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    // Remember where every row came from so that persistent indexes (the
    // view's selection and current row) follow their rows.
    std::vector<int> order(rows_.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    const bool ascending = sortOrder_ == Qt::AscendingOrder;
    if (columns_[size_t(column)].sortBy == SortBy::Number) {
        // Each cell is read once, not at every comparison.
        std::vector<double> keys(rows_.size());
        for (size_t i = 0; i < keys.size(); ++i)
            keys[i] = SortNumber(rows_[i].cells.at(column));
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return ascending ? keys[size_t(a)] < keys[size_t(b)]
                             : keys[size_t(a)] > keys[size_t(b)];
        });
    } else {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const int c = QString::compare(rows_[size_t(a)].cells.at(column),
                                           rows_[size_t(b)].cells.at(column), Qt::CaseSensitive);
            return ascending ? c < 0 : c > 0;
        });
    }
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    std::vector<int> newPosition(rows_.size());
    for (size_t i = 0; i < order.size(); ++i) {
        newPosition[size_t(order[i])] = int(i);
        sorted.push_back(std::move(rows_[size_t(order[i])]));
    }
    rows_ = std::move(sorted);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after.push_back(index(newPosition[size_t(old.row())], old.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    emit SortChanged(sortColumn_, sortOrder_);
}

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count();
}

int ListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= Count())
        return {};
    const Row& row = rows_[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return row.cells.at(index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columns_[size_t(index.column())].alignment);
    case IconKeyRole:
        return row.iconKey;
    default:
        return {};
    }
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount())
        return {};
    if (role == Qt::DisplayRole)
        return columns_[size_t(section)].header;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columns_[size_t(section)].alignment);
    return {};
}

QList<int> SelectedRows(const ListModel& list)
{
    QList<int> rows;
    for (int row = 0; row < list.Count(); ++row) {
        if (list.IsSelected(row))
            rows << row;
    }
    return rows;
}
