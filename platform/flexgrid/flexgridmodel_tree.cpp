// FlexGridModel, part two: the outline built over the flat rows, sorting by groups, and the
// QAbstractItemModel face that item views read.
#include "flexgridmodel.h"

#include <QString>

#include <algorithm>

// ---- outline -----------------------------------------------------------------------------

bool FlexGridModel::IsSubtotal(int r) const
{
    return validRow(r) && (m_meta[size_t(r)].flags & kSubtotal);
}

void FlexGridModel::SetIsSubtotal(int r, bool node)
{
    if (!validRow(r) || IsSubtotal(r) == node)
        return;
    ResetScope scope(this);
    // A top-level row that has no children and that the row after it would not join keeps the
    // outline as it is whatever its flag (the filler rows, say).
    const bool alone = r + 1 >= Rows() || m_meta[size_t(r) + 1].level <= m_meta[size_t(r)].level;
    const bool keeps = !m_structDirty && alone && topIndexOf(r) >= 0;
    m_meta[size_t(r)].flags = node ? quint8(m_meta[size_t(r)].flags | kSubtotal)
                                   : quint8(m_meta[size_t(r)].flags & ~kSubtotal);
    if (r == Rows() - 1)
        placeLastRow();
    else if (!keeps)
        structureChanged();
}

int FlexGridModel::Level(int r) const
{
    return validRow(r) ? m_meta[size_t(r)].level : 0;
}

void FlexGridModel::SetLevel(int r, int level)
{
    level = std::clamp(level, -128, 127);
    if (!validRow(r) || Level(r) == level)
        return;
    ResetScope scope(this);
    m_meta[size_t(r)].level = qint8(level);
    if (r == Rows() - 1)
        placeLastRow();
    else
        structureChanged();
}

void FlexGridModel::structureChanged()
{
    m_structDirty = true;
}

// Keeps a current outline current when only the last row was added or changed its shape: what
// comes before a row decides where it goes, and nothing comes after the last.
void FlexGridModel::placeLastRow()
{
    if (m_structDirty)
        return;
    const int r = Rows() - 1;
    if (!m_topRows.empty() && m_topRows.back() >= r)
        m_topRows.pop_back();
    if (r <= 0)
        return;
    if (!m_topRows.empty()) {
        const RowMeta &node = m_meta[size_t(m_topRows.back())];
        if ((node.flags & kSubtotal) && m_meta[size_t(r)].level > node.level)
            return;   // a child of that node, as the rows between are
    }
    m_topRows.push_back(r);
}

// A row is a child of the nearest node before it when its level is greater than the node's and
// every row between is such a child as well; all other data rows are top-level items.
void FlexGridModel::buildStructure() const
{
    m_topRows.clear();
    int node = -1;
    int nodeLevel = 0;
    const RowMeta *meta = m_meta.data();
    const int rows = Rows();
    for (int r = 1; r < rows; ++r) {
        const RowMeta info = meta[r];
        if (node >= 0 && info.level > nodeLevel)
            continue;
        m_topRows.push_back(r);
        node = (info.flags & kSubtotal) ? r : -1;
        nodeLevel = info.level;
    }
    m_structDirty = false;
}

int FlexGridModel::topIndexOf(int r) const
{
    ensureStructure();
    const auto it = std::upper_bound(m_topRows.cbegin(), m_topRows.cend(), r);
    if (it == m_topRows.cbegin() || *(it - 1) != r)
        return -1;
    return int(it - m_topRows.cbegin()) - 1;
}

int FlexGridModel::ChildCount(int r) const
{
    if (r <= 0 || r >= Rows())
        return 0;
    const int t = topIndexOf(r);
    return t < 0 ? 0 : topEnd(size_t(t)) - r - 1;
}

std::vector<int> FlexGridModel::NodesWithChildren() const
{
    ensureStructure();
    std::vector<int> nodes;
    for (size_t t = 0; t < m_topRows.size(); ++t) {
        if (topEnd(t) - m_topRows[t] > 1)
            nodes.push_back(m_topRows[t]);
    }
    return nodes;
}

int FlexGridModel::TopOf(int r) const
{
    ensureStructure();
    if (r <= 0 || r >= Rows())
        return -1;
    const auto it = std::upper_bound(m_topRows.cbegin(), m_topRows.cend(), r);
    return it == m_topRows.cbegin() ? -1 : int(it - m_topRows.cbegin()) - 1;
}

QModelIndex FlexGridModel::IndexOfRow(int r, int c) const
{
    if (c < 0 || c >= m_cols)
        return {};
    const int t = TopOf(r);
    if (t < 0)
        return {};
    const int top = m_topRows[size_t(t)];
    return createIndex(top == r ? t : r - top - 1, c, quintptr(r));
}

std::vector<int> FlexGridModel::SortGroups(int c, bool ascending)
{
    std::vector<int> perm(m_refs.size());
    for (size_t i = 0; i < perm.size(); ++i)
        perm[i] = int(i);
    if (c < 0 || c >= m_cols || Rows() <= 2)
        return perm;
    ensureStructure();
    ResetScope scope(this);

    struct Key
    {
        QString text;
        double number = 0;
        bool numeric = false;
    };
    const size_t groups = m_topRows.size();
    std::vector<Key> keys(groups);
    for (size_t g = 0; g < groups; ++g) {
        keys[g].text = DisplayText(m_topRows[g], c).toCaseFolded();
        // Only texts that start like a number are worth the conversion.
        const QChar first = keys[g].text.isEmpty() ? QChar() : keys[g].text.front();
        if (first.isDigit() || first == QLatin1Char('-') || first == QLatin1Char('+') || first == QLatin1Char('.'))
            keys[g].number = keys[g].text.toDouble(&keys[g].numeric);
    }
    // Numbers compare as numbers when both sides are numbers, everything else as folded text.
    auto less = [&keys](size_t a, size_t b) {
        const Key &x = keys[a];
        const Key &y = keys[b];
        if (x.numeric && y.numeric)
            return x.number < y.number;
        return QString::compare(x.text, y.text, Qt::CaseSensitive) < 0;
    };
    std::vector<size_t> order(groups);
    for (size_t g = 0; g < groups; ++g)
        order[g] = g;
    if (ascending)
        std::stable_sort(order.begin(), order.end(), less);
    else
        std::stable_sort(order.begin(), order.end(), [&less](size_t a, size_t b) { return less(b, a); });

    std::vector<quint32> refs;
    refs.reserve(m_refs.size());
    std::vector<RowMeta> meta;
    meta.reserve(m_meta.size());
    auto take = [&](int r) {
        perm[size_t(r)] = int(refs.size());
        refs.push_back(m_refs[size_t(r)]);
        meta.push_back(m_meta[size_t(r)]);
    };
    take(0);
    for (size_t g : order) {
        const int first = m_topRows[g];
        const int end = g + 1 < groups ? m_topRows[g + 1] : Rows();
        for (int r = first; r < end; ++r)
            take(r);
    }
    m_refs.assign(refs.begin(), refs.end());
    m_meta.assign(meta.begin(), meta.end());
    structureChanged();
    if (!m_cellColours.isEmpty()) {
        QHash<quint64, quint16> moved;
        for (auto it = m_cellColours.cbegin(); it != m_cellColours.cend(); ++it)
            moved.insert(cellKey(perm[size_t(it.key() >> 32)], int(it.key() & 0xFFFFFFFFu)), it.value());
        m_cellColours = std::move(moved);
    }
    return perm;
}

// ---- QAbstractItemModel ------------------------------------------------------------------

QModelIndex FlexGridModel::index(int row, int column, const QModelIndex &parent) const
{
    ensureStructure();
    if (row < 0 || column < 0 || column >= m_cols)
        return {};
    if (!parent.isValid()) {
        if (size_t(row) >= m_topRows.size())
            return {};
        return createIndex(row, column, quintptr(m_topRows[size_t(row)]));
    }
    const int node = RowOfIndex(parent);
    if (parent.column() != 0 || !isTopIndex(parent.row(), node) || row >= topEnd(size_t(parent.row())) - node - 1)
        return {};
    return createIndex(row, column, quintptr(node + 1 + row));
}

QModelIndex FlexGridModel::parent(const QModelIndex &child) const
{
    ensureStructure();
    const int r = RowOfIndex(child);
    if (r <= 0 || r >= Rows() || isTopIndex(child.row(), r))
        return {};
    const auto it = std::upper_bound(m_topRows.cbegin(), m_topRows.cend(), r);
    if (it == m_topRows.cbegin())
        return {};
    return createIndex(int(it - m_topRows.cbegin()) - 1, 0, quintptr(*(it - 1)));
}

QModelIndex FlexGridModel::sibling(int row, int column, const QModelIndex &idx) const
{
    if (idx.isValid() && row == idx.row() && column >= 0 && column < m_cols)
        return createIndex(row, column, idx.internalId());
    return QAbstractItemModel::sibling(row, column, idx);
}

int FlexGridModel::rowCount(const QModelIndex &parent) const
{
    ensureStructure();
    if (!parent.isValid())
        return int(m_topRows.size());
    const int node = RowOfIndex(parent);
    if (parent.column() != 0 || !isTopIndex(parent.row(), node))
        return 0;
    return topEnd(size_t(parent.row())) - node - 1;
}

int FlexGridModel::columnCount(const QModelIndex &) const
{
    return m_cols;
}

bool FlexGridModel::hasChildren(const QModelIndex &parent) const
{
    ensureStructure();
    if (!parent.isValid())
        return !m_topRows.empty();
    const int r = int(parent.internalId());
    const int j = parent.row();
    return parent.column() == 0 && isTopIndex(j, r) && topEnd(size_t(j)) - r > 1;
}

QVariant FlexGridModel::data(const QModelIndex &index, int role) const
{
    const int r = RowOfIndex(index);
    const int c = index.column();
    if (!validCell(r, c) || r == 0)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return DisplayText(r, c);
    case Qt::ForegroundRole: {
        const QColor colour = ForeColor(r, c);
        return colour.isValid() ? QVariant(colour) : QVariant();
    }
    case GreyTextRole:
        return IsGreyText(r, c);
    case Qt::TextAlignmentRole: {
        const int a = m_alignments[size_t(c)];
        const Qt::Alignment h = (a >= 3 && a <= 5) ? Qt::AlignHCenter : (a >= 6 && a <= 8) ? Qt::AlignRight : Qt::AlignLeft;
        return QVariant::fromValue(h | Qt::AlignVCenter);
    }
    default:
        return {};
    }
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_cols || Rows() == 0)
        return {};
    if (role == Qt::DisplayRole)
        return Text(0, section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags FlexGridModel::flags(const QModelIndex &index) const
{
    const int r = RowOfIndex(index);
    if (r <= 0 || r >= Rows())
        return Qt::NoItemFlags;
    // Telling the view which rows can never unfold keeps collapse and expand from creating a
    // persistent index per row. The view asks twice for every top-level row at each layout.
    ensureStructure();
    const int j = index.row();
    if (index.column() == 0 && isTopIndex(j, r) && topEnd(size_t(j)) - r > 1)
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
