// ctlFleet: the commands on the list and the grid events that start them.
#include "ctlfleet.h"

#include "commonservices.h"
#include "flexgrid.h"
#include "modlanguage.h"
#include "printergrid.h"

#include <QScopeGuard>

namespace {
constexpr int KeyEnter = 13;
constexpr int KeyDelete = 46;
}

void ctlFleet::AddPrinterCommand()
{
    if (!mCanChange)
        return;
    // Printers normally add themselves; the tip says so unless the user asked not to see it again.
    ICommonServices &services = CommonServices();
    qint32 tipResult = 0;
    services.ShowTip(modLanguage::GetLangString(205, services.GetAppTitle()), QStringLiteral("Software\\Quillmark 6\\admin\\printers"),
                     QStringLiteral("AddPrinter"), -1, QString(), 0, tipResult);
    if (mForms.AddPrinter(this)) {
        LoadPrinterList(1);
        UpdateToolbar();
    }
}

void ctlFleet::EditPrintersCommand(qint32 printerId)
{
    printerlist::PrinterIdList ids;
    if (printerId == 0) {
        ids = mList->SelectedPrinterIds(false);
        if (ids.size() == 1)
            printerId = ids.first();
    }
    if (printerId != 0 && mForms.EditPrinter(this, printerId)) {
        LoadPrinterList(grdPrinters->Row());
        UpdateToolbar();
    }
}

// Deleting and merging arrive with the progress window; until then they leave the list as it is.
void ctlFleet::DeletePrintersCommand() {}
void ctlFleet::MergeCommand() {}

void ctlFleet::RunAsLongCommand(const std::function<void()> &body)
{
    // The guard: every entry point that could start a command or rebuild the grid checks
    // mBusy (StandardAction, CustomAction, AddItemClicked, the grid's events), and the
    // filter bar's refills go through RequestFill, which holds them back until the end.
    if (mBusy)
        return;
    mBusy = true;
    const auto done = qScopeGuard([this] {
        mBusy = false;
        if (mFillWaiting)
            FillPrinterGrid();
    });
    body();
}

void ctlFleet::ActOnCurrentRow()
{
    const int row = grdPrinters->Row();
    bool numeric = false;
    const qint32 id = grdPrinters->TextMatrix(row, printerlist::ColPrinterId).trimmed().toInt(&numeric);
    if (!numeric)
        AddPrinterCommand();
    else if (grdPrinters->IsSubtotal(row))
        EditPrintersCommand(id);
}

void ctlFleet::OnGridDblClick()
{
    if (mBusy)
        return;
    if (grdPrinters->MouseRow() >= 1 && grdPrinters->Row() > 0)
        ActOnCurrentRow();
}

void ctlFleet::OnGridKeyPress(int &keyAscii)
{
    if (mBusy)
        return;
    if (keyAscii == KeyEnter && grdPrinters->Row() >= 1)
        ActOnCurrentRow();
}

void ctlFleet::OnGridKeyUp(int &keyCode, int)
{
    if (!mBusy && keyCode == KeyDelete)
        DeletePrintersCommand();
}

void ctlFleet::OnGridSelChange()
{
    if (grdPrinters->IsSelected(0))
        grdPrinters->SetIsSelected(0, false);
    if (grdPrinters->SelectedRows() == 1)
        mMergeTargetRow = grdPrinters->Row();
    UpdateToolbar();
}

void ctlFleet::OnGridBeforeSort() { mList->RemoveFillerRows(); }
void ctlFleet::OnGridAfterSort() { mList->AddFillerRows(); }
