#include "printerlist.h"

#include "flexgrid.h"
#include "printerdata.h"

namespace printerlist {

PrinterIdList GetSelectedPrinterIds(const FlexGrid &grid, int column, qint32 lastRow, bool includeMarked)
{
    PrinterIdList ids;
    const int selected = grid.SelectedRows();
    ids.reserve(selected);
    for (int i = 0; i < selected; ++i) {
        const int r = grid.SelectedRow(i);
        if (r == 0 || (lastRow != -1 && r > lastRow))
            continue;
        if (!includeMarked && grid.RowOutlineLevel(r) != 0)
            continue;
        bool ok = false;
        const qint32 id = grid.TextMatrix(r, column).trimmed().toInt(&ok);
        if (ok)
            ids.append(id);
    }
    return ids;
}

void PrinterList::Prepare(const QVariant &connectionTypes)
{
    PrepareGrid(mGrid, connectionTypes);
}

QM6ErrorPtr PrinterList::Load(const QM6ConnectionPtr &connection)
{
    mPrinterCount = 0;
    if (mRows)
        mRows->StopMaking();   // the list is read again: its column tables would be thrown away
    // Released, not closed: after a failed load the grid still shows the old rows and reads them
    // from it. It goes (and its buffers with it, for the next load) once the grid lets go of them.
    mRows.reset();
    QM6RecordsetPtr rs;
    if (QM6ErrorPtr e = PrinterData::Instance().GetPrinters(connection, &rs, true))
        return e;
    if (rs)
        mRows = std::make_shared<PrinterRows>(std::move(rs));
    return {};
}

void PrinterList::Fill(const FillFilter &filter, qint32 widthTwips)
{
    mPrinterCount = FillRows(mGrid, mRows, filter);
    SizeColumns(widthTwips);
    mGrid.SetRow(0);
    AddFillerRows();
    mGrid.Outline(0);
    // New rows start at the top (a list scrolled down would hide the rows a filter kept), in
    // the database's order (no column's sort arrow is true of them any more).
    mGrid.SetTopRow(1);
    mGrid.ClearSortIndicator();
}

void PrinterList::SizeColumns(qint32 widthTwips)
{
    printerlist::SizeColumns(mGrid, mPrinterCount, widthTwips);
}

void PrinterList::RemoveFillerRows()
{
    mGrid.SetRows(mPrinterCount + 1);
}

void PrinterList::AddFillerRows()
{
    const int first = mGrid.Rows();
    mGrid.SetRows(first + FillerRows);
    for (int r = first; r < mGrid.Rows(); ++r)
        mGrid.SetIsSubtotal(r, true);
}

PrinterIdList PrinterList::SelectedPrinterIds(bool includeMarked) const
{
    return GetSelectedPrinterIds(mGrid, ColPrinterId, mPrinterCount, includeMarked);
}

bool PrinterList::HasSelectedPrinter() const
{
    const int selected = mGrid.SelectedRows();
    for (int i = 0; i < selected; ++i) {
        const int r = mGrid.SelectedRow(i);
        if (IsDataRow(r) && mGrid.RowOutlineLevel(r) == 0) {
            bool ok = false;
            mGrid.TextMatrix(r, ColPrinterId).trimmed().toInt(&ok);
            if (ok)
                return true;
        }
    }
    return false;
}

QVector<SelectedEntry> PrinterList::SelectionSnapshot() const
{
    QVector<SelectedEntry> entries;
    const int selected = mGrid.SelectedRows();
    entries.reserve(selected);
    for (int i = 0; i < selected; ++i) {
        const int r = mGrid.SelectedRow(i);
        if (!IsDataRow(r))
            continue;
        bool ok = false;
        const qint32 id = mGrid.TextMatrix(r, ColPrinterId).trimmed().toInt(&ok);
        if (!ok)
            continue;
        entries.append({r, id, mGrid.TextMatrix(r, ColPrinterKey), mGrid.RowOutlineLevel(r) != 0});
    }
    return entries;
}

} // namespace printerlist
