#include "printerdata.h"
#include "qm6connectionprivate.h"
#include "qm6texts.h"

#include <QSqlError>
#include <sqlite3.h>

namespace {

// One record per printer and per alias; a printer without aliases gives one record with
// Null alias fields. The order is served by the indexes printers_list and
// merged_printers_owner, so the database never sorts.
const char printersSql[] =
    "SELECT p.printer_id, p.printer_key, p.name, p.port, p.host, tp.name, p.connection_type, p.account_no,"
    " m.alias_key, m.device_name, m.port, m.host, m.merge_type"
    " FROM printers p"
    " LEFT JOIN track_profiles tp ON tp.profile_id = p.profile_id"
    " LEFT JOIN merged_printers m ON m.owner_id = p.printer_id"
    " WHERE p.deleted = 0"
    " ORDER BY p.name, p.printer_id, m.alias_key";

using FT = QM6Recordset::FieldType;

QM6RecordsetPtr newPrinterRecordset()
{
    static const QStringList names{"PrinterId", "PrinterKey", "Name", "Port", "Host", "ProfileName", "ConnectionType",
                                   "AccountNo", "AliasPrinterKey", "AliasDeviceName", "AliasPort", "AliasHost",
                                   "AliasMergeType"};
    static const QList<FT> types{FT::Integer, FT::Text, FT::Text, FT::Text, FT::Text, FT::Text, FT::Integer,
                                 FT::Text, FT::Text, FT::Text, FT::Text, FT::Text, FT::Integer};
    return std::make_shared<QM6Recordset>(names, types);
}

QM6ErrorPtr sqliteError(QM6ConnectionPrivate *d, sqlite3 *db, const QString &what)
{
    return d->DbError(what, QString::fromUtf8(sqlite3_errmsg(db)));
}

// Steps the query on the driver's own handle and copies UTF-8 straight into the columns.
QM6ErrorPtr fillFromSqlite(QM6ConnectionPrivate *d, sqlite3 *db, const char *sql, QM6Recordset *rs, const QString &what)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK)
        return sqliteError(d, db, what);
    const int cols = sqlite3_column_count(stmt);
    QList<bool> isText;
    for (int i = 0; i < cols; ++i)
        isText << (rs->Type(i) == FT::Text);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        rs->BeginRow();
        for (int i = 0; i < cols; ++i) {
            if (sqlite3_column_type(stmt, i) == SQLITE_NULL)
                continue;
            if (isText[i]) {
                const char *t = reinterpret_cast<const char *>(sqlite3_column_text(stmt, i));
                rs->SetText(i, t, sqlite3_column_bytes(stmt, i));
            } else {
                rs->SetInt(i, sqlite3_column_int64(stmt, i));
            }
        }
    }
    QM6ErrorPtr e;
    if (rc != SQLITE_DONE)
        e = sqliteError(d, db, what);
    sqlite3_finalize(stmt);
    return e;
}

QM6ErrorPtr fillFromQuery(QM6ConnectionPrivate *d, const QString &sql, QM6Recordset *rs, const QString &what)
{
    QSqlQuery q;
    if (QM6ErrorPtr e = d->Prepare(q, sql, what))
        return e;
    q.setForwardOnly(true);
    if (QM6ErrorPtr e = d->Exec(q, what))
        return e;
    const int cols = rs->FieldNames().size();
    while (q.next()) {
        rs->BeginRow();
        for (int i = 0; i < cols; ++i)
            rs->SetValue(i, q.value(i));
    }
    if (q.lastError().isValid())
        return d->DbError(what, q.lastError().text());
    return {};
}

QM6ErrorPtr fill(const QM6ConnectionPtr &connection, const char *sql, QM6Recordset *rs, const QString &what)
{
    QM6ConnectionPrivate *d = QM6ConnectionPrivate::get(connection);
    if (!d)
        return QM6NoConnectionError();
    if (QM6ErrorPtr e = d->Ensure())
        return e;
    if (sqlite3 *db = d->SqliteHandle())
        return fillFromSqlite(d, db, sql, rs, what);
    return fillFromQuery(d, QString::fromUtf8(sql), rs, what);
}
}

PrinterData &PrinterData::Instance()
{
    thread_local PrinterData instance;
    return instance;
}

const char *QM6PrinterListSql()
{
    return printersSql;
}

QM6ErrorPtr PrinterData::GetPrinters(const QM6ConnectionPtr &connection, QM6RecordsetPtr *recordset, bool)
{
    if (recordset)
        recordset->reset();
    QM6ConnectionPrivate *d = QM6ConnectionPrivate::get(connection);
    if (!d)
        return QM6NoConnectionError();
    QM6RecordsetPtr rs = newPrinterRecordset();
    if (d->lastListRows > 0) {
        rs->Reserve(d->lastListRows + d->lastListRows / 64);
        for (int i = 0; i < d->lastListText.size(); ++i)
            if (d->lastListText[i] > 0)
                rs->ReserveText(i, d->lastListText[i] + d->lastListText[i] / 64);
    }
    if (QM6ErrorPtr e = fill(connection, printersSql, rs.get(), QM6Texts::tr("Reading the printer list")))
        return e;
    d->lastListRows = rs->RecordCount();
    d->lastListText.clear();
    for (int i = 0; i < rs->FieldNames().size(); ++i)
        d->lastListText << (rs->Type(i) == FT::Text ? rs->TextBytes(i) : 0);
    rs->EndFill();
    if (recordset)
        *recordset = std::move(rs);
    return {};
}

QM6ErrorPtr PrinterData::GetPrintProfiles(const QM6ConnectionPtr &connection, QM6RecordsetPtr *recordset)
{
    if (recordset)
        recordset->reset();
    auto rs = std::make_shared<QM6Recordset>(QStringList{"PrintProfileId", "Name"}, QList<FT>{FT::Integer, FT::Text});
    if (QM6ErrorPtr e = fill(connection, "SELECT profile_id, name FROM track_profiles ORDER BY name, profile_id", rs.get(),
                             QM6Texts::tr("Reading the track profiles")))
        return e;
    rs->EndFill();
    if (recordset)
        *recordset = std::move(rs);
    return {};
}
