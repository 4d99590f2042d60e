// The loops behind the page's commands on several printers: the batch update, the delete and
// the merge. Each works from rows read before it started (see PrinterList::SelectionSnapshot)
// and from a connection the caller has opened; what a command shows the user is the page's.
#pragma once

#include "printerlist.h"
#include "progress.h"
#include "qm6printer.h"

namespace printerlist {

// Applies the template to each printer in turn: a profile above 0, a non-empty account and a
// non-empty model replace the printer's own. One progress step per printer, taken before it;
// stops at the first failure or once the user cancels. Printers before the stop keep their
// change. Returns the failure, if any.
QM6ErrorPtr ApplyTemplate(const QM6ConnectionPtr &connection, const PrinterIdList &ids, const QM6Printer &batchPrinter,
                          IProgress &progress);

struct DeleteOutcome {
    qint32 deleted = 0;
    qint32 failures = 0;
};

// Deletes every entry: a printer row's printer, or a merged row's merged printer (a merged
// printer that is already gone is neither deleted nor a failure). Every entry is tried.
DeleteOutcome DeleteEntries(const QM6ConnectionPtr &connection, const QVector<SelectedEntry> &entries);

// Merges the entries into the target printer: a printer row becomes a merged printer of the
// target, a merged row is moved to it. One progress step per entry; stops at the first
// failure, which it returns. Entries on the target's own row are passed over.
QM6ErrorPtr MergeEntries(const QM6ConnectionPtr &connection, const SelectedEntry &target,
                         const QVector<SelectedEntry> &entries, IProgress &progress);

} // namespace printerlist
