// Inside of QM6Connection, shared by the component's own classes.
#pragma once

#include "qm6connection.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <functional>
#include <memory>
#include <sys/types.h>
#include <unordered_map>

struct sqlite3;

// The error of a call made without a data connection.
QM6ErrorPtr QM6NoConnectionError();
// A driver's message as one plain sentence (no tabs, line breaks or trailing full stop).
QString QM6CleanDriverText(const QString &text);

// A statement the connection keeps prepared for the next call that runs the same text. The
// handle resets it when it goes: a statement left stepping would keep an SQLite read snapshot
// (and a writer started from it would not see other sessions' changes).
class QM6KeptStatement {
public:
    QM6KeptStatement() = default;
    ~QM6KeptStatement() { Release(); }
    QM6KeptStatement(const QM6KeptStatement &) = delete;
    QM6KeptStatement &operator=(const QM6KeptStatement &) = delete;
    QSqlQuery &operator*() { return m_entry ? m_entry->q : m_own; }
    QSqlQuery *operator->() { return &**this; }
    void Release();

private:
    friend class QM6ConnectionPrivate;
    struct Entry {
        QSqlQuery q;
        bool busy = false;
    };
    QSqlQuery m_own;   // when the statement is not kept
    std::shared_ptr<Entry> m_entry;
};

// How a site is opened, beyond what the public Open offers.
struct QM6OpenOptions {
    // Looks only: nothing is created, migrated or written (SQLite opens the file read-only,
    // PostgreSQL sessions are read-only); a database that is not a site is refused.
    bool readOnly = false;
    // A missing site (no file, or a database without the site's tables) is made; without
    // this only the default site is, on first run, and any other is refused.
    bool createSite = false;
    // The default site is filled with the demo site when this open creates it.
    bool fillDefaultDemo = true;
    // A new SQLite file is readable by its group too (0640 instead of 0600).
    bool groupReadable = false;
};

// The connection behind QM6Connection: a Qt SQL database of this process, opened from the
// site's address, and what the component keeps per connection.
class QM6ConnectionPrivate final : public QM6Connection {
public:
    QM6ConnectionPrivate() = default;
    ~QM6ConnectionPrivate() override;
    // The component's own connection behind a public one; null for none or a stranger's.
    static QM6ConnectionPrivate *get(QM6Connection *c) { return dynamic_cast<QM6ConnectionPrivate *>(c); }
    static QM6ConnectionPrivate *get(const QM6ConnectionPtr &c) { return get(c.get()); }
    static QM6ErrorPtr OpenSite(const QString &url, const QString &narrowToUser, const QM6OpenOptions &options,
                                QM6ConnectionPtr *out);

    QString Url() const override { return url; }
    QString UserName() const override { return identity; }
    QString NarrowedTo() const override { return narrowedTo; }
    bool IsPostgreSQL() const override { return pg; }
    QM6ErrorPtr CheckPermission(qint32 code) override;
    QM6ErrorPtr OpenConnection(bool openIt = true) override;
    void CloseConnection() override;
    QM6ErrorPtr BeginTransaction() override;
    QM6ErrorPtr CommitTransaction() override;
    QM6ErrorPtr RollbackTransaction() override;
    bool InTransaction() const override { return txnDepth > 0; }

    QString url;          // as shown: without a password
    QString identity;     // who the user is: the login role, or the operating-system user
    QString narrowedTo;   // the user whose rights limit the identity's; empty for none
    QString connName;
    QString sqlitePath;
    bool pg = false;
    bool readOnly = false;
    // The SQLite file this connection opened (device and inode): a file moved or copied over
    // it is another database, which no change may go into.
    bool haveFileId = false;
    dev_t fileDevice = 0;
    ino_t fileInode = 0;
    int openDepth = 0;
    int txnDepth = 0;
    bool txnFailed = false;
    QHash<QPair<qint32, qint32>, QVariant> lookupCache;   // by list number and language
    // By statement text; bounded, because some texts carry a count of placeholders.
    std::unordered_map<QString, std::shared_ptr<QM6KeptStatement::Entry>> kept;
    static constexpr size_t MaxKeptStatements = 48;
    // Sizes of the last printer list and of its merged printers, to reserve the next one at
    // once (it is reloaded often).
    qsizetype lastListRows = 0, lastListText = 0, lastAliasBytes = 0;

    // Test seam for the two-process tests: called by every write path once it has read and
    // locked the rows its change depends on, before it changes anything.
    std::function<void()> afterLocks;
    void AfterLocks() const
    {
        if (afterLocks)
            afterLocks();
    }

    QSqlDatabase db() const { return QSqlDatabase::database(connName, false); }
    // The handle Qt's SQLite driver holds, or null.
    sqlite3 *SqliteHandle() const;
    // Appended to a SELECT of rows a change depends on: PostgreSQL locks them until the end
    // of the transaction; SQLite writers hold the whole database from BEGIN IMMEDIATE on.
    QString ForUpdate() const { return pg ? QStringLiteral(" FOR UPDATE") : QString(); }

    // The database is there and open (reopened when it was closed); an error otherwise.
    QM6ErrorPtr Ensure();
    // Refuses a change unless the user may change printers (permission 129), whatever the
    // caller checked; what names the change.
    QM6ErrorPtr RequireChangeRight(const QString &what);
    // Prepares sql on a fresh query of this connection.
    QM6ErrorPtr Prepare(QSqlQuery &q, const QString &sql, const QString &what);
    // Hands out the kept statement for sql, prepared once per session; a second handle on the
    // same text while the first is alive gets a fresh one. For statements run once per printer.
    QM6ErrorPtr Prepare(QM6KeptStatement &s, const QString &sql, const QString &what);
    // Forgets the kept statements: before the session is closed or replaced.
    void DropKeptStatements() { kept.clear(); }
    // Runs a prepared query; a failure becomes an error naming what was being done and
    // dooms the open transaction.
    QM6ErrorPtr Exec(QSqlQuery &q, const QString &what);
    QM6ErrorPtr ExecSql(const QString &sql, const QString &what);
    QM6ErrorPtr DbError(const QString &what, const QString &dbMessage) const;
    // Why the database could not be opened, in a sentence that names the site and the likely
    // cause, with the driver's own words after it.
    QString OpenFailure(const QString &driverText) const;

private:
    QM6ErrorPtr OpenDatabase();
    QM6ErrorPtr CheckFileIsOurs();
};

// Begins a transaction unless the caller already holds one, and ends only its own: End
// commits or, given an error, rolls back; a scope left without End rolls back.
class QM6WriteScope {
public:
    explicit QM6WriteScope(QM6Connection *c) : m_c(c) {}
    ~QM6WriteScope();
    QM6WriteScope(const QM6WriteScope &) = delete;
    QM6WriteScope &operator=(const QM6WriteScope &) = delete;
    QM6ErrorPtr Begin();
    QM6ErrorPtr End(QM6ErrorPtr e);

private:
    QM6Connection *m_c;
    bool m_own = false;
};
