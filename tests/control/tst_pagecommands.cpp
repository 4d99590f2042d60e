// The page's commands on several printers (batch update, delete, merge) over a real SQLite
// site, with fake forms and a fake console; data failures are injected by database triggers.
#include "fakeforms.h"
#include "pagefixture.h"
#include "qm6sitecheck.h"

#include <QFile>
#include <QSqlDatabase>

namespace {
// Texts of the English string table, as the user reads them.
const QString TargetIsMerged = QStringLiteral(
    "The first printer you selected is itself merged into another printer, so nothing can be merged into it. Select the "
    "printer to merge into first, then add the other printers to the selection.");
const QString TargetRefused = QStringLiteral(
    "The first printer you selected is already merged into another printer and cannot receive other printers. Select the "
    "printer to merge into first, then add the other printers to the selection.");
}

class tst_PageCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void init()
    {
        f = std::make_unique<PageSite>();
        QVERIFY(f->conn);
        mForms = FakeForms();
        mIds.clear();
    }
    void cleanup()
    {
        mHolder.reset();
        f.reset();
    }

    void batchUpdateAppliesTheTemplate_data()
    {
        QTest::addColumn<int>("profile");        // 0: keep
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("cancelAfter");    // -1: never
        QTest::addColumn<int>("failAt");         // printer number whose save fails, 0: none
        QTest::newRow("empty template saves each unchanged") << 0 << QString() << QString() << -1 << 0;
        QTest::newRow("profile and model") << 2 << QString() << QStringLiteral("M605") << -1 << 0;
        QTest::newRow("account, cancelled after the first") << 0 << QStringLiteral("ACC-NEW") << QString() << 1 << 0;
        QTest::newRow("model, the third of five fails") << 0 << QString() << QStringLiteral("M605") << -1 << 2;
    }

    void batchUpdateAppliesTheTemplate()
    {
        QFETCH(int, profile);
        QFETCH(QString, account);
        QFETCH(QString, model);
        QFETCH(int, cancelAfter);
        QFETCH(int, failAt);
        mForms.batchConfirmed = true;
        mForms.batchTemplate = std::make_shared<QM6Printer>();
        mForms.batchTemplate->SetPrintProfileId(profile > 0 ? profile : -1);
        mForms.batchTemplate->SetAccountNo(account);
        mForms.batchTemplate->SetModel(model);
        mForms.cancelAfter = cancelAfter;
        buildSite(5);
        if (failAt)
            sql(QStringLiteral("CREATE TRIGGER injected BEFORE UPDATE ON printers WHEN OLD.printer_id = %1"
                               " BEGIN SELECT RAISE(ABORT, 'the disk is full'); END").arg(mIds[failAt - 1]));
        const qint64 versionsBefore = scalar(QStringLiteral("SELECT SUM(row_version) FROM printers"));
        // Selected in this order: P4, P1, P2, P3, P5 (the third is P2).
        const QList<int> order{4, 1, 2, 3, 5};
        select(order);

        mPage->StandardAction(2);

        QCOMPARE(mForms.batchAsked, 1);
        QCOMPARE(mForms.progress.size(), 1);
        const FakeProgress::Log &progress = *mForms.progress.first();
        QCOMPARE(progress.title, QStringLiteral("Updating Printers"));
        QCOMPARE(progress.max, 5);
        QVERIFY(progress.showText);
        QCOMPARE(progress.showCancel.toBool(), true);
        QCOMPARE(progress.chunk, qint16(1));
        QVERIFY(progress.shutDown);
        QCOMPARE(f->console.enabledSets, (QVector<bool>{false, true}));
        QCOMPARE(mGrid->Row(), 1);   // reloaded keeping row 1
        if (failAt) {
            QCOMPARE(f->services->messages.size(), 1);
            QVERIFY2(f->services->messages.first().startsWith(QStringLiteral("The printers could not all be updated: ")) &&
                         f->services->messages.first().contains(QStringLiteral("the disk is full")),
                     qPrintable(f->services->messages.first()));
        } else {
            QVERIFY(f->services->messages.isEmpty());
        }
        // The printers before the stop carry the change; the rest are untouched.
        QSet<int> expectChanged;
        for (int n : order) {
            if (n == failAt)
                break;
            expectChanged << n;
            if (expectChanged.size() == cancelAfter)
                break;
        }
        QCOMPARE(progress.increments, failAt || cancelAfter > 0 ? qsizetype(expectChanged.size()) + (failAt ? 1 : 0) : 5);
        for (int n = 1; n <= 5; ++n) {
            QM6Printer p;
            QVERIFY(!p.Load(f->conn, mIds[n - 1]));
            const bool hit = expectChanged.contains(n);
            QCOMPARE(p.PrintProfileId(), hit && profile > 0 ? profile : 0);
            QCOMPARE(p.AccountNo(), hit && !account.isEmpty() ? account : QStringLiteral("ACC-%1").arg(n));
            QCOMPARE(p.Model(), hit && !model.isEmpty() ? model : QStringLiteral("Model %1").arg(n));
        }
        // Each printer the loop reached was stored once (an unchanged one too), nothing else.
        QCOMPARE(scalar(QStringLiteral("SELECT SUM(row_version) FROM printers")), versionsBefore + expectChanged.size());
        if (failAt)
            sql(QStringLiteral("DROP TRIGGER injected"));
        checkSiteHolds();
    }

    void batchWithNothingConfirmedChangesNothing()
    {
        buildSite(3);
        select({1, 2});
        mPage->StandardAction(2);
        QCOMPARE(mForms.batchAsked, 1);
        QVERIFY(mForms.progress.isEmpty());
        QVERIFY(f->console.enabledSets.isEmpty());
        QCOMPARE(scalar(QStringLiteral("SELECT SUM(row_version) FROM printers")), 6);   // two stores each, from the build
    }

    void deleteTriesEveryPrinterAndCountsFailures_data()
    {
        QTest::addColumn<int>("failAt");    // printer whose delete fails, 0: none
        QTest::addColumn<bool>("aliasGone");   // the selected merged printer was removed meanwhile
        QTest::newRow("all deleted") << 0 << false;
        QTest::newRow("the second fails, the rest go") << 2 << false;
        QTest::newRow("a merged printer already gone") << 0 << true;
    }

    void deleteTriesEveryPrinterAndCountsFailures()
    {
        QFETCH(int, failAt);
        QFETCH(bool, aliasGone);
        buildSite(5);
        // P5 merged into P1: rows are P1, its merged P5, P2, P3, P4.
        QVERIFY(mergeInto(f->conn, mIds[0], mIds[4]));
        mPage->StandardAction(10);
        QCOMPARE(mPage->PrinterCount(), 5);
        const qint64 jobs = scalar(QStringLiteral("SELECT COUNT(*) FROM print_jobs"));
        if (failAt)
            sql(QStringLiteral("CREATE TRIGGER injected BEFORE UPDATE ON printers WHEN OLD.printer_id = %1"
                               " BEGIN SELECT RAISE(ABORT, 'locked by the tracking service'); END").arg(mIds[failAt - 1]));
        if (aliasGone)
            sql(QStringLiteral("DELETE FROM merged_printers"));
        select({2, 3, 4, 40});   // the merged P5, P2, P3 and a filler row
        f->services->answers = {6};
        mPage->StandardAction(4);

        QCOMPARE(f->services->questions, QStringList{QStringLiteral("Do you want to delete the selected printers? Their print jobs are kept.")});
        const QStringList failures = failAt ? QStringList{QStringLiteral(
            "1 printer(s) could not be deleted. Refresh the list to see which printers remain, and then try again.")} : QStringList();
        QCOMPARE(f->services->messages, failures);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM merged_printers")), 0);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM printers WHERE deleted = 1")), failAt ? 1 : 2);
        QCOMPARE(mPage->PrinterCount(), failAt ? 3 : 2);   // reloaded
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM print_jobs")), jobs);   // nothing of the history goes
        if (failAt)
            sql(QStringLiteral("DROP TRIGGER injected"));
        checkSiteHolds();
    }

    void deleteAsksFirstAndTheKeysReachIt()
    {
        buildSite(3);
        select({2});
        f->services->answers = {7};
        mPage->StandardAction(4);
        int key = 46;
        emit mGrid->KeyUp(key, 0);
        QCOMPARE(f->services->questions.size(), 2);
        QCOMPARE(mPage->PrinterCount(), 3);   // answered no twice
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM printers WHERE deleted = 1")), 0);
        // Without the change right nothing is asked.
        PageHolder auditor(*f, openSite(f->db, QStringLiteral("auditor")));
        auditor.grid()->SetRow(1);
        auditor->StandardAction(4);
        QCOMPARE(f->services->questions.size(), 2);
    }

    void mergeMakesAliasesAndMovesMergedRows_data()
    {
        QTest::addColumn<QList<int>>("rows");          // the first is the merge target
        QTest::addColumn<int>("aliasesOfTarget");      // afterwards
        QTest::addColumn<int>("printersLeft");
        QTest::newRow("two printers: one merge") << QList<int>{1, 3} << 2 << 3;
        QTest::newRow("three printers") << QList<int>{3, 1, 4} << 3 << 2;
        QTest::newRow("target with its own merged row") << QList<int>{1, 2} << 1 << 4;
        QTest::newRow("a merged row of another printer moves") << QList<int>{3, 2} << 1 << 4;
    }

    void mergeMakesAliasesAndMovesMergedRows()
    {
        QFETCH(QList<int>, rows);
        QFETCH(int, aliasesOfTarget);
        QFETCH(int, printersLeft);
        buildSite(5);
        // P5 merged into P1: rows are P1, its merged P5, P2, P3, P4.
        QVERIFY(mergeInto(f->conn, mIds[0], mIds[4]));
        mPage->StandardAction(10);
        select(rows);
        QCOMPARE(mPage->MergeTargetRow(), rows.first());
        const qint32 targetId = mGrid->TextMatrix(rows.first(), 0).toInt();
        const qint64 jobs = scalar(QStringLiteral("SELECT COUNT(*) FROM print_jobs"));
        const int opened = openDepth();
        f->services->answers = {6};
        mPage->CustomAction(QStringLiteral("QM6CF_ADVANCED_MERGE"));

        QCOMPARE(openDepth(), opened);   // the merge closes what it opened
        QCOMPARE(f->services->questions.size(), 1);
        const QString name = QStringLiteral("P%1").arg(mIds.indexOf(targetId) + 1);
        QCOMPARE(f->services->questions.first(),
                 QStringLiteral("You are about to merge the selected printers into %1.\n\nIf you continue, all printers and their jobs "
                                "will appear to come from: \r\n%1.\r\n\r\nOnce merged you cannot separate merged jobs.").arg(name));
        QVERIFY2(f->services->messages.isEmpty(), qPrintable(f->services->messages.join(u'\n')));
        QCOMPARE(mForms.progress.size(), 1);
        const FakeProgress::Log &progress = *mForms.progress.first();
        QCOMPARE(progress.title, QStringLiteral("Merging Printers"));
        QCOMPARE(progress.max, rows.size() - 1);
        QCOMPARE(progress.increments, rows.size() - 1);
        QVERIFY(!progress.showText);
        QVERIFY(!progress.showCancel.toBool());
        QVERIFY(progress.shutDown);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM merged_printers WHERE owner_id = %1").arg(targetId)), aliasesOfTarget);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM printers WHERE deleted = 0")), printersLeft);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM print_jobs")), jobs);
        QCOMPARE(mGrid->Row(), 1);
        checkSiteHolds();
    }

    void mergeStopsAtTheFirstFailure()
    {
        buildSite(5);
        select({1, 2, 3, 4, 5});
        sql(QStringLiteral("UPDATE printers SET deleted = 1 WHERE printer_id = %1").arg(mIds[2]));   // P3 gone meanwhile
        const int opened = openDepth();
        f->services->answers = {6};
        mPage->CustomAction(QStringLiteral("QM6CF_ADVANCED_MERGE"));
        QCOMPARE(openDepth(), opened);
        QCOMPARE(mForms.progress.first()->increments, 2);
        QVERIFY(mForms.progress.first()->shutDown);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM merged_printers WHERE owner_id = %1").arg(mIds[0])), 1);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM printers WHERE deleted = 0")), 3);   // P1, P4 (untried) and P5
        QCOMPARE(mPage->PrinterCount(), 4);   // reloaded: P1 with P2 merged, P4, P5
        QCOMPARE(f->services->messages.size(), 1);
        QVERIFY2(f->services->messages.first().startsWith(QStringLiteral("Quillmark 6 Administrator could not merge the printers: ")),
                 qPrintable(f->services->messages.first()));
        checkSiteHolds();
    }

    void mergedTargetIsRefusedBeforeAnyDataCall()
    {
        buildSite(3);
        QVERIFY(mergeInto(f->conn, mIds[0], mIds[2]));
        mPage->StandardAction(10);
        select({2, 3});   // the merged P3 first, then P2
        // The database is gone: any data call would fail loudly.
        QVERIFY(QFile::rename(f->db, f->db + QStringLiteral(".away")));
        mPage->CustomAction(QStringLiteral("QM6CF_ADVANCED_MERGE"));
        QCOMPARE(f->services->messages, QStringList{TargetRefused});
        mPage->MergePrinters();
        QCOMPARE(f->services->messages, (QStringList{TargetRefused, TargetIsMerged}));
        QVERIFY(f->services->questions.isEmpty());
        QVERIFY(mForms.progress.isEmpty());
        QVERIFY(QFile::rename(f->db + QStringLiteral(".away"), f->db));
    }

    void oneSelectedRowMergesNothing()
    {
        buildSite(3);
        select({2});
        f->services->answers = {6};
        mPage->CustomAction(QStringLiteral("QM6CF_ADVANCED_MERGE"));
        mPage->MergePrinters();
        QVERIFY(f->services->questions.isEmpty());
        QVERIFY(f->services->messages.isEmpty());
        QVERIFY(mForms.progress.isEmpty());
    }

    void unopenableDatabaseClosesTheProgressWindow()
    {
        buildSite(3);
        select({1, 2});
        QVERIFY(QFile::rename(f->db, f->db + QStringLiteral(".away")));
        f->services->answers = {6};
        mPage->CustomAction(QStringLiteral("QM6CF_ADVANCED_MERGE"));
        QCOMPARE(mForms.progress.size(), 1);
        QVERIFY(mForms.progress.first()->shutDown);
        QCOMPARE(mForms.progress.first()->increments, 0);
        QCOMPARE(f->services->messages.size(), 1);
        QVERIFY(f->services->messages.first().contains(QStringLiteral("could not merge the printers")));

        mForms.batchConfirmed = true;
        mPage->StandardAction(2);
        QCOMPARE(f->console.enabledSets, QVector<bool>{true});   // enabled again although it was never disabled
        QCOMPARE(f->services->messages.size(), 2);
        QVERIFY(QFile::rename(f->db + QStringLiteral(".away"), f->db));
    }

private:
    // Printers "P1" ... "Pn" (local printers with two jobs each), then the page on the site.
    void buildSite(int printers)
    {
        sql(QStringLiteral("INSERT INTO track_profiles (name) VALUES ('Standard'), ('Students')"));
        for (int i = 1; i <= printers; ++i) {
            auto p = addPrinter(f->conn, QStringLiteral("P%1").arg(i), QStringLiteral("USB00%1").arg(i), QStringLiteral("WS-%1").arg(i), 3,
                                QStringLiteral("ACC-%1").arg(i));
            QVERIFY(p);
            p->SetModel(QStringLiteral("Model %1").arg(i));
            QVERIFY(!p->Save(f->conn));
            mIds << p->PrinterId();
            for (int j = 0; j < 2; ++j)
                sql(QStringLiteral("INSERT INTO print_jobs (seen_on_key, printer_id, pages, color_pages, user_name, printed_on)"
                                   " VALUES ('%1', %2, 1, 0, 'u', 1)").arg(p->PrinterKey()).arg(p->PrinterId()));
        }
        mHolder = std::make_unique<PageHolder>(*f, f->conn, true);
        mPage = mHolder->page;
        mPage->SetForms(mForms.Forms());
        mGrid = mHolder->grid();
        QCOMPARE(mPage->PrinterCount(), printers);
    }

    // SQL on a connection of its own: it sees what the page committed, nothing else.
    qint64 scalar(const QString &statement)
    {
        qint64 v = -2;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            db.setDatabaseName(f->db);
            if (db.open()) {
                QSqlQuery q(db);
                if (q.exec(statement))
                    v = q.next() ? q.value(0).toLongLong() : -1;
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        return v;
    }
    void sql(const QString &statement) { QVERIFY2(scalar(statement) != -2, qPrintable(statement)); }
    void select(const QList<int> &rows) { mHolder->select(rows); }
    // How many OpenConnection calls on the page's connection are not yet closed.
    int openDepth() const { return QM6ConnectionPrivate::get(f->conn)->openDepth; }

    void checkSiteHolds()
    {
        QStringList report;
        bool allHold = false;
        QVERIFY(!QM6SiteCheck::Run(f->conn.get(), &report, &allHold));
        QVERIFY2(allHold, qPrintable(report.join(u'\n')));
    }

    std::unique_ptr<PageSite> f;
    FakeForms mForms;
    std::unique_ptr<PageHolder> mHolder;
    ctlFleet *mPage = nullptr;
    FlexGrid *mGrid = nullptr;
    QList<qint32> mIds;   // printer ids by row (rows 1..n: printers P1..Pn, in name order)
};

QTEST_MAIN(tst_PageCommands)
#include "tst_pagecommands.moc"
