// The printer list the page shows: the recordset it was filled from with the rows the grid reads
// from it (and the match index kept with them), the number of data rows, the filler rows after
// them, and the selection read as printer identifiers. The page holds one and drives it.
#pragma once

#include "printergrid.h"
#include "printerrows.h"
#include "qm6connection.h"
#include "qm6error.h"
#include "qm6recordset.h"

#include <QString>
#include <QVector>

class FlexGrid;

namespace printerlist {

// Selected printer identifiers; empty = none.
using PrinterIdList = QVector<qint32>;

// Identifiers from the text of `column` of the selected rows, in the order of the selection
// entries, leaving out row 0, rows past lastRow (unless it is -1) and, unless includeMarked,
// merged rows. A row without a numeric identifier (a filler row) names no printer.
PrinterIdList GetSelectedPrinterIds(const FlexGrid &grid, int column, qint32 lastRow, bool includeMarked);

// One selected data row as a long command reads it before its loop starts, so that nothing
// the message loop does to the grid meanwhile changes what the command works on.
struct SelectedEntry {
    int row = 0;
    qint32 printerId = 0;
    QString key;          // printer key of a printer row, merged printer's key of a merged row
    bool merged = false;  // a merged printer's row (outline level 1)
};

class PrinterList {
public:
    explicit PrinterList(FlexGrid &grid) : mGrid(grid) {}

    // Columns, header captions and the connection-type display list (lookup list 6).
    void Prepare(const QVariant &connectionTypes);
    // Drops the recordset held and reads a new one; after a failure none is held. Rows the grid
    // still shows keep the old one readable until the next fill replaces them.
    QM6ErrorPtr Load(const QM6ConnectionPtr &connection);
    // Rebuilds every row from the recordset held, sizes the columns to widthTwips, appends
    // the filler rows and folds every printer; the header row is left current.
    void Fill(const FillFilter &filter, qint32 widthTwips);
    void SizeColumns(qint32 widthTwips);

    // A sort reorders only the data rows: the fillers come off before it and back after it.
    void RemoveFillerRows();
    void AddFillerRows();

    qint32 PrinterCount() const { return mPrinterCount; }
    QM6Recordset *Recordset() const { return mRows ? mRows->Recordset() : nullptr; }
    // The rows over the recordset held, with its match index; null while none is held.
    PrinterRows *Rows() const { return mRows.get(); }
    // A printer or merged-printer row (not the header, not a filler).
    bool IsDataRow(int row) const { return row >= 1 && row <= mPrinterCount; }

    PrinterIdList SelectedPrinterIds(bool includeMarked) const;
    // At least one selected printer row: what SelectedPrinterIds(false) would not leave empty,
    // found without reading every selected row.
    bool HasSelectedPrinter() const;
    // The selected data rows in the order they were selected.
    QVector<SelectedEntry> SelectionSnapshot() const;

private:
    FlexGrid &mGrid;
    std::shared_ptr<PrinterRows> mRows;   // owns the recordset
    qint32 mPrinterCount = 0;
};

} // namespace printerlist
