#pragma once

#include <QAbstractItemView>

#include <utility>
#include <vector>

class FlexGridModel;
class QHeaderView;

// The grid's view: FlexGridModel's rows as an outline of top-level rows with the children of the
// unfolded ones under them, every row one height, a header of columns on top. It offers the part
// of QTreeView's interface the grid uses.
//
// It reads the model's list of top-level rows instead of walking the model: after a reset it
// lays nothing out, and it asks only the cells it paints for their data. (A tree view makes an
// item of 40 bytes for every top-level row at each reset, which is most of what a refill of a
// million rows would cost.)
//
// The rows shown are numbered by their place: top-level row t is at place t plus the children of
// the unfolded nodes before it. The unfolded nodes are kept as a sorted list of top-level places
// with the running count of their children, so that a place and a row find each other by binary
// search; unfolding many nodes one by one (as a reset's restore does) is collected and sorted once.
class FlexGridView : public QAbstractItemView
{
    Q_OBJECT
public:
    explicit FlexGridView(QWidget *parent = nullptr);

    // Shows a FlexGridModel (another model shows no rows).
    void setModel(QAbstractItemModel *model) override;
    QHeaderView *header() const { return m_header; }

    // The column that holds the outline buttons and the children's indent.
    int treePosition() const { return m_treeColumn; }
    void setTreePosition(int column);
    bool rootIsDecorated() const { return m_rootDecorated; }
    void setRootIsDecorated(bool show);
    int indentation() const;

    bool isExpanded(const QModelIndex &index) const;
    void setExpanded(const QModelIndex &index, bool expanded);
    void expand(const QModelIndex &index) { setExpanded(index, true); }
    void collapse(const QModelIndex &index) { setExpanded(index, false); }
    void expandAll();
    void collapseAll();

    int rowHeight() const;
    int shownRows() const;   // top-level rows and the children of unfolded nodes

    QRect visualRect(const QModelIndex &index) const override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint &point) const override;
    void selectAll() override;
    void reset() override;

signals:
    void expanded(const QModelIndex &index);
    void collapsed(const QModelIndex &index);

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex &index) const override;
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;

    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void forgetUnfolded();
    void settle() const;
    int childrenOf(int t) const;
    bool isUnfolded(int t) const;
    int placeOfTop(int t) const;
    // The row at place v: its top-level place t and its child number (-1: the top-level row).
    std::pair<int, int> locate(int v) const;
    int placeOfRow(int r) const;   // -1 when r is not shown
    int rowAtPlace(int v) const;
    int rowsPerPage() const;
    int topPlace() const;
    int placeAtY(int y) const;
    void selectPlaces(int first, int last, QItemSelectionModel::SelectionFlags command);
    bool toggleAt(const QPoint &pos);

    FlexGridModel *m_model = nullptr;
    QHeaderView *m_header = nullptr;
    int m_treeColumn = 0;
    bool m_rootDecorated = true;
    bool m_inGeometry = false;
    mutable int m_rowHeight = 0;            // 0: to be measured
    std::vector<bool> m_open;               // per top-level place: unfolded
    mutable std::vector<int> m_unfolded;    // unfolded top-level places, sorted, once settled
    mutable std::vector<int> m_before;      // per entry of m_unfolded, children before it; one more at the end
    mutable std::vector<int> m_added;       // unfolded since the last settle
    mutable bool m_unsettled = false;
};
