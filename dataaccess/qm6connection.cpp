#include "qm6connectionprivate.h"
#include "qm6siteusers.h"
#include "qm6texts.h"

#include <QDir>
#include <QFile>
#include <QSqlDriver>
#include <QSqlError>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

QM6ConnectionPrivate::~QM6ConnectionPrivate()
{
    if (connName.isEmpty())
        return;
    DropKeptStatements();
    {
        QSqlDatabase database = db();
        if (database.isOpen() && txnDepth > 0) {
            if (pg)
                database.rollback();
            else
                QSqlQuery(QStringLiteral("ROLLBACK"), database);
        }
        database.close();
    }
    QSqlDatabase::removeDatabase(connName);
}

QM6ErrorPtr QM6ConnectionPrivate::CheckPermission(qint32 code)
{
    return QM6SiteUsers::Check(this, code);
}

QM6ErrorPtr QM6ConnectionPrivate::RequireChangeRight(const QString &what)
{
    QM6ErrorPtr e = QM6SiteUsers::Check(this, QM6SiteUsers::ChangePrinters);
    if (!e || e->Number() != QM6Error::ErrPermission)
        return e;
    return MakeQM6Error(QM6Texts::tr("%1 was refused: %2 Nothing was changed.").arg(what, e->Description()), QM6Error::ErrPermission);
}

QM6ErrorPtr QM6ConnectionPrivate::OpenConnection(bool openIt)
{
    if (!openIt)
        return {};
    if (QM6ErrorPtr e = Ensure())
        return e;
    if (pg && txnDepth == 0) {
        // A server restart drops the session; one cheap round trip finds out and reconnects.
        QSqlQuery ping(db());
        if (!ping.exec(QStringLiteral("SELECT 1"))) {
            ping = QSqlQuery();
            DropKeptStatements();
            db().close();
            if (QM6ErrorPtr e = Ensure())
                return e;
        }
    }
    ++openDepth;
    return {};
}

void QM6ConnectionPrivate::CloseConnection()
{
    if (openDepth > 0)
        --openDepth;
}

QM6ErrorPtr QM6ConnectionPrivate::BeginTransaction()
{
    if (txnDepth > 0) {
        ++txnDepth;
        return {};
    }
    if (QM6ErrorPtr e = Ensure())
        return e;
    if (pg) {
        QSqlDatabase database = db();
        if (!database.transaction())
            return DbError(QM6Texts::tr("Starting a transaction"), database.lastError().text());
    } else if (QM6ErrorPtr e = ExecSql(QStringLiteral("BEGIN IMMEDIATE"), QM6Texts::tr("Starting a transaction"))) {
        return e;
    }
    txnDepth = 1;
    txnFailed = false;
    return {};
}

QM6ErrorPtr QM6ConnectionPrivate::CommitTransaction()
{
    if (txnDepth == 0)
        return MakeQM6Error(QM6Texts::tr("There is no open transaction to commit."), QM6Error::ErrTransaction);
    if (txnDepth > 1) {
        --txnDepth;
        return {};
    }
    if (txnFailed) {
        RollbackTransaction();
        if (!db().isOpen())
            return MakeQM6Error(QM6Texts::tr("The connection to the database was lost before the changes were stored; "
                                               "nothing was written."), QM6Error::ErrNoDatabase);
        return MakeQM6Error(QM6Texts::tr("The changes were not stored because a step of them failed; nothing was written."),
                            QM6Error::ErrTransaction);
    }
    if (QM6ErrorPtr e = pg ? QM6ErrorPtr() : CheckFileIsOurs()) {
        txnDepth = 1;
        RollbackTransaction();
        return e;
    }
    QSqlDatabase database = db();
    QString message;
    bool ok;
    if (pg) {
        ok = database.commit();
        if (!ok)
            message = database.lastError().text();
    } else {
        QSqlQuery q(database);
        ok = q.exec(QStringLiteral("COMMIT"));
        if (!ok)
            message = q.lastError().text();
    }
    if (!ok) {
        txnDepth = 1;
        RollbackTransaction();
        return DbError(QM6Texts::tr("Storing the changes (commit)"), message);
    }
    txnDepth = 0;
    return {};
}

QM6ErrorPtr QM6ConnectionPrivate::RollbackTransaction()
{
    if (txnDepth == 0)
        return {};
    if (txnDepth > 1) {
        // An inner step gave up: the outer commit must not store a half.
        --txnDepth;
        txnFailed = true;
        return {};
    }
    txnDepth = 0;
    txnFailed = false;
    QSqlDatabase database = db();
    if (pg) {
        if (!database.rollback())
            return DbError(QM6Texts::tr("Undoing the changes (rollback)"), database.lastError().text());
        return {};
    }
    QSqlQuery q(database);
    if (!q.exec(QStringLiteral("ROLLBACK")))
        return DbError(QM6Texts::tr("Undoing the changes (rollback)"), q.lastError().text());
    return {};
}

// ---- private ----

sqlite3 *QM6ConnectionPrivate::SqliteHandle() const
{
    if (pg)
        return nullptr;
    QSqlDatabase d = db();
    if (!d.isValid() || !d.driver())
        return nullptr;
    const QVariant v = d.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(v.constData());
}

QM6ErrorPtr QM6ConnectionPrivate::Ensure()
{
    QSqlDatabase d = db();
    if (!d.isValid())
        return MakeQM6Error(QM6Texts::tr("The data connection is closed."), QM6Error::ErrNoDatabase);
    // Inside a transaction the commit looks at the file again before anything is stored.
    if (d.isOpen())
        return pg || txnDepth > 0 ? QM6ErrorPtr() : CheckFileIsOurs();
    if (txnDepth > 0) {
        // Reconnecting here would run the rest of the change outside its transaction.
        txnFailed = true;
        return MakeQM6Error(QM6Texts::tr("The connection to the database %1 was lost in the middle of a change; "
                                           "nothing of that change was stored. Try again.").arg(url),
                            QM6Error::ErrNoDatabase);
    }
    // Statements prepared in a lost session do not exist in the new one.
    DropKeptStatements();
    return OpenDatabase();
}

QM6ErrorPtr QM6ConnectionPrivate::CheckFileIsOurs()
{
    struct stat st;
    if (::stat(QFile::encodeName(sqlitePath).constData(), &st) != 0) {
        if (txnDepth > 0)
            txnFailed = true;
        return MakeQM6Error(QM6Texts::tr("The database file %1 is gone (deleted or moved). Printers cannot be read or "
                                           "stored until it is restored.").arg(sqlitePath),
                            QM6Error::ErrNoDatabase);
    }
    if (haveFileId && (st.st_dev != fileDevice || st.st_ino != fileInode)) {
        if (txnDepth > 0)
            txnFailed = true;
        return MakeQM6Error(QM6Texts::tr("The database file %1 was replaced by another file (moved or copied over it) "
                                           "while it was open. Nothing was read from or stored into the new file: open "
                                           "the site again to work with it.").arg(sqlitePath),
                            QM6Error::ErrNoDatabase);
    }
    return {};
}

QString QM6CleanDriverText(const QString &text)
{
    // Drivers hand over several lines, tabs and repeated phrases; one plain sentence reads better.
    QString clean = text.simplified();
    while (clean.endsWith(u'.'))
        clean.chop(1);
    return clean;
}

QString QM6ConnectionPrivate::OpenFailure(const QString &raw) const
{
    const QString said = QM6CleanDriverText(raw);
    auto has = [&said](const char *phrase) { return said.contains(QLatin1String(phrase), Qt::CaseInsensitive); };
    QString cause;
    if (!pg) {
        const QFileInfo file(sqlitePath);
        if (!file.absoluteDir().exists())
            cause = QM6Texts::tr("its folder %1 does not exist").arg(file.absolutePath());
        else if (has("not a database") || has("encrypted"))
            cause = QM6Texts::tr("the file is not an SQLite database");
        else if (::access(QFile::encodeName(file.absolutePath()).constData(), R_OK | X_OK) != 0 ||
                 (file.exists() && ::access(QFile::encodeName(sqlitePath).constData(), R_OK) != 0))
            cause = QM6Texts::tr("you may not read the file or its folder");
        else
            cause = QM6Texts::tr("SQLite could not open the file");
    } else if (has("password") || has("authentication") || (has("role") && has("does not exist"))) {
        cause = QM6Texts::tr("the server did not accept the user name or the password");
    } else if (has("database") && has("does not exist")) {
        cause = QM6Texts::tr("the server has no database of that name: create it (for example with createdb), then make "
                               "the site in it with \"qm6data init %1\"").arg(url);
    } else if (has("timeout") || has("timed out")) {
        cause = QM6Texts::tr("the server did not answer in time");
    } else if (has("could not connect") || has("connection refused") || has("no such file") || has("could not translate host")) {
        cause = QM6Texts::tr("no PostgreSQL server answers at that address: check that it is running and that the host, "
                               "port or socket folder are right");
    } else {
        cause = QM6Texts::tr("the server refused the connection");
    }
    return QM6Texts::tr("The site %1 could not be opened: %2. (The database said: \"%3\".)").arg(url, cause, said);
}

QM6ErrorPtr QM6ConnectionPrivate::OpenDatabase()
{
    QSqlDatabase d = db();
    if (!d.open())
        return MakeQM6Error(OpenFailure(d.lastError().text()), QM6Error::ErrNoDatabase);
    if (pg) {
        QSqlQuery(QStringLiteral("SET client_min_messages = warning"), d);
        if (readOnly)
            QSqlQuery(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"), d);
        return {};
    }
    // The file as it was opened: a reopen after a lost connection must find the same one.
    if (QM6ErrorPtr e = CheckFileIsOurs()) {
        d.close();
        return e;
    }
    struct stat st;
    if (::stat(QFile::encodeName(sqlitePath).constData(), &st) == 0 && !haveFileId) {
        haveFileId = true;
        fileDevice = st.st_dev;
        fileInode = st.st_ino;
    }
    // The -wal and -shm files stay when the last connection closes, so that users who may
    // only read the site can still read it (SQLite cannot create them for those users).
    if (sqlite3 *h = SqliteHandle()) {
        int persist = 1;
        sqlite3_file_control(h, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
    }
    QSqlQuery q(d);
    // Reading the catalogue proves the file is a database we can read.
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master")) || !q.next()) {
        const QString msg = q.lastError().text();
        q = QSqlQuery();
        d.close();
        QString text = OpenFailure(msg);
        if (::access(QFile::encodeName(sqlitePath).constData(), W_OK) != 0)
            text += QStringLiteral(" The file is read-only for you: SQLite can read it while its -wal and -shm files are beside "
                                   "it (connections of this program keep them), or where you may create files in its folder. "
                                   "Ask the site's owner to open it once with this version.");
        return MakeQM6Error(text, QM6Error::ErrNoDatabase);
    }
    q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    // Truncates the kept -wal file when the last connection closes.
    q.exec(QStringLiteral("PRAGMA journal_size_limit=67108864"));
    return {};
}

QM6ErrorPtr QM6ConnectionPrivate::DbError(const QString &what, const QString &dbMessage) const
{
    const QString said = QM6CleanDriverText(dbMessage);
    return MakeQM6Error(QM6Texts::tr("%1 failed: %2").arg(what, said.isEmpty() ? QM6Texts::tr("the database gave no reason") : said),
                        QM6Error::ErrDatabase);
}

QM6ErrorPtr QM6ConnectionPrivate::Prepare(QSqlQuery &q, const QString &sql, const QString &what)
{
    if (QM6ErrorPtr e = Ensure())
        return e;
    q = QSqlQuery(db());
    if (!q.prepare(sql)) {
        if (txnDepth > 0)
            txnFailed = true;
        return DbError(what, q.lastError().text());
    }
    return {};
}

QM6ErrorPtr QM6ConnectionPrivate::Prepare(QM6KeptStatement &s, const QString &sql, const QString &what)
{
    s.Release();
    if (QM6ErrorPtr e = Ensure())
        return e;
    const auto found = kept.find(sql);
    if (found != kept.end() && !found->second->busy) {
        s.m_entry = found->second;
        s.m_entry->busy = true;
        return {};
    }
    if (QM6ErrorPtr e = Prepare(s.m_own, sql, what))
        return e;
    // SQLite steps forward only anyway; Qt then keeps one row instead of every row read. (The
    // PostgreSQL driver would stream the rows and block the session until they are all read.)
    if (!pg)
        s.m_own.setForwardOnly(true);
    if (found == kept.end() && kept.size() < MaxKeptStatements) {
        auto entry = std::make_shared<QM6KeptStatement::Entry>();
        entry->q = std::move(s.m_own);
        entry->busy = true;
        s.m_entry = entry;
        kept.emplace(sql, std::move(entry));
    }
    return {};
}

void QM6KeptStatement::Release()
{
    // Reset, not finalised: its rows and read snapshot go, a kept statement's plan stays.
    QSqlQuery &q = **this;
    if (q.isActive())
        q.finish();
    if (m_entry) {
        m_entry->busy = false;
        m_entry.reset();
    }
}

QM6ErrorPtr QM6ConnectionPrivate::Exec(QSqlQuery &q, const QString &what)
{
    if (q.exec())
        return {};
    if (txnDepth > 0)
        txnFailed = true;
    return DbError(what, q.lastError().text());
}

QM6ErrorPtr QM6ConnectionPrivate::ExecSql(const QString &sql, const QString &what)
{
    if (QM6ErrorPtr e = Ensure())
        return e;
    QSqlQuery q(db());
    if (q.exec(sql))
        return {};
    if (txnDepth > 0)
        txnFailed = true;
    return DbError(what, q.lastError().text());
}

QM6WriteScope::~QM6WriteScope()
{
    // Left early (a return between Begin and End): nothing of the change may stay.
    if (m_own)
        m_c->RollbackTransaction();
}

QM6ErrorPtr QM6WriteScope::Begin()
{
    if (m_c->InTransaction())
        return {};
    m_own = true;
    return m_c->BeginTransaction();
}

QM6ErrorPtr QM6WriteScope::End(QM6ErrorPtr e)
{
    if (!m_own)
        return e;
    m_own = false;
    if (e) {
        m_c->RollbackTransaction();
        return e;
    }
    return m_c->CommitTransaction();
}
