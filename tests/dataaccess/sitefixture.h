// What the data component's suites share: the site under test (a fresh SQLite file or an
// emptied PostgreSQL schema), SQL straight at it, and other processes run against it.
#pragma once

#include "qm6connection.h"
#include "qm6connectionprivate.h"

#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <QRegularExpression>
#include <QUrl>
#include <QtTest>

#define QVERIFY_OK(expr) do { const QM6ErrorPtr e_ = (expr); QVERIFY2(!e_, e_ ? qPrintable(e_->Description()) : ""); } while (0)

namespace SiteFixture {

inline bool isPostgres() { return qEnvironmentVariable("QM6_TEST_BACKEND") == QLatin1String("pg"); }


inline void dropSchema(const QString &url)
{
    QM6ConnectionPtr raw;
    QVERIFY_OK(QM6Connection::CreateSite(url, &raw));
    QSqlQuery q(QM6ConnectionPrivate::get(raw)->db());
    QVERIFY2(q.exec(QStringLiteral("DROP SCHEMA public CASCADE")), qPrintable(q.lastError().text()));
    QVERIFY(q.exec(QStringLiteral("CREATE SCHEMA public")));
}

// A plain Qt connection to the test's PostgreSQL database, past the data component (which
// would create a site where there is none).
inline QSqlDatabase rawPostgres(const QString &url, const QString &name)
{
    const QRegularExpression form(QStringLiteral("^postgresql://([^@]*)@([^:/]*):(\\d+)/(.*)$"));
    const QRegularExpressionMatch m = form.match(url);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    db.setUserName(m.captured(1));
    db.setHostName(QUrl::fromPercentEncoding(m.captured(2).toUtf8()));
    db.setPort(m.captured(3).toInt());
    db.setDatabaseName(m.captured(4));
    if (!db.open())
        qWarning() << "cannot reach" << url << db.lastError().text();
    return db;
}

// The tables of a site and how many rows each has, read past the data component.
inline QString tableCensus(const QString &url)
{
    QString census;
    {
        QSqlDatabase db = rawPostgres(url, QStringLiteral("census"));
        QSqlQuery q(db);
        q.exec(QStringLiteral("SELECT table_name FROM information_schema.tables WHERE table_schema = 'public' ORDER BY table_name"));
        QStringList tables;
        while (q.next())
            tables << q.value(0).toString();
        for (const QString &t : tables) {
            q.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(t));
            census += QStringLiteral("%1:%2 ").arg(t).arg(q.next() ? q.value(0).toLongLong() : -1);
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("census"));
    return census;
}

inline qint64 scalar(const QM6ConnectionPtr &c, const QString &sql)
{
    QSqlQuery q(QM6ConnectionPrivate::get(c)->db());
    if (!q.exec(sql) || !q.next()) {
        qWarning() << sql << q.lastError().text();
        return -1;
    }
    return q.value(0).toLongLong();
}

inline bool exec(const QM6ConnectionPtr &c, const QString &sql)
{
    QSqlQuery q(QM6ConnectionPrivate::get(c)->db());
    if (q.exec(sql))
        return true;
    qWarning() << sql << q.lastError().text();
    return false;
}

// Waits for a line from a process; false when it ended or said nothing for 30 s.
inline bool waitForLine(QProcess &p, const QByteArray &line)
{
    for (;;) {
        while (p.canReadLine())
            if (p.readLine().trimmed() == line)
                return true;
        if (!p.waitForReadyRead(30000))
            return false;
    }
}

// QProcess::waitForFinished is false for a process that has ended already.
inline bool ended(QProcess &p)
{
    return p.state() == QProcess::NotRunning || p.waitForFinished(60000);
}

// The command that runs a program of this build as another user (prefix: "runuser -u NAME --",
// "setpriv ..."). The build folder may be one that only root may enter, so the program and the
// data component's library are copied once into a folder anyone may read, and run from there.
inline QStringList asAnotherUser(const QStringList &prefix, const QString &program)
{
    static QTemporaryDir copies(QDir::tempPath() + QStringLiteral("/qm6-programs-XXXXXX"));
    ::chmod(QFile::encodeName(copies.path()).constData(), 0755);
    for (const QString &file : {program, QStringLiteral(QM6DATAACCESS_LIBRARY_PATH)}) {
        const QString copy = copies.filePath(QFileInfo(file).fileName());
        if (!QFile::exists(copy) && QFile::copy(file, copy))
            QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                            QFileDevice::ExeOther);
    }
    return prefix + QStringList{QStringLiteral("env"), QStringLiteral("LD_LIBRARY_PATH=") + copies.path(),
                                copies.filePath(QFileInfo(program).fileName())};
}

// Runs a program to its end: its exit code (-1 when it hung), its output and error text.
inline int run(const QString &program, const QStringList &args, QByteArray *out = nullptr, QByteArray *err = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000))
        return -1;
    if (out)
        *out = p.readAllStandardOutput();
    const QByteArray error = p.readAllStandardError();
    if (err)
        *err = error;
    else if (p.exitCode() != 0)
        qWarning() << error;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// A plain SQLite file that is no site: one table of its own.
inline bool makeForeignFile(const QString &path)
{
    bool made = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("foreign"));
        db.setDatabaseName(path);
        made = db.open() && QSqlQuery(db).exec(QStringLiteral("CREATE TABLE notes (text TEXT)"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
    return made;
}

inline void addJobs(const QM6ConnectionPtr &c, const QString &seenOnKey, qint32 printerId, int n)
{
    QSqlQuery q(QM6ConnectionPrivate::get(c)->db());
    q.prepare(QStringLiteral("INSERT INTO print_jobs (seen_on_key, printer_id, pages, color_pages, user_name, printed_on)"
                             " VALUES (:k, :p, 3, 0, 'u', 1)"));
    q.bindValue(QStringLiteral(":k"), seenOnKey);
    q.bindValue(QStringLiteral(":p"), printerId);
    for (int i = 0; i < n; ++i)
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
}

// What each suite holds: the backend, the site of the current case and a connection to it.
struct Suite {
    bool m_pg = isPostgres();
    QTemporaryDir m_dir;
    int m_caseNo = 0;
    QString m_url;
    QM6ConnectionPtr c;

    // Every case starts from a new SQLite file or an emptied PostgreSQL schema.
    void nextSite()
    {
        if (m_pg) {
            m_url = qEnvironmentVariable("QM6_TEST_PG_URL");
            dropSchema(m_url);
        } else {
            m_url = QStringLiteral("sqlite:%1/case%2.db").arg(m_dir.path()).arg(++m_caseNo);
        }
        QVERIFY_OK(QM6Connection::CreateSite(m_url, &c));
    }
};

} // namespace SiteFixture

// A PostgreSQL run without a server: a skip for a developer running a suite by hand, a
// failure in the project's test command (which starts one and sets QM6_REQUIRE_PG).
#define QM6_SKIP_WITHOUT_SERVER()                                                                                              \
    do {                                                                                                                       \
        if (SiteFixture::isPostgres() && qEnvironmentVariableIsEmpty("QM6_TEST_PG_URL")) {                                     \
            if (qEnvironmentVariableIntValue("QM6_REQUIRE_PG"))                                                                \
                QFAIL("QM6_TEST_PG_URL is not set although QM6_REQUIRE_PG is: the PostgreSQL server did not start");          \
            QSKIP("QM6_TEST_PG_URL is not set: no PostgreSQL server to test against");                                        \
        }                                                                                                                      \
    } while (0)
