// The printer page as the console drives it, over a real SQLite site, with a fake console.
#include "ctlfleet.h"
#include "fakehost.h"
#include "flexgrid.h"
#include "modlanguage.h"
#include "printerdata.h"
#include "sitebuilder.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
// Releases the page at the end of a test, whatever happens.
struct PageHolder {
    ctlFleet *page = new ctlFleet();
    ~PageHolder() { page->Release(); }
    ctlFleet *operator->() const { return page; }
};
}

class tst_ctlFleet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void hostInterfaceMembers();
    void placementGoesThroughTheContainer();
    void standardActions_data();
    void standardActions();
    void sameConnectionOnlyReplacesTheSecondObject();
    void refusedPermissionStillListsPrinters();
    void fillGivesPrinterAndAliasRows();
    void typeFilterRefillsAtOnceAndResetShowsAll();
    void layoutOnResize_data();
    void layoutOnResize();
    void quickKeysRefillOnceAfterTheLastRelease();
    void heldKeyWaitsForItsRelease();
    void toolbarFollowsSelection_data();
    void toolbarFollowsSelection();
    void toolbarWaitsWhileHidden();
    void selectedIdsSkipHeaderFillerAndMergedRows_data();
    void selectedIdsSkipHeaderFillerAndMergedRows();
    void reloadKeepsOrDropsTheRow();
    void dataFailureIsShownAndRefreshTriesAgain();

private:
    void attach(ctlFleet *page);
    QTemporaryDir *m_dir = nullptr;
    QString m_db;
    QM6ConnectionPtr m_conn;
    FakeCommonServices *m_services = nullptr;
    FakeConsole m_console;
    FakeExtender m_extender;
};

void tst_ctlFleet::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void tst_ctlFleet::init()
{
    m_dir = new QTemporaryDir;
    qputenv("QM6_REGISTRY_DIR", m_dir->filePath(QStringLiteral("registry")).toUtf8());
    m_db = m_dir->filePath(QStringLiteral("site.db"));
    m_conn = openSite(m_db);
    QVERIFY(m_conn);
    QVERIFY(buildThreePrinterSite(m_conn));
    auto services = std::make_unique<FakeCommonServices>();
    services->tipPicture = QPixmap(96, 80);
    m_services = services.get();
    SetCommonServices(std::move(services));
    m_console.calls.clear();
    m_console.redrawSets.clear();
    m_extender.visible = true;
    m_extender.parent = &m_console;
}

void tst_ctlFleet::cleanup()
{
    m_conn.reset();
    SetCommonServices(nullptr);
    QM6Error::SetDisplayHandler(nullptr);
    delete m_dir;
}

void tst_ctlFleet::attach(ctlFleet *page)
{
    page->SetClientSite(&m_extender);
    page->resize(900, 600);
}

void tst_ctlFleet::hostInterfaceMembers()
{
    PageHolder page;
    QCOMPARE(page->Name(), QStringLiteral("Printers"));
    QCOMPARE(page->Caption(), modLanguage::GetLangString(220));
    QVERIFY(!page->Caption().isEmpty());
    QCOMPARE(page->HelpContextId(), 34);
    page->SetHelpFileName(QStringLiteral("/usr/share/doc/qm6/admin.html"));
    QCOMPARE(page->HelpFileName(), QStringLiteral("/usr/share/doc/qm6/admin.html"));
    QVERIFY(!page->Save());
    QVERIFY(page->ControlDone());
    QCOMPARE(page->NavGraphicLarge().size(), QSize(32, 32));
    QCOMPARE(page->NavGraphicSmall().size(), QSize(16, 16));

    QCOMPARE(page->AddItemMenus().Count(), 1);
    QCOMPARE(page->CurrentAddItem(), page->AddItemMenus().Item(1));
    QCOMPARE(page->CurrentAddItem(), page->AddItemMenus().Item(QStringLiteral("QM6PRINTER_ADDPRINTER")));
    QCOMPARE(page->CurrentAddItem()->Caption(), modLanguage::GetLangString(223));
    QCOMPARE(page->CurrentAddItem()->Picture().size(), QSize(16, 16));
    QCOMPARE(page->CustomMenus().Count(), 1);
    const QM6MenuPtr menu = page->CustomMenus().Item(1);
    QCOMPARE(menu->ActionId(), QStringLiteral("QM6CF_ADVANCED"));
    QCOMPARE(menu->Caption(), modLanguage::GetLangString(224));
    QCOMPARE(menu->Items().Count(), 1);
    QCOMPARE(menu->Items().Item(1)->ActionId(), QStringLiteral("QM6CF_ADVANCED_MERGE"));
    QCOMPARE(menu->Items().Item(1)->Caption(), modLanguage::GetLangString(225));

    attach(page.page);
    page->SetConnectionAndLicense(m_conn, nullptr);
    QCOMPARE(page->HelpContextId(), 34);
    QCOMPARE(page->grdPrinters()->property("HelpContextID").toInt(), 34);
    QCOMPARE(page->txtMatches()->property("HelpContextID").toInt(), 34);
    QCOMPARE(page->Connection(), m_conn);
}

void tst_ctlFleet::placementGoesThroughTheContainer()
{
    PageHolder page;
    attach(page.page);
    page->SetLeft(1500);
    page->SetTop(300);
    page->SetVisible(false);
    QCOMPARE(m_extender.left, 1500);
    QCOMPARE(m_extender.top, 300);
    QVERIFY(!m_extender.visible);
    QCOMPARE(page->Left(), 1500);
    QCOMPARE(page->Top(), 300);
    QVERIFY(!page->Visible());
}

void tst_ctlFleet::standardActions_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("reloads");
    QTest::newRow("refresh") << 10 << true;
    QTest::newRow("unknown 3") << 3 << false;
    QTest::newRow("unknown 0") << 0 << false;
    QTest::newRow("unknown 11") << 11 << false;
}

void tst_ctlFleet::standardActions()
{
    QFETCH(int, code);
    QFETCH(bool, reloads);
    PageHolder page;
    attach(page.page);
    page->SetConnectionAndLicense(m_conn, nullptr);
    page->show();
    const int fills = page->FillCount();
    m_console.calls.clear();
    page->StandardAction(code);
    QCOMPARE(page->FillCount() > fills, reloads);
    QCOMPARE(m_console.calls.isEmpty(), !reloads);   // a refresh ends by setting the toolbar
}

void tst_ctlFleet::sameConnectionOnlyReplacesTheSecondObject()
{
    PageHolder page;
    attach(page.page);
    auto first = std::make_shared<QObject>();
    auto second = std::make_shared<QObject>();
    page->SetConnectionAndLicense(m_conn, first);
    QM6Recordset *rs = page->PrinterRecordset();
    const int fills = page->FillCount();
    page->SetConnectionAndLicense(m_conn, second);
    QCOMPARE(page->License(), second);
    QCOMPARE(page->PrinterRecordset(), rs);
    QCOMPARE(page->FillCount(), fills);
}

void tst_ctlFleet::refusedPermissionStillListsPrinters()
{
    PageHolder page;
    attach(page.page);
    QM6ConnectionPtr stranger = openSite(m_db, QStringLiteral("nobody"));
    QVERIFY(stranger);
    QVERIFY(stranger->CheckPermission(129));
    page->SetConnectionAndLicense(stranger, nullptr);
    QVERIFY(!page->CanChange());
    QCOMPARE(page->PrinterCount(), 5);
    QVERIFY(m_services->messages.isEmpty());

    PageHolder admin;
    attach(admin.page);
    admin->SetConnectionAndLicense(m_conn, nullptr);
    QVERIFY(admin->CanChange());
}

void tst_ctlFleet::fillGivesPrinterAndAliasRows()
{
    PageHolder page;
    attach(page.page);
    page->SetConnectionAndLicense(m_conn, nullptr);
    FlexGrid *g = page->grdPrinters();
    QCOMPARE(page->PrinterCount(), 5);
    QCOMPARE(g->Rows(), 81);
    QCOMPARE(g->Row(), 1);
    QCOMPARE(g->TextMatrix(1, 2), QStringLiteral("Alpha LaserJet"));
    QCOMPARE(g->RowOutlineLevel(2), 1);
    QCOMPARE(g->RowOutlineLevel(3), 1);
    QVERIFY(g->TextMatrix(2, 2).startsWith(QStringLiteral("     alpha-")));
    QVERIFY(g->TextMatrix(3, 2).startsWith(QStringLiteral("     alpha-")));
    QCOMPARE(g->TextMatrix(2, 0), g->TextMatrix(1, 0));
    QCOMPARE(g->TextMatrix(4, 2), QStringLiteral("Bravo Canon"));
    QCOMPARE(g->TextMatrix(5, 2), QStringLiteral("Charlie Zebra"));
    QVERIFY(g->IsCollapsed(1));
    for (int r = 6; r < 81; ++r) {
        QVERIFY(g->TextMatrix(r, 0).isEmpty());
        QVERIFY(g->IsSubtotal(r));
        QCOMPARE(g->RowOutlineLevel(r), 0);
    }
}

void tst_ctlFleet::typeFilterRefillsAtOnceAndResetShowsAll()
{
    PageHolder page;
    attach(page.page);
    page->SetConnectionAndLicense(m_conn, nullptr);
    QComboBox *types = page->cmbPrinterTypes();
    QCOMPARE(types->count(), 4);
    QCOMPARE(types->itemText(0), modLanguage::GetLangString(219));
    QCOMPARE(types->itemData(0).toInt(), -1);
    types->setCurrentIndex(types->findData(2));
    QCOMPARE(page->PrinterCount(), 1);
    QCOMPARE(page->grdPrinters()->TextMatrix(1, 2), QStringLiteral("Bravo Canon"));
    types->setCurrentIndex(types->findData(1));
    QCOMPARE(page->PrinterCount(), 3);   // the share printer with its two aliases

    page->txtMatches()->setText(QStringLiteral("canon"));
    page->tmrMatch()->start();
    const int fills = page->FillCount();
    page->ResetFilter();
    QCOMPARE(page->FillCount(), fills + 1);
    QCOMPARE(types->currentIndex(), 0);
    QVERIFY(page->txtMatches()->text().isEmpty());
    QVERIFY(!page->tmrMatch()->isActive());
    QCOMPARE(page->PrinterCount(), 5);
}

void tst_ctlFleet::layoutOnResize_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("normal") << QSize(900, 600);
    QTest::newRow("narrower than the tip picture") << QSize(60, 600);
    QTest::newRow("too short for the grid") << QSize(900, 120);
}

void tst_ctlFleet::layoutOnResize()
{
    QFETCH(QSize, size);
    PageHolder page;
    attach(page.page);
    page->SetConnectionAndLicense(m_conn, nullptr);
    page->show();   // a hidden widget gets its resize only when shown
    FlexGrid *grid = page->grdPrinters();
    auto *frame = page->findChild<QGroupBox *>(QStringLiteral("fraFilter"));
    auto *tip = page->findChild<QLabel *>(QStringLiteral("imgToolTip"));
    auto *shape = page->findChild<QWidget *>(QStringLiteral("shpTopBorderShape"));
    const QRect gridBefore = grid->geometry(), shapeBefore = shape->geometry();

    page->resize(size);
    QCOMPARE(tip->x() + tip->width(), size.width());   // against the right edge, even off the left
    QCOMPARE(frame->width(), size.width());
    QCOMPARE(frame->x(), 0);
    QCOMPARE(frame->y(), shape->height() + 4);          // a 60-twip gap under the band
    if (tip->x() + 1 >= 0)
        QCOMPARE(shape->width(), tip->x() + 1);
    else
        QCOMPARE(shape->geometry(), shapeBefore);        // a negative width is skipped
    const int gridTop = frame->y() + frame->height() + 4;
    if (size.height() >= gridTop) {
        QCOMPARE(grid->geometry(), QRect(0, gridTop, size.width(), size.height() - gridTop));
    } else {
        QCOMPARE(grid->geometry(), gridBefore);          // too short: the grid keeps its place
    }
}

void tst_ctlFleet::quickKeysRefillOnceAfterTheLastRelease()
{
    PageHolder page;
    attach(page.page);
    page->SetConnectionAndLicense(m_conn, nullptr);
    QLineEdit *match = page->txtMatches();
    const int fills = page->FillCount();
    QTest::keyClicks(match, QStringLiteral("can"));
    QCOMPARE(page->FillCount(), fills);
    QVERIFY(page->tmrMatch()->isActive());
    QTest::qWait(120);
    QCOMPARE(page->FillCount(), fills);
    QTRY_COMPARE_WITH_TIMEOUT(page->FillCount(), fills + 1, 2000);
    QTest::qWait(400);
    QCOMPARE(page->FillCount(), fills + 1);
    QCOMPARE(page->PrinterCount(), 1);
}

void tst_ctlFleet::heldKeyWaitsForItsRelease()
{
    PageHolder page;
    attach(page.page);
    page->SetConnectionAndLicense(m_conn, nullptr);
    QLineEdit *match = page->txtMatches();
    const int fills = page->FillCount();
    auto send = [match](QEvent::Type type, bool repeat) {
        QKeyEvent e(type, Qt::Key_Z, Qt::NoModifier, QStringLiteral("z"), repeat);
        QCoreApplication::sendEvent(match, &e);
    };
    send(QEvent::KeyPress, false);
    for (int i = 0; i < 8; ++i) {
        QTest::qWait(60);
        send(QEvent::KeyRelease, true);
        send(QEvent::KeyPress, true);
    }
    QTest::qWait(350);
    QCOMPARE(page->FillCount(), fills);
    send(QEvent::KeyRelease, false);
    QTRY_COMPARE_WITH_TIMEOUT(page->FillCount(), fills + 1, 2000);
}

void tst_ctlFleet::toolbarFollowsSelection_data()
{
    QTest::addColumn<bool>("canChange");
    QTest::addColumn<QList<int>>("rows");   // first row becomes current, the others are added
    QTest::addColumn<QList<bool>>("expected");   // 1, 2, 4, 10, add item, merge

    using B = QList<bool>;
    QTest::newRow("admin, one printer") << true << QList<int>{1} << B{true, true, true, true, true, false};
    QTest::newRow("admin, two printers") << true << QList<int>{1, 4} << B{true, true, true, true, true, true};
    QTest::newRow("admin, alias only") << true << QList<int>{2} << B{true, false, true, true, true, false};
    QTest::newRow("admin, alias as merge target") << true << QList<int>{2, 4} << B{true, true, true, true, true, false};
    QTest::newRow("admin, filler row") << true << QList<int>{20} << B{true, false, false, true, true, false};
    QTest::newRow("admin, header row") << true << QList<int>{0} << B{true, false, false, true, true, false};
    QTest::newRow("auditor, one printer") << false << QList<int>{1} << B{false, true, false, true, false, false};
    QTest::newRow("auditor, two printers") << false << QList<int>{1, 4} << B{false, true, false, true, false, false};
}

void tst_ctlFleet::toolbarFollowsSelection()
{
    QFETCH(bool, canChange);
    QFETCH(QList<int>, rows);
    QFETCH(QList<bool>, expected);
    PageHolder page;
    attach(page.page);
    page->SetConnectionAndLicense(canChange ? m_conn : openSite(m_db, QStringLiteral("auditor")), nullptr);
    QCOMPARE(page->CanChange(), canChange);
    page->show();
    FlexGrid *g = page->grdPrinters();
    g->Outline(1);
    g->SetRow(rows.first());
    for (int i = 1; i < rows.size(); ++i)
        g->SetIsSelected(rows[i], true);
    m_console.calls.clear();
    m_console.redrawSets.clear();
    page->UpdateToolbar();

    const QVariantList actions{1, 2, 4, 10, QStringLiteral("QM6PRINTER_ADDPRINTER"), QStringLiteral("QM6CF_ADVANCED_MERGE")};
    QCOMPARE(m_console.calls.size(), actions.size());
    for (int i = 0; i < actions.size(); ++i) {
        QCOMPARE(m_console.calls[i].action, actions[i]);
        QVERIFY2(m_console.calls[i].enabled == expected[i], qPrintable(actions[i].toString()));
    }
    QCOMPARE(m_console.redrawSets, (QVector<bool>{false, true}));
}

void tst_ctlFleet::toolbarWaitsWhileHidden()
{
    PageHolder page;
    attach(page.page);
    m_extender.visible = false;
    page->SetConnectionAndLicense(m_conn, nullptr);
    QVERIFY(m_console.calls.isEmpty());
    m_extender.visible = true;
    page->show();   // showing resets the toolbar, then sets it
    QVERIFY(!m_console.calls.isEmpty());
    QVERIFY(!m_console.calls.first().action.isValid());
    QCOMPARE(m_console.calls.first().enabled, false);
    QCOMPARE(m_console.lastState(10), QVariant(true));
}

void tst_ctlFleet::selectedIdsSkipHeaderFillerAndMergedRows_data()
{
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<int>("lastRow");
    QTest::addColumn<bool>("includeMarked");
    QTest::addColumn<int>("expectedCount");
    QTest::newRow("nothing selected") << QList<int>{} << 5 << false << 0;
    QTest::newRow("header and filler rows") << QList<int>{0, 30, 40} << 5 << false << 0;
    QTest::newRow("printers among header and filler") << QList<int>{4, 0, 1, 30} << 5 << false << 2;
    QTest::newRow("aliases left out") << QList<int>{1, 2, 3} << 5 << false << 1;
    QTest::newRow("aliases included") << QList<int>{1, 2, 3} << 5 << true << 3;
    QTest::newRow("no last row") << QList<int>{5, 30} << -1 << false << 1;
}

void tst_ctlFleet::selectedIdsSkipHeaderFillerAndMergedRows()
{
    QFETCH(QList<int>, rows);
    QFETCH(int, lastRow);
    QFETCH(bool, includeMarked);
    QFETCH(int, expectedCount);
    PageHolder page;
    attach(page.page);
    page->SetConnectionAndLicense(m_conn, nullptr);
    FlexGrid *g = page->grdPrinters();
    g->Outline(1);
    g->SetRow(0);
    for (int r : rows)
        g->SetIsSelected(r, true);
    const PrinterIdList ids = GetSelectedPrinterIds(*g, 0, lastRow, includeMarked);
    QCOMPARE(ids.size(), expectedCount);
    QList<int> dataRows;
    for (int r : rows)
        if (r >= 1 && r <= 5 && (includeMarked || g->RowOutlineLevel(r) == 0))
            dataRows << r;
    for (int i = 0; i < ids.size(); ++i)
        QCOMPARE(ids[i], g->TextMatrix(dataRows[i], 0).toInt());
}

void tst_ctlFleet::reloadKeepsOrDropsTheRow()
{
    PageHolder page;
    attach(page.page);
    page->SetConnectionAndLicense(m_conn, nullptr);
    page->LoadPrinterList(4);
    QCOMPARE(page->grdPrinters()->Row(), 4);
    page->LoadPrinterList(6);   // past the data rows
    QCOMPARE(page->grdPrinters()->Row(), 0);

    QM6ConnectionPtr empty = openSite(m_dir->filePath(QStringLiteral("empty.db")));
    PageHolder other;
    attach(other.page);
    other->SetConnectionAndLicense(empty, nullptr);
    QCOMPARE(other->PrinterCount(), 0);
    QCOMPARE(other->grdPrinters()->Row(), 1);   // the first empty row
    QCOMPARE(other->grdPrinters()->Rows(), 76);
}

void tst_ctlFleet::dataFailureIsShownAndRefreshTriesAgain()
{
    QStringList shown;
    QM6Error::SetDisplayHandler([&shown](const QM6Error &e) { shown << e.Description(); });
    PageHolder page;
    attach(page.page);
    page->SetConnectionAndLicense(m_conn, nullptr);
    QCOMPARE(page->PrinterCount(), 5);

    // Another program breaks the database under the page.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("breaker"));
        db.setDatabaseName(m_db);
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("ALTER TABLE printers RENAME TO printers_away")));
        page->StandardAction(10);
        QCOMPARE(shown.size(), 1);
        QVERIFY(!shown.first().isEmpty());
        QCOMPARE(page->PrinterCount(), 0);
        QVERIFY(!page->IsLoading());
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("ALTER TABLE printers_away RENAME TO printers")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("breaker"));
    page->StandardAction(10);
    QCOMPARE(shown.size(), 1);
    QCOMPARE(page->PrinterCount(), 5);
}

QTEST_MAIN(tst_ctlFleet)
#include "tst_ctlfleet.moc"
