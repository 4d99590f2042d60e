// Shared sites: two sessions racing over the same printers, and who may change what, against
// SQLite and (QM6_TEST_BACKEND=pg) PostgreSQL.
#include "printerdata.h"
#include "qm6printer.h"
#include "qm6sitecheck.h"
#include "sitefixture.h"
#include "unixusers.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <pwd.h>
#include <unistd.h>

using namespace SiteFixture;

class tst_SiteIntegrity : public QObject, SiteFixture::Suite {
    Q_OBJECT

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

    // Everything a refused change must leave as it was.
    QString siteState()
    {
        return QStringLiteral("%1/%2/%3/%4/%5")
            .arg(scalar(c, QStringLiteral("SELECT COUNT(*) FROM printers")))
            .arg(scalar(c, QStringLiteral("SELECT SUM(row_version) + SUM(deleted) + SUM(bw_total) FROM printers")))
            .arg(scalar(c, QStringLiteral("SELECT COUNT(*) FROM merged_printers")))
            .arg(scalar(c, QStringLiteral("SELECT SUM(owner_id) FROM merged_printers")))
            .arg(scalar(c, QStringLiteral("SELECT SUM(printer_id) FROM print_jobs")));
    }

    // Printers A, B, C, D and X, with X merged into B and jobs on each.
    void buildRaceSite()
    {
        for (const char *n : {"Printer A", "Printer B", "Printer C", "Printer D", "Printer X"})
            QVERIFY(addPrinter(QLatin1String(n)) > 0);
        QM6Printer b;
        QVERIFY_OK(b.Load(c, m_ids["B"]));
        QVERIFY_OK(b.AddAlias(c, m_keys["X"], QStringLiteral("x"), QString(), QString(), 3, true));
        addJobs(c, m_keys["A"], m_ids["A"], 2);
        addJobs(c, m_keys["B"], m_ids["B"], 3);
        addJobs(c, m_keys["X"], m_ids["B"], 4);
    }

    // A user of the site with exactly these permissions.
    void addUser(const QString &name, const QList<int> &codes)
    {
        QVERIFY(exec(c, QStringLiteral("INSERT INTO users (user_name) VALUES ('%1')").arg(name)));
        for (int code : codes)
            QVERIFY(exec(c, QStringLiteral("INSERT INTO user_permissions (user_id, code) SELECT user_id, %1 FROM users"
                                           " WHERE user_name = '%2'").arg(code).arg(name)));
    }

private slots:
    void initTestCase()
    {
        QM6_SKIP_WITHOUT_SERVER();
        QVERIFY(m_dir.isValid());
    }
    void init() { nextSite(); }

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
        buildRaceSite();
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

    void identityIsWhoTheUserIsAndANameOnlyNarrows()
    {
        const QString me = m_pg ? QStringLiteral("postgres") : unixusers::me();
        QCOMPARE(c->UserName(), me);
        QVERIFY(c->NarrowedTo().isEmpty());
        QVERIFY_OK(c->CheckPermission(129));   // the site's creator holds every right
        QM6ConnectionPtr same, narrowed;
        QVERIFY_OK(QM6Connection::Open(m_url, me, &same));
        QVERIFY(same->NarrowedTo().isEmpty());
        addUser(QStringLiteral("auditor"), {128, 130});
        QVERIFY_OK(QM6Connection::Open(m_url, QStringLiteral("auditor"), &narrowed));
        QCOMPARE(narrowed->UserName(), me);
        QCOMPARE(narrowed->NarrowedTo(), QStringLiteral("auditor"));
        QVERIFY_OK(narrowed->CheckPermission(128));
        QM6ErrorPtr e = narrowed->CheckPermission(129);
        QVERIFY(e);
        QVERIFY2(e->Description().contains(QStringLiteral("\"auditor\" does not have permission 129")), qPrintable(e->Description()));
    }

    void everyWritePathChecksTheChangeRight_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("narrowTo");   // the name the rights are narrowed to
        QTest::addColumn<bool>("revokeMine");    // the user's own right taken away
        for (const char *change : {"add", "save", "totals", "delete", "merge", "merge merged", "move", "remove merged"}) {
            QTest::addRow("%s, as auditor", change) << QString::fromLatin1(change) << QStringLiteral("auditor") << false;
            QTest::addRow("%s, as admin without a right of my own", change) << QString::fromLatin1(change) << QStringLiteral("admin") << true;
        }
    }

    void everyWritePathChecksTheChangeRight()
    {
        QFETCH(QString, change);
        QFETCH(QString, narrowTo);
        QFETCH(bool, revokeMine);
        buildRaceSite();
        addUser(QStringLiteral("auditor"), {128, 130});
        if (revokeMine)
            QVERIFY(exec(c, QStringLiteral("DELETE FROM user_permissions WHERE code = 129 AND user_id = (SELECT user_id FROM"
                                           " users WHERE user_name = '%1')").arg(c->UserName())));
        QM6ConnectionPtr as;
        QVERIFY_OK(QM6Connection::Open(m_url, narrowTo, &as));
        const QString before = siteState();
        QM6Printer p;
        qint32 count = 0;
        QM6ErrorPtr e;
        if (change == QLatin1String("add")) {
            p.SetName(QStringLiteral("New"));
            e = p.Save(as);
        } else if (change == QLatin1String("delete")) {
            p.SetPrinterId(m_ids["A"]);   // never loaded: the caller checked nothing
            e = p.Delete(as);
        } else if (change == QLatin1String("move")) {
            e = p.MoveAlias(as, m_keys["X"], m_ids["C"], count);
        } else if (change == QLatin1String("remove merged")) {
            e = p.DeleteAlias(as, m_keys["X"], count);
        } else {
            QVERIFY_OK(p.Load(as, m_ids["B"]));
            p.SetName(QStringLiteral("Changed"));
            if (change == QLatin1String("save"))
                e = p.Save(as);
            else if (change == QLatin1String("totals"))
                e = p.SaveTotals(as, 1, 1);
            else
                e = p.AddAlias(as, m_keys[change == QLatin1String("merge") ? "A" : "X"], QStringLiteral("d"), QString(), QString(), 3, true);
        }
        QVERIFY(e);
        QCOMPARE(e->Number(), qint32(QM6Error::ErrPermission));
        QVERIFY2(e->Description().contains(QStringLiteral("permission 129")) && e->Description().contains(QStringLiteral("Nothing was changed")),
                 qPrintable(e->Description()));
        QCOMPARE(siteState(), before);
        QVERIFY(!as->InTransaction());
    }

    void aUserWhoCannotBeIdentifiedIsRefused()
    {
        if (m_pg)
            QSKIP("PostgreSQL identifies every session by its login role");
        if (geteuid() != 0)
            QSKIP("only root can run a program as a user id without a name");
        uid_t nobody = 54321;
        while (getpwuid(nobody))
            ++nobody;
        QTemporaryDir open(QDir::tempPath() + QStringLiteral("/qm6-anon-XXXXXX"));
        QVERIFY(QFile::setPermissions(open.path(), QFileDevice::Permissions(0x7777)));
        const QString id = QString::number(nobody);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("USER"), QStringLiteral("root"));   // a claim anyone can make
        env.insert(QStringLiteral("LOGNAME"), QStringLiteral("root"));
        p.setProcessEnvironment(env);
        const QStringList look = asAnotherUser({"setpriv", "--reuid", id, "--regid", id, "--clear-groups"}, QStringLiteral(QM6_WORKER_PATH))
                                 + QStringList{"look", "sqlite:" + open.filePath("site.db"), "admin", "-", "-"};
        p.start(look.first(), look.mid(1));
        QVERIFY(ended(p));
        const QByteArray err = p.readAllStandardError();
        QCOMPARE(p.exitCode(), 1);
        QVERIFY2(err.contains("user id " + id.toUtf8() + ", which has no name"), err.constData());
        QVERIFY(!QFile::exists(open.filePath("site.db")));   // and nothing was made
    }
};

QTEST_GUILESS_MAIN(tst_SiteIntegrity)
#include "tst_siteintegrity.moc"
