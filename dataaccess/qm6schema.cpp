#include "qm6schema.h"
#include "qm6connectionprivate.h"
#include "qm6siteusers.h"
#include "qm6texts.h"

#include <QSqlError>
#include <QStringList>

namespace {

// The same SQL for both backends; only the identity column and the binary ordering of
// names differ, written as {ID} and {C}.
const char *const migration1[] = {
    "CREATE TABLE track_profiles (profile_id {ID}, name VARCHAR(100){C} NOT NULL)",
    "CREATE INDEX track_profiles_name ON track_profiles(name)",
    "CREATE TABLE printers ("
    " printer_id {ID},"
    " printer_key VARCHAR(255) NOT NULL,"
    " name VARCHAR(100){C} NOT NULL,"
    " device VARCHAR(255), host VARCHAR(55), port VARCHAR(100), model VARCHAR(255),"
    " location VARCHAR(255), serial_no VARCHAR(255), account_no VARCHAR(255),"
    " connection_type INTEGER NOT NULL DEFAULT 3, device_type INTEGER NOT NULL DEFAULT 0, profile_id INTEGER,"
    " is_color INTEGER NOT NULL DEFAULT 0, is_duplex INTEGER NOT NULL DEFAULT 0, pop_early INTEGER NOT NULL DEFAULT 0,"
    " disable_color_mode INTEGER NOT NULL DEFAULT 0, auto_merge INTEGER NOT NULL DEFAULT 0,"
    " am_device TEXT, am_host TEXT, am_port TEXT, am_model TEXT, am_connection_types INTEGER NOT NULL DEFAULT 0,"
    " bw_total BIGINT NOT NULL DEFAULT 0, color_total BIGINT NOT NULL DEFAULT 0,"
    " modified_by VARCHAR(100), modified_on BIGINT,"
    " row_version INTEGER NOT NULL DEFAULT 1, deleted INTEGER NOT NULL DEFAULT 0)",
    "CREATE UNIQUE INDEX printers_key ON printers(printer_key)",
    // Serves the printer list in order: live printers by name, then identifier.
    "CREATE INDEX printers_list ON printers(deleted, name, printer_id)",
    "CREATE TABLE merged_printers ("
    " alias_id {ID}, alias_key VARCHAR(255){C} NOT NULL,"
    " device_name VARCHAR(255), host VARCHAR(55), port VARCHAR(100),"
    " connection_type INTEGER NOT NULL DEFAULT 0, merge_type INTEGER NOT NULL DEFAULT 1, owner_id INTEGER NOT NULL)",
    "CREATE UNIQUE INDEX merged_printers_key ON merged_printers(alias_key)",
    "CREATE INDEX merged_printers_owner ON merged_printers(owner_id, alias_key)",
    "CREATE TABLE print_jobs ("
    " job_id {ID}, seen_on_key VARCHAR(255) NOT NULL, printer_id INTEGER NOT NULL,"
    " pages INTEGER NOT NULL, color_pages INTEGER NOT NULL DEFAULT 0, user_name VARCHAR(100), printed_on BIGINT NOT NULL)",
    "CREATE INDEX print_jobs_printer ON print_jobs(printer_id)",
    "CREATE INDEX print_jobs_seen_on ON print_jobs(seen_on_key)",
    "CREATE TABLE lookup_entries (list_no INTEGER NOT NULL, code INTEGER NOT NULL, text VARCHAR(100) NOT NULL,"
    " PRIMARY KEY (list_no, code))",
    "CREATE TABLE users (user_id {ID}, user_name VARCHAR(100) NOT NULL, full_name VARCHAR(100))",
    "CREATE UNIQUE INDEX users_name ON users(user_name)",
    "CREATE TABLE permissions (code INTEGER NOT NULL PRIMARY KEY, description VARCHAR(100) NOT NULL)",
    "CREATE TABLE user_permissions (user_id INTEGER NOT NULL, code INTEGER NOT NULL, PRIMARY KEY (user_id, code))",
    // Fixed lists every site has.
    "INSERT INTO lookup_entries (list_no, code, text) VALUES (5, 0, 'Unknown'), (5, 1, 'Laser printer'),"
    " (5, 2, 'Inkjet printer'), (5, 3, 'Multifunction device'), (5, 4, 'Plotter'), (5, 5, 'Label printer')",
    "INSERT INTO lookup_entries (list_no, code, text) VALUES (6, 0, ''), (6, 1, 'Network share'), (6, 2, 'Direct IP'),"
    " (6, 3, 'Local')",
    "INSERT INTO permissions (code, description) VALUES (128, 'May view printers'), (129, 'May change printers'),"
    " (130, 'May view reports'), (131, 'May change users')",
    // Every site starts with an administrator who holds every permission.
    "INSERT INTO users (user_name, full_name) VALUES ('admin', 'Administrator')",
    "INSERT INTO user_permissions (user_id, code) SELECT u.user_id, p.code FROM users u, permissions p"
    " WHERE u.user_name = 'admin'",
};

// SQLite reads the printer list from two covering indexes instead of visiting every table
// row at random. PostgreSQL keeps the narrow indexes: its index rows have a size limit
// that long texts could pass.
const char *const migration2Sqlite[] = {
    "DROP INDEX printers_list",
    "CREATE INDEX printers_list ON printers(deleted, name, printer_id, printer_key, port, host, profile_id,"
    " connection_type, account_no)",
    "DROP INDEX merged_printers_owner",
    "CREATE INDEX merged_printers_owner ON merged_printers(owner_id, alias_key, device_name, port, host, merge_type)",
};

// The lookup lists' entries in other languages than English (the entries themselves keep the
// English text, which stands in for a language that has none).
const char *const migration3[] = {
    "CREATE TABLE lookup_texts (list_no INTEGER NOT NULL, code INTEGER NOT NULL, locale_id INTEGER NOT NULL,"
    " text VARCHAR(100) NOT NULL, PRIMARY KEY (list_no, code, locale_id))",
    "INSERT INTO lookup_texts (list_no, code, locale_id, text) VALUES (5, 0, 1036, 'Inconnu'), (5, 1, 1036, 'Imprimante laser'),"
    " (5, 2, 1036, 'Imprimante à jet d''encre'), (5, 3, 1036, 'Appareil multifonction'), (5, 4, 1036, 'Traceur'),"
    " (5, 5, 1036, 'Imprimante d''étiquettes')",
    "INSERT INTO lookup_texts (list_no, code, locale_id, text) VALUES (6, 1, 1036, 'Partage réseau'), (6, 2, 1036, 'IP directe'),"
    " (6, 3, 1036, 'Locale')",
};

// PostgreSQL reads the printer list from the same two indexes, with the listed columns
// carried in them (INCLUDE): an index-only scan in list order, where the narrow indexes of
// the first versions visit every table row at random or sort the whole table. The texts the component
// accepts fit an index row: at their longest, in characters of four bytes each, a merged
// printer's key, device name, port and host take 2,660 bytes and a printer's fields
// (its key is made here, 38 characters) 2,078, under the 2,704 a B-tree row may hold.
// The server keeps the statistics and the visibility map of both tables current after a
// fiftieth of their rows changed, not a fifth: a list read only from its indexes needs both.
const char *const migration4Pg[] = {
    "DROP INDEX printers_list",
    "CREATE INDEX printers_list ON printers(deleted, name, printer_id)"
    " INCLUDE (printer_key, port, host, profile_id, connection_type, account_no)",
    "DROP INDEX merged_printers_owner",
    "CREATE INDEX merged_printers_owner ON merged_printers(owner_id, alias_key) INCLUDE (device_name, port, host, merge_type)",
    "ALTER TABLE printers SET (autovacuum_vacuum_scale_factor = 0.02, autovacuum_vacuum_insert_scale_factor = 0.02,"
    " autovacuum_analyze_scale_factor = 0.02)",
    "ALTER TABLE merged_printers SET (autovacuum_vacuum_scale_factor = 0.02, autovacuum_vacuum_insert_scale_factor = 0.02,"
    " autovacuum_analyze_scale_factor = 0.02)",
};

// The change history of printers (QM6History). Entries name their printer by identifier and
// key and have no foreign key: the history of a printer whose row a merge removed, or that was
// deleted, stays. One printer's history is read by the printer index, newest first. The fields
// a change gave new values are a JSON array in the entry's own row ([["name", "old", "new"],
// ...]): one row per change keeps each change's commit small.
const char *const migration5[] = {
    "CREATE TABLE printer_history (entry_id {ID}, printer_id INTEGER NOT NULL, printer_key VARCHAR(255) NOT NULL,"
    " changed_on BIGINT NOT NULL, changed_by VARCHAR(100) NOT NULL, kind INTEGER NOT NULL, other_id INTEGER,"
    " other_key VARCHAR(255), other_name VARCHAR(100), alias_key VARCHAR(255), changes TEXT)",
    "CREATE INDEX printer_history_printer ON printer_history(printer_id, entry_id)",
};

QString adapt(const char *sql, bool pg)
{
    QString s = QString::fromUtf8(sql);
    s.replace(QLatin1String("{ID}"), pg ? QLatin1String("INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY")
                                        : QLatin1String("INTEGER PRIMARY KEY AUTOINCREMENT"));
    s.replace(QLatin1String("{C}"), pg ? QLatin1String(" COLLATE \"C\"") : QLatin1String(""));
    return s;
}

}

QM6ErrorPtr QM6Schema::ReadVersion(QM6ConnectionPrivate *d, int *version)
{
    const QString what = QM6Texts::tr("Reading the schema version");
    *version = 0;
    QSqlQuery q(d->db());
    const QString exists = d->pg ? QStringLiteral("SELECT COUNT(*) FROM pg_tables WHERE schemaname = current_schema() AND tablename = 'schema_version'")
                                 : QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = 'schema_version'");
    if (!q.exec(exists) || !q.next())
        return d->DbError(what, q.lastError().text());
    if (q.value(0).toLongLong() == 0)
        return {};
    if (!q.exec(QStringLiteral("SELECT MAX(version) FROM schema_version")))
        return d->DbError(what, q.lastError().text());
    *version = q.next() ? q.value(0).toInt() : 0;
    return {};
}

QM6ErrorPtr QM6Schema::RequireSite(QM6ConnectionPrivate *d)
{
    int version = 0;
    if (QM6ErrorPtr e = ReadVersion(d, &version))
        return e;
    if (version < 1)
        return MakeQM6Error(QM6Texts::tr("%1 is not a Quillmark site: it has no schema version. Nothing was changed.").arg(d->url),
                            QM6Error::ErrNoDatabase);
    if (version > CurrentVersion)
        return MakeQM6Error(QM6Texts::tr("The database is of schema version %1, newer than this program knows (%2). "
                                           "Use a newer Quillmark version.").arg(version).arg(CurrentVersion),
                            QM6Error::ErrNoDatabase);
    return {};
}

QM6ErrorPtr QM6Schema::Migrate(QM6ConnectionPrivate *d, bool *created)
{
    if (created)
        *created = false;
    int version = 0;
    if (QM6ErrorPtr e = ReadVersion(d, &version))
        return e;
    if (version == CurrentVersion)
        return {};
    if (version > CurrentVersion)
        return RequireSite(d);
    const QString what = version == 0 ? QM6Texts::tr("Creating the site's tables")
                                      : QM6Texts::tr("Bringing the site's tables up to date (version %1 to %2; this needs "
                                                       "write access)").arg(version).arg(CurrentVersion);
    // Outside any transaction, as SQLite requires; a site keeps it from then on.
    if (!d->pg && version == 0)
        if (QM6ErrorPtr e = d->ExecSql(QStringLiteral("PRAGMA journal_mode=WAL"), what))
            return e;
    // Several consoles may open a new database at once: one of them migrates, the
    // others wait and then find it done.
    QM6ErrorPtr e = d->ExecSql(d->pg ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"), what);
    if (e)
        return e;
    d->txnDepth = 1;
    auto fail = [&](QM6ErrorPtr err) {
        d->txnDepth = 0;
        d->txnFailed = false;
        QSqlQuery(QStringLiteral("ROLLBACK"), d->db());
        return err;
    };
    if (d->pg && (e = d->ExecSql(QStringLiteral("SELECT pg_advisory_xact_lock(6006)"), what)))
        return fail(e);
    if ((e = d->ExecSql(QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)"), what)))
        return fail(e);
    if ((e = ReadVersion(d, &version)))
        return fail(e);
    if (version > CurrentVersion)
        return fail(RequireSite(d));
    if (version < 1) {
        for (const char *sql : migration1)
            if ((e = d->ExecSql(adapt(sql, d->pg), what)))
                return fail(e);
        if ((e = d->ExecSql(QStringLiteral("INSERT INTO schema_version (version) VALUES (1)"), what)))
            return fail(e);
        if ((e = QM6SiteUsers::GrantCreator(d)))
            return fail(e);
        if (created)
            *created = true;
    }
    if (version < 2) {
        if (!d->pg)
            for (const char *sql : migration2Sqlite)
                if ((e = d->ExecSql(QString::fromLatin1(sql), what)))
                    return fail(e);
        if ((e = d->ExecSql(QStringLiteral("INSERT INTO schema_version (version) VALUES (2)"), what)))
            return fail(e);
    }
    if (version < 3) {
        for (const char *sql : migration3)
            if ((e = d->ExecSql(QString::fromUtf8(sql), what)))
                return fail(e);
        if ((e = d->ExecSql(QStringLiteral("INSERT INTO schema_version (version) VALUES (3)"), what)))
            return fail(e);
    }
    if (version < 4) {
        if (d->pg)
            for (const char *sql : migration4Pg)
                if ((e = d->ExecSql(QString::fromLatin1(sql), what)))
                    return fail(e);
        if ((e = d->ExecSql(QStringLiteral("INSERT INTO schema_version (version) VALUES (4)"), what)))
            return fail(e);
    }
    // Sites made before keep no history of what happened to them until then.
    if (version < 5) {
        for (const char *sql : migration5)
            if ((e = d->ExecSql(adapt(sql, d->pg), what)))
                return fail(e);
        if ((e = d->ExecSql(QStringLiteral("INSERT INTO schema_version (version) VALUES (5)"), what)))
            return fail(e);
    }
    QSqlQuery q(d->db());
    const bool ok = q.exec(QStringLiteral("COMMIT"));
    d->txnDepth = 0;
    if (!ok)
        return fail(d->DbError(what, q.lastError().text()));
    q = QSqlQuery();
    RefreshStatistics(d);
    return {};
}

void QM6Schema::RefreshStatistics(QM6ConnectionPrivate *d)
{
    if (!d->pg)
        return;
    // Statistics only help the planner: a role that may not refresh them gets a warning from
    // the server, and a failure here leaves the site as it was.
    const char *tables = "printers, merged_printers, print_jobs, track_profiles";
    QSqlQuery q(d->db());
    if (d->txnDepth == 0)
        q.exec(QStringLiteral("VACUUM (ANALYZE) %1").arg(QLatin1String(tables)));
    else
        q.exec(QStringLiteral("ANALYZE %1").arg(QLatin1String(tables)));
}
