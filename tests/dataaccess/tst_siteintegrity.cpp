// Shared sites: two sessions racing over the same printers, against SQLite and
// (QM6_TEST_BACKEND=pg) PostgreSQL.
#include "printerdata.h"
#include "qm6printer.h"
#include "qm6sitecheck.h"
#include "sitefixture.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

using namespace SiteFixture;

class tst_SiteIntegrity : public QObject {
    Q_OBJECT
    bool m_pg = false;
    QTemporaryDir m_dir;
    int m_caseNo = 0;
    QString m_url;
    QM6ConnectionPtr c;

    // The race site: printers A, B, C, D and X, with X merged into B.
    QHash<QString, qint32> m_ids;
    QHash<QString, QString> m_keys;

    qint32 addPrinter(const QString &name)
    {
        QM6Printer p;
        p.SetName(name);
        p.SetConnectionType(3);
        p.SetPort(QStringLiteral("LPT1:"));
        p.SetBWTotal(100);
        if (QM6ErrorPtr e = p.Save(c)) {
            qWarning() << e->Description();
            return -1;
        }
        m_ids.insert(name.right(1), p.PrinterId());
        m_keys.insert(name.right(1), p.PrinterKey());
        return p.PrinterId();
    }

    void addJobs(const QString &seenOnKey, qint32 printerId, int n)
    {
        QSqlQuery q(QM6ConnectionPrivate::get(c)->db());
        q.prepare(QStringLiteral("INSERT INTO print_jobs (seen_on_key, printer_id, pages, color_pages, user_name, printed_on)"
                                 " VALUES (:k, :p, 3, 0, 'u', 1)"));
        q.bindValue(QStringLiteral(":k"), seenOnKey);
        q.bindValue(QStringLiteral(":p"), printerId);
        for (int i = 0; i < n; ++i)
            QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    }

    // One change of the race table as the worker's arguments: "merge B A" merges A into B,
    // "delete B", "move X C" moves merged printer X to C, "save B" renames B.
    QStringList workerArgs(const QStringList &op, const QString &newName)
    {
        const QString verb = op.value(0);
        QStringList args{verb, m_url, QString()};
        if (verb == QLatin1String("merge"))
            args << QString::number(m_ids[op[1]]) << m_keys[op[2]];
        else if (verb == QLatin1String("delete"))
            args << QString::number(m_ids[op[1]]) << QStringLiteral("-");
        else if (verb == QLatin1String("move"))
            args << m_keys[op[1]] << QString::number(m_ids[op[2]]);
        else
            args << QString::number(m_ids[op[1]]) << newName;
        return args;
    }

    // PostgreSQL: the second session has run into a lock the first one holds, or is done.
    bool blockedOrDone(QProcess &p)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 30000) {
            if (p.state() == QProcess::NotRunning || p.waitForFinished(10))
                return true;
            if (!m_pg || scalar(c, QStringLiteral("SELECT COUNT(*) FROM pg_locks WHERE NOT granted")) > 0)
                return true;
        }
        return false;
    }

private slots:
    void initTestCase()
    {
        m_pg = isPostgres();
        if (serverMissing()) {
            if (qEnvironmentVariableIntValue("QM6_REQUIRE_PG"))
                QFAIL("QM6_TEST_PG_URL is not set although QM6_REQUIRE_PG is: the PostgreSQL server did not start");
            QSKIP("QM6_TEST_PG_URL is not set: no PostgreSQL server to test against");
        }
        QVERIFY(m_dir.isValid());
    }

    void init()
    {
        if (m_pg) {
            m_url = qEnvironmentVariable("QM6_TEST_PG_URL");
            dropSchema(m_url);
        } else {
            m_url = QStringLiteral("sqlite:%1/case%2.db").arg(m_dir.path()).arg(++m_caseNo);
        }
        QVERIFY_OK(QM6Connection::Open(m_url, QString(), &c));
    }

    void cleanup()
    {
        c.reset();
        m_ids.clear();
        m_keys.clear();
    }

    void twoSessionsNeverBothMakeConflictingChanges_data()
    {
        QTest::addColumn<QStringList>("first");    // held once it has read what it depends on
        QTest::addColumn<QStringList>("second");   // runs meanwhile, then waits or goes on
        QTest::addColumn<bool>("secondOk");        // the first always succeeds
        QTest::addColumn<QStringList>("refusalSays");
        const QStringList none;
        QTest::newRow("merge A into B, then B into C") << QStringList{"merge", "B", "A"} << QStringList{"merge", "C", "B"} << true << none;
        QTest::newRow("merge B into C, then A into B") << QStringList{"merge", "C", "B"} << QStringList{"merge", "B", "A"} << false
                                                       << QStringList{"\"Printer B\"", "merged into", "\"Printer C\""};
        QTest::newRow("delete B, then merge A into B") << QStringList{"delete", "B"} << QStringList{"merge", "B", "A"} << false
                                                       << QStringList{"\"Printer B\"", "deleted"};
        QTest::newRow("merge A into B, then delete B") << QStringList{"merge", "B", "A"} << QStringList{"delete", "B"} << true << none;
        // A merged printer moves to the target whichever printer it belonged to: the later move wins, jobs and all.
        QTest::newRow("move X to C, then X to D") << QStringList{"move", "X", "C"} << QStringList{"move", "X", "D"} << true << none;
        QTest::newRow("save B, then delete B") << QStringList{"save", "B"} << QStringList{"delete", "B"} << true << none;
        QTest::newRow("delete B, then save B") << QStringList{"delete", "B"} << QStringList{"save", "B"} << false
                                               << QStringList{"\"Printer B\"", "deleted"};
        QTest::newRow("save B, then merge A into B") << QStringList{"save", "B"} << QStringList{"merge", "B", "A"} << true << none;
        QTest::newRow("merge A into B, then save B") << QStringList{"merge", "B", "A"} << QStringList{"save", "B"} << false
                                                     << QStringList{"\"Printer B\"", "changed"};
    }

    void twoSessionsNeverBothMakeConflictingChanges()
    {
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QFETCH(bool, secondOk);
        QFETCH(QStringList, refusalSays);
        for (const char *n : {"Printer A", "Printer B", "Printer C", "Printer D", "Printer X"})
            QVERIFY(addPrinter(QLatin1String(n)) > 0);
        QM6Printer b;
        QVERIFY_OK(b.Load(c, m_ids["B"]));
        QVERIFY_OK(b.AddAlias(c, m_keys["X"], QStringLiteral("x"), QString(), QString(), 3, true));
        addJobs(m_keys["A"], m_ids["A"], 2);
        addJobs(m_keys["B"], m_ids["B"], 3);
        addJobs(m_keys["X"], m_ids["B"], 4);

        QProcess one, two;
        one.start(QStringLiteral(QM6_WORKER_PATH), workerArgs(first, QStringLiteral("Renamed by the first")) << QStringLiteral("held"));
        QVERIFY2(waitForLine(one, "held"), one.readAllStandardError().constData());
        two.start(QStringLiteral(QM6_WORKER_PATH), workerArgs(second, QStringLiteral("Renamed by the second")));
        QVERIFY(waitForLine(two, "calling"));   // it has read what it read before the change
        QVERIFY(blockedOrDone(two));
        one.write("go\n");
        QVERIFY(ended(one) && ended(two));
        const QByteArray firstError = one.readAllStandardError(), secondError = two.readAllStandardError();
        QVERIFY2(one.exitStatus() == QProcess::NormalExit && one.exitCode() == 0, firstError.constData());
        QCOMPARE(two.exitStatus(), QProcess::NormalExit);
        QVERIFY2((two.exitCode() == 0) == secondOk, secondError.constData());
        for (const QString &piece : refusalSays)
            QVERIFY2(secondError.contains(piece.toUtf8()), secondError.constData());
        QVERIFY2(!secondError.contains("Renamed"), secondError.constData());   // named as stored, not as typed

        QStringList report;
        bool allHold = false;
        QVERIFY_OK(QM6SiteCheck::Run(c.get(), &report, &allHold));
        QVERIFY2(allHold, qPrintable(report.join(u'\n')));
        QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(*) FROM print_jobs")), 9);   // no job is ever lost
    }
};

QTEST_GUILESS_MAIN(tst_SiteIntegrity)
#include "tst_siteintegrity.moc"
