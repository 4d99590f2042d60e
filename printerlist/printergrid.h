// The printer grid's shape and content: eight columns, printer rows as outline nodes with
// the printers merged into them as child rows, and 75 empty rows after the data.
#pragma once

#include "printerrows.h"

#include <QString>
#include <QVariant>
#include <memory>

class FlexGrid;

namespace printerlist {

// Column numbers of the grid.
enum PrinterColumn : int {
    ColPrinterId = 0,
    ColPrinterKey = 1,
    ColName = 2,
    ColPort = 3,
    ColHost = 4,
    ColProfile = 5,
    ColConnectionType = 6,
    ColAccount = 7,
    ColumnCount = 8
};

constexpr int FillerRows = 75;
constexpr quint32 ColorActiveCaption = 0x80000002u;   // alias merged by hand
constexpr quint32 ColorGrayText = 0x80000011u;        // alias merged any other way

// Columns, hidden identifier columns, header captions and the connection-type display list
// (built from lookup list 6, a list of {code, text} rows).
void PrepareGrid(FlexGrid &grid, const QVariant &connectionTypes);

// "#1;Network share|#2;Direct IP|..." from a lookup list; empty for a list that is not one.
QString BuildComboList(const QVariant &list);

// Replaces every row with the rows the filter shows from the list's rows (which may be null),
// read from its recordset as the grid paints them, and returns the number of data rows (printer
// rows and merged rows). Leaves the header row current and the recordset at its end; does not
// size columns, add the filler rows or collapse: the page does those steps in its own order.
qint32 FillRows(FlexGrid &grid, const std::shared_ptr<PrinterRows> &rows, const FillFilter &filter);

// Column widths for a grid Width twips wide holding printerCount data rows.
void SizeColumns(FlexGrid &grid, qint32 printerCount, qint32 widthTwips);

// Rounds halves to even, as the width arithmetic does.
qint32 RoundHalfEven(double value);

} // namespace printerlist
