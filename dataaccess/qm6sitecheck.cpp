#include "qm6sitecheck.h"
#include "qm6connectionprivate.h"

QM6ErrorPtr QM6SiteCheck::Run(QM6Connection *connection, QStringList *report, bool *allHold)
{
    QM6ConnectionPrivate *d = QM6ConnectionPrivate::get(connection);
    if (!d)
        return QM6NoConnectionError();
    const struct { const char *rule; const char *sql; } rules[] = {
        {"every merged printer belongs to an existing printer",
         "SELECT COUNT(*) FROM merged_printers m LEFT JOIN printers p ON p.printer_id = m.owner_id AND p.deleted = 0"
         " WHERE p.printer_id IS NULL"},
        {"every job counts for an existing or deleted printer",
         "SELECT COUNT(*) FROM print_jobs j LEFT JOIN printers p ON p.printer_id = j.printer_id WHERE p.printer_id IS NULL"},
        {"no page total is negative",
         "SELECT COUNT(*) FROM printers WHERE bw_total < 0 OR color_total < 0"},
        {"no job has a negative page count",
         "SELECT COUNT(*) FROM print_jobs WHERE pages < 0 OR color_pages < 0"},
        {"no key is both a live printer and a merged printer",
         "SELECT COUNT(*) FROM merged_printers m JOIN printers p ON p.printer_key = m.alias_key AND p.deleted = 0"},
    };
    *allHold = true;
    for (const auto &r : rules) {
        QSqlQuery q;
        if (QM6ErrorPtr e = d->Prepare(q, QString::fromLatin1(r.sql), QStringLiteral("Checking the site")))
            return e;
        if (QM6ErrorPtr e = d->Exec(q, QStringLiteral("Checking the site")))
            return e;
        const qint64 bad = q.next() ? q.value(0).toLongLong() : -1;
        if (bad == 0) {
            *report << QStringLiteral("ok: %1").arg(QLatin1String(r.rule));
        } else {
            *allHold = false;
            *report << QStringLiteral("FAILED: %1 (%2 rows break it)").arg(QLatin1String(r.rule)).arg(bad);
        }
    }
    const struct { const char *label; const char *sql; } counts[] = {
        {"printers", "SELECT COUNT(*) FROM printers WHERE deleted = 0"},
        {"deleted printers", "SELECT COUNT(*) FROM printers WHERE deleted = 1"},
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
