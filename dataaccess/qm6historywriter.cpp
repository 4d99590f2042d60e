#include "qm6historywriter.h"
#include "qm6connectionprivate.h"
#include "qm6texts.h"

#include <QJsonArray>
#include <QJsonDocument>

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
    return QM6HistoryWriter(d).Write(entry, what);
}

QM6ErrorPtr QM6HistoryWriter::Write(const QM6HistoryEntry &entry, const QString &what)
{
    QM6KeptStatement kept;
    if (QM6ErrorPtr e = m_d->Prepare(kept, QStringLiteral(
            "INSERT INTO printer_history (printer_id, printer_key, changed_on, changed_by, kind, other_id, other_key,"
            " other_name, alias_key, changes) VALUES (:id, :key, :on, :by, :kind, :oid, :okey, :oname, :alias, :changes)"),
            what))
        return e;
    QSqlQuery &q = *kept;
    q.bindValue(QStringLiteral(":id"), entry.printerId);
    q.bindValue(QStringLiteral(":key"), entry.printerKey.isNull() ? QStringLiteral("") : entry.printerKey);
    q.bindValue(QStringLiteral(":on"), entry.changedOn.toMSecsSinceEpoch());
    q.bindValue(QStringLiteral(":by"), entry.changedBy);
    q.bindValue(QStringLiteral(":kind"), qint32(entry.kind));
    q.bindValue(QStringLiteral(":oid"), entry.otherId >= 0 ? QVariant(entry.otherId) : QVariant(QMetaType(QMetaType::Int)));
    q.bindValue(QStringLiteral(":okey"), optional(entry.otherKey));
    q.bindValue(QStringLiteral(":oname"), optional(entry.otherName));
    q.bindValue(QStringLiteral(":alias"), optional(entry.aliasKey));
    q.bindValue(QStringLiteral(":changes"), entry.changes.isEmpty() ? QVariant(QMetaType(QMetaType::QString))
                                                                    : QVariant(ChangesText(entry.changes)));
    return m_d->Exec(q, what);
}

QString QM6HistoryWriter::ChangesText(const QList<QM6HistoryChange> &changes)
{
    QJsonArray list;
    for (const QM6HistoryChange &c : changes)
        list.append(QJsonArray{c.field, c.oldValue.isNull() ? QStringLiteral("") : c.oldValue,
                               c.newValue.isNull() ? QStringLiteral("") : c.newValue});
    return QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact));
}

QList<QM6HistoryChange> QM6HistoryWriter::ReadChanges(const QString &text)
{
    QList<QM6HistoryChange> changes;
    for (const QJsonValue &v : QJsonDocument::fromJson(text.toUtf8()).array()) {
        const QJsonArray c = v.toArray();
        changes.append({c.at(0).toString(), c.at(1).toString(), c.at(2).toString()});
    }
    return changes;
}
