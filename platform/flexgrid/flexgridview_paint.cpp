// FlexGridView, part two: painting the rows shown, and the mouse on the outline buttons.
#include "flexgridview.h"

#include "flexgridmodel.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <vector>

// ---- painting and the mouse --------------------------------------------------------------

void FlexGridView::paintEvent(QPaintEvent *event)
{
    if (!m_model || m_model->Cols() == 0)
        return;
    QPainter painter(viewport());
    const QRect area = event->rect();
    const int height = rowHeight();
    const int rows = shownRows();
    const int indent = indentation();

    // The columns that reach the area painted, left to right.
    struct Column { int logical, x, width; };
    std::vector<Column> columns;
    for (int s = 0; s < m_header->count(); ++s) {
        const int c = m_header->logicalIndex(s);
        if (m_header->isSectionHidden(c))
            continue;
        const int x = m_header->sectionViewportPosition(c), w = m_header->sectionSize(c);
        if (w > 0 && x + w > area.left() && x <= area.right())
            columns.push_back({c, x, w});
    }
    if (columns.empty())
        return;

    QStyleOptionViewItem base;
    initViewItemOption(&base);
    base.state &= ~QStyle::State_HasFocus;
    const QModelIndex current = currentIndex();
    const int currentRow = current.isValid() ? FlexGridModel::RowOfIndex(current) : -1;
    QItemSelectionModel *selection = selectionModel();
    const int firstPlace = std::max(0, placeAtY(area.top()));
    for (int v = firstPlace, y = (v - topPlace()) * height; v < rows && y <= area.bottom(); ++v, y += height) {
        const auto [t, child] = locate(v);
        const int r = m_model->TopRow(t) + 1 + child;
        const QModelIndex first = m_model->IndexOfRow(r, 0);
        const bool hasChildren = child < 0 && childrenOf(t) > 0;
        const int depth = child < 0 ? 0 : 1;
        for (size_t i = 0; i < columns.size(); ++i) {
            const Column &col = columns[i];
            const QModelIndex index = first.siblingAtColumn(col.logical);
            QStyleOptionViewItem option = base;
            option.rect = QRect(col.x, y, col.width, height);
            if (selection && selection->isSelected(index))
                option.state |= QStyle::State_Selected;
            option.viewItemPosition = columns.size() == 1 ? QStyleOptionViewItem::OnlyOne
                                      : i == 0            ? QStyleOptionViewItem::Beginning
                                      : i + 1 == columns.size() ? QStyleOptionViewItem::End
                                                                : QStyleOptionViewItem::Middle;
            if (col.logical == m_treeColumn) {
                // The indent and the outline button, in the row's background.
                const int width = indent * (depth + (m_rootDecorated ? 1 : 0));
                QStyleOptionViewItem branch = option;
                branch.rect.setWidth(width);
                style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &branch, &painter, this);
                if (m_rootDecorated) {
                    QStyleOption button;
                    button.initFrom(this);
                    button.rect = QRect(col.x + indent * depth, y, indent, height);
                    button.state = (option.state & (QStyle::State_Selected | QStyle::State_Enabled)) | QStyle::State_Item;
                    if (hasChildren)
                        button.state |= QStyle::State_Children | (isUnfolded(t) ? QStyle::State_Open : QStyle::State_None);
                    if (child < 0 ? t + 1 < m_model->TopCount() : child + 1 < childrenOf(t))
                        button.state |= QStyle::State_Sibling;
                    style()->drawPrimitive(QStyle::PE_IndicatorBranch, &button, &painter, this);
                }
                option.rect.setLeft(option.rect.left() + width);
            }
            itemDelegateForIndex(index)->paint(&painter, option, index);
        }
        if (r == currentRow && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(base);
            focus.rect = QRect(columns.front().x, y, columns.back().x + columns.back().width - columns.front().x, height);
            focus.state |= QStyle::State_KeyboardFocusChange;
            const bool selected = selection && selection->isSelected(first);
            focus.backgroundColor = palette().color(selected ? QPalette::Highlight : QPalette::Base);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
    }
}

// A press on a node's button folds or unfolds it and selects nothing, as in a tree view.
bool FlexGridView::toggleAt(const QPoint &pos)
{
    if (!m_model || !m_rootDecorated)
        return false;
    const int v = placeAtY(pos.y());
    if (v < 0 || v >= shownRows())
        return false;
    const auto [t, child] = locate(v);
    const int x = m_header->sectionViewportPosition(m_treeColumn);
    if (child >= 0 || childrenOf(t) == 0 || pos.x() < x || pos.x() >= x + indentation())
        return false;
    setExpanded(m_model->IndexOfRow(m_model->TopRow(t)), !isUnfolded(t));
    return true;
}

void FlexGridView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && toggleAt(event->position().toPoint())) {
        event->accept();
        return;
    }
    QAbstractItemView::mousePressEvent(event);
}

void FlexGridView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_rowHeight = 0;
        updateGeometries();
        viewport()->update();
    }
    QAbstractItemView::changeEvent(event);
}
