// ctlFleet: the commands on the list and the grid events that start them.
#include "ctlfleet.h"

#include "commonservices.h"
#include "flexgrid.h"
#include "listexport.h"
#include "listoperations.h"
#include "modlanguage.h"
#include "printergrid.h"

#include <QGuiApplication>
#include <QScopeGuard>

namespace {
constexpr int KeyEnter = 13;
constexpr int KeyDelete = 46;
constexpr int StrUpdatingPrinters = 206, StrUpdateFailed = 207, StrDeleteQuestion = 208, StrDeleteFailures = 209,
              StrMergeTargetIsMerged = 210, StrMergingPrinters = 211, StrMergeFailed = 212,
              StrMergeTargetRefused = 221, StrMergeQuestion = 222, StrMergeAppearFrom = 226, StrMergeFinal = 227,
              StrExporting = 232, StrExportFailed = 233, StrKeyColumn = 234, StrMergedIntoColumn = 235;

// Hourglass for the length of a scope, put back on every path.
struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};
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
    if (printerId != 0) {
        if (mForms.EditPrinter(this, printerId)) {
            LoadPrinterList(grdPrinters->Row());
            UpdateToolbar();
        }
        return;
    }
    if (ids.size() >= 2)
        BatchUpdatePrinters(ids);
}

void ctlFleet::BatchUpdatePrinters(const printerlist::PrinterIdList &ids)
{
    QM6PrinterPtr batchPrinter;
    if (!mForms.BatchUpdate(this, batchPrinter) || !batchPrinter)
        return;
    RunAsLongCommand([&] {
        QM6ErrorPtr e = mConnection->OpenConnection(true);
        if (!e) {
            EnableHost(false);
            std::unique_ptr<IProgress> progress = mForms.NewProgress();
            // Whatever happens in the loop, the window goes and the console comes back.
            const auto done = qScopeGuard([&] { progress->Shutdown(); });
            progress->Initialize(modLanguage::GetLangString(StrUpdatingPrinters), qint32(ids.size()), nullptr, true, true, 1);
            e = printerlist::ApplyTemplate(mConnection, ids, *batchPrinter, *progress);
        }
        mConnection->CloseConnection();
        if (e)
            CommonServices().ShowMessage(modLanguage::GetLangString(StrUpdateFailed, e->Description()), -1);
        EnableHost(true);
        LoadPrinterList(1);
    });
}

void ctlFleet::DeletePrintersCommand()
{
    if (mList->SelectedPrinterIds(true).isEmpty() || !mCanChange)
        return;
    const QVector<printerlist::SelectedEntry> entries = mList->SelectionSnapshot();
    qint32 answer = 0;
    CommonServices().AskYesNo(modLanguage::GetLangString(StrDeleteQuestion), -1, answer);
    if (answer != QM6_ANSWER_YES)
        return;
    qint32 deleted = 0;
    RunAsLongCommand([&] {
        {
            WaitCursor wait;
            if (const QM6ErrorPtr e = mConnection->OpenConnection(true)) {
                e->Display();
                return;
            }
            const printerlist::DeleteOutcome outcome = printerlist::DeleteEntries(mConnection, entries);
            deleted = outcome.deleted;
            if (outcome.failures > 0)
                CommonServices().ShowMessage(modLanguage::GetLangString(StrDeleteFailures, outcome.failures), -1);
            mConnection->CloseConnection();
        }
        if (deleted > 0)
            LoadPrinterList(grdPrinters->Row());
    });
}

void ctlFleet::MergeCommand()
{
    if (grdPrinters->RowOutlineLevel(mMergeTargetRow) != 0) {
        CommonServices().ShowMessage(modLanguage::GetLangString(StrMergeTargetRefused), -1);
        return;
    }
    const QString name = grdPrinters->TextMatrix(mMergeTargetRow, printerlist::ColName);
    const QString question = modLanguage::GetLangString(StrMergeQuestion, name) + modLanguage::GetLangString(StrMergeAppearFrom) +
                             QStringLiteral("\r\n") + name + QStringLiteral(".") + QStringLiteral("\r\n\r\n") +
                             modLanguage::GetLangString(StrMergeFinal);
    qint32 answer = 0;
    CommonServices().AskYesNo(question, -1, answer);
    if (answer == QM6_ANSWER_YES)
        MergePrinters();
}

void ctlFleet::MergePrinters()
{
    WaitCursor wait;
    if (grdPrinters->SelectedRows() < 2)
        return;
    if (grdPrinters->RowOutlineLevel(mMergeTargetRow) != 0) {
        CommonServices().ShowMessage(modLanguage::GetLangString(StrMergeTargetIsMerged), -1);
        return;
    }
    // The rows are read now: the progress window lets the message loop run between steps.
    const QVector<printerlist::SelectedEntry> entries = mList->SelectionSnapshot();
    const auto target = std::find_if(entries.begin(), entries.end(),
                                     [this](const printerlist::SelectedEntry &entry) { return entry.row == mMergeTargetRow; });
    if (target == entries.end())
        return;   // the first row selected names no printer (an empty row): nothing to merge into
    const printerlist::SelectedEntry into = *target;
    RunAsLongCommand([&] {
        QM6ErrorPtr e;
        {
            std::unique_ptr<IProgress> progress = mForms.NewProgress();
            auto done = qScopeGuard([&] { progress->Shutdown(); });
            progress->Initialize(modLanguage::GetLangString(StrMergingPrinters), grdPrinters->SelectedRows() - 1, nullptr,
                                 false, false, 1);
            e = mConnection->OpenConnection(true);
            if (!e) {
                e = printerlist::MergeEntries(mConnection, into, entries, *progress);
                done.dismiss();
                progress->Shutdown();
                LoadPrinterList(1);
                mConnection->CloseConnection();
            }
        }
        if (e)
            CommonServices().ShowMessage(
                modLanguage::GetLangString(StrMergeFailed, CommonServices().GetAppTitle(), e->Description()), -1);
    });
}

void ctlFleet::ExportCommand()
{
    const qint32 rows = mList->PrinterCount();
    if (!mList->IsDataRow(1))
        return;
    const QString path = mForms.ChooseExportFile(this);
    if (path.isEmpty())
        return;
    RunAsLongCommand([&] {
        QM6ErrorPtr e;
        {
            WaitCursor wait;
            const printerlist::ExportTable table = printerlist::SnapshotRows(
                *grdPrinters, rows, modLanguage::GetLangString(StrKeyColumn), modLanguage::GetLangString(StrMergedIntoColumn));
            // A short list is written before a window could be seen.
            std::unique_ptr<IProgress> progress;
            if (rows > printerlist::ExportChunk) {
                progress = mForms.NewProgress();
                progress->Initialize(modLanguage::GetLangString(StrExporting),
                                     (rows + printerlist::ExportChunk - 1) / printerlist::ExportChunk, nullptr, false, true, 1);
            }
            const auto done = qScopeGuard([&] {
                if (progress)
                    progress->Shutdown();
            });
            bool cancelled = false;
            e = printerlist::WriteCsv(table, path, progress.get(), &cancelled);
        }
        if (e)
            CommonServices().ShowMessage(
                modLanguage::GetLangString(StrExportFailed, CommonServices().GetAppTitle(), e->Description()), -1);
    });
}

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
