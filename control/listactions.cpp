// ctlFleet: the commands on the list and the grid events that start them.
#include "ctlfleet.h"

#include "flexgrid.h"
#include "printergrid.h"

namespace {
constexpr int KeyEnter = 13;
constexpr int KeyDelete = 46;
}

// Adding, editing, deleting and merging arrive with the editor, the batch form and the
// progress window; until then the commands leave the list as it is.
void ctlFleet::AddPrinterCommand() {}
void ctlFleet::EditPrintersCommand(qint32) {}
void ctlFleet::DeletePrintersCommand() {}
void ctlFleet::MergeCommand() {}

void ctlFleet::ActOnCurrentRow()
{
    const int row = mGrid->Row();
    bool numeric = false;
    const qint32 id = mGrid->TextMatrix(row, printerlist::ColPrinterId).trimmed().toInt(&numeric);
    if (!numeric)
        AddPrinterCommand();
    else if (mGrid->IsSubtotal(row))
        EditPrintersCommand(id);
}

void ctlFleet::OnGridDblClick()
{
    if (mGrid->MouseRow() >= 1 && mGrid->Row() > 0)
        ActOnCurrentRow();
}

void ctlFleet::OnGridKeyPress(int &keyAscii)
{
    if (keyAscii == KeyEnter && mGrid->Row() >= 1)
        ActOnCurrentRow();
}

void ctlFleet::OnGridKeyUp(int &keyCode, int)
{
    if (keyCode == KeyDelete)
        DeletePrintersCommand();
}

void ctlFleet::OnGridSelChange()
{
    if (mGrid->IsSelected(0))
        mGrid->SetIsSelected(0, false);
    if (mGrid->SelectedRows() == 1)
        mMergeTargetRow = mGrid->Row();
    UpdateToolbar();
}

void ctlFleet::OnGridBeforeSort() { mGrid->SetRows(mPrinterCount + 1); }
void ctlFleet::OnGridAfterSort() { mGrid->SetRows(mGrid->Rows() + printerlist::FillerRows); }
