// The SQL behind QM6Printer: load, save with optimistic concurrency, totals, delete. The
// merges are QM6AliasStore's.
#pragma once

#include "qm6error.h"

#include <QSqlQuery>
#include <QString>

class QM6ConnectionPrivate;
struct QM6LockedPrinter;
struct QM6PrinterRecord;

class QM6PrinterStore {
public:
    static QM6ErrorPtr Load(QM6PrinterRecord *p, QM6ConnectionPrivate *c, qint32 id);
    // The columns of a printer row that Load reads, and a row of them read into p from the
    // query's column first on (every field but the identifier).
    static QString Columns();
    static void ReadRow(const QSqlQuery &q, int first, QM6PrinterRecord *p);
    static QM6ErrorPtr Save(QM6PrinterRecord *p, QM6ConnectionPrivate *c);
    static QM6ErrorPtr Delete(QM6PrinterRecord *p, QM6ConnectionPrivate *c);
    static QM6ErrorPtr SaveTotals(QM6PrinterRecord *p, QM6ConnectionPrivate *c, qint32 bw, qint32 color);
    // The printer as a message names it: by its stored name once it has one.
    static QString Label(const QM6PrinterRecord *p);

    // Stores p as a new printer under a new key, every column and the totals too, stamped by
    // the connection's user at now (ms, UTC), giving its identifier and key. Its history entry,
    // and giving p its identity once all of the change is stored, are the caller's.
    static QM6ErrorPtr InsertRow(const QM6PrinterRecord *p, QM6ConnectionPrivate *d, qint64 now, const QString &what,
                                 qint32 *id, QString *key);
    static QM6ErrorPtr Validate(const QM6PrinterRecord *p);
    static QM6ErrorPtr CheckProfile(QM6ConnectionPrivate *d, qint32 profileId, const QString &what);

private:
    static QString InsertSql();
    static void BindColumns(QSqlQuery &q, const QM6PrinterRecord *p, const QString &by, qint64 now);
    static QString NewKey();
    // Locks the loaded printer and refuses when it changed since it was loaded.
    static QM6ErrorPtr ChangedNow(QM6PrinterRecord *p, QM6ConnectionPrivate *d, const QString &after, const QString &what);
    // locked, when given, receives the row as locked.
    static QM6ErrorPtr LockUnchanged(QM6PrinterRecord *p, QM6ConnectionPrivate *d, const QString &what,
                                     QM6LockedPrinter *locked = nullptr);
    static QM6ErrorPtr Insert(QM6PrinterRecord *p, QM6ConnectionPrivate *d, const QString &what);
    static QM6ErrorPtr Update(QM6PrinterRecord *p, QM6ConnectionPrivate *d, const QString &what);
};
