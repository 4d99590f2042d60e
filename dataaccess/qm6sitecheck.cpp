#include "qm6sitecheck.h"
#include "qm6connectionprivate.h"
#include "qm6schema.h"

#include <QSqlError>

namespace {

bool isShareAddress(const QString &port) { return port.startsWith(QLatin1String("\\\\")); }

// A dotted IPv4 address, with or without ":port" after it.
bool isIpAddress(const QString &port)
{
    const QStringList pieces = port.section(u':', 0, 0).split(u'.');
    if (pieces.size() != 4)
        return false;
    for (const QString &piece : pieces) {
        bool ok = false;
        const int v = piece.toInt(&ok);
        if (piece.isEmpty() || piece.size() > 3 || !ok || v < 0 || v > 255 || piece.front() == u'+' || piece.front() == u'-')
            return false;
    }
    return true;
}

// The port of a printer (or merged printer) says how it is reached: a share path for a network
// share, whose server is the host; an IP address for direct IP; anything else for a local port.
bool placementFits(int type, const QString &port, const QString &host)
{
    switch (type) {
    case 1:
        return isShareAddress(port) && port.mid(2).section(u'\\', 0, 0).compare(host, Qt::CaseInsensitive) == 0;
    case 2:
        return isIpAddress(port);
    case 3:
        return !isShareAddress(port) && !isIpAddress(port);
    default:
        return false;
    }
}

} // namespace

QM6ErrorPtr QM6SiteCheck::Run(QM6Connection *connection, QStringList *report, bool *allHold)
{
    QM6ConnectionPrivate *d = QM6ConnectionPrivate::get(connection);
    if (!d)
        return QM6NoConnectionError();
    const struct { const char *rule; const char *sql; } rules[] = {
        {"every merged printer's owner is a live (not deleted) printer",
         "SELECT COUNT(*) FROM merged_printers m LEFT JOIN printers p ON p.printer_id = m.owner_id AND p.deleted = 0"
         " WHERE p.printer_id IS NULL"},
        {"every job seen on a merged printer's key counts for that merged printer's owner",
         "SELECT COUNT(*) FROM print_jobs j JOIN merged_printers m ON m.alias_key = j.seen_on_key WHERE j.printer_id <> m.owner_id"},
        {"every job counts for an existing printer, live or deleted",
         "SELECT COUNT(*) FROM print_jobs j LEFT JOIN printers p ON p.printer_id = j.printer_id WHERE p.printer_id IS NULL"},
        {"no page total is negative",
         "SELECT COUNT(*) FROM printers WHERE bw_total < 0 OR color_total < 0"},
        {"no job has a negative page count",
         "SELECT COUNT(*) FROM print_jobs WHERE pages < 0 OR color_pages < 0"},
        {"no key is both a live printer and a merged printer",
         "SELECT COUNT(*) FROM merged_printers m JOIN printers p ON p.printer_key = m.alias_key AND p.deleted = 0"},
    };
    *allHold = true;
    // Every rule runs, whatever the others found: on a damaged site a rule's query may fail,
    // and then that rule is reported as failed with the database's reason.
    auto verdict = [&](const char *rule, qint64 bad, const QString &failure) {
        if (failure.isEmpty() && bad == 0) {
            *report << QStringLiteral("ok: %1").arg(QLatin1String(rule));
            return;
        }
        *allHold = false;
        *report << (failure.isEmpty() ? QStringLiteral("FAILED: %1 (%2 rows break it)").arg(QLatin1String(rule)).arg(bad)
                                      : QStringLiteral("FAILED: %1 (its query failed: %2)").arg(QLatin1String(rule), failure));
    };
    auto query = [&](QSqlQuery &q, const char *sql) -> QString {
        q = QSqlQuery(d->db());
        q.setForwardOnly(true);
        if (QM6ErrorPtr e = d->Ensure())
            return e->Description();
        if (!q.exec(QString::fromLatin1(sql)))
            return q.lastError().text().trimmed();
        return QString();
    };
    for (const auto &r : rules) {
        QSqlQuery q;
        QString failure = query(q, r.sql);
        qint64 bad = 0;
        if (failure.isEmpty()) {
            if (q.next())
                bad = q.value(0).toLongLong();
            else
                failure = QStringLiteral("it gave no count");
        }
        verdict(r.rule, bad, failure);
    }
    {
        const char rule[] = "every printer's port and host fit its connection type";
        qint64 bad = 0;
        QString failure;
        for (const char *sql : {"SELECT connection_type, port, host FROM printers WHERE deleted = 0",
                                "SELECT connection_type, port, host FROM merged_printers"}) {
            QSqlQuery q;
            if (failure.isEmpty())
                failure = query(q, sql);
            while (failure.isEmpty() && q.next())
                bad += placementFits(q.value(0).toInt(), q.value(1).toString(), q.value(2).toString()) ? 0 : 1;
        }
        verdict(rule, bad, failure);
    }
    {
        // What a printer says about its last change agrees with its history (the kinds that
        // stamp a printer, QM6HistoryEntry::Stamps). Adding a printer and merging another into
        // it stamp it too, so they count with saves, totals and deletes.
        const char rule[] = "every printer with an add, save, totals, merge or delete entry in its history was last modified by"
                            " and on what its latest such entry says";
        int version = 0;
        QString failure;
        if (QM6ErrorPtr e = QM6Schema::ReadVersion(d, &version))
            failure = e->Description();
        if (failure.isEmpty() && version < QM6Schema::HistoryVersion) {
            *report << QStringLiteral("ok: %1 (the site is of version %2 and keeps no history yet)").arg(QLatin1String(rule)).arg(version);
        } else {
            QSqlQuery q;
            if (failure.isEmpty())
                failure = query(q, "SELECT COUNT(*) FROM printers p"
                                   " JOIN (SELECT printer_id, MAX(entry_id) AS last_id FROM printer_history"
                                   " WHERE kind IN (1, 2, 3, 5, 9) GROUP BY printer_id) l ON l.printer_id = p.printer_id"
                                   " JOIN printer_history h ON h.entry_id = l.last_id"
                                   " WHERE p.modified_by IS NULL OR p.modified_on IS NULL"
                                   " OR p.modified_by <> h.changed_by OR p.modified_on <> h.changed_on");
            qint64 bad = 0;
            if (failure.isEmpty() && q.next())
                bad = q.value(0).toLongLong();
            verdict(rule, bad, failure);
        }
    }
    const struct { const char *label; const char *sql; } counts[] = {
        {"printers", "SELECT COUNT(*) FROM printers WHERE deleted = 0"},
        {"deleted printers", "SELECT COUNT(*) FROM printers WHERE deleted = 1"},
        {"history entries", "SELECT COUNT(*) FROM printer_history"},
        {"merged printers", "SELECT COUNT(*) FROM merged_printers"},
        {"print jobs", "SELECT COUNT(*) FROM print_jobs"},
    };
    for (const auto &cnt : counts) {
        QSqlQuery q(d->db());
        if (q.exec(QString::fromLatin1(cnt.sql)) && q.next())
            *report << QStringLiteral("%1: %2").arg(QLatin1String(cnt.label)).arg(q.value(0).toLongLong());
    }
    return {};
}
