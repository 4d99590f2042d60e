// The rows a change depends on, read and locked for the rest of its transaction, and the
// refusal when they are no longer as the caller saw them.
//
// Every write path locks first and changes after: PostgreSQL locks the rows (SELECT ... FOR
// UPDATE; printers always in ascending order, then merged printers, so that two changes
// never wait for each other); SQLite writers hold the whole database from BEGIN IMMEDIATE.
// The statements that follow re-check their conditions and their counts of changed rows.
#pragma once

#include "qm6error.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

class QM6ConnectionPrivate;

struct QM6LockedPrinter {
    qint32 id = -1;
    QString key, name, modifiedBy;
    QVariant modifiedOn;
    qint64 version = 0, bw = 0, color = 0;
    bool deleted = false;
};

class QM6RowLocks {
public:
    // Locks the printers with these identifiers; one that does not exist is missing from rows.
    static QM6ErrorPtr LockPrinters(QM6ConnectionPrivate *d, QList<qint32> ids, QHash<qint32, QM6LockedPrinter> *rows,
                                    const QString &what);
    // The live printer with this key, not locked; -1 for none.
    static QM6ErrorPtr LivePrinterByKey(QM6ConnectionPrivate *d, const QString &key, qint32 *id, const QString &what);
    // The owner of a merged printer (-1 for none), its row locked when lock is set.
    static QM6ErrorPtr AliasOwner(QM6ConnectionPrivate *d, const QString &aliasKey, bool lock, qint32 *owner,
                                  const QString &what);

    // Locks a merged printer, its owner and the printers in others. The owner is read first
    // and the merged printer may move before it is locked: then PostgreSQL lets go of what it
    // locked (a savepoint) and tries again with the new owner. owner is -1 when there is no
    // such merged printer.
    static QM6ErrorPtr LockAlias(QM6ConnectionPrivate *d, const QString &aliasKey, const QList<qint32> &others, qint32 *owner,
                                 QHash<qint32, QM6LockedPrinter> *rows, const QString &what);

    // The refusal for a printer that is not as the caller saw it: row is null when the
    // printer is gone (merged into another printer, or never there). The printer is named as
    // stored: by its name in the database, else by the name it was loaded with (storedName),
    // else by key or number. after ends the sentence ("Nothing was merged: ...").
    static QM6ErrorPtr Changed(QM6ConnectionPrivate *d, const QM6LockedPrinter *row, qint32 id, const QString &key,
                               const QString &storedName, const QString &after);
    // The refusal for a merged printer that moved to another printer or went since it was read.
    static QM6ErrorPtr AliasChanged(QM6ConnectionPrivate *d, const QString &aliasKey, qint32 nowOwner, const QString &after);
    // The name of a printer for a message: "Printer "name"", or "Printer 12".
    static QString Label(QM6ConnectionPrivate *d, qint32 id);
};
