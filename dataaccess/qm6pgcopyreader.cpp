#include "qm6pgcopyreader.h"
#include "qm6connectionprivate.h"

#include <QSqlDriver>
#include <QtEndian>
#include <cstring>
#include <libpq-fe.h>

namespace {

using FT = QM6Recordset::FieldType;

// The fixed start of a binary copy: signature, flags, header extension length.
constexpr char Signature[] = "PGCOPY\n\377\r\n";
constexpr int HeaderSize = 11 + 4 + 4;

class PgCopyReader final : public QM6RowReader {
public:
    PgCopyReader(QM6ConnectionPrivate *d, PGconn *conn, const QString &what) : m_d(d), m_conn(conn), m_what(what) {}
    ~PgCopyReader() override { drain(); }

    QM6ErrorPtr Start(const char *sql, const QList<FT> &types) override
    {
        drain();
        m_types = types;
        m_error.clear();
        m_first = true;
        const QByteArray copy = QByteArray("COPY (") + sql + ") TO STDOUT (FORMAT binary)";
        PGresult *r = PQexec(m_conn, copy.constData());
        const bool ok = PQresultStatus(r) == PGRES_COPY_OUT;
        if (!ok)
            m_error = r ? QString::fromUtf8(PQresultErrorMessage(r)) : QString::fromUtf8(PQerrorMessage(m_conn));
        PQclear(r);
        if (!ok)
            return error();
        m_copying = true;
        return {};
    }

    bool Next(QM6Cell *cells) override
    {
        while (m_copying) {
            PQfreemem(m_buf);
            m_buf = nullptr;
            const int len = PQgetCopyData(m_conn, &m_buf, 0);
            if (len < 0) {
                endCopy(len == -2);
                return false;
            }
            const char *p = m_buf, *end = m_buf + len;
            if (m_first) {
                m_first = false;
                if (len < HeaderSize || std::memcmp(p, Signature, 11) != 0)
                    return malformed();
                p += HeaderSize + qFromBigEndian<qint32>(p + 15);
            }
            if (end - p < 2)
                return malformed();
            const qint16 fields = qFromBigEndian<qint16>(p);
            p += 2;
            if (fields == -1)
                continue;   // the trailer; the end of the copy follows
            if (fields != m_types.size())
                return malformed();
            for (int i = 0; i < fields; ++i) {
                if (end - p < 4)
                    return malformed();
                const qint32 n = qFromBigEndian<qint32>(p);
                p += 4;
                QM6Cell &c = cells[i];
                c.null = n < 0;
                if (c.null)
                    continue;
                if (end - p < n)
                    return malformed();
                if (m_types[i] == FT::Text) {
                    c.text = p;
                    c.size = n;
                } else if (m_types[i] == FT::Double) {
                    if (n == 8)
                        c.real = qFromBigEndian<double>(p);
                    else if (n == 4)
                        c.real = qFromBigEndian<float>(p);
                    else
                        return malformed();
                } else {
                    // smallint, integer or bigint, told apart by their size.
                    if (n == 2)
                        c.number = qFromBigEndian<qint16>(p);
                    else if (n == 4)
                        c.number = qFromBigEndian<qint32>(p);
                    else if (n == 8)
                        c.number = qFromBigEndian<qint64>(p);
                    else
                        return malformed();
                }
                p += n;
            }
            return true;
        }
        return false;
    }

    QM6ErrorPtr Finish() override
    {
        drain();
        return m_error.isEmpty() ? QM6ErrorPtr() : error();
    }

private:
    bool malformed()
    {
        if (m_error.isEmpty())
            m_error = QStringLiteral("the server's rows were not in the expected binary form");
        drain();
        return false;
    }

    // Reads what is left of the copy and the results after it.
    void drain()
    {
        PQfreemem(m_buf);
        m_buf = nullptr;
        while (m_copying) {
            const int len = PQgetCopyData(m_conn, &m_buf, 0);
            PQfreemem(m_buf);
            m_buf = nullptr;
            if (len < 0)
                endCopy(len == -2);
        }
    }

    void endCopy(bool failed)
    {
        m_copying = false;
        if (failed && m_error.isEmpty())
            m_error = QString::fromUtf8(PQerrorMessage(m_conn));
        while (PGresult *r = PQgetResult(m_conn)) {
            if (PQresultStatus(r) != PGRES_COMMAND_OK && m_error.isEmpty())
                m_error = QString::fromUtf8(PQresultErrorMessage(r));
            PQclear(r);
        }
    }

    QM6ErrorPtr error()
    {
        if (m_d->txnDepth > 0)
            m_d->txnFailed = true;
        return m_d->DbError(m_what, m_error);
    }

    QM6ConnectionPrivate *m_d;
    PGconn *m_conn;
    QString m_what, m_error;
    QList<FT> m_types;
    char *m_buf = nullptr;
    bool m_copying = false, m_first = true;
};

} // namespace

std::unique_ptr<QM6RowReader> QM6PgCopyReader::For(QM6ConnectionPrivate *d, const QString &what)
{
    if (!d->pg)
        return nullptr;
    QSqlDatabase database = d->db();
    if (!database.isOpen() || !database.driver())
        return nullptr;
    const QVariant v = database.driver()->handle();
    // Qt names the handle's type after the struct behind libpq's typedef.
    if (!v.isValid() || (qstrcmp(v.typeName(), "pg_conn*") != 0 && qstrcmp(v.typeName(), "PGconn*") != 0))
        return nullptr;
    PGconn *conn = *static_cast<PGconn *const *>(v.constData());
    // Qt may still be reading a query on the connection: leave it to Qt then.
    const PGTransactionStatusType status = PQtransactionStatus(conn);
    if (!conn || PQstatus(conn) != CONNECTION_OK || (status != PQTRANS_IDLE && status != PQTRANS_INTRANS))
        return nullptr;
    return std::make_unique<PgCopyReader>(d, conn, what);
}
