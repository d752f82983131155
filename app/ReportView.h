#pragma once

#include <QTableView>

class ListModel;

// One of the three lists as a report: a header row, whole-row selection and,
// on request, grid lines. Column widths and alignments come from the list's
// columns; the waypoint list draws each row's icon before its name. The rows'
// selected flags in the list follow what the user selects here, and the other
// way round.
class ReportView : public QTableView
{
    Q_OBJECT
public:
    ReportView(ListModel& list, QAbstractItemView::SelectionMode mode, QWidget* parent = nullptr);

    ListModel& List() const { return list_; }
    void SetGridLines(bool shown);

    // Resets every column to its initial width in twips at this screen's resolution.
    void ApplyColumnWidths();

signals:
    // The user clicked the header of `column`.
    void ColumnClick(int column);
    void DblClick();

private:
    void SelectionToFlags(const QItemSelection& selected, const QItemSelection& deselected);
    void FlagToSelection(int row, bool selected);

    ListModel& list_;
    bool syncing_ = false;
};
