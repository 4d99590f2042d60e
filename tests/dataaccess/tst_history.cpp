// The change history, against SQLite and (QM6_TEST_BACKEND=pg) PostgreSQL: one entry per
// change of each kind, in the change's own transaction (none for a change rolled back or
// refused), readable by printer after its row is gone; qm6data check holding a printer's
// modified by/on to it; qm6data history.
#include "qm6history.h"
#include "qm6printer.h"
#include "qm6sitecheck.h"
#include "sitefixture.h"

#include <functional>

using namespace SiteFixture;

class tst_History;
using Change = std::function<void(tst_History *)>;
Q_DECLARE_METATYPE(Change)

class tst_History : public QObject, SiteFixture::Suite {
    Q_OBJECT
    QHash<qint32, QString> m_names;   // printer ids by the letter the expectations use

    qint32 add(const QString &letter, qint32 bw = 0)
    {
        QM6Printer p;
        p.SetName(letter);
        p.SetConnectionType(3);
        p.SetBWTotal(bw);
        if (const QM6ErrorPtr e = p.Save(c)) {
            qWarning() << e->Description();
            return -1;
        }
        m_names.insert(p.PrinterId(), letter);
        return p.PrinterId();
    }
    qint32 id(const QString &letter) const { return m_names.key(letter, -1); }
    QM6Printer load(const QString &letter)
    {
        QM6Printer p;
        if (const QM6ErrorPtr e = p.Load(c, id(letter)))
            qWarning() << e->Description();
        return p;
    }
    QString key(const QString &letter) { return load(letter).PrinterKey(); }

    // "A saved location:>Lab", "B merged-into A", "C moved-in AL from A" ...
    QString describe(const QM6HistoryEntry &e) const
    {
        static const char *const kinds[] = {"", "added", "saved", "totals", "merged-into", "merge-received",
                                            "moved-out", "moved-in", "alias-removed", "deleted"};
        QString text = m_names.value(e.printerId) + QLatin1Char(' ') + QLatin1String(kinds[e.kind]);
        if (!e.aliasKey.isEmpty())
            text += QLatin1Char(' ') + e.aliasKey;
        if (e.otherId >= 0)
            text += QLatin1Char(' ') + m_names.value(e.otherId);
        for (const QM6HistoryChange &ch : e.changes)
            text += QStringLiteral(" %1:%2>%3").arg(ch.field, ch.oldValue, ch.newValue);
        return text;
    }

private slots:
    void initTestCase() { QM6_SKIP_WITHOUT_SERVER(); }
    void init()
    {
        nextSite();
        m_names.clear();
    }
    void cleanup() { c.reset(); }

    void eachChangeRecordsItsEntries_data()
    {
        // Printers A (with merged printer AL, which was printer X), B (7 pages) and C exist.
        QTest::addColumn<Change>("change");
        QTest::addColumn<QStringList>("entries");   // newest first
        QTest::newRow("save") << Change([](tst_History *t) {
            QM6Printer a = t->load(QStringLiteral("A"));
            a.SetName(QStringLiteral("A2"));
            a.SetLocation(QStringLiteral("Lab, \"2\""));
            QVERIFY_OK(a.Save(t->c));
        }) << QStringList{QStringLiteral("A saved name:A>A2 location:>Lab, \"2\"")};
        QTest::newRow("totals") << Change([](tst_History *t) {
            QM6Printer b = t->load(QStringLiteral("B"));
            QVERIFY_OK(b.SaveTotals(t->c, 10, 5));
        }) << QStringList{QStringLiteral("B totals bw_total:7>10 color_total:0>5")};
        QTest::newRow("merge") << Change([](tst_History *t) {
            QM6Printer a = t->load(QStringLiteral("A"));
            QVERIFY_OK(a.AddAlias(t->c, t->key(QStringLiteral("B")), QStringLiteral("d"), QString(), QString(), 3, true));
        }) << QStringList{QStringLiteral("A merge-received B bw_total:0>7"), QStringLiteral("B merged-into A")};
        QTest::newRow("move") << Change([](tst_History *t) {
            QM6Printer a;
            qint32 jobs = 0;
            QVERIFY_OK(a.MoveAlias(t->c, QStringLiteral("AL"), t->id(QStringLiteral("C")), jobs));
        }) << QStringList{QStringLiteral("C moved-in AL A"), QStringLiteral("A moved-out AL C")};
        QTest::newRow("merged printer removed") << Change([](tst_History *t) {
            QM6Printer a = t->load(QStringLiteral("A"));
            qint32 jobs = 0;
            QVERIFY_OK(a.DeleteAlias(t->c, QStringLiteral("AL"), jobs));
        }) << QStringList{QStringLiteral("A alias-removed AL")};
        QTest::newRow("delete") << Change([](tst_History *t) {
            QM6Printer b = t->load(QStringLiteral("B"));
            QVERIFY_OK(b.Delete(t->c));
        }) << QStringList{QStringLiteral("B deleted")};
        QTest::newRow("rolled back") << Change([](tst_History *t) {
            QVERIFY_OK(t->c->BeginTransaction());
            QM6Printer a = t->load(QStringLiteral("A")), b = t->load(QStringLiteral("B"));
            a.SetModel(QStringLiteral("M"));
            QVERIFY_OK(a.Save(t->c));
            QVERIFY_OK(b.SaveTotals(t->c, 1, 1));
            QVERIFY_OK(b.Delete(t->c));
            QVERIFY_OK(t->c->RollbackTransaction());
        }) << QStringList{};
        QTest::newRow("refused: changed since loaded") << Change([](tst_History *t) {
            QM6Printer first = t->load(QStringLiteral("C")), second = t->load(QStringLiteral("C"));
            first.SetModel(QStringLiteral("first"));
            QVERIFY_OK(first.Save(t->c));
            second.SetModel(QStringLiteral("second"));
            QVERIFY(second.Save(t->c));
            QVERIFY(second.SaveTotals(t->c, 3, 3));
        }) << QStringList{QStringLiteral("C saved model:>first")};
    }

    void eachChangeRecordsItsEntries()
    {
        QFETCH(Change, change);
        QFETCH(QStringList, entries);
        add(QStringLiteral("A"));
        add(QStringLiteral("B"), 7);
        add(QStringLiteral("C"));
        const qint32 x = add(QStringLiteral("X"));
        QVERIFY(exec(c, QStringLiteral("UPDATE printers SET printer_key = 'AL' WHERE printer_id = %1").arg(x)));
        QM6Printer a = load(QStringLiteral("A"));
        QVERIFY_OK(a.AddAlias(c, QStringLiteral("AL"), QStringLiteral("d"), QString(), QString(), 3, true));

        QList<QM6HistoryEntry> before;
        QVERIFY_OK(QM6History::Read(c, -1, QDateTime(), &before));
        const QDateTime from = QDateTime::currentDateTimeUtc().addMSecs(-1);
        change(this);
        if (QTest::currentTestFailed())
            return;
        const QDateTime to = QDateTime::currentDateTimeUtc().addMSecs(1);
        QList<QM6HistoryEntry> after;
        QVERIFY_OK(QM6History::Read(c, -1, QDateTime(), &after));
        QStringList added;
        for (const QM6HistoryEntry &e : after.mid(0, after.size() - before.size())) {
            added << describe(e);
            QCOMPARE(e.changedBy, QM6ConnectionPrivate::get(c)->identity);
            QVERIFY(e.changedOn >= from && e.changedOn <= to);
            // Each printer's own history starts with it, the row of a merged or deleted one gone or not.
            QList<QM6HistoryEntry> own;
            QVERIFY_OK(QM6History::Read(c, e.printerId, QDateTime(), &own));
            QCOMPARE(own.value(0).entryId, e.entryId);
        }
        QCOMPARE(added, entries);
        QStringList report;
        bool allHold = false;
        QVERIFY_OK(QM6SiteCheck::Run(c.get(), &report, &allHold));
        QVERIFY2(allHold, qPrintable(report.join(QLatin1Char('\n'))));
    }

    void checkFindsModifiedByOrOnThatDisagree_data()
    {
        QTest::addColumn<QString>("tamper");
        QTest::newRow("modified by") << QStringLiteral("modified_by = 'someone else'");
        QTest::newRow("modified on") << QStringLiteral("modified_on = modified_on - 1000");
    }

    void checkFindsModifiedByOrOnThatDisagree()
    {
        QFETCH(QString, tamper);
        const qint32 a = add(QStringLiteral("A"));
        QVERIFY(exec(c, QStringLiteral("UPDATE printers SET %1 WHERE printer_id = %2").arg(tamper).arg(a)));
        QStringList report;
        bool allHold = true;
        QVERIFY_OK(QM6SiteCheck::Run(c.get(), &report, &allHold));
        QVERIFY(!allHold);
        QVERIFY2(report.filter(QStringLiteral("latest such entry")).value(0).startsWith(QLatin1String("FAILED")),
                 qPrintable(report.join(QLatin1Char('\n'))));
    }

    void toolPrintsHistoryByPrinterAndSince()
    {
        const qint32 a = add(QStringLiteral("A"));
        add(QStringLiteral("B"));
        QM6Printer p = load(QStringLiteral("A"));
        p.SetLocation(QStringLiteral("Lab"));
        QVERIFY_OK(p.Save(c));
        // An entry of long ago, as an older console could have left it.
        QVERIFY(exec(c, QStringLiteral("UPDATE printer_history SET changed_on = 86400000 WHERE printer_id = %1 AND kind = 1").arg(a)));
        const QString tool = QStringLiteral(QM6DATA_PATH);
        QByteArray out;
        QCOMPARE(run(tool, {QStringLiteral("history"), m_url, QStringLiteral("--printer"), QString::number(a)}, &out), 0);
        QStringList lines = QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].endsWith(QLatin1String("saved: location \"\" -> \"Lab\"")), qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith(QLatin1String("1970-01-0")) && lines[1].contains(QLatin1String("added: name \"A\"")), qPrintable(lines[1]));
        QCOMPARE(run(tool, {QStringLiteral("history"), m_url, QStringLiteral("--since"), QStringLiteral("2000-01-01")}, &out), 0);
        lines = QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);   // A's save and B's add; not A's add
        QVERIFY(lines[1].startsWith(QStringLiteral("printer %1 (").arg(id(QStringLiteral("B")))));
        QByteArray err;
        QCOMPARE(run(tool, {QStringLiteral("history"), m_url, QStringLiteral("--since"), QStringLiteral("1.1.2000")}, &out, &err), 2);
        QVERIFY(err.contains("YYYY-MM-DD"));
    }
};

QTEST_GUILESS_MAIN(tst_History)
#include "tst_history.moc"
