// Stores the printers of an import, each with its history as a save from the editor would
// store it, each all or nothing on its own: a printer's change runs in a savepoint of its own,
// so a printer refused half-way leaves nothing and takes nothing of the others with it.
// Commits come every fifth of a second rather than after every printer: a commit of
// one printer costs more than the printer's own statements, and a site of 100,000 printers is
// imported in seconds. Other consoles wait at most that long for their own changes. The
// statements stay prepared from one printer to the next.
#pragma once

#include "qm6error.h"
#include "qm6historywriter.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSqlQuery>

class QM6ConnectionPrivate;
struct QM6PrinterRecord;

class QM6ImportWriter {
public:
    // The caller has checked the right to change printers.
    explicit QM6ImportWriter(QM6ConnectionPrivate *d);
    // Rolls back what was stored since the last Commit.
    ~QM6ImportWriter();
    QM6ImportWriter(const QM6ImportWriter &) = delete;
    QM6ImportWriter &operator=(const QM6ImportWriter &) = delete;

    // Stores after: a new printer when before is null, else the printer before as it was read,
    // which must still be as it was (or nothing is stored for it). changes are what differs
    // from before (QM6PrinterFields::Diff with the totals), or a new printer's values
    // (QM6PrinterFields::Values): a save entry records the fields, a totals entry the totals, an
    // add entry the values. after receives the stored identifier, key, version and who stored
    // it when. Stored for good only once Commit succeeds.
    QM6ErrorPtr Store(QM6PrinterRecord *after, const QM6PrinterRecord *before, const QList<QM6HistoryChange> &changes);
    // True when what was stored since the last commit should be committed now.
    bool CommitDue() const;
    // Commits what was stored since the last commit; an error means none of it was stored.
    QM6ErrorPtr Commit();

private:
    enum Step { Begin, Release, Undo };
    QM6ErrorPtr Savepoint(Step step);
    QM6ErrorPtr Insert(QM6PrinterRecord *after, const QList<QM6HistoryChange> &values, qint64 now, const QString &what);
    QM6ErrorPtr Update(QM6PrinterRecord *after, const QM6PrinterRecord *before, const QList<QM6HistoryChange> &changes, qint64 now,
                       const QString &what);

    QM6ConnectionPrivate *m_d;
    QM6HistoryWriter m_history;
    const QString m_what;
    QHash<quint32, QSqlQuery> m_updates;   // by the fields they write (bit QM6PrinterFields::Id)
    bool m_cacheSized = false;
    bool m_open = false;               // a transaction of this writer is open
    QElapsedTimer m_since;             // since it was opened
};
