#include "qm6connectionprivate.h"
#include "qm6demosite.h"
#include "qm6schema.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>
#include <sqlite3.h>
#include <pwd.h>
#include <unistd.h>

namespace {
QAtomicInt connectionCounter;

struct PgTarget {
    QString user, password, host, db;
    int port = 5432;
};

bool parsePg(const QString &url, PgTarget *t)
{
    QString rest = url.section(QStringLiteral("://"), 1);
    QString query;
    if (int q = rest.indexOf(u'?'); q >= 0) {
        query = rest.mid(q + 1);
        rest.truncate(q);
    }
    const int slash = rest.indexOf(u'/');
    if (slash < 0)
        return false;
    t->db = QUrl::fromPercentEncoding(rest.mid(slash + 1).toUtf8());
    QString authority = rest.left(slash);
    if (int at = authority.lastIndexOf(u'@'); at >= 0) {
        const QString userInfo = authority.left(at);
        authority = authority.mid(at + 1);
        t->user = QUrl::fromPercentEncoding(userInfo.section(u':', 0, 0).toUtf8());
        if (userInfo.contains(u':'))
            t->password = QUrl::fromPercentEncoding(userInfo.section(u':', 1).toUtf8());
    }
    if (int colon = authority.lastIndexOf(u':'); colon >= 0) {
        bool ok = false;
        t->port = authority.mid(colon + 1).toInt(&ok);
        if (!ok || t->port < 1 || t->port > 65535)
            return false;
        authority.truncate(colon);
    }
    t->host = QUrl::fromPercentEncoding(authority.toUtf8());
    const QUrlQuery items(query);
    if (items.hasQueryItem(QStringLiteral("host")))
        t->host = items.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
    return !t->db.isEmpty();
}
}

QM6Connection::~QM6Connection() = default;

QM6ConnectionPrivate::~QM6ConnectionPrivate()
{
    if (connName.isEmpty())
        return;
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

QString QM6Connection::DefaultUrl()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QStringLiteral("sqlite:") + base + QStringLiteral("/quillmark6/printers.db");
}

QM6ErrorPtr QM6Connection::Open(const QString &url, const QString &userName, std::shared_ptr<QM6Connection> *out)
{
    if (out)
        out->reset();
    auto c = std::make_shared<QM6ConnectionPrivate>();
    QM6ConnectionPrivate *d = c.get();
    d->url = url;
    d->userName = userName.isEmpty() ? QStringLiteral("admin") : userName;
    d->connName = QStringLiteral("qm6data-%1").arg(connectionCounter.fetchAndAddRelaxed(1));

    bool fillDemo = false;
    if (url.startsWith(QLatin1String("sqlite:"))) {
        QString path = url.mid(7);
        if (path.startsWith(QLatin1String("//")))
            path = path.mid(2);
        if (path.isEmpty())
            return MakeQM6Error(QStringLiteral("The database address \"%1\" names no file.").arg(url), QM6Error::ErrNoDatabase);
        d->sqlitePath = path;
        const bool exists = QFileInfo::exists(path);
        if (!exists && url == DefaultUrl()) {
            QDir().mkpath(QFileInfo(path).absolutePath());
            fillDemo = true;
        }
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d->connName);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    } else if (url.startsWith(QLatin1String("postgresql://")) || url.startsWith(QLatin1String("postgres://"))) {
        PgTarget t;
        if (!parsePg(url, &t))
            return MakeQM6Error(QStringLiteral("The database address \"%1\" is not of the form postgresql://user@host:port/database.").arg(url),
                                QM6Error::ErrNoDatabase);
        d->pg = true;
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), d->connName);
        db.setHostName(t.host);
        db.setPort(t.port);
        db.setDatabaseName(t.db);
        db.setUserName(t.user);
        db.setPassword(t.password);
        db.setConnectOptions(QStringLiteral("connect_timeout=10"));
    } else {
        return MakeQM6Error(QStringLiteral("The database address \"%1\" is neither sqlite:PATH nor postgresql://...").arg(url),
                            QM6Error::ErrNoDatabase);
    }

    if (QM6ErrorPtr e = d->Ensure())
        return e;
    if (QM6ErrorPtr e = QM6Schema::Migrate(d))
        return e;
    if (fillDemo) {
        if (QM6ErrorPtr e = QM6DemoSite::Fill(c.get()))
            return e;
    }
    if (out)
        *out = std::move(c);
    return {};
}

QM6ErrorPtr QM6NoConnectionError()
{
    return MakeQM6Error(QStringLiteral("There is no data connection."), QM6Error::ErrNoDatabase);
}

QString QM6Connection::OperatingSystemUser()
{
    if (const passwd *pw = getpwuid(getuid()))
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

QM6ErrorPtr QM6ConnectionPrivate::CheckPermission(qint32 code)
{
    if (QM6ErrorPtr e = Ensure())
        return e;
    QSqlQuery q(db());
    if (QM6ErrorPtr e = Prepare(q, QStringLiteral(
            "SELECT u.user_id, (SELECT COUNT(*) FROM user_permissions up WHERE up.user_id = u.user_id AND up.code = :code) "
            "FROM users u WHERE u.user_name = :user"), QStringLiteral("Checking permissions")))
        return e;
    q.bindValue(QStringLiteral(":code"), code);
    q.bindValue(QStringLiteral(":user"), userName);
    if (QM6ErrorPtr e = Exec(q, QStringLiteral("Checking permissions")))
        return e;
    if (!q.next())
        return MakeQM6Error(QStringLiteral("The user \"%1\" is not known to this database, so no permission can be granted. "
                                           "Ask an administrator to add the user.").arg(userName),
                            QM6Error::ErrPermission);
    if (q.value(1).toLongLong() == 0)
        return MakeQM6Error(QStringLiteral("The user \"%1\" does not have permission %2%3.")
                                .arg(userName).arg(code)
                                .arg(code == 129 ? QStringLiteral(" (may change printers)") : QString()),
                            QM6Error::ErrPermission);
    return {};
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
            return DbError(QStringLiteral("Starting a transaction"), database.lastError().text());
    } else if (QM6ErrorPtr e = ExecSql(QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("Starting a transaction"))) {
        return e;
    }
    txnDepth = 1;
    txnFailed = false;
    return {};
}

QM6ErrorPtr QM6ConnectionPrivate::CommitTransaction()
{
    if (txnDepth == 0)
        return MakeQM6Error(QStringLiteral("There is no open transaction to commit."), QM6Error::ErrTransaction);
    if (txnDepth > 1) {
        --txnDepth;
        return {};
    }
    if (txnFailed) {
        RollbackTransaction();
        if (!db().isOpen())
            return MakeQM6Error(QStringLiteral("The connection to the database was lost before the changes were stored; "
                                               "nothing was written."), QM6Error::ErrNoDatabase);
        return MakeQM6Error(QStringLiteral("The changes were not stored because a step of them failed; nothing was written."),
                            QM6Error::ErrTransaction);
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
        return DbError(QStringLiteral("Storing the changes (commit)"), message);
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
            return DbError(QStringLiteral("Undoing the changes (rollback)"), database.lastError().text());
        return {};
    }
    QSqlQuery q(database);
    if (!q.exec(QStringLiteral("ROLLBACK")))
        return DbError(QStringLiteral("Undoing the changes (rollback)"), q.lastError().text());
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
    if (!pg && !sqlitePath.isEmpty() && connName.size() && db().isOpen() && !QFileInfo::exists(sqlitePath))
        return MakeQM6Error(QStringLiteral("The database file %1 is gone (deleted or moved). Printers cannot be read or "
                                           "stored until it is restored.").arg(sqlitePath),
                            QM6Error::ErrNoDatabase);
    QSqlDatabase d = db();
    if (!d.isValid())
        return MakeQM6Error(QStringLiteral("The data connection is closed."), QM6Error::ErrNoDatabase);
    if (d.isOpen())
        return {};
    if (txnDepth > 0) {
        // Reconnecting here would run the rest of the change outside its transaction.
        txnFailed = true;
        return MakeQM6Error(QStringLiteral("The connection to the database %1 was lost in the middle of a change; "
                                           "nothing of that change was stored. Try again.").arg(url),
                            QM6Error::ErrNoDatabase);
    }
    if (!d.open())
        return MakeQM6Error(QStringLiteral("Cannot open the database %1: %2").arg(url, d.lastError().text()),
                            QM6Error::ErrNoDatabase);
    if (!pg) {
        QSqlQuery q(d);
        // Checking the journal mode also proves the file is a database we can read.
        if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !q.next()) {
            const QString msg = q.lastError().text();
            q = QSqlQuery();
            d.close();
            return MakeQM6Error(QStringLiteral("Cannot use the database file %1: %2").arg(sqlitePath, msg), QM6Error::ErrNoDatabase);
        }
        q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    } else {
        QSqlQuery(QStringLiteral("SET client_min_messages = warning"), d);
    }
    return {};
}

QM6ErrorPtr QM6ConnectionPrivate::DbError(const QString &what, const QString &dbMessage) const
{
    return MakeQM6Error(QStringLiteral("%1 failed: %2").arg(what, dbMessage.trimmed().isEmpty()
                                                              ? QStringLiteral("the database gave no reason")
                                                              : dbMessage.trimmed()),
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
