#include "app/ReportView.h"

#include "app/WaypointIcons.h"
#include "model/ListModel.h"
#include "model/Twips.h"

#include <QHeaderView>
#include <QStyledItemDelegate>

namespace {

// Draws the cells as a report list does: no focus frame around one cell, and
// on the waypoint list the icon of the row before its name.
class ReportDelegate : public QStyledItemDelegate
{
public:
    ReportDelegate(bool icons, QObject* parent) : QStyledItemDelegate(parent), icons_(icons) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_HasFocus;
        if (icons_ && index.column() == 0) {
            const QIcon icon = WaypointIcon(index.data(ListModel::IconKeyRole).toString());
            if (!icon.isNull()) {
                option->icon = icon;
                option->features |= QStyleOptionViewItem::HasDecoration;
                option->decorationSize = QSize(kWaypointIconSize, kWaypointIconSize);
            }
        }
    }

private:
    bool icons_;
};

} // namespace

ReportView::ReportView(ListModel& list, QAbstractItemView::SelectionMode mode, QWidget* parent)
    : QTableView(parent), list_(list)
{
    setModel(&list_);
    setItemDelegate(new ReportDelegate(list_.Kind() == ListKind::Waypoints, this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(mode);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setShowGrid(false);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    const int rowHeight = std::max(fontMetrics().height() + 4, kWaypointIconSize + 2);
    verticalHeader()->setMinimumSectionSize(rowHeight);
    verticalHeader()->setDefaultSectionSize(rowHeight);

    QHeaderView* header = horizontalHeader();
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    header->setSectionsClickable(true);
    header->setSectionResizeMode(QHeaderView::Interactive);
    ApplyColumnWidths();

    connect(header, &QHeaderView::sectionClicked, this, &ReportView::ColumnClick);
    connect(this, &QAbstractItemView::doubleClicked, this, &ReportView::DblClick);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ReportView::SelectionToFlags);
    connect(&list_, &ListModel::SelectedChanged, this, &ReportView::FlagToSelection);
}

void ReportView::SetGridLines(bool shown)
{
    setShowGrid(shown);
}

void ReportView::ApplyColumnWidths()
{
    const double dpi = logicalDpiX();
    const auto& columns = list_.Columns();
    for (int c = 0; c < int(columns.size()); ++c)
        setColumnWidth(c, TwipsToPixels(columns[size_t(c)].widthTwips, dpi));
}

void ReportView::SelectionToFlags(const QItemSelection& selected, const QItemSelection& deselected)
{
    if (syncing_)
        return;
    syncing_ = true;
    // Whole-row selection means a row is in or out as a whole; ask the
    // selection model rather than trust one range, since rows can be in both.
    for (const QItemSelection* ranges : {&deselected, &selected}) {
        for (const QItemSelectionRange& range : *ranges) {
            for (int row = range.top(); row <= range.bottom(); ++row)
                list_.SetSelected(row, selectionModel()->isRowSelected(row, {}));
        }
    }
    syncing_ = false;
}

void ReportView::FlagToSelection(int row, bool selected)
{
    if (syncing_)
        return;
    syncing_ = true;
    selectionModel()->select(list_.index(row, 0), (selected ? QItemSelectionModel::Select
                                                            : QItemSelectionModel::Deselect) |
                                                      QItemSelectionModel::Rows);
    syncing_ = false;
}
