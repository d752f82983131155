#include "app/ReportView.h"

#include "app/WaypointIcons.h"
#include "model/ListModel.h"
#include "model/Twips.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// Draws the cells as a report list does: no focus frame around one cell (the
// view frames the current row as a whole), and on the waypoint list the icon
// of the row before its name.
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
    connect(&list_, &ListModel::SortChanged, this, &ReportView::ShowSort);
    // Rows that arrive or move while the list has the focus (a load, a sort)
    // keep a current row for the keys to start from.
    connect(&list_, &QAbstractItemModel::rowsInserted, this, &ReportView::EnsureCurrentRow);
    connect(&list_, &QAbstractItemModel::modelReset, this, &ReportView::EnsureCurrentRow);
    connect(&list_, &QAbstractItemModel::layoutChanged, this, &ReportView::EnsureCurrentRow);
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

void ReportView::ShowSort(int column, Qt::SortOrder order)
{
    QHeaderView* header = horizontalHeader();
    // No arrow over rows that stand in the order they came in.
    header->setSortIndicatorShown(column >= 0);
    header->setSortIndicator(column, order);
}

void ReportView::EnsureCurrentRow()
{
    if (!hasFocus() || currentIndex().isValid() || list_.Count() == 0)
        return;
    // Current, not selected: the user sees where the keys start and
    // chooses with them (or the space bar) what to select.
    selectionModel()->setCurrentIndex(list_.index(0, 0), QItemSelectionModel::NoUpdate);
}

QRect ReportView::RowRect(int row) const
{
    if (row < 0 || row >= list_.Count())
        return {};
    const int last = list_.ColumnCount() - 1;
    const int left = columnViewportPosition(0);
    const int right = columnViewportPosition(last) + columnWidth(last);
    return QRect(left, rowViewportPosition(row), right - left, rowHeight(row));
}

void ReportView::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    const QModelIndex current = currentIndex();
    if (!hasFocus() || !current.isValid())
        return;
    const QRect row = RowRect(current.row());
    if (!row.intersects(event->rect()))
        return;
    // A dotted frame around the whole row, in the colour of the row's text
    // so that it shows on a selected row as on a plain one.
    QPainter painter(viewport());
    const bool selected = selectionModel()->isRowSelected(current.row(), {});
    QPen pen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text), 0);
    pen.setDashPattern({1.0, 1.0});
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // Through the centres of the row's outermost pixels.
    painter.drawRect(QRectF(row).adjusted(0.5, 0.5, -0.5, -0.5));
}

void ReportView::showEvent(QShowEvent* event)
{
    QTableView::showEvent(event);
    // Without this the first control of the window would hold the focus and
    // the arrow keys would do nothing in the list until a row is clicked.
    if (focusPolicy() != Qt::NoFocus && !window()->focusWidget())
        setFocus(Qt::OtherFocusReason);
}

void ReportView::focusInEvent(QFocusEvent* event)
{
    QTableView::focusInEvent(event);
    EnsureCurrentRow();
    viewport()->update(RowRect(currentIndex().row()));
}

void ReportView::focusOutEvent(QFocusEvent* event)
{
    QTableView::focusOutEvent(event);
    viewport()->update(RowRect(currentIndex().row()));
}

void ReportView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    viewport()->update(RowRect(previous.row()));
    viewport()->update(RowRect(current.row()));
}

QModelIndex ReportView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // Home and End go to the first and last row of a report, where a table
    // would go to the ends of the current row.
    if (action == MoveHome || action == MoveEnd)
        modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(action, modifiers);
}

void ReportView::keyPressEvent(QKeyEvent* event)
{
    const QModelIndex before = currentIndex();
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // The row the user is on is the one to edit, selected or not yet.
            if (before.isValid() && !selectionModel()->isRowSelected(before.row(), {}))
                selectionModel()->select(before, QItemSelectionModel::ClearAndSelect |
                                                     QItemSelectionModel::Rows);
            emit DblClick();
            return;
        case Qt::Key_Insert:
            emit InsertKey();
            return;
        case Qt::Key_Delete:
            emit DeleteKey();
            return;
        default:
            break;
        }
    }
    QTableView::keyPressEvent(event);
    // At the top or the bottom a move goes nowhere; it still selects the
    // row the user is on, which is what the key was pressed for.
    const bool move = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down ||
                      event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown ||
                      event->key() == Qt::Key_Home || event->key() == Qt::Key_End;
    if (move && event->modifiers() == Qt::NoModifier && before.isValid() &&
        currentIndex() == before && !selectionModel()->isRowSelected(before.row(), {}))
        selectionModel()->select(before,
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}
