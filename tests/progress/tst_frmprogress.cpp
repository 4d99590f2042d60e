// The progress window, shown for real (offscreen) and driven as a long command drives it.
#include "frmprogress.h"
#include "modlanguage.h"
#include "twips.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class tst_frmProgress : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        qputenv("QM6_REGISTRY_DIR", mRegistry.path().toUtf8());
        modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet"));
    }

    void clientHeightFollowsTextAndCancel_data()
    {
        QTest::addColumn<bool>("showText");
        QTest::addColumn<bool>("showCancel");
        QTest::addColumn<int>("twipsHigh");
        QTest::newRow("text and Cancel") << true << true << 1125;
        QTest::newRow("text only") << true << false << 690;
        QTest::newRow("Cancel only") << false << true << 810;
        QTest::newRow("bar only") << false << false << 375;
    }

    void clientHeightFollowsTextAndCancel()
    {
        QFETCH(bool, showText);
        QFETCH(bool, showCancel);
        QFETCH(int, twipsHigh);
        frmProgress w;
        // The string table's own texts, before the operation's title replaces the caption.
        QCOMPARE(w.windowTitle(), QStringLiteral("Progress"));
        QCOMPARE(child<QPushButton>(w, "cmdCancel")->text(), QStringLiteral("Cancel"));
        w.Initialize(QStringLiteral("Updating Printers"), 5, nullptr, showText, showCancel, 1);
        QCOMPARE(w.windowTitle(), QStringLiteral("Updating Printers"));
        QCOMPARE(w.size(), QSize(twips::ToPixels(4605), twips::ToPixels(twipsHigh)));
        QCOMPARE(child<QLabel>(w, "lblProgress")->isVisible(), showText);
        QCOMPARE(child<QPushButton>(w, "cmdCancel")->isVisible(), showCancel);
        // Nothing is cut off at the bottom.
        const QWidget *lowest = showCancel ? static_cast<QWidget *>(child<QPushButton>(w, "cmdCancel"))
                                           : child<QProgressBar>(w, "prgProgress");
        QCOMPARE(lowest->geometry().bottom() + 1 + twips::ToPixels(60), w.height());
        // The user cannot make it bigger or smaller.
        w.resize(w.width() + 120, w.height() + 90);
        QCoreApplication::processEvents();
        QCOMPARE(w.size(), QSize(twips::ToPixels(4605), twips::ToPixels(twipsHigh)));
        w.Shutdown();
        QVERIFY(!w.isVisible());
    }

    void oneStepGivesABarFromOneToTwo()
    {
        frmProgress w;
        w.Initialize(QStringLiteral("Merging Printers"), 1, nullptr, false, false, 1);
        QCOMPARE(w.MaxValue(), 2);
        QCOMPARE(w.ProgressValue(), 1);
        w.Increment();
        QCOMPARE(w.ProgressValue(), 2);
        w.Increment();   // at the maximum nothing happens
        QCOMPARE(w.ProgressValue(), 2);
        w.Shutdown();
    }

    void withoutACountTheBarRunsOnATimer()
    {
        frmProgress w;
        w.Initialize(QStringLiteral("Waiting"), 0, nullptr, true, false, 1);
        QCOMPARE(w.MaxValue(), 0);
        QCOMPARE(child<QLabel>(w, "lblProgress")->text(), QStringLiteral("Working, please wait..."));
        child<QTimer>(w, "tmrProgress")->setInterval(1);   // 60 ticks without waiting 15 seconds
        QTRY_COMPARE(w.ProgressValue(), 60);
        QTest::qWait(50);
        QCOMPARE(w.ProgressValue(), 60);   // full, and it does not start over
        w.Shutdown();
        QVERIFY(!child<QTimer>(w, "tmrProgress")->isActive());
    }

    void textIsRewrittenOnlyAtMultiplesOfItsChunk()
    {
        frmProgress w;
        w.Initialize(QStringLiteral("Updating Printers"), 95, nullptr, true, true, 10);
        QLabel *text = child<QLabel>(w, "lblProgress");
        QStringList shown;
        for (int i = 1; i < 95; ++i) {
            w.Increment();
            if (shown.isEmpty() || shown.last() != text->text())
                shown << text->text();
        }
        QStringList expected{QString()};
        for (int v = 10; v <= 90; v += 10)
            expected << QStringLiteral("%1 of 95").arg(v);
        QCOMPARE(shown, expected);
        QCOMPARE(w.ProgressValue(), 95);
        w.Shutdown();
    }

    void valuesOutsideTheBarAreIgnored_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("below the minimum") << 0 << 1;
        QTest::newRow("above the maximum") << 6 << 1;
        QTest::newRow("inside") << 3 << 3;
        QTest::newRow("the maximum") << 5 << 5;
    }

    void valuesOutsideTheBarAreIgnored()
    {
        QFETCH(int, value);
        QFETCH(int, expected);
        frmProgress w;
        w.Initialize(QStringLiteral("t"), 5, nullptr, true, false, 1);
        w.SetProgressValue(value);
        QCOMPARE(w.ProgressValue(), expected);
        w.Shutdown();
    }

    void ownerIsDisabledWhileTheWindowIsUpAndCancelStillWorks()
    {
        QWidget owner;
        owner.show();
        frmProgress w;
        w.Initialize(QStringLiteral("t"), 3, &owner, true, true, 1);
        QVERIFY(!owner.isEnabled());
        QCOMPARE(owner.cursor().shape(), Qt::WaitCursor);
        QVERIFY(w.isEnabled());
        QVERIFY(w.isWindow());
        QVERIFY(!w.Cancelled());
        QTest::mouseClick(child<QPushButton>(w, "cmdCancel"), Qt::LeftButton);
        QVERIFY(w.Cancelled());
        w.Shutdown();
        QVERIFY(owner.isEnabled());
        QCOMPARE(owner.cursor().shape(), Qt::ArrowCursor);
        QVERIFY(!w.parent());   // the caller owns it again
    }

    void resetRestartsCountsAgainOrTimes()
    {
        frmProgress w;
        w.Initialize(QStringLiteral("t"), 4, nullptr, false, true, 1);
        w.Increment();
        QTest::mouseClick(child<QPushButton>(w, "cmdCancel"), Qt::LeftButton);
        w.Reset(QStringLiteral("again"), -1);
        QCOMPARE(w.windowTitle(), QStringLiteral("again"));
        QVERIFY(!w.Cancelled());
        QCOMPARE(w.ProgressValue(), 1);
        QCOMPARE(w.MaxValue(), 4);
        w.Reset(QString(), 1, true, false);
        QCOMPARE(w.MaxValue(), 2);
        QCOMPARE(w.height(), twips::ToPixels(690));
        w.Reset(QString(), 0);
        QCOMPARE(w.MaxValue(), 0);
        w.SetToMax();
        QCOMPARE(w.ProgressValue(), 60);
        QCOMPARE(w.MaxValue(), 60);
        w.Shutdown();
    }

private:
    template <typename T>
    static T *child(const QWidget &w, const char *name)
    {
        T *c = w.findChild<T *>(QLatin1String(name));
        if (!c)
            qFatal("no %s", name);
        return c;
    }
    QTemporaryDir mRegistry;
};

QTEST_MAIN(tst_frmProgress)
#include "tst_frmprogress.moc"
