#pragma once

#include "flexgridrowsource.h"
#include "flexgridview.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QPoint>
#include <QSet>
#include <QString>
#include <QUtf8StringView>
#include <QWidget>

#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class FlexGridModel;
class QItemSelection;

// The page's grid: rows and columns by number, row 0 being the header row whose cells are the
// column captions (one fixed row), outline nodes that fold the rows after them, whole-row
// multiple selection, and the grid events as signals. Widths are in twips (15 per pixel).
//
// Redraw(false) suspends painting and collects every structural change into one model reset,
// made when Redraw is set back to true; selection, current row and unfolded nodes are carried
// over that reset (and over sorts) by row number.
class FlexGrid : public QWidget
{
    Q_OBJECT
    Q_CLASSINFO("TypeName", "VSFlexGrid")
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)
    Q_PROPERTY(QString FontName READ FontName WRITE SetFontName)
    Q_PROPERTY(double FontSize READ FontSize WRITE SetFontSize)
    Q_PROPERTY(bool Redraw READ Redraw WRITE SetRedraw)
    Q_PROPERTY(int Rows READ Rows WRITE SetRows)
    Q_PROPERTY(int Cols READ Cols WRITE SetCols)
    Q_PROPERTY(int Row READ Row WRITE SetRow)
    Q_PROPERTY(int OutlineBar READ OutlineBar WRITE SetOutlineBar)

public:
    explicit FlexGrid(QWidget *parent = nullptr);
    ~FlexGrid() override;

    bool Redraw() const { return m_redraw; }
    void SetRedraw(bool redraw);

    int Rows() const;
    void SetRows(int rows);
    int Cols() const;
    void SetCols(int cols);
    int FixedRows() const { return 1; }

    // Current row; 0 (the header) when there is no current data row. Setting it also makes it
    // the only selected row.
    int Row() const;
    void SetRow(int row);
    int Col() const;
    void SetCol(int col);

    QString TextMatrix(int row, int col) const;
    void SetTextMatrix(int row, int col, const QString &text);
    // Appends one row from its cells; no character inside a text splits a cell or a row.
    void AddItem(std::initializer_list<QUtf8StringView> cells);
    void AddItem(const QList<QString> &cells);
    // Appends rows that the source holds (see FlexGridRowSource): the grid keeps a position and
    // the outline shape per row and reads the rest when it needs it. Writing a cell of such a row
    // gives the row its own copy of its text.
    void AddSourceRows(const std::shared_ptr<const FlexGridRowSource> &source, std::span<const FlexGridSourceRow> rows);
    void Clear();

    // Invalid QColor when the cell has the default colour; system colours resolved now.
    QColor CellForeColor(int row, int col) const;
    void SetCellForeColor(int row1, int col1, int row2, int col2, const QColor &colour);
    // An automation colour (0x00BBGGRR or 0x800000NN system colour), resolved when painted.
    void SetCellForeColor(int row1, int col1, int row2, int col2, quint32 oleColour);
    // Without this, Qt::red would convert to the integer overload and be read as 0x00BBGGRR.
    void SetCellForeColor(int row1, int col1, int row2, int col2, Qt::GlobalColor colour)
    {
        SetCellForeColor(row1, col1, row2, col2, QColor(colour));
    }

    bool ColHidden(int col) const;
    void SetColHidden(int col, bool hidden);
    int ColWidth(int col) const;               // twips
    void SetColWidth(int col, int twips);
    void AutoSize(int col1, int col2);
    int ColAlignment(int col) const;           // 0..2 left, 3..5 centre, 6..8 right, 9 general
    void SetColAlignment(int col, int alignment);
    QString ColComboList(int col) const;
    void SetColComboList(int col, const QString &list); // "#1;Network share|#2;Direct IP|..."

    int OutlineBar() const { return m_outlineBar; }
    void SetOutlineBar(int bar);               // 0 none; otherwise +/- buttons on nodes
    bool IsSubtotal(int row) const;
    void SetIsSubtotal(int row, bool node);
    int RowOutlineLevel(int row) const;
    void SetRowOutlineLevel(int row, int level);
    void Outline(int level);                   // 0: fold every node; >= 1 or < 0: unfold all
    bool IsCollapsed(int row) const;           // a node with children that is folded

    int SelectedRows() const;
    int SelectedRow(int n) const;              // n from 0, in the order rows were selected
    bool IsSelected(int row) const;
    void SetIsSelected(int row, bool selected);

    int MouseRow() const;                      // -1 outside the rows, 0 on the header
    void ShowCell(int row, int col);
    int TopRow() const;
    // Scrolls so that the row is the first one shown (as far as the rows below it allow).
    void SetTopRow(int row);

    void Sort(int col, bool ascending);
    // The rows are no longer in the order of a sort: the header shows no sort arrow.
    void ClearSortIndicator();

    QFont Font() const;
    void SetFont(const QFont &font);
    QString FontName() const;
    void SetFontName(const QString &name);
    double FontSize() const;
    void SetFontSize(double points);

    FlexGridView *View() const { return m_view; }
    FlexGridModel *Model() const { return m_model; }

signals:
    void DblClick();
    void KeyPress(int &keyAscii);
    void KeyDownEvent(int &keyCode, int shift);
    void KeyUp(int &keyCode, int shift);
    void SelChange();
    void BeforeSort(int col, int &order);      // order 1 ascending, 2 descending; 0 cancels
    void AfterSort(int col, int &order);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class MouseArea { None, Header, Rows };

    bool suspended() const { return !m_redraw || m_hold > 0; }
    void openReset();
    void closeResetIfLive();
    void flush();
    void applyColumns();
    void applyShadow();
    void pruneShadow(int rows);
    void remapShadow(const std::vector<int> &newRowOf);
    void addSelected(int row);
    void removeSelected(int row);
    void clearSelectedList();
    void compactSelected() const;
    void onSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected);
    void onHeaderClicked(int col);
    int treeColumn() const;
    int viewColumn(int col) const;
    bool keyEvent(QEvent *event);

    FlexGridModel *m_model = nullptr;
    FlexGridView *m_view = nullptr;
    QWidget *m_rowsArea = nullptr;    // the view's viewport
    QWidget *m_headerArea = nullptr;  // the header's viewport
    bool m_redraw = true;
    int m_hold = 0;
    bool m_resetOpen = false;
    bool m_applying = false;

    // Selection in the order rows were selected (-1 marks removed entries until compacted).
    mutable std::vector<int> m_selOrder;
    mutable QHash<int, int> m_selPos;
    int m_selCount = 0;
    bool m_selAtOpen = false;
    int m_shadowCurrent = 0;   // current row while a reset is open
    int m_col = 0;
    QSet<int> m_expanded;
    std::optional<std::pair<int, int>> m_pendingShow;
    std::optional<int> m_pendingTop;

    std::vector<int> m_widthTw;   // as set, in twips; shown rounded to pixels
    std::vector<bool> m_hidden;
    int m_outlineBar = 0;
    int m_sortCol = -1;
    bool m_sortAscending = true;

    MouseArea m_mouseArea = MouseArea::None;
    QPoint m_mousePos;
};
