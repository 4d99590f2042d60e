#include "qm6history.h"
#include "qm6connectionprivate.h"
#include "qm6historywriter.h"
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
    // The entries by the printer index, newest first.
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral(
            "SELECT entry_id, printer_id, printer_key, changed_on, changed_by, kind, other_id, other_key, other_name, alias_key,"
            " changes FROM printer_history WHERE %1changed_on >= :since ORDER BY entry_id DESC")
                                          .arg(printerId < 0 ? QString() : QStringLiteral("printer_id = :id AND ")), what))
        return e;
    q.setForwardOnly(true);
    if (printerId >= 0)
        q.bindValue(QStringLiteral(":id"), printerId);
    q.bindValue(QStringLiteral(":since"), since.isValid() ? since.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min());
    if (QM6ErrorPtr e = d->Exec(q, what))
        return e;
    while (q.next()) {
        QM6HistoryEntry e;
        e.entryId = q.value(0).toLongLong();
        e.printerId = q.value(1).toInt();
        e.printerKey = q.value(2).toString();
        e.changedOn = QDateTime::fromMSecsSinceEpoch(q.value(3).toLongLong(), Qt::UTC);
        e.changedBy = q.value(4).toString();
        e.kind = QM6HistoryEntry::Kind(q.value(5).toInt());
        e.otherId = q.value(6).isNull() ? -1 : q.value(6).toInt();
        e.otherKey = q.value(7).toString();
        e.otherName = q.value(8).toString();
        e.aliasKey = q.value(9).toString();
        if (!q.value(10).isNull())
            e.changes = QM6HistoryWriter::ReadChanges(q.value(10).toString());
        entries->append(e);
    }
    return {};
}
