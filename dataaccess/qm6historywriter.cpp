#include "qm6historywriter.h"
#include "qm6connectionprivate.h"
#include "qm6texts.h"

namespace {

QVariant optional(const QString &v)
{
    return v.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(v);
}

} // namespace

QM6HistoryEntry QM6HistoryWriter::Make(QM6ConnectionPrivate *d, QM6HistoryEntry::Kind kind, qint32 printerId,
                                       const QString &printerKey, qint64 msecs)
{
    QM6HistoryEntry e;
    e.kind = kind;
    e.printerId = printerId;
    e.printerKey = printerKey;
    e.changedBy = d->identity;
    e.changedOn = QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
    return e;
}

QM6ErrorPtr QM6HistoryWriter::Record(QM6ConnectionPrivate *d, const QM6HistoryEntry &entry, const QString &what)
{
    QSqlQuery q;
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral(
            "INSERT INTO printer_history (printer_id, printer_key, changed_on, changed_by, kind, other_id, other_key,"
            " other_name, alias_key) VALUES (:id, :key, :on, :by, :kind, :oid, :okey, :oname, :alias) RETURNING entry_id"),
            what))
        return e;
    q.bindValue(QStringLiteral(":id"), entry.printerId);
    q.bindValue(QStringLiteral(":key"), entry.printerKey.isNull() ? QStringLiteral("") : entry.printerKey);
    q.bindValue(QStringLiteral(":on"), entry.changedOn.toMSecsSinceEpoch());
    q.bindValue(QStringLiteral(":by"), entry.changedBy);
    q.bindValue(QStringLiteral(":kind"), qint32(entry.kind));
    q.bindValue(QStringLiteral(":oid"), entry.otherId >= 0 ? QVariant(entry.otherId) : QVariant(QMetaType(QMetaType::Int)));
    q.bindValue(QStringLiteral(":okey"), optional(entry.otherKey));
    q.bindValue(QStringLiteral(":oname"), optional(entry.otherName));
    q.bindValue(QStringLiteral(":alias"), optional(entry.aliasKey));
    if (QM6ErrorPtr e = d->Exec(q, what))
        return e;
    if (!q.next())
        return d->DbError(what, QM6Texts::tr("the new history entry's number did not come back"));
    const qint64 entryId = q.value(0).toLongLong();
    if (entry.changes.isEmpty())
        return {};
    // All the fields of one entry in one statement.
    QString sql = QStringLiteral("INSERT INTO printer_history_fields (entry_id, field_no, field, old_value, new_value) VALUES ");
    for (qsizetype i = 0; i < entry.changes.size(); ++i)
        sql += QStringLiteral("%1(?, ?, ?, ?, ?)").arg(i ? QStringLiteral(", ") : QString());
    if (QM6ErrorPtr e = d->Prepare(q, sql, what))
        return e;
    int n = 0;
    for (qsizetype i = 0; i < entry.changes.size(); ++i) {
        const QM6HistoryChange &c = entry.changes[i];
        q.bindValue(n++, entryId);
        q.bindValue(n++, qint32(i));
        q.bindValue(n++, c.field);
        q.bindValue(n++, c.oldValue.isNull() ? QStringLiteral("") : c.oldValue);
        q.bindValue(n++, c.newValue.isNull() ? QStringLiteral("") : c.newValue);
    }
    return d->Exec(q, what);
}
