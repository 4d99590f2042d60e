// What the data component's suites share: the site under test (a fresh SQLite file or an
// emptied PostgreSQL schema), SQL straight at it, and other processes run against it.
#pragma once

#include "qm6connection.h"
#include "qm6connectionprivate.h"

#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#define QVERIFY_OK(expr) do { const QM6ErrorPtr e_ = (expr); QVERIFY2(!e_, e_ ? qPrintable(e_->Description()) : ""); } while (0)

namespace SiteFixture {

inline bool isPostgres() { return qEnvironmentVariable("QM6_TEST_BACKEND") == QLatin1String("pg"); }

// Skips (or, in the project's test command, fails) a PostgreSQL run without a server.
inline bool serverMissing()
{
    return isPostgres() && qEnvironmentVariableIsEmpty("QM6_TEST_PG_URL");
}

inline void dropSchema(const QString &url)
{
    QM6ConnectionPtr raw;
    QVERIFY_OK(QM6Connection::Open(url, QString(), &raw));
    QSqlQuery q(QM6ConnectionPrivate::get(raw)->db());
    QVERIFY2(q.exec(QStringLiteral("DROP SCHEMA public CASCADE")), qPrintable(q.lastError().text()));
    QVERIFY(q.exec(QStringLiteral("CREATE SCHEMA public")));
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

} // namespace SiteFixture
