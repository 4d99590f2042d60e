#include "qm6history.h"
#include "qm6connectionprivate.h"
#include "qm6schema.h"
#include "qm6texts.h"

#include <limits>

QM6ErrorPtr QM6History::Read(const QM6ConnectionPtr &connection, qint32 printerId, const QDateTime &since,
                             QList<QM6HistoryEntry> *entries)
{
    entries->clear();
    QM6ConnectionPrivate *d = QM6ConnectionPrivate::get(connection);
    if (!d)
        return QM6NoConnectionError();
    const QString what = printerId < 0 ? QM6Texts::tr("Reading the history of the printers")
                                       : QM6Texts::tr("Reading the history of printer %1").arg(printerId);
    // Connections that may write have brought the site up to date when they opened.
    if (d->readOnly) {
        int version = 0;
        if (QM6ErrorPtr e = QM6Schema::ReadVersion(d, &version))
            return e;
        if (version < QM6Schema::HistoryVersion)
            return {};
    }
    QSqlQuery q;
    // One statement: the entries by the printer index, newest first, each with its fields.
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral(
            "SELECT h.entry_id, h.printer_key, h.changed_on, h.changed_by, h.kind, h.other_id, h.other_key, h.other_name,"
            " h.alias_key, f.field, f.old_value, f.new_value, h.printer_id"
            " FROM printer_history h LEFT JOIN printer_history_fields f ON f.entry_id = h.entry_id"
            " WHERE %1h.changed_on >= :since ORDER BY h.entry_id DESC, f.field_no")
                                          .arg(printerId < 0 ? QString() : QStringLiteral("h.printer_id = :id AND ")), what))
        return e;
    q.setForwardOnly(true);
    if (printerId >= 0)
        q.bindValue(QStringLiteral(":id"), printerId);
    q.bindValue(QStringLiteral(":since"), since.isValid() ? since.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min());
    if (QM6ErrorPtr e = d->Exec(q, what))
        return e;
    while (q.next()) {
        const qint64 id = q.value(0).toLongLong();
        if (entries->isEmpty() || entries->last().entryId != id) {
            QM6HistoryEntry e;
            e.entryId = id;
            e.printerId = q.value(12).toInt();
            e.printerKey = q.value(1).toString();
            e.changedOn = QDateTime::fromMSecsSinceEpoch(q.value(2).toLongLong(), Qt::UTC);
            e.changedBy = q.value(3).toString();
            e.kind = QM6HistoryEntry::Kind(q.value(4).toInt());
            e.otherId = q.value(5).isNull() ? -1 : q.value(5).toInt();
            e.otherKey = q.value(6).toString();
            e.otherName = q.value(7).toString();
            e.aliasKey = q.value(8).toString();
            entries->append(e);
        }
        if (!q.value(9).isNull())
            entries->last().changes.append({q.value(9).toString(), q.value(10).toString(), q.value(11).toString()});
    }
    return {};
}
