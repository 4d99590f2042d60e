// The batch update form over a real SQLite site, driven through its widgets.
#include "frmbatchupdate.h"
#include "modlanguage.h"
#include "pagefixture.h"

#include <QApplication>
#include <QPushButton>

namespace {
const QString KeepProfile = QStringLiteral("(Keep each printer's profile)");
const QString NothingToUpdate =
    QStringLiteral("There is nothing to update. Choose a track profile, or enter an account or a model, and then click Update.");
}

class tst_frmBatchUpdate : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        qputenv("QM6_REGISTRY_DIR", mDir.filePath(QStringLiteral("registry")).toUtf8());
        const QString db = mDir.filePath(QStringLiteral("site.db"));
        QVERIFY((mAdmin = openSite(db)) && execSql(mAdmin, QStringLiteral("INSERT INTO track_profiles (name) VALUES ('Standard'), ('Students')")));
        mAuditor = openSite(db, QStringLiteral("auditor"));
        QVERIFY(mAuditor);
    }

    void init()
    {
        // The page loads the string table; these cases build the form without a page.
        modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet"));
        auto services = std::make_unique<FakeCommonServices>();
        mServices = services.get();
        SetCommonServices(std::move(services));
    }
    void cleanup() { SetCommonServices(nullptr); }

    void profilesFollowTheKeepEntry()
    {
        frmBatchUpdate form(mAdmin);
        QVERIFY(form.LoadProfiles());
        QComboBox *profiles = child<QComboBox>(form, "cmbProfile");
        QCOMPARE(profiles->count(), 3);
        QCOMPARE(profiles->itemText(0), KeepProfile);
        QCOMPARE(profiles->itemData(0).toInt(), -1);
        QCOMPARE(profiles->itemText(1), QStringLiteral("Standard"));
        QCOMPARE(profiles->currentIndex(), 0);
        QCOMPARE(form.windowTitle(), QStringLiteral("Update Multiple Printers"));
        QCOMPARE(child<QPushButton>(form, "cmdSave")->text(), QStringLiteral("&Update"));
        QCOMPARE(child<QLineEdit>(form, "txtAccountNo")->maxLength(), 250);
        QCOMPARE(child<QLineEdit>(form, "txtModel")->maxLength(), 250);
    }

    void updateAsksThenHandsBackTheTemplate_data()
    {
        QTest::addColumn<int>("profile");      // index in the list
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QList<qint32>>("answers");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("accountAfter");   // in the box, and in the template when saved
        QTest::addColumn<QString>("modelAfter");
        using A = QList<qint32>;
        QTest::newRow("blanks only is nothing") << 0 << QStringLiteral("   ") << QString() << A{} << false << false << QString() << QString();
        QTest::newRow("profile only") << 2 << QString() << QString() << A{6} << true << true << QString() << QString();
        QTest::newRow("account and model trimmed") << 0 << QStringLiteral("  ACC-7 ") << QStringLiteral(" M605 ") << A{6} << true
                                                   << true << QStringLiteral("ACC-7") << QStringLiteral("M605");
        QTest::newRow("no keeps the trimmed texts") << 1 << QStringLiteral(" A ") << QString() << A{7} << true << false
                                                    << QStringLiteral("A") << QString();
    }

    void updateAsksThenHandsBackTheTemplate()
    {
        QFETCH(int, profile);
        QFETCH(QString, account);
        QFETCH(QString, model);
        QFETCH(QList<qint32>, answers);
        QFETCH(bool, asked);
        QFETCH(bool, saved);
        QFETCH(QString, accountAfter);
        QFETCH(QString, modelAfter);
        mServices->answers = answers;
        frmBatchUpdate form(mAdmin);
        QVERIFY(form.LoadProfiles());
        form.show();
        QComboBox *profiles = child<QComboBox>(form, "cmbProfile");
        profiles->setCurrentIndex(profile);
        child<QLineEdit>(form, "txtAccountNo")->setText(account);
        child<QLineEdit>(form, "txtModel")->setText(model);
        QTest::mouseClick(child<QPushButton>(form, "cmdSave"), Qt::LeftButton);

        QCOMPARE(mServices->questions.size(), asked ? 1 : 0);
        QCOMPARE(mServices->messages, asked ? QStringList() : QStringList{NothingToUpdate});
        QCOMPARE(form.Saved(), saved);
        QCOMPARE(form.isVisible(), !saved);
        QCOMPARE(child<QLineEdit>(form, "txtAccountNo")->text(), accountAfter);
        QCOMPARE(child<QLineEdit>(form, "txtModel")->text(), modelAfter);
        if (!saved) {
            QVERIFY(!form.BatchPrinter());
            return;
        }
        const QM6PrinterPtr t = form.BatchPrinter();
        QVERIFY(t);
        QCOMPARE(t->PrintProfileId(), profiles->itemData(profile).toInt());
        const QM6Printer fresh;
        QCOMPARE(t->AccountNo(), accountAfter.isEmpty() ? fresh.AccountNo() : accountAfter);
        QCOMPARE(t->Model(), modelAfter.isEmpty() ? fresh.Model() : modelAfter);
    }

    void closeGivesNoTemplate()
    {
        frmBatchUpdate form(mAdmin);
        QVERIFY(form.LoadProfiles());
        form.show();
        child<QComboBox>(form, "cmbProfile")->setCurrentIndex(1);
        child<QLineEdit>(form, "txtModel")->setText(QStringLiteral("M605"));
        QTest::mouseClick(child<QPushButton>(form, "cmdClose"), Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QVERIFY(!form.Saved());
        QVERIFY(!form.BatchPrinter());
    }

    void withoutTheChangeRightNothingIsShown()
    {
        ctlFleet *page = new ctlFleet;
        page->SetConnectionAndLicense(mAuditor, nullptr);
        QM6PrinterPtr t = std::make_shared<QM6Printer>();
        bool shown = false;
        QTimer::singleShot(0, this, [&shown] { shown = QApplication::activeModalWidget() != nullptr; });
        QVERIFY(!frmBatchUpdate::BatchUpdate(page, t));
        QVERIFY(!t);
        QCoreApplication::processEvents();
        QVERIFY(!shown);
        page->Release();
    }

    // The one run of the real modal form.
    void batchUpdateRunsTheModalForm()
    {
        ctlFleet *page = new ctlFleet;
        page->SetConnectionAndLicense(mAdmin, nullptr);
        mServices->answers = {6};
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, this, [] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *d = qobject_cast<QDialog *>(w))
                    d->reject();
        });
        watchdog.start(10000);
        bool seen = false;
        QTimer::singleShot(0, this, [&seen] {
            auto *form = qobject_cast<frmBatchUpdate *>(QApplication::activeModalWidget());
            if (!form)
                return;
            seen = true;
            form->findChild<QLineEdit *>(QStringLiteral("txtAccountNo"))->setText(QStringLiteral("ACC-9"));
            QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("cmdSave")), Qt::LeftButton);
        });
        QM6PrinterPtr t;
        QVERIFY(frmBatchUpdate::BatchUpdate(page, t));
        QVERIFY(seen);
        QVERIFY(t);
        QCOMPARE(t->AccountNo(), QStringLiteral("ACC-9"));
        QCOMPARE(t->PrintProfileId(), -1);
        page->Release();
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
    QTemporaryDir mDir;
    QM6ConnectionPtr mAdmin, mAuditor;
    FakeCommonServices *mServices = nullptr;
};

QTEST_MAIN(tst_frmBatchUpdate)
#include "tst_frmbatchupdate.moc"
