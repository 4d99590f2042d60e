// ctlFleet: the list reload, the grid fill it drives, and the console toolbar state.
#include "ctlfleet.h"

#include "flexgrid.h"
#include "modlanguage.h"
#include "printerdata.h"
#include "twips.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int StrNoConnection = 228;

// Hourglass for the length of a scope, put back on every path.
struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

void ctlFleet::PrepareGrid()
{
    mList->Prepare(LookupLists::Instance().GetList(mConnection, 6));
}

void ctlFleet::FillPrinterGrid()
{
    mFillWaiting = false;
    grdPrinters->SetRedraw(false);
    printerlist::FillFilter filter;
    const QVariant data = cmbPrinterTypes->currentIndex() >= 0 ? cmbPrinterTypes->currentData() : QVariant(-1);
    filter.connectionType = data.isValid() ? data.toInt() : -1;
    filter.matchText = txtMatches->text();
    mList->Fill(filter, twips::FromPixels(grdPrinters->width()));
    grdPrinters->SetRedraw(true);
    emit GridFilled();
}

void ctlFleet::RequestFill()
{
    if (mBusy)
        mFillWaiting = true;
    else
        FillPrinterGrid();
}

void ctlFleet::SizeColumns()
{
    mList->SizeColumns(twips::FromPixels(grdPrinters->width()));
}

void ctlFleet::LoadPrinterList(qint32 keep)
{
    WaitCursor wait;
    mLoading = true;
    // Without a connection there is nothing to read and nobody to tell but the page itself:
    // the list shows its columns, no printers, and a notice in their place.
    lblNoConnection->setText(modLanguage::GetLangString(StrNoConnection));
    lblNoConnection->setVisible(!mConnection);
    if (!mConnection) {
        mList->Load(mConnection);
        FillPrinterGrid();
        grdPrinters->SetRow(1);
    } else if (const QM6ErrorPtr e = mList->Load(mConnection)) {
        e->Display();
    } else {
        FillPrinterGrid();
        const qint32 count = mList->PrinterCount();
        if (count < 1) {
            grdPrinters->SetRow(1);
        } else {
            keep = keep <= count ? keep : 0;
            if (grdPrinters->Rows() >= 1 && grdPrinters->Cols() >= 1)
                grdPrinters->ShowCell(keep, 0);
            grdPrinters->SetRow(keep);
        }
    }
    mLoading = false;
}

void ctlFleet::UpdateToolbar()
{
    if (!Visible() || mLoading)
        return;
    const int row = grdPrinters->Row();
    const bool rowValid = mList->IsDataRow(row);
    const int selected = grdPrinters->SelectedRows();
    QObject *console = ConsoleParent();
    if (console)
        console->setProperty("ToolbarRedraw", false);
    SetToolbar(QM6_ACTION_ADD, mCanChange);
    SetToolbar(QM6_ACTION_EDIT, mList->HasSelectedPrinter() && rowValid);
    SetToolbar(QM6_ACTION_DELETE, selected >= 1 && rowValid && mCanChange);
    SetToolbar(QM6_ACTION_REFRESH, true);
    SetToolbar(QStringLiteral("QM6PRINTER_ADDPRINTER"), mCanChange);
    SetToolbar(QStringLiteral("QM6CF_ADVANCED_MERGE"),
               selected > 1 && mCanChange && mList->IsDataRow(mMergeTargetRow) &&
                   grdPrinters->RowOutlineLevel(mMergeTargetRow) == 0);
    SetToolbar(QStringLiteral("QM6CF_ADVANCED_EXPORT"), mList->IsDataRow(1));
    if (console)
        console->setProperty("ToolbarRedraw", true);
}
