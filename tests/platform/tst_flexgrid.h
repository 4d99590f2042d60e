#pragma once

#include "flexgrid.h"
#include "flexgridmodel.h"
#include "olecolor.h"

#include <QObject>
#include <QStringList>

namespace flexgridtest {

// Page-shaped content: printers as level-0 nodes, each with its aliases as level-1 rows.
inline void addPrinter(FlexGrid &grid, const QString &name, int aliases, quint32 aliasColour = 0x80000011u)
{
    grid.AddItem(QList<QString>{QString::number(grid.Rows()), QStringLiteral("K"), name, QStringLiteral("p"),
                                QStringLiteral("h"), QString(), QStringLiteral("1"), QString()});
    const int node = grid.Rows() - 1;
    grid.SetIsSubtotal(node, true);
    grid.SetRowOutlineLevel(node, 0);
    for (int a = 0; a < aliases; ++a) {
        grid.AddItem(QList<QString>{grid.TextMatrix(node, 0), QStringLiteral("A"),
                                    QStringLiteral("     ") + name + QStringLiteral("-alias") + QString::number(a)});
        const int row = grid.Rows() - 1;
        grid.SetRowOutlineLevel(row, 1);
        grid.SetCellForeColor(row, 0, row, 7, aliasColour);
    }
}

inline void addFillers(FlexGrid &grid, int count)
{
    for (int i = 0; i < count; ++i) {
        grid.SetRows(grid.Rows() + 1);
        grid.SetIsSubtotal(grid.Rows() - 1, true);
    }
}

inline QStringList namesInOrder(const FlexGrid &grid)
{
    QStringList names;
    for (int r = 1; r < grid.Rows(); ++r)
        names << grid.TextMatrix(r, 2);
    return names;
}

inline void prepare(FlexGrid &grid)
{
    grid.SetRedraw(false);
    grid.SetCols(8);
    grid.SetRows(1);
    grid.SetOutlineBar(2);
    grid.SetColHidden(0, true);
    grid.SetColHidden(1, true);
    grid.SetRedraw(true);
}

} // namespace flexgridtest

class tst_FlexGrid : public QObject
{
    Q_OBJECT
private slots:
    void identifiesAsTheOriginalGrid();
    void addItemKeepsEveryCharacterInsideItsCell_data();
    void addItemKeepsEveryCharacterInsideItsCell();
    void setRowsShrinksAndGrows_data();
    void setRowsShrinksAndGrows();
    void editingACellKeepsTheOtherCells();
    void headerRowIsTheCaptions();
    void hiddenColumnsStayHiddenOverReloads();
    void comboListShowsTextForCode_data();
    void comboListShowsTextForCode();
    void outlineFoldsAliasesUnderPrinters();
    void modelIsConsistent();
    void selectionKeepsTheOrderOfSelecting();
    void headerRowIsNeverSelected();
    void setRowMakesTheOnlySelectedRow();
    void selectionFollowsRowsOverReset();
    void sortKeepsAliasesUnderTheirPrinter_data();
    void sortKeepsAliasesUnderTheirPrinter();
    void headerClickTogglesSortOrder();
    void colWidthIsInTwips_data();
    void colWidthIsInTwips();
    void autoSizeFitsTheLongestText();
    void systemColoursFollowThePalette_data();
    void systemColoursFollowThePalette();
    void cellColoursResolveWhenDrawn();
    void redrawOffBatchesIntoOneReset();
    void keysGiveWindowsCodes_data();
    void keysGiveWindowsCodes();
    void keyDownCanCancelTheKey();
    void doubleClickReportsTheRowUnderThePointer();
    void arenaIsCompactedWhenRowsAreDropped();
    void fontPropertiesByName();
    void largeListFillsAndFolds();
};
