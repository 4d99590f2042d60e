#include "flexgrid.h"
#include "twips.h"

#include "flexgriddelegate.h"
#include "flexgridmodel.h"
#include "virtualkey.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kDefaultWidthPx = 64;
} // namespace

FlexGrid::FlexGrid(QWidget *parent) : QWidget(parent)
{
    // The view first: children are deleted in creation order and the model must outlive it.
    m_view = new FlexGridView(this);
    m_model = new FlexGridModel(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setFocusProxy(m_view);

    m_view->setModel(m_model);
    m_view->setItemDelegate(new FlexGridDelegate(m_view));
    m_model->SetPaletteSource(m_view);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setRootIsDecorated(false);
    m_view->viewport()->setMouseTracking(true);

    QHeaderView *header = m_view->header();
    header->setSectionsMovable(false);
    header->setSectionsClickable(true);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(1);
    header->setDefaultSectionSize(kDefaultWidthPx);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->viewport()->setMouseTracking(true);
    // The header never shows the rows' selection, and asking the view's selection model whether
    // a whole column is selected costs a pass over every selected range per section and paint
    // (seconds with thousands of rows selected one by one): it gets a selection of its own.
    header->setSelectionModel(new QItemSelectionModel(m_model, header));

    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, &FlexGrid::onSelectionChanged);
    connect(header, &QHeaderView::sectionClicked, this, &FlexGrid::onHeaderClicked);
    connect(header, &QHeaderView::sectionResized, this, [this](int col, int, int size) {
        // A width the user dragged; the twips set by code stay exact while the pixels agree.
        if (!m_applying && col >= 0 && size_t(col) < m_widthTw.size() && !m_hidden[size_t(col)] && size > 0
            && twips::ToPixels(m_widthTw[size_t(col)]) != size)
            m_widthTw[size_t(col)] = twips::FromPixels(size);
    });
    connect(m_view, &FlexGridView::expanded, this, [this](const QModelIndex &index) {
        if (!m_applying)
            m_expanded.insert(FlexGridModel::RowOfIndex(index));
    });
    connect(m_view, &FlexGridView::collapsed, this, [this](const QModelIndex &index) {
        if (!m_applying)
            m_expanded.remove(FlexGridModel::RowOfIndex(index));
    });
    // Emitted by the view after its own click handling, and safe against handlers that reload.
    connect(m_view, &QAbstractItemView::doubleClicked, this, [this] { emit DblClick(); });

    m_rowsArea = m_view->viewport();
    m_headerArea = header->viewport();
    m_view->installEventFilter(this);
    m_rowsArea->installEventFilter(this);
    m_headerArea->installEventFilter(this);

    SetRows(1);
    SetCols(1);
}

FlexGrid::~FlexGrid()
{
    // Take the view down while our members still exist: it may signal while it goes, and its
    // parts must not reach the event filter half-destroyed.
    m_view->removeEventFilter(this);
    m_rowsArea->removeEventFilter(this);
    m_headerArea->removeEventFilter(this);
    m_model->SetPaletteSource(nullptr);
    delete m_view;
    m_view = nullptr;
}

// ---- rows, columns, text -----------------------------------------------------------------

int FlexGrid::Rows() const
{
    return m_model->Rows();
}

void FlexGrid::SetRows(int rows)
{
    if (rows < 0 || rows == Rows())
        return;
    openReset();
    m_model->SetRows(rows);
    pruneShadow(rows);
    closeResetIfLive();
}

int FlexGrid::Cols() const
{
    return m_model->Cols();
}

void FlexGrid::SetCols(int cols)
{
    if (cols < 0 || cols == Cols())
        return;
    openReset();
    m_model->SetCols(cols);
    m_widthTw.resize(size_t(cols), twips::FromPixels(kDefaultWidthPx));
    m_hidden.resize(size_t(cols), false);
    if (m_col >= cols)
        m_col = 0;
    closeResetIfLive();
}

QString FlexGrid::TextMatrix(int row, int col) const
{
    return m_model->Text(row, col);
}

void FlexGrid::SetTextMatrix(int row, int col, const QString &text)
{
    m_model->SetText(row, col, text);
}

void FlexGrid::AddItem(std::initializer_list<QUtf8StringView> cells)
{
    openReset();
    m_model->AppendRow(cells);
    closeResetIfLive();
}

void FlexGrid::AddItem(const QList<QString> &cells)
{
    openReset();
    m_model->AppendRow(cells);
    closeResetIfLive();
}

void FlexGrid::AddSourceRows(const std::shared_ptr<const FlexGridRowSource> &source, std::span<const FlexGridSourceRow> rows)
{
    if (!source || rows.empty())
        return;
    openReset();
    m_model->AppendSourceRows(source, rows);
    closeResetIfLive();
}

void FlexGrid::Clear()
{
    openReset();
    m_model->ClearText();
    closeResetIfLive();
}

QColor FlexGrid::CellForeColor(int row, int col) const
{
    return m_model->ForeColor(row, col);
}

void FlexGrid::SetCellForeColor(int row1, int col1, int row2, int col2, const QColor &colour)
{
    m_model->SetForeColor(row1, col1, row2, col2, colour);
}

void FlexGrid::SetCellForeColor(int row1, int col1, int row2, int col2, quint32 oleColour)
{
    m_model->SetForeColorOle(row1, col1, row2, col2, oleColour);
}

// ---- columns -----------------------------------------------------------------------------

int FlexGrid::treeColumn() const
{
    for (int c = 0; c < Cols(); ++c) {
        if (!m_hidden[size_t(c)])
            return c;
    }
    return 0;
}

int FlexGrid::viewColumn(int col) const
{
    return col >= 0 && col < Cols() && !m_hidden[size_t(col)] ? col : treeColumn();
}

bool FlexGrid::ColHidden(int col) const
{
    return col >= 0 && col < Cols() && m_hidden[size_t(col)];
}

void FlexGrid::SetColHidden(int col, bool hidden)
{
    if (col < 0 || col >= Cols())
        return;
    m_hidden[size_t(col)] = hidden;
    if (!m_resetOpen)
        applyColumns();
}

int FlexGrid::ColWidth(int col) const
{
    return col >= 0 && col < Cols() ? m_widthTw[size_t(col)] : 0;
}

void FlexGrid::SetColWidth(int col, int twips)
{
    if (col < 0 || col >= Cols())
        return;
    m_widthTw[size_t(col)] = std::max(0, twips);
    if (!m_resetOpen)
        applyColumns();
}

// Measures only the few longest texts the model keeps per column, so that it stays quick on
// very long lists; byte length picks them, the font decides among them.
void FlexGrid::AutoSize(int col1, int col2)
{
    if (col1 > col2)
        std::swap(col1, col2);
    col1 = std::max(col1, 0);
    col2 = std::min(col2, Cols() - 1);
    const QFontMetrics fm(m_view->font());
    const int margin = 2 * (m_view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1) + 6;
    const int tree = treeColumn();
    std::vector<int> cols;
    for (int c = col1; c <= col2; ++c)
        if (!m_hidden[size_t(c)])
            cols.push_back(c);
    const std::vector<QList<QString>> longest = m_model->LongestTexts(cols);
    for (size_t i = 0; i < cols.size(); ++i) {
        const int c = cols[i];
        int width = 0;
        for (const QString &text : longest[i])
            width = std::max(width, fm.horizontalAdvance(FlexGridDelegate::VisibleText(text)));
        width += margin;
        if (c == tree)
            width += m_view->indentation() * (m_outlineBar != 0 ? 2 : 1);
        width = std::max(width, m_view->header()->sectionSizeHint(c));
        m_widthTw[size_t(c)] = twips::FromPixels(width);
    }
    if (!m_resetOpen)
        applyColumns();
}

int FlexGrid::ColAlignment(int col) const
{
    return m_model->Alignment(col);
}

void FlexGrid::SetColAlignment(int col, int alignment)
{
    m_model->SetAlignment(col, alignment);
}

QString FlexGrid::ColComboList(int col) const
{
    return m_model->ComboList(col);
}

void FlexGrid::SetColComboList(int col, const QString &list)
{
    m_model->SetComboList(col, list);
}

// ---- outline -----------------------------------------------------------------------------

void FlexGrid::SetOutlineBar(int bar)
{
    m_outlineBar = bar;
    m_view->setRootIsDecorated(bar != 0);
}

bool FlexGrid::IsSubtotal(int row) const
{
    return m_model->IsSubtotal(row);
}

void FlexGrid::SetIsSubtotal(int row, bool node)
{
    if (row <= 0 || row >= Rows() || IsSubtotal(row) == node)
        return;
    openReset();
    m_model->SetIsSubtotal(row, node);
    closeResetIfLive();
}

int FlexGrid::RowOutlineLevel(int row) const
{
    return m_model->Level(row);
}

void FlexGrid::SetRowOutlineLevel(int row, int level)
{
    if (row <= 0 || row >= Rows() || RowOutlineLevel(row) == level)
        return;
    openReset();
    m_model->SetLevel(row, level);
    closeResetIfLive();
}

void FlexGrid::Outline(int level)
{
    const bool fold = level == 0;
    if (m_resetOpen) {
        m_expanded.clear();
        if (!fold) {
            for (int r : m_model->NodesWithChildren())
                m_expanded.insert(r);
        }
        return;
    }
    m_applying = true;
    m_expanded.clear();
    if (fold) {
        m_view->collapseAll();
    } else {
        m_view->expandAll();
        for (int r : m_model->NodesWithChildren())
            m_expanded.insert(r);
    }
    m_applying = false;
}

bool FlexGrid::IsCollapsed(int row) const
{
    return m_model->ChildCount(row) > 0 && !m_expanded.contains(row);
}

// ---- position, scrolling, sorting --------------------------------------------------------

int FlexGrid::MouseRow() const
{
    switch (m_mouseArea) {
    case MouseArea::Header:
        return 0;
    case MouseArea::Rows: {
        // Any column finds the row; use the tree column so that a pointer right of the last
        // column still counts.
        const QHeaderView *header = m_view->header();
        const int tree = treeColumn();
        const QPoint probe(header->sectionViewportPosition(tree) + header->sectionSize(tree) / 2, m_mousePos.y());
        const QModelIndex index = m_view->indexAt(probe);
        return index.isValid() ? FlexGridModel::RowOfIndex(index) : -1;
    }
    case MouseArea::None:
        break;
    }
    return -1;
}

void FlexGrid::ShowCell(int row, int col)
{
    if (row <= 0 || row >= Rows())
        return;
    if (m_resetOpen) {
        m_pendingShow = std::make_pair(row, col);
        return;
    }
    m_view->scrollTo(m_model->IndexOfRow(row, viewColumn(col)));
}

void FlexGrid::SetTopRow(int row)
{
    if (row <= 0 || row >= Rows())
        return;
    if (m_resetOpen) {
        m_pendingTop = row;
        return;
    }
    m_view->scrollTo(m_model->IndexOfRow(row, viewColumn(m_col)), QAbstractItemView::PositionAtTop);
}

void FlexGrid::ClearSortIndicator()
{
    m_sortCol = -1;
    m_sortAscending = true;
    m_view->header()->setSortIndicatorShown(false);
    m_view->header()->setSortIndicator(-1, Qt::AscendingOrder);
}

int FlexGrid::TopRow() const
{
    if (!m_resetOpen) {
        const QHeaderView *header = m_view->header();
        const int tree = treeColumn();
        const QModelIndex index = m_view->indexAt(QPoint(header->sectionViewportPosition(tree) + 1, 1));
        if (index.isValid())
            return FlexGridModel::RowOfIndex(index);
    }
    return Rows() > 1 ? 1 : 0;
}

void FlexGrid::onHeaderClicked(int col)
{
    Sort(col, col == m_sortCol ? !m_sortAscending : true);
}

void FlexGrid::Sort(int col, bool ascending)
{
    if (col < 0 || col >= Cols())
        return;
    int order = ascending ? 1 : 2;
    // Hold the reset open over both events so that what their handlers change lands with the
    // sort in one reset.
    ++m_hold;
    emit BeforeSort(col, order);
    if (order == 0) {
        --m_hold;
        closeResetIfLive();
        return;
    }
    const bool up = order % 2 == 1;
    openReset();
    remapShadow(m_model->SortGroups(col, up));
    emit AfterSort(col, order);
    --m_hold;
    m_sortCol = col;
    m_sortAscending = up;
    m_view->header()->setSortIndicatorShown(true);
    m_view->header()->setSortIndicator(col, up ? Qt::AscendingOrder : Qt::DescendingOrder);
    closeResetIfLive();
}

// ---- fonts -------------------------------------------------------------------------------

QFont FlexGrid::Font() const
{
    return font();
}

void FlexGrid::SetFont(const QFont &font)
{
    setFont(font);
}

QString FlexGrid::FontName() const
{
    return font().family();
}

void FlexGrid::SetFontName(const QString &name)
{
    QFont f = font();
    f.setFamily(name);
    setFont(f);
}

double FlexGrid::FontSize() const
{
    return font().pointSizeF();
}

void FlexGrid::SetFontSize(double points)
{
    if (points <= 0)
        return;
    QFont f = font();
    f.setPointSizeF(points);
    setFont(f);
}

// ---- events ------------------------------------------------------------------------------

bool FlexGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view)
        return keyEvent(event) || QWidget::eventFilter(watched, event);
    const bool rows = watched == m_rowsArea;
    if (rows || watched == m_headerArea) {
        switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            m_mouseArea = rows ? MouseArea::Rows : MouseArea::Header;
            m_mousePos = static_cast<QMouseEvent *>(event)->position().toPoint();
            break;
        case QEvent::Leave:
            m_mouseArea = MouseArea::None;
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Key down, then the character (Enter gives 13), then the view's own handling; a handler that
// sets the code to 0 cancels the key, as on the original control.
bool FlexGrid::keyEvent(QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const int shift = ShiftMaskFromModifiers(key->modifiers());
    const int vk = QtKeyToVirtualKey(key->key(), key->modifiers());
    if (event->type() == QEvent::KeyRelease) {
        if (key->isAutoRepeat() || vk == 0)
            return false;
        int code = vk;
        emit KeyUp(code, shift);
        return code == 0;
    }
    if (vk != 0) {
        int code = vk;
        emit KeyDownEvent(code, shift);
        if (code == 0)
            return true;
    }
    int ascii = 0;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        ascii = 13;
    else if (!key->text().isEmpty() && key->text().at(0).unicode() != 0x7F)
        ascii = key->text().at(0).unicode();
    if (ascii != 0) {
        emit KeyPress(ascii);
        if (ascii == 0)
            return true;
    }
    return false;
}
