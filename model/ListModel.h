#pragma once

#include "model/ListKind.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

// One of the three lists of the main window, and the program's only store of
// its rows. Every cell is text in the receiver's own form. Rows are addressed
// by position (from 0) in the order the user sees, which is also the order in
// which uploads and saves walk them.
class ListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // How a header click orders a column: by the plain text of its cells, or
    // by the number each cell starts with (point numbers and heights, whose
    // widths vary once they pass their padding).
    enum class SortBy
    {
        Text,
        Number
    };

    struct Column
    {
        QString header;
        int widthTwips;
        Qt::Alignment alignment;
        SortBy sortBy = SortBy::Text;
    };

    // The waypoint icon letter of a row, for views that draw its picture.
    static constexpr int IconKeyRole = Qt::UserRole + 1;

    explicit ListModel(ListKind kind, QObject* parent = nullptr);

    ListKind Kind() const { return kind_; }
    const std::vector<Column>& Columns() const { return columns_; }
    int ColumnCount() const { return int(columns_.size()); }

    int Count() const { return int(rows_.size()); }
    // Adds a row at the end; missing cells read as empty text.
    int AddRow(QStringList cells);
    // Adds many rows at once, as a file load or a download does.
    void AddRows(std::vector<QStringList> rows);
    void RemoveRow(int row);
    // Removes every row. The rows that follow (a load or a download) come in
    // their own order, so the list no longer counts as sorted.
    void Clear();

    QString Text(int row, int column) const;
    void SetText(int row, int column, const QString& text);

    // The small-picture key of a waypoint row: its icon letter, "a" to "t".
    QString IconKey(int row) const;
    void SetIconKey(int row, const QString& key);

    bool IsSelected(int row) const;
    void SetSelected(int row, bool selected);

    // Header click: sorts the rows themselves by `column` (see SortBy); a
    // click on the sort column flips the order, any other click sorts
    // ascending. A new list counts as sorted by its first column, ascending.
    // The route list never sorts, since a route's grouping lives only in its
    // row order.
    void SortByColumn(int column);
    // The column the rows were last sorted by, or -1 once Clear has made way
    // for rows in their own order.
    int SortColumn() const { return sortColumn_; }
    Qt::SortOrder SortOrder() const { return sortOrder_; }

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // A row's selected flag changed through SetSelected, so that a view can
    // show a selection the program made.
    void SelectedChanged(int row, bool selected);
    // A header click sorted the rows by `column`, or (`column` -1) Clear left
    // them in no sorted order, so a view can show or hide its sort arrow.
    void SortChanged(int column, Qt::SortOrder order);

private:
    struct Row
    {
        QStringList cells;
        QString iconKey;
        bool selected = false;
    };

    void Normalise(QStringList& cells) const;

    ListKind kind_;
    std::vector<Column> columns_;
    std::vector<Row> rows_;
    int sortColumn_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

// The selected rows, in the list's order.
QList<int> SelectedRows(const ListModel& list);
