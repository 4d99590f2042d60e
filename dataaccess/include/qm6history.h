// The change history of printers: every change the data component makes to a printer is
// recorded in the same transaction as the change, with who made it and when. History is kept
// by printer identifier and key, without a link to the printer's row, so that the history of
// a printer that was merged into another one or deleted stays readable.
#pragma once

#include "qm6dataaccess_export.h"
#include "qm6connection.h"
#include "qm6error.h"

#include <QDateTime>
#include <QList>
#include <QString>

// One field a change gave a new value. Fields are named, and their values written, as in a
// printer list export (name, port, is_color ...; flags 0 and 1, codes as numbers).
struct QM6HistoryChange {
    QString field;
    QString oldValue;
    QString newValue;
};

struct QM6HistoryEntry {
    // What happened to the printer. The numbers are stored: never renumber them.
    enum Kind : qint32 {
        Added = 1,           // the printer was stored for the first time (changes: its values)
        Saved = 2,           // the printer was saved (changes: each field that changed)
        TotalsSaved = 3,     // new page totals (changes: bw_total, color_total)
        MergedInto = 4,      // the printer became a merged printer of the other printer; its row is gone
        MergeReceived = 5,   // the other printer became a merged printer of this one (changes: the totals)
        AliasMovedOut = 6,   // the merged printer aliasKey moved, with its jobs, to the other printer
        AliasMovedIn = 7,    // the merged printer aliasKey came, with its jobs, from the other printer
        AliasRemoved = 8,    // the merged printer aliasKey was removed; its jobs stay with this printer
        Deleted = 9          // the printer was deleted; its jobs stay recorded
    };

    qint64 entryId = 0;
    qint32 printerId = -1;
    QString printerKey;
    QDateTime changedOn;       // UTC
    QString changedBy;         // the signed-in administrator
    Kind kind = Saved;
    qint32 otherId = -1;       // the other printer of a merge or move; -1 for none
    QString otherKey;
    QString otherName;         // its name at the time
    QString aliasKey;          // the merged printer a move or removal concerns
    QList<QM6HistoryChange> changes;

    // The kinds that set the printer's ModifiedBy and ModifiedOn to their own who and when.
    static bool Stamps(Kind kind);
};

class QM6DATA_EXPORT QM6History {
public:
    // The history of one printer (of every printer for printerId -1), newest first; since
    // (when valid) leaves out what happened before it. Works for printers whose row is gone. A
    // site that a read-only connection finds of a version before the history has none.
    static QM6ErrorPtr Read(const QM6ConnectionPtr &connection, qint32 printerId, const QDateTime &since,
                            QList<QM6HistoryEntry> *entries);
};

inline bool QM6HistoryEntry::Stamps(Kind kind)
{
    return kind == Added || kind == Saved || kind == TotalsSaved || kind == MergeReceived || kind == Deleted;
}
