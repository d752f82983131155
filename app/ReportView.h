#pragma once

#include <QTableView>

class ListModel;

// One of the three lists as a report: a header row, whole-row selection and,
// on request, grid lines. Column widths and alignments come from the list's
// columns; the waypoint list draws each row's icon before its name. The rows'
// selected flags in the list follow what the user selects here, and the other
// way round; the header's sort arrow follows the list's sort.
//
// For the keyboard, a focused list always has a current row, framed as a
// whole, from which the arrow keys move and select; shown in a window where
// nothing has the focus yet, the list takes it. Enter, Insert and Delete do
// what a double-click and the toolbar's New and Delete do.
class ReportView : public QTableView
{
    Q_OBJECT
public:
    ReportView(ListModel& list, QAbstractItemView::SelectionMode mode, QWidget* parent = nullptr);

    ListModel& List() const { return list_; }
    void SetGridLines(bool shown);

    // Resets every column to its initial width in twips at this screen's resolution.
    void ApplyColumnWidths();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

signals:
    // The user clicked the header of `column`.
    void ColumnClick(int column);
    // A double-click on a row, or Enter on the current row: edit it.
    void DblClick();
    // The Insert and Delete keys: a new record, or delete the selected ones.
    void InsertKey();
    void DeleteKey();

private:
    void SelectionToFlags(const QItemSelection& selected, const QItemSelection& deselected);
    void FlagToSelection(int row, bool selected);
    void ShowSort(int column, Qt::SortOrder order);
    void EnsureCurrentRow();
    // The whole row in viewport coordinates; empty for no row.
    QRect RowRect(int row) const;

    ListModel& list_;
    bool syncing_ = false;
};
