#include "listoperations.h"

namespace printerlist {

QM6ErrorPtr ApplyTemplate(const QM6ConnectionPtr &connection, const PrinterIdList &ids, const QM6Printer &batchPrinter,
                          IProgress &progress)
{
    QM6ErrorPtr e;
    for (const qint32 id : ids) {
        progress.Increment();
        QM6Printer printer;
        e = printer.Load(connection, id);
        if (!e) {
            if (batchPrinter.PrintProfileId() > 0)
                printer.SetPrintProfileId(batchPrinter.PrintProfileId());
            if (!batchPrinter.AccountNo().isEmpty())
                printer.SetAccountNo(batchPrinter.AccountNo());
            if (!batchPrinter.Model().isEmpty())
                printer.SetModel(batchPrinter.Model());
            e = printer.Save(connection);
        }
        if (progress.Cancelled() || e)
            break;
    }
    return e;
}

DeleteOutcome DeleteEntries(const QM6ConnectionPtr &connection, const QVector<SelectedEntry> &entries)
{
    DeleteOutcome outcome;
    for (const SelectedEntry &entry : entries) {
        QM6Printer printer;
        printer.SetPrinterId(entry.printerId);
        QM6ErrorPtr e;
        if (entry.merged) {
            qint32 count = 0;
            e = printer.DeleteAlias(connection, entry.key, count);
            if (e && e->Severity() == QM6Error::SeverityIgnorable)
                continue;
        } else {
            e = printer.Delete(connection);
        }
        if (e)
            ++outcome.failures;
        else
            ++outcome.deleted;
    }
    return outcome;
}

QM6ErrorPtr MergeEntries(const QM6ConnectionPtr &connection, const SelectedEntry &target,
                         const QVector<SelectedEntry> &entries, IProgress &progress)
{
    QM6Printer owner;
    QM6ErrorPtr e = owner.Load(connection, target.printerId);
    if (e)
        return e;
    for (const SelectedEntry &entry : entries) {
        if (entry.row == target.row)
            continue;
        progress.Increment();
        if (entry.merged) {
            qint32 count = 0;
            e = owner.MoveAlias(connection, entry.key, owner.PrinterId(), count);
        } else {
            QM6Printer source;
            e = source.Load(connection, entry.printerId);
            if (!e)
                e = owner.AddAlias(connection, source.PrinterKey(), source.Device(), source.Host(), source.Port(),
                                   source.ConnectionType(), true);
        }
        if (e)
            return e;
    }
    return {};
}

} // namespace printerlist
