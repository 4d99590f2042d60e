#include "qm6rowlocks.h"
#include "qm6connectionprivate.h"
#include "qm6texts.h"

#include <QDateTime>
#include <QLocale>
#include <algorithm>

namespace {
QString when(const QVariant &ms)
{
    if (ms.isNull())
        return QM6Texts::tr("an unknown time");
    return QLocale::system().toString(QDateTime::fromMSecsSinceEpoch(ms.toLongLong()), QStringLiteral("MMM dd, yyyy HH:mm:ss"));
}

QString quoted(const QString &name)
{
    return QStringLiteral("\"%1\"").arg(name);
}
}

QM6ErrorPtr QM6RowLocks::LockPrinters(QM6ConnectionPrivate *d, QList<qint32> ids, QHash<qint32, QM6LockedPrinter> *rows,
                                      const QString &what)
{
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    rows->clear();
    if (ids.isEmpty())
        return {};
    QStringList marks;
    for (qsizetype i = 0; i < ids.size(); ++i)
        marks << QStringLiteral(":id%1").arg(i);
    QM6KeptStatement q;
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral(
            "SELECT printer_id, printer_key, name, modified_by, modified_on, row_version, bw_total, color_total, deleted"
            " FROM printers WHERE printer_id IN (%1) ORDER BY printer_id").arg(marks.join(QStringLiteral(", "))) + d->ForUpdate(),
            what))
        return e;
    for (qsizetype i = 0; i < ids.size(); ++i)
        q->bindValue(marks[i], ids[i]);
    if (QM6ErrorPtr e = d->Exec(*q, what))
        return e;
    while (q->next()) {
        QM6LockedPrinter r;
        r.id = q->value(0).toInt();
        r.key = q->value(1).toString();
        r.name = q->value(2).toString();
        r.modifiedBy = q->value(3).toString();
        r.modifiedOn = q->value(4);
        r.version = q->value(5).toLongLong();
        r.bw = q->value(6).toLongLong();
        r.color = q->value(7).toLongLong();
        r.deleted = q->value(8).toInt() != 0;
        rows->insert(r.id, r);
    }
    return {};
}

QM6ErrorPtr QM6RowLocks::LivePrinterByKey(QM6ConnectionPrivate *d, const QString &key, qint32 *id, const QString &what)
{
    *id = -1;
    QM6KeptStatement q;
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("SELECT printer_id FROM printers WHERE printer_key = :key AND deleted = 0"), what))
        return e;
    q->bindValue(QStringLiteral(":key"), key);
    if (QM6ErrorPtr e = d->Exec(*q, what))
        return e;
    if (q->next())
        *id = q->value(0).toInt();
    return {};
}

QM6ErrorPtr QM6RowLocks::AliasOwner(QM6ConnectionPrivate *d, const QString &aliasKey, bool lock, qint32 *owner, const QString &what)
{
    *owner = -1;
    QM6KeptStatement q;
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("SELECT owner_id FROM merged_printers WHERE alias_key = :key") +
                                          (lock ? d->ForUpdate() : QString()), what))
        return e;
    q->bindValue(QStringLiteral(":key"), aliasKey);
    if (QM6ErrorPtr e = d->Exec(*q, what))
        return e;
    if (q->next())
        *owner = q->value(0).toInt();
    return {};
}

QM6ErrorPtr QM6RowLocks::LockAlias(QM6ConnectionPrivate *d, const QString &aliasKey, const QList<qint32> &others, qint32 *owner,
                                   QHash<qint32, QM6LockedPrinter> *rows, const QString &what)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        qint32 seen = -1;
        if (QM6ErrorPtr e = AliasOwner(d, aliasKey, false, &seen, what))
            return e;
        *owner = seen;
        if (seen < 0)
            return {};
        if (d->pg)
            if (QM6ErrorPtr e = d->ExecSql(QStringLiteral("SAVEPOINT qm6_alias"), what))
                return e;
        if (QM6ErrorPtr e = LockPrinters(d, QList<qint32>(others) << seen, rows, what))
            return e;
        if (attempt == 0)
            d->AfterLocks();
        if (QM6ErrorPtr e = AliasOwner(d, aliasKey, true, owner, what))
            return e;
        if (*owner == seen)
            return d->pg ? d->ExecSql(QStringLiteral("RELEASE SAVEPOINT qm6_alias"), what) : QM6ErrorPtr();
        // Moved or removed after it was read: what was locked for the old owner goes.
        if (d->pg && (d->ExecSql(QStringLiteral("ROLLBACK TO SAVEPOINT qm6_alias"), what) ||
                      d->ExecSql(QStringLiteral("RELEASE SAVEPOINT qm6_alias"), what)))
            return d->DbError(what, QM6Texts::tr("the lock on a merged printer could not be let go"));
    }
    return AliasChanged(d, aliasKey, *owner, QM6Texts::tr("It kept moving; nothing was changed: try again."));
}

QString QM6RowLocks::Label(QM6ConnectionPrivate *d, qint32 id)
{
    QSqlQuery q;
    if (!d->Prepare(q, QStringLiteral("SELECT name FROM printers WHERE printer_id = :id"), QM6Texts::tr("Naming a printer"))) {
        q.bindValue(QStringLiteral(":id"), id);
        if (!d->Exec(q, QM6Texts::tr("Naming a printer")) && q.next())
            return QM6Texts::tr("printer ") + quoted(q.value(0).toString());
    }
    return QM6Texts::tr("printer %1").arg(id);
}

QM6ErrorPtr QM6RowLocks::Changed(QM6ConnectionPrivate *d, const QM6LockedPrinter *row, qint32 id, const QString &key,
                                 const QString &storedName, const QString &after)
{
    if (!row) {
        QString name = !storedName.isEmpty() ? QM6Texts::tr("Printer ") + quoted(storedName)
                       : !key.isEmpty()      ? QM6Texts::tr("The printer with the key ") + quoted(key)
                                             : QM6Texts::tr("Printer %1").arg(id);
        qint32 owner = -1;
        if (!key.isEmpty() && !AliasOwner(d, key, false, &owner, QM6Texts::tr("Finding out what became of a printer")) && owner >= 0)
            return MakeQM6Error(QM6Texts::tr("%1 was merged into %2 in the meantime. %3").arg(name, Label(d, owner), after),
                                QM6Error::ErrConflict);
        if (storedName.isEmpty() && key.isEmpty())
            return MakeQM6Error(QM6Texts::tr("Printer %1 does not exist.").arg(id), QM6Error::ErrNotFound);
        return MakeQM6Error(QM6Texts::tr("%1 no longer exists. %2").arg(name, after), QM6Error::ErrNotFound);
    }
    QString name = QM6Texts::tr("Printer ") + quoted(row->name);
    if (!storedName.isEmpty() && storedName != row->name)
        name += QM6Texts::tr(" (opened as %1)").arg(quoted(storedName));
    const QString who = row->modifiedBy.isEmpty() ? QM6Texts::tr("another user") : row->modifiedBy;
    return MakeQM6Error(QM6Texts::tr("%1 was %2 by %3 on %4, after you opened it. %5")
                            .arg(name, row->deleted ? QM6Texts::tr("deleted") : QM6Texts::tr("changed"), who,
                                 when(row->modifiedOn), after),
                        QM6Error::ErrConflict);
}

QM6ErrorPtr QM6RowLocks::AliasChanged(QM6ConnectionPrivate *d, const QString &aliasKey, qint32 nowOwner, const QString &after)
{
    if (nowOwner < 0)
        return MakeQM6Error(QM6Texts::tr("The merged printer %1 was removed in the meantime. %2").arg(quoted(aliasKey), after),
                            QM6Error::ErrConflict);
    return MakeQM6Error(QM6Texts::tr("The merged printer %1 was moved to %2 in the meantime. %3")
                            .arg(quoted(aliasKey), Label(d, nowOwner), after),
                        QM6Error::ErrConflict);
}
