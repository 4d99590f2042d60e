// Inside of QM6Connection, shared by the component's own classes.
#pragma once

#include "qm6connection.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

struct sqlite3;

// The error of a call made without a data connection.
QM6ErrorPtr QM6NoConnectionError();

class QM6ConnectionPrivate {
public:
    QString url;
    QString userName;
    QString connName;
    QString sqlitePath;
    bool pg = false;
    int openDepth = 0;
    int txnDepth = 0;
    bool txnFailed = false;
    QHash<qint32, QVariant> lookupCache;
    // Size of the last printer list, to reserve the next one at once (it is reloaded often).
    qsizetype lastListRows = 0;
    QList<qsizetype> lastListText;

    QSqlDatabase db() const { return QSqlDatabase::database(connName, false); }
    // The handle Qt's SQLite driver holds, or null.
    sqlite3 *SqliteHandle() const;

    // The database is there and open (reopened when it was closed); an error otherwise.
    QM6ErrorPtr Ensure();
    // Prepares sql on a fresh query of this connection.
    QM6ErrorPtr Prepare(QSqlQuery &q, const QString &sql, const QString &what);
    // Runs a prepared query; a failure becomes an error naming what was being done and
    // dooms the open transaction.
    QM6ErrorPtr Exec(QSqlQuery &q, const QString &what);
    QM6ErrorPtr ExecSql(const QString &sql, const QString &what);
    QM6ErrorPtr DbError(const QString &what, const QString &dbMessage) const;
};

// Begins a transaction unless the caller already holds one; ends only its own.
class QM6WriteScope {
public:
    explicit QM6WriteScope(QM6Connection *c) : m_c(c) {}
    QM6ErrorPtr Begin();
    QM6ErrorPtr End(QM6ErrorPtr e);

private:
    QM6Connection *m_c;
    bool m_own = false;
};

// The connection most recently opened on this thread, while it lives.
std::shared_ptr<QM6Connection> QM6ConnectionLastOpened();

// The printer list query (the benchmark steps it on its own).
QM6DATA_EXPORT const char *QM6PrinterListSql();
