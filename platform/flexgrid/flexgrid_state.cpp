// FlexGrid, part two: the batched model reset behind Redraw, and the current row, selection
// and unfolded nodes that are carried over it by row number.
#include "flexgrid.h"
#include "twips.h"

#include "flexgridmodel.h"

#include <QHeaderView>
#include <QItemSelectionModel>

#include <algorithm>

// ---- redraw and the one model reset per batch --------------------------------------------

void FlexGrid::SetRedraw(bool redraw)
{
    if (redraw == m_redraw)
        return;
    m_redraw = redraw;
    if (!redraw) {
        m_view->setUpdatesEnabled(false);
        return;
    }
    if (m_hold == 0)
        flush();
    m_view->setUpdatesEnabled(true);
}

void FlexGrid::openReset()
{
    if (m_resetOpen)
        return;
    m_shadowCurrent = Row();
    m_col = Col();
    m_selAtOpen = m_selCount > 0;
    m_model->BeginReset();
    m_resetOpen = true;
}

void FlexGrid::closeResetIfLive()
{
    if (!suspended())
        flush();
}

void FlexGrid::flush()
{
    if (!m_resetOpen)
        return;
    m_resetOpen = false;
    m_model->EndReset();
    applyColumns();
    applyShadow();
}

void FlexGrid::applyColumns()
{
    m_applying = true;
    QHeaderView *header = m_view->header();
    for (int c = 0; c < Cols(); ++c) {
        header->setSectionHidden(c, m_hidden[size_t(c)]);
        if (!m_hidden[size_t(c)])
            header->resizeSection(c, twips::ToPixels(m_widthTw[size_t(c)]));
    }
    m_view->setTreePosition(treeColumn());
    m_applying = false;
}

// Puts the selection, current row and unfolded nodes kept over a reset back into the view.
void FlexGrid::applyShadow()
{
    m_applying = true;
    const QList<int> expanded = m_expanded.values();
    for (int r : expanded) {
        if (m_model->ChildCount(r) > 0)
            m_view->setExpanded(m_model->IndexOfRow(r), true);
        else
            m_expanded.remove(r);
    }

    QItemSelectionModel *sm = m_view->selectionModel();
    compactSelected();
    if (!m_selOrder.empty() && Cols() > 0) {
        std::vector<int> rows = m_selOrder;
        std::sort(rows.begin(), rows.end());
        QItemSelection selection;
        const int lastCol = Cols() - 1;
        for (size_t i = 0; i < rows.size();) {
            size_t j = i;
            const QModelIndex first = m_model->IndexOfRow(rows[i]);
            while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1
                   && m_model->parent(m_model->IndexOfRow(rows[j + 1])) == first.parent())
                ++j;
            selection.select(first, m_model->IndexOfRow(rows[j], lastCol));
            i = j + 1;
        }
        sm->select(selection, QItemSelectionModel::Select);
    }
    if (m_shadowCurrent > 0 && m_shadowCurrent < Rows())
        sm->setCurrentIndex(m_model->IndexOfRow(m_shadowCurrent, viewColumn(m_col)), QItemSelectionModel::NoUpdate);
    // The top row first, then just far enough to show the cell asked for.
    if (m_pendingTop) {
        SetTopRow(*m_pendingTop);
        m_pendingTop.reset();
    }
    if (m_pendingShow) {
        ShowCell(m_pendingShow->first, m_pendingShow->second);
        m_pendingShow.reset();
    }
    m_applying = false;
    if (m_selAtOpen || m_selCount > 0)
        emit SelChange();
}

void FlexGrid::pruneShadow(int rows)
{
    compactSelected();
    if (!m_selOrder.empty() && *std::max_element(m_selOrder.begin(), m_selOrder.end()) >= rows) {
        std::vector<int> kept;
        for (int r : m_selOrder) {
            if (r < rows)
                kept.push_back(r);
        }
        clearSelectedList();
        for (int r : kept)
            addSelected(r);
    }
    for (auto it = m_expanded.begin(); it != m_expanded.end();) {
        if (*it >= rows)
            it = m_expanded.erase(it);
        else
            ++it;
    }
    if (m_shadowCurrent >= rows)
        m_shadowCurrent = 0;
    if (m_pendingShow && m_pendingShow->first >= rows)
        m_pendingShow.reset();
    if (m_pendingTop && *m_pendingTop >= rows)
        m_pendingTop.reset();
}

void FlexGrid::remapShadow(const std::vector<int> &newRowOf)
{
    auto map = [&newRowOf](int r) { return r >= 0 && size_t(r) < newRowOf.size() ? newRowOf[size_t(r)] : r; };
    compactSelected();
    const std::vector<int> order = m_selOrder;
    clearSelectedList();
    for (int r : order)
        addSelected(map(r));
    QSet<int> expanded;
    for (int r : std::as_const(m_expanded))
        expanded.insert(map(r));
    m_expanded = std::move(expanded);
    m_shadowCurrent = map(m_shadowCurrent);
    if (m_pendingShow)
        m_pendingShow->first = map(m_pendingShow->first);
}

// ---- current row and selection -----------------------------------------------------------

int FlexGrid::Row() const
{
    if (m_resetOpen)
        return m_shadowCurrent;
    return FlexGridModel::RowOfIndex(m_view->currentIndex());
}

void FlexGrid::SetRow(int row)
{
    if (row < 0 || row >= Rows())
        return;
    if (m_resetOpen) {
        clearSelectedList();
        if (row > 0)
            addSelected(row);
        m_shadowCurrent = row;
        return;
    }
    QItemSelectionModel *sm = m_view->selectionModel();
    if (row == 0) {
        sm->clear();
        clearSelectedList();
        return;
    }
    sm->setCurrentIndex(m_model->IndexOfRow(row, viewColumn(Col())),
                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int FlexGrid::Col() const
{
    if (m_resetOpen)
        return m_col;
    const QModelIndex current = m_view->currentIndex();
    return current.isValid() ? current.column() : m_col;
}

void FlexGrid::SetCol(int col)
{
    if (col < 0 || col >= Cols())
        return;
    m_col = col;
    const QModelIndex current = m_view->currentIndex();
    if (!m_resetOpen && current.isValid())
        m_view->selectionModel()->setCurrentIndex(current.siblingAtColumn(viewColumn(col)), QItemSelectionModel::NoUpdate);
}

int FlexGrid::SelectedRows() const
{
    return m_selCount;
}

int FlexGrid::SelectedRow(int n) const
{
    compactSelected();
    return n >= 0 && size_t(n) < m_selOrder.size() ? m_selOrder[size_t(n)] : -1;
}

bool FlexGrid::IsSelected(int row) const
{
    return m_selPos.contains(row);
}

void FlexGrid::SetIsSelected(int row, bool selected)
{
    if (row <= 0 || row >= Rows())
        return;
    if (m_resetOpen) {
        selected ? addSelected(row) : removeSelected(row);
        return;
    }
    m_view->selectionModel()->select(m_model->IndexOfRow(row),
                                     (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect)
                                         | QItemSelectionModel::Rows);
}

void FlexGrid::addSelected(int row)
{
    if (row <= 0 || m_selPos.contains(row))
        return;
    m_selPos.insert(row, int(m_selOrder.size()));
    m_selOrder.push_back(row);
    ++m_selCount;
}

void FlexGrid::removeSelected(int row)
{
    const auto it = m_selPos.find(row);
    if (it == m_selPos.end())
        return;
    m_selOrder[size_t(it.value())] = -1;
    m_selPos.erase(it);
    --m_selCount;
    if (m_selOrder.size() > 64 && size_t(m_selCount) * 2 < m_selOrder.size())
        compactSelected();
}

void FlexGrid::clearSelectedList()
{
    m_selOrder.clear();
    m_selPos.clear();
    m_selCount = 0;
}

void FlexGrid::compactSelected() const
{
    if (m_selOrder.size() == size_t(m_selCount))
        return;
    std::erase(m_selOrder, -1);
    m_selPos.clear();
    for (size_t i = 0; i < m_selOrder.size(); ++i)
        m_selPos.insert(m_selOrder[i], int(i));
}

void FlexGrid::onSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    if (m_applying)
        return;
    for (const QItemSelectionRange &range : deselected) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            removeSelected(FlexGridModel::RowOfIndex(m_model->index(row, 0, range.parent())));
    }
    for (const QItemSelectionRange &range : selected) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            addSelected(FlexGridModel::RowOfIndex(m_model->index(row, 0, range.parent())));
    }
    emit SelChange();
}
