// ctlFleet: the list reload, the grid fill it drives, and the console toolbar state.
#include "ctlfleet.h"

#include "flexgrid.h"
#include "printerdata.h"
#include "printergrid.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>

namespace {

// Hourglass for the length of a scope, put back on every path.
struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

PrinterIdList GetSelectedPrinterIds(FlexGrid &grid, int column, qint32 lastRow, bool includeMarked)
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
        if (ok)   // a row without an identifier (an empty row) names no printer
            ids.append(id);
    }
    return ids;
}

void ctlFleet::PrepareGrid()
{
    printerlist::PrepareGrid(*mGrid, LookupLists::Instance().GetList(6));
}

void ctlFleet::FillPrinterGrid()
{
    ++mFillCount;
    mGrid->SetRedraw(false);
    printerlist::FillFilter filter;
    const QVariant data = mTypes->currentIndex() >= 0 ? mTypes->currentData() : QVariant(-1);
    filter.connectionType = data.isValid() ? data.toInt() : -1;
    filter.matchText = mMatches->text();
    mPrinterCount = printerlist::FillRows(*mGrid, mRecordset.get(), filter, &mMatchIndex);
    SizeColumns();
    mGrid->SetRow(0);
    const int dataRows = mGrid->Rows();
    mGrid->SetRows(dataRows + printerlist::FillerRows);
    for (int r = dataRows; r < mGrid->Rows(); ++r)
        mGrid->SetIsSubtotal(r, true);
    mGrid->Outline(0);
    mGrid->SetRedraw(true);
}

void ctlFleet::SizeColumns()
{
    printerlist::SizeColumns(*mGrid, mPrinterCount, mGrid->width() * 15);
}

void ctlFleet::LoadPrinterList(qint32 keep)
{
    WaitCursor wait;
    mLoading = true;
    mPrinterCount = 0;
    if (mRecordset) {
        mRecordset->Close();
        mRecordset.reset();
    }
    mMatchIndex = printerlist::MatchIndex();
    QM6RecordsetPtr rs;
    const QM6ErrorPtr e = PrinterData::Instance().GetPrinters(mConnection, &rs, true);
    if (e) {
        e->Display();
    } else {
        mRecordset = rs;
        FillPrinterGrid();
        if (mPrinterCount < 1) {
            mGrid->SetRow(1);
        } else {
            keep = keep <= mPrinterCount ? keep : 0;
            if (mGrid->Rows() >= 1 && mGrid->Cols() >= 1)
                mGrid->ShowCell(keep, 0);
            mGrid->SetRow(keep);
        }
    }
    mLoading = false;
}

void ctlFleet::UpdateToolbar()
{
    if (!Visible() || mLoading)
        return;
    const int row = mGrid->Row();
    const bool rowValid = row > 0 && row <= mPrinterCount;
    const PrinterIdList ids = GetSelectedPrinterIds(*mGrid, 0, mPrinterCount, false);
    const int selected = mGrid->SelectedRows();
    QObject *console = ConsoleParent();
    if (console)
        console->setProperty("ToolbarRedraw", false);
    SetToolbar(QM6_ACTION_ADD, mCanChange);
    SetToolbar(QM6_ACTION_EDIT, !ids.isEmpty() && rowValid);
    SetToolbar(QM6_ACTION_DELETE, selected >= 1 && rowValid && mCanChange);
    SetToolbar(QM6_ACTION_REFRESH, true);
    SetToolbar(QStringLiteral("QM6PRINTER_ADDPRINTER"), mCanChange);
    SetToolbar(QStringLiteral("QM6CF_ADVANCED_MERGE"),
               selected > 1 && mCanChange && mGrid->RowOutlineLevel(mMergeTargetRow) == 0);
    if (console)
        console->setProperty("ToolbarRedraw", true);
}
