#include "flexgridview.h"

#include "flexgridmodel.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace {

int floorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

FlexGridView::FlexGridView(QWidget *parent) : QAbstractItemView(parent)
{
    m_header = new QHeaderView(Qt::Horizontal, this);
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollMode(ScrollPerPixel);
    auto relayout = [this] {
        updateGeometries();
        viewport()->update();
    };
    connect(m_header, &QHeaderView::sectionResized, this, relayout);
    connect(m_header, &QHeaderView::sectionMoved, this, relayout);
    connect(m_header, &QHeaderView::sectionCountChanged, this, relayout);
    connect(m_header, &QHeaderView::geometriesChanged, this, relayout);
}

void FlexGridView::setModel(QAbstractItemModel *model)
{
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = qobject_cast<FlexGridModel *>(model);
    forgetUnfolded();
    QAbstractItemView::setModel(m_model);
    m_header->setModel(m_model);
    // Places of unfolded nodes mean nothing once the rows start to change.
    if (m_model)
        connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { forgetUnfolded(); });
}

void FlexGridView::setTreePosition(int column)
{
    m_treeColumn = column;
    viewport()->update();
}

void FlexGridView::setRootIsDecorated(bool show)
{
    m_rootDecorated = show;
    viewport()->update();
}

int FlexGridView::indentation() const
{
    return style()->pixelMetric(QStyle::PM_TreeViewIndentation, nullptr, this);
}

int FlexGridView::rowHeight() const
{
    if (m_rowHeight <= 0) {
        // What the delegate's size hint comes to for one line of text in the view's font.
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.text = QStringLiteral("Xg");
        option.features |= QStyleOptionViewItem::HasDisplay;
        m_rowHeight = std::max(1, style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).height());
    }
    return m_rowHeight;
}

// ---- unfolded nodes and places -----------------------------------------------------------

void FlexGridView::forgetUnfolded()
{
    m_open.clear();
    m_unfolded.clear();
    m_added.clear();
    m_before.assign(1, 0);
    m_unsettled = false;
}

int FlexGridView::childrenOf(int t) const
{
    return m_model->TopEnd(t) - m_model->TopRow(t) - 1;
}

bool FlexGridView::isUnfolded(int t) const
{
    return t >= 0 && size_t(t) < m_open.size() && m_open[size_t(t)];
}

// Merges what was unfolded since, drops what was folded, and counts the children again.
void FlexGridView::settle() const
{
    if (!m_unsettled)
        return;
    std::sort(m_added.begin(), m_added.end());
    std::vector<int> merged;
    merged.reserve(m_unfolded.size() + m_added.size());
    std::merge(m_unfolded.cbegin(), m_unfolded.cend(), m_added.cbegin(), m_added.cend(), std::back_inserter(merged));
    merged.erase(std::unique(merged.begin(), merged.end()), merged.end());
    std::erase_if(merged, [this](int t) { return !isUnfolded(t); });
    m_unfolded = std::move(merged);
    m_added.clear();
    m_before.resize(m_unfolded.size() + 1);
    m_before[0] = 0;
    for (size_t k = 0; k < m_unfolded.size(); ++k)
        m_before[k + 1] = m_before[k] + childrenOf(m_unfolded[k]);
    m_unsettled = false;
}

int FlexGridView::shownRows() const
{
    if (!m_model)
        return 0;
    settle();
    return m_model->TopCount() + m_before.back();
}

int FlexGridView::placeOfTop(int t) const
{
    settle();
    const size_t k = size_t(std::lower_bound(m_unfolded.cbegin(), m_unfolded.cend(), t) - m_unfolded.cbegin());
    return t + m_before[k];
}

std::pair<int, int> FlexGridView::locate(int v) const
{
    settle();
    // The last unfolded node placed at or before v.
    size_t lo = 0, hi = m_unfolded.size();
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (m_unfolded[mid] + m_before[mid] <= v)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo == 0)
        return {v, -1};
    const size_t k = lo - 1;
    const int t = m_unfolded[k];
    const int at = t + m_before[k];
    if (v - at <= m_before[k + 1] - m_before[k])
        return {t, v - at - 1};
    return {v - m_before[k + 1], -1};
}

int FlexGridView::rowAtPlace(int v) const
{
    const auto [t, child] = locate(v);
    return m_model->TopRow(t) + 1 + child;
}

int FlexGridView::placeOfRow(int r) const
{
    if (!m_model)
        return -1;
    const int t = m_model->TopOf(r);
    if (t < 0)
        return -1;
    const int top = m_model->TopRow(t);
    if (r == top)
        return placeOfTop(t);
    return isUnfolded(t) ? placeOfTop(t) + (r - top) : -1;
}

bool FlexGridView::isExpanded(const QModelIndex &index) const
{
    if (!m_model || index.model() != m_model)
        return false;
    const int t = m_model->TopOf(FlexGridModel::RowOfIndex(index));
    return t >= 0 && m_model->TopRow(t) == FlexGridModel::RowOfIndex(index) && isUnfolded(t);
}

void FlexGridView::setExpanded(const QModelIndex &index, bool expand)
{
    if (!m_model || index.model() != m_model)
        return;
    const int r = FlexGridModel::RowOfIndex(index);
    const int t = m_model->TopOf(r);
    if (t < 0 || m_model->TopRow(t) != r || childrenOf(t) == 0 || isUnfolded(t) == expand)
        return;
    if (m_open.size() != size_t(m_model->TopCount()))
        m_open.resize(size_t(m_model->TopCount()), false);
    m_open[size_t(t)] = expand;
    if (expand)
        m_added.push_back(t);
    m_unsettled = true;
    scheduleDelayedItemsLayout();
    viewport()->update();
    if (expand)
        emit expanded(index.siblingAtColumn(0));
    else
        emit collapsed(index.siblingAtColumn(0));
}

void FlexGridView::expandAll()
{
    if (!m_model)
        return;
    const int tops = m_model->TopCount();
    m_open.assign(size_t(tops), false);
    m_unfolded.clear();
    m_added.clear();
    for (int t = 0; t < tops; ++t)
        if (childrenOf(t) > 0) {
            m_open[size_t(t)] = true;
            m_unfolded.push_back(t);
        }
    m_unsettled = true;
    scheduleDelayedItemsLayout();
    viewport()->update();
}

void FlexGridView::collapseAll()
{
    forgetUnfolded();
    scheduleDelayedItemsLayout();
    viewport()->update();
}

// ---- geometry ----------------------------------------------------------------------------

int FlexGridView::rowsPerPage() const
{
    return std::max(1, viewport()->height() / rowHeight());
}

int FlexGridView::topPlace() const
{
    return verticalScrollBar()->value();
}

int FlexGridView::placeAtY(int y) const
{
    return topPlace() + floorDiv(y, rowHeight());
}

int FlexGridView::horizontalOffset() const
{
    return horizontalScrollBar()->value();
}

int FlexGridView::verticalOffset() const
{
    return topPlace() * rowHeight();
}

bool FlexGridView::isIndexHidden(const QModelIndex &index) const
{
    return m_header->isSectionHidden(index.column());
}

void FlexGridView::updateGeometries()
{
    if (m_inGeometry)
        return;
    m_inGeometry = true;
    const int headerHeight = m_header->isHidden() ? 0 : m_header->sizeHint().height();
    setViewportMargins(0, headerHeight, 0, 0);
    const QRect area = viewport()->geometry();
    m_header->setGeometry(area.left(), area.top() - headerHeight, area.width(), headerHeight);

    const int page = rowsPerPage();
    verticalScrollBar()->setRange(0, std::max(0, shownRows() - page));
    verticalScrollBar()->setPageStep(page);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setRange(0, std::max(0, m_header->length() - area.width()));
    horizontalScrollBar()->setPageStep(area.width());
    horizontalScrollBar()->setSingleStep(std::max(1, area.width() / 20));
    m_header->setOffset(horizontalScrollBar()->value());
    m_inGeometry = false;
    QAbstractItemView::updateGeometries();
}

void FlexGridView::scrollContentsBy(int dx, int)
{
    // Rows scroll by whole rows and are cheap to paint: paint them again rather than move pixels.
    if (dx != 0)
        m_header->setOffset(horizontalScrollBar()->value());
    viewport()->update();
}

QRect FlexGridView::visualRect(const QModelIndex &index) const
{
    if (!m_model || index.model() != m_model || isIndexHidden(index))
        return {};
    const int r = FlexGridModel::RowOfIndex(index);
    const int v = placeOfRow(r);
    if (v < 0)
        return {};
    const int c = index.column();
    QRect rect(m_header->sectionViewportPosition(c), (v - topPlace()) * rowHeight(), m_header->sectionSize(c), rowHeight());
    if (c == m_treeColumn) {
        const bool child = m_model->TopRow(m_model->TopOf(r)) != r;
        rect.setLeft(rect.left() + indentation() * ((child ? 1 : 0) + (m_rootDecorated ? 1 : 0)));
    }
    return rect;
}

QModelIndex FlexGridView::indexAt(const QPoint &point) const
{
    if (!m_model)
        return {};
    const int v = placeAtY(point.y());
    const int c = m_header->logicalIndexAt(point.x());
    if (v < 0 || v >= shownRows() || c < 0)
        return {};
    return m_model->IndexOfRow(rowAtPlace(v), c);
}

void FlexGridView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (!m_model || index.model() != m_model)
        return;
    const int r = FlexGridModel::RowOfIndex(index);
    const int t = m_model->TopOf(r);
    if (t < 0)
        return;
    if (m_model->TopRow(t) != r && !isUnfolded(t))
        expand(m_model->IndexOfRow(m_model->TopRow(t)));   // as a tree view does, to show a child
    executeDelayedItemsLayout();
    const int v = placeOfRow(r);
    const int page = rowsPerPage();
    int top = topPlace();
    switch (hint) {
    case EnsureVisible:
        if (v < top)
            top = v;
        else if (v >= top + page)
            top = v - page + 1;
        break;
    case PositionAtTop:
        top = v;
        break;
    case PositionAtBottom:
        top = v - page + 1;
        break;
    case PositionAtCenter:
        top = v - page / 2;
        break;
    }
    verticalScrollBar()->setValue(top);

    const int c = index.column();
    if (isIndexHidden(index))
        return;
    const int x = m_header->sectionPosition(c), w = m_header->sectionSize(c);
    const int left = horizontalScrollBar()->value(), width = viewport()->width();
    if (x < left)
        horizontalScrollBar()->setValue(x);
    else if (x + w > left + width)
        horizontalScrollBar()->setValue(std::min(x, x + w - width));
}

// ---- selection and keys ------------------------------------------------------------------

// Places first..last as selection ranges: a run of top-level rows is one range, and so are the
// shown children of one node.
void FlexGridView::selectPlaces(int first, int last, QItemSelectionModel::SelectionFlags command)
{
    QItemSelection selection;
    const int lastCol = m_model->Cols() - 1;
    for (int v = first; v <= last && lastCol >= 0;) {
        const auto [t, child] = locate(v);
        if (child < 0) {
            // Top-level rows up to the next unfolded node, which is followed by its children.
            const auto next = std::lower_bound(m_unfolded.cbegin(), m_unfolded.cend(), t);
            const int runEnd = next == m_unfolded.cend() ? m_model->TopCount() - 1 : *next;
            const int lastTop = std::min(runEnd, t + (last - v));
            selection.select(m_model->index(t, 0), m_model->index(lastTop, lastCol));
            v += lastTop - t + 1;
        } else {
            const QModelIndex parent = m_model->index(t, 0);
            const int lastChild = std::min(childrenOf(t) - 1, child + (last - v));
            selection.select(m_model->index(child, 0, parent), m_model->index(lastChild, lastCol, parent));
            v += lastChild - child + 1;
        }
    }
    selectionModel()->select(selection, command);
}

void FlexGridView::setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command)
{
    if (!m_model || !selectionModel())
        return;
    const QRect area = rect.normalized();
    const int rows = shownRows();
    const int first = std::max(0, placeAtY(area.top()));
    const int last = std::min(rows - 1, placeAtY(area.bottom()));
    if (first > last) {
        selectionModel()->select(QItemSelection(), command);
        return;
    }
    selectPlaces(first, last, command);
}

void FlexGridView::selectAll()
{
    if (!m_model || !selectionModel() || selectionMode() == SingleSelection || selectionMode() == NoSelection)
        return;
    executeDelayedItemsLayout();
    if (shownRows() > 0)
        selectPlaces(0, shownRows() - 1, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QRegion FlexGridView::visualRegionForSelection(const QItemSelection &) const
{
    // Finding the rows of a selection of many ranges costs more than painting the rows shown.
    return QRegion(viewport()->rect());
}

QModelIndex FlexGridView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers)
{
    const int rows = shownRows();
    if (!m_model || rows == 0)
        return {};
    const QModelIndex current = currentIndex();
    const int column = current.isValid() ? current.column() : m_treeColumn;
    if (!current.isValid())
        return m_model->IndexOfRow(rowAtPlace(0), column);
    const int r = FlexGridModel::RowOfIndex(current);
    int v = placeOfRow(r);
    if (v < 0)
        v = placeOfTop(m_model->TopOf(r));
    const auto [t, child] = locate(v);
    switch (cursorAction) {
    case MoveUp:
    case MovePrevious:
        --v;
        break;
    case MoveDown:
    case MoveNext:
        ++v;
        break;
    case MovePageUp:
        v -= rowsPerPage();
        break;
    case MovePageDown:
        v += rowsPerPage();
        break;
    case MoveHome:
        v = 0;
        break;
    case MoveEnd:
        v = rows - 1;
        break;
    case MoveLeft:
        // Folds an unfolded node, or goes from a child to its node.
        if (child < 0 && isUnfolded(t)) {
            collapse(m_model->IndexOfRow(m_model->TopRow(t)));
            return current;
        }
        if (child >= 0)
            v = placeOfTop(t);
        break;
    case MoveRight:
        // Unfolds a folded node, or goes to its first child.
        if (child < 0 && childrenOf(t) > 0) {
            if (!isUnfolded(t)) {
                expand(m_model->IndexOfRow(m_model->TopRow(t)));
                return current;
            }
            ++v;
        }
        break;
    }
    return m_model->IndexOfRow(rowAtPlace(std::clamp(v, 0, rows - 1)), column);
}

void FlexGridView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QAbstractItemView::currentChanged(current, previous);
    viewport()->update();   // the focus frame spans the whole row
}

void FlexGridView::reset()
{
    forgetUnfolded();
    QAbstractItemView::reset();
    updateGeometries();
    viewport()->update();
}

// The grid's model changes its rows by resets only; any other change is taken as one.
void FlexGridView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    forgetUnfolded();
    QAbstractItemView::rowsInserted(parent, start, end);
}

void FlexGridView::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    forgetUnfolded();
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
}
