#include "qm6rowreader.h"
#include "qm6connectionprivate.h"
#include "qm6pgcopyreader.h"

#include <QSqlError>
#include <QSqlQuery>
#include <sqlite3.h>

namespace {

using FT = QM6Recordset::FieldType;

// Steps the statement on the handle of Qt's SQLite driver: text comes straight from its pages.
class SqliteRowReader final : public QM6RowReader {
public:
    SqliteRowReader(QM6ConnectionPrivate *d, sqlite3 *db, const QString &what) : m_d(d), m_db(db), m_what(what) {}
    ~SqliteRowReader() override { sqlite3_finalize(m_stmt); }

    QM6ErrorPtr Start(const char *sql, const QList<FT> &types) override
    {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        m_types = types;
        if (sqlite3_prepare_v2(m_db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            return error();
        m_rc = SQLITE_ROW;
        return {};
    }

    bool Next(QM6Cell *cells) override
    {
        if (m_rc != SQLITE_ROW || (m_rc = sqlite3_step(m_stmt)) != SQLITE_ROW)
            return false;
        for (int i = 0; i < m_types.size(); ++i) {
            QM6Cell &c = cells[i];
            if (m_types[i] == FT::Text) {
                // Null comes back as a null pointer (an empty text as ""), which saves
                // asking for the type of every value.
                c.text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i));
                c.null = !c.text;
                if (c.null && sqlite3_errcode(m_db) == SQLITE_NOMEM) {
                    m_rc = SQLITE_NOMEM;
                    return false;
                }
                c.size = c.null ? 0 : sqlite3_column_bytes(m_stmt, i);
                continue;
            }
            c.null = sqlite3_column_type(m_stmt, i) == SQLITE_NULL;
            if (c.null)
                continue;
            switch (m_types[i]) {
            case FT::Text:
                break;
            case FT::Double:
                c.real = sqlite3_column_double(m_stmt, i);
                break;
            default:
                c.number = sqlite3_column_int64(m_stmt, i);
            }
        }
        return true;
    }

    QM6ErrorPtr Finish() override
    {
        QM6ErrorPtr e;
        if (m_rc != SQLITE_DONE && m_rc != SQLITE_ROW)
            e = error();
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        return e;
    }

private:
    QM6ErrorPtr error()
    {
        if (m_d->txnDepth > 0)
            m_d->txnFailed = true;
        return m_d->DbError(m_what, QString::fromUtf8(sqlite3_errmsg(m_db)));
    }

    QM6ConnectionPrivate *m_d;
    sqlite3 *m_db;
    QString m_what;
    sqlite3_stmt *m_stmt = nullptr;
    QList<FT> m_types;
    int m_rc = SQLITE_DONE;
};

// Any other driver: Qt SQL, one QVariant per value.
class QtRowReader final : public QM6RowReader {
public:
    QtRowReader(QM6ConnectionPrivate *d, const QString &what) : m_d(d), m_what(what) {}

    QM6ErrorPtr Start(const char *sql, const QList<FT> &types) override
    {
        m_types = types;
        m_utf8.resize(types.size());
        if (QM6ErrorPtr e = m_d->Prepare(m_q, QString::fromUtf8(sql), m_what))
            return e;
        m_q.setForwardOnly(true);
        return m_d->Exec(m_q, m_what);
    }

    bool Next(QM6Cell *cells) override
    {
        if (!m_q.next())
            return false;
        for (int i = 0; i < m_types.size(); ++i) {
            const QVariant v = m_q.value(i);
            QM6Cell &c = cells[i];
            c.null = v.isNull();
            if (c.null)
                continue;
            switch (m_types[i]) {
            case FT::Text:
                m_utf8[i] = v.toString().toUtf8();
                c.text = m_utf8[i].constData();
                c.size = m_utf8[i].size();
                break;
            case FT::Double:
                c.real = v.toDouble();
                break;
            default:
                c.number = v.toLongLong();
            }
        }
        return true;
    }

    QM6ErrorPtr Finish() override
    {
        QM6ErrorPtr e;
        if (m_q.lastError().isValid()) {
            if (m_d->txnDepth > 0)
                m_d->txnFailed = true;
            e = m_d->DbError(m_what, m_q.lastError().text());
        }
        m_q = QSqlQuery();
        return e;
    }

private:
    QM6ConnectionPrivate *m_d;
    QString m_what;
    QSqlQuery m_q;
    QList<FT> m_types;
    QList<QByteArray> m_utf8;
};

} // namespace

std::unique_ptr<QM6RowReader> QM6RowReader::For(QM6ConnectionPrivate *d, const QString &what)
{
    if (sqlite3 *db = d->SqliteHandle())
        return std::make_unique<SqliteRowReader>(d, db, what);
    if (std::unique_ptr<QM6RowReader> pg = QM6PgCopyReader::For(d, what))
        return pg;
    return std::make_unique<QtRowReader>(d, what);
}

QM6ErrorPtr QM6RowReader::Fill(QM6RowReader &reader, const char *sql, QM6Recordset *rs)
{
    const int cols = int(rs->FieldNames().size());
    QList<FT> types;
    for (int i = 0; i < cols; ++i)
        types << rs->Type(i);
    if (QM6ErrorPtr e = reader.Start(sql, types))
        return e;
    std::vector<QM6Cell> cells(static_cast<size_t>(cols));
    while (reader.Next(cells.data()))
        rs->AppendRow(cells.data());
    return reader.Finish();
}
