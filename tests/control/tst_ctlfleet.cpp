// The printer page as the console drives it, over a real SQLite site, with a fake console.
#include "ctlfleet.h"
#include "fakeforms.h"
#include "fakehost.h"
#include "flexgrid.h"
#include "flexgridmodel.h"
#include "modlanguage.h"
#include "printerdata.h"
#include "sitebuilder.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
// Releases the page at the end of a test, whatever happens.
struct PageHolder {
    ctlFleet *page = new ctlFleet();
    // Every change the page makes to its grid's model is checked against the model rules.
    QAbstractItemModelTester tester{grid()->View()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest};
    ~PageHolder() { page->Release(); }
    ctlFleet *operator->() const { return page; }
    // The page's controls, found by name as the user sees them.
    FlexGrid *grid() const { return page->findChild<FlexGrid *>(QStringLiteral("grdPrinters")); }
    QComboBox *types() const { return page->findChild<QComboBox *>(QStringLiteral("cmbPrinterTypes")); }
    QLineEdit *match() const { return page->findChild<QLineEdit *>(QStringLiteral("txtMatches")); }
    QTimer *timer() const { return page->findChild<QTimer *>(QStringLiteral("tmrMatch")); }
};

// Texts of the English string table, as the user reads them.
const QString AllTypes = QStringLiteral("(All types)");
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
    void reloadKeepsOrDropsTheRow_data();
    void reloadKeepsOrDropsTheRow();
    void emptySiteLeavesTheFirstEmptyRowCurrent();
    void dataFailureIsShownAndRefreshTriesAgain();
    void listsComeFromThePagesOwnConnection();
    void changeRightIsPermission129_data();
    void changeRightIsPermission129();
    void longCommandHoldsBackRefreshAndTypedMatch();
    void withoutAConnectionThePageStillLooksLikeItself();
    void largerFontsGrowTheFrameWithoutOverlap_data();
    void largerFontsGrowTheFrameWithoutOverlap();
    void refillStartsAtTheTopWithoutASortArrow_data();
    void refillStartsAtTheTopWithoutASortArrow();

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
    QCOMPARE(page->Caption(), QStringLiteral("Printers"));
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
    QCOMPARE(page->CurrentAddItem()->Caption(), QStringLiteral("Printer..."));
    QCOMPARE(page->CurrentAddItem()->Picture().size(), QSize(16, 16));
    QCOMPARE(page->CustomMenus().Count(), 1);
    const QM6MenuPtr menu = page->CustomMenus().Item(1);
    QCOMPARE(menu->ActionId(), QStringLiteral("QM6CF_ADVANCED"));
    QCOMPARE(menu->Caption(), QStringLiteral("Advanced"));
    QCOMPARE(menu->Items().Count(), 1);
    QCOMPARE(menu->Items().Item(1)->ActionId(), QStringLiteral("QM6CF_ADVANCED_MERGE"));
    QCOMPARE(menu->Items().Item(1)->Caption(), QStringLiteral("Merge Printers..."));

    attach(page.page);
    page->SetConnectionAndLicense(m_conn, nullptr);
    QCOMPARE(page->HelpContextId(), 34);
    QCOMPARE(page.grid()->property("HelpContextID").toInt(), 34);
    QCOMPARE(page.match()->property("HelpContextID").toInt(), 34);
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
    QSignalSpy fills(page.page, &ctlFleet::GridFilled);
    m_console.calls.clear();
    page->StandardAction(code);
    QCOMPARE(fills.count() > 0, reloads);
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
    QSignalSpy fills(page.page, &ctlFleet::GridFilled);
    page->SetConnectionAndLicense(m_conn, second);
    QCOMPARE(page->License(), second);
    QCOMPARE(page->PrinterRecordset(), rs);
    QCOMPARE(fills.count(), 0);
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
    FlexGrid *g = page.grid();
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
    QComboBox *types = page.types();
    QCOMPARE(types->count(), 4);
    QCOMPARE(types->itemText(0), AllTypes);
    QCOMPARE(types->itemData(0).toInt(), -1);
    types->setCurrentIndex(types->findData(2));
    QCOMPARE(page->PrinterCount(), 1);
    QCOMPARE(page.grid()->TextMatrix(1, 2), QStringLiteral("Bravo Canon"));
    types->setCurrentIndex(types->findData(1));
    QCOMPARE(page->PrinterCount(), 3);   // the share printer with its two aliases

    page.match()->setText(QStringLiteral("canon"));
    page.timer()->start();
    QSignalSpy fills(page.page, &ctlFleet::GridFilled);
    page->ResetFilter();
    QCOMPARE(fills.count(), 1);
    QCOMPARE(types->currentIndex(), 0);
    QVERIFY(page.match()->text().isEmpty());
    QVERIFY(!page.timer()->isActive());
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
    FlexGrid *grid = page.grid();
    auto *frame = page->findChild<QGroupBox *>(QStringLiteral("fraFilter"));
    auto *tip = page->findChild<QLabel *>(QStringLiteral("imgToolTip"));
    auto *shape = page->findChild<QWidget *>(QStringLiteral("shpTopBorderShape"));
    const QRect gridBefore = grid->geometry(), shapeBefore = shape->geometry();

    page->resize(size);
    // At the default font the filter frame is as designed.
    const QList<std::pair<const char *, QPoint>> designed{{"lblTypeCaption", {12, 20}}, {"cmbPrinterTypes", {100, 16}},
                                                         {"lblCaptionMatch", {12, 48}}, {"txtMatches", {100, 44}}};
    for (const auto &[name, place] : designed)
        QCOMPARE(frame->findChild<QWidget *>(QLatin1String(name))->pos(), place);
    QCOMPARE(frame->findChild<QWidget *>(QStringLiteral("cmbPrinterTypes"))->height(), 21);
    QCOMPARE(frame->height(), 77);
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
    QLineEdit *match = page.match();
    QSignalSpy fills(page.page, &ctlFleet::GridFilled);
    QTest::keyClicks(match, QStringLiteral("can"));
    QCOMPARE(fills.count(), 0);
    QVERIFY(page.timer()->isActive());
    QTest::qWait(120);
    QCOMPARE(fills.count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(fills.count(), 1, 2000);
    QTest::qWait(400);
    QCOMPARE(fills.count(), 1);
    QCOMPARE(page->PrinterCount(), 1);
}

void tst_ctlFleet::heldKeyWaitsForItsRelease()
{
    PageHolder page;
    attach(page.page);
    page->SetConnectionAndLicense(m_conn, nullptr);
    QLineEdit *match = page.match();
    QSignalSpy fills(page.page, &ctlFleet::GridFilled);
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
    QCOMPARE(fills.count(), 0);
    send(QEvent::KeyRelease, false);
    QTRY_COMPARE_WITH_TIMEOUT(fills.count(), 1, 2000);
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
    FlexGrid *g = page.grid();
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
    QTest::newRow("printer rows past the last row") << QList<int>{1, 4, 5} << 3 << false << 1;
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
    FlexGrid *g = page.grid();
    g->Outline(1);
    g->SetRow(0);
    for (int r : rows)
        g->SetIsSelected(r, true);
    const printerlist::PrinterIdList ids = printerlist::GetSelectedPrinterIds(*g, 0, lastRow, includeMarked);
    QCOMPARE(ids.size(), expectedCount);
    QList<int> dataRows;
    for (int r : rows)
        if (r >= 1 && r <= (lastRow == -1 ? 5 : lastRow) && (includeMarked || g->RowOutlineLevel(r) == 0))
            dataRows << r;
    for (int i = 0; i < ids.size(); ++i)
        QCOMPARE(ids[i], g->TextMatrix(dataRows[i], 0).toInt());
}

void tst_ctlFleet::reloadKeepsOrDropsTheRow_data()
{
    QTest::addColumn<bool>("byRefresh");   // Refresh keeps the current row; a reload is told which
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("expected");
    QTest::newRow("reload, a middle row") << false << 4 << 4;
    QTest::newRow("reload, the last printer row") << false << 5 << 5;
    QTest::newRow("reload, past the data rows") << false << 6 << 0;
    QTest::newRow("refresh, a middle row") << true << 4 << 4;
    QTest::newRow("refresh, the last printer row") << true << 5 << 5;
    QTest::newRow("refresh, a filler row") << true << 9 << 0;
}

void tst_ctlFleet::reloadKeepsOrDropsTheRow()
{
    QFETCH(bool, byRefresh);
    QFETCH(int, row);
    QFETCH(int, expected);
    PageHolder page;
    attach(page.page);
    page->SetConnectionAndLicense(m_conn, nullptr);
    page.grid()->Outline(1);
    if (byRefresh) {
        page.grid()->SetRow(row);
        page->StandardAction(10);
    } else {
        page->LoadPrinterList(row);
    }
    QCOMPARE(page.grid()->Row(), expected);
}

void tst_ctlFleet::emptySiteLeavesTheFirstEmptyRowCurrent()
{
    QM6ConnectionPtr empty = openSite(m_dir->filePath(QStringLiteral("empty.db")));
    PageHolder other;
    attach(other.page);
    other->SetConnectionAndLicense(empty, nullptr);
    QCOMPARE(other->PrinterCount(), 0);
    QCOMPARE(other.grid()->Row(), 1);
    QCOMPARE(other.grid()->Rows(), 76);
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

void tst_ctlFleet::listsComeFromThePagesOwnConnection()
{
    // Another site opened and dropped in the same process before the page gets its own.
    {
        QM6ConnectionPtr second = openSite(m_dir->filePath(QStringLiteral("second.db")));
        QVERIFY(second);
    }
    PageHolder page;
    attach(page.page);
    page->SetConnectionAndLicense(m_conn, nullptr);
    QComboBox *types = page.types();
    QStringList entries;
    for (int i = 0; i < types->count(); ++i)
        entries << types->itemText(i);
    QCOMPARE(entries, (QStringList{AllTypes, QStringLiteral("Network share"), QStringLiteral("Direct IP"), QStringLiteral("Local")}));
    // The grid holds the codes; the view shows their names.
    FlexGrid *g = page.grid();
    const QAbstractItemModel *model = g->View()->model();
    QStringList codes, painted;
    for (int r = 0; r < model->rowCount(); ++r) {
        const QString text = model->index(r, 6).data(Qt::DisplayRole).toString();
        if (!text.isEmpty())
            painted << text;
    }
    for (int row : {1, 4, 5})   // the three printer rows; the first one's aliases follow it
        codes << g->TextMatrix(row, 6);
    QCOMPARE(codes, (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    QCOMPARE(painted, (QStringList{QStringLiteral("Network share"), QStringLiteral("Direct IP"), QStringLiteral("Local")}));
}

void tst_ctlFleet::changeRightIsPermission129_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<bool>("canChange");
    QTest::newRow("only 129") << QStringLiteral("changer") << QList<int>{129} << true;
    QTest::newRow("every other permission") << QStringLiteral("viewer") << QList<int>{128, 130, 131} << false;
}

void tst_ctlFleet::changeRightIsPermission129()
{
    QFETCH(QString, user);
    QFETCH(QList<int>, codes);
    QFETCH(bool, canChange);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("grants"));
        db.setDatabaseName(m_db);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.prepare(QStringLiteral("INSERT INTO users (user_name) VALUES (?)")));
        q.addBindValue(user);
        QVERIFY(q.exec());
        for (int code : codes) {
            QVERIFY(q.prepare(QStringLiteral("INSERT INTO user_permissions (user_id, code) SELECT user_id, ? FROM users WHERE user_name = ?")));
            q.addBindValue(code);
            q.addBindValue(user);
            QVERIFY(q.exec());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("grants"));
    PageHolder page;
    attach(page.page);
    page->SetConnectionAndLicense(openSite(m_db, user), nullptr);
    QCOMPARE(page->CanChange(), canChange);
}

void tst_ctlFleet::longCommandHoldsBackRefreshAndTypedMatch()
{
    PageHolder page;
    attach(page.page);
    page->SetConnectionAndLicense(m_conn, nullptr);
    page->show();
    FakeForms forms;
    page->SetForms(forms.Forms());
    QSignalSpy fills(page.page, &ctlFleet::GridFilled);
    const int rowsBefore = page.grid()->Rows();

    // A command that steps through a progress window; between steps the user presses F5,
    // types a match text and waits past the match timer, and asks for another command.
    int stepsSeen = 0;
    forms.onStep = [&](int) {
        ++stepsSeen;
        page->StandardAction(10);
        QTest::keyClick(page.match(), Qt::Key_C);
        QTest::qWait(300);
        page->CustomAction(QStringLiteral("QM6CF_ADVANCED_MERGE"));
        QCOMPARE(fills.count(), 0);
        QCOMPARE(page.grid()->Rows(), rowsBefore);
    };
    page->RunAsLongCommand([&] {
        QVERIFY(page->IsBusy());
        std::unique_ptr<IProgress> progress = page->Forms().NewProgress();
        progress->Initialize(QStringLiteral("Working"), 3, nullptr, true, true, 1);
        for (int i = 0; i < 3 && !progress->Cancelled(); ++i)
            progress->Increment();
        progress->Shutdown();
    });
    QCOMPARE(stepsSeen, 3);
    QVERIFY(!page->IsBusy());
    // The typed text takes effect once, when the command is over.
    QCOMPARE(fills.count(), 1);
    QCOMPARE(page.match()->text(), QStringLiteral("ccc"));
    QCOMPARE(page->PrinterCount(), 0);
    QTest::qWait(300);
    QCOMPARE(fills.count(), 1);
    page->StandardAction(10);
    QCOMPARE(fills.count(), 2);
}

void tst_ctlFleet::withoutAConnectionThePageStillLooksLikeItself()
{
    QStringList shown;
    QM6Error::SetDisplayHandler([&shown](const QM6Error &e) { shown << e.Description(); });
    PageHolder page;
    attach(page.page);
    page->show();
    page->SetConnectionAndLicense(nullptr, nullptr);
    FlexGrid *g = page.grid();
    QCOMPARE(g->Cols(), 8);
    QCOMPARE(g->TextMatrix(0, 2), QStringLiteral("Name"));
    QVERIFY(g->ColHidden(0) && g->ColHidden(1));
    QCOMPARE(page.types()->count(), 1);
    QCOMPARE(page.types()->itemText(0), AllTypes);
    QCOMPARE(page->PrinterCount(), 0);
    QCOMPARE(g->Rows(), 76);
    auto *notice = page->findChild<QLabel *>(QStringLiteral("lblNoConnection"));
    QVERIFY(notice->isVisible());
    QVERIFY(notice->text().startsWith(QStringLiteral("There is no data connection")));
    QVERIFY(g->geometry().intersects(notice->geometry()));
    QVERIFY(shown.isEmpty());   // the page says it; no message box on top
    page->StandardAction(10);
    QVERIFY(shown.isEmpty());

    // The host reopens its database and hands the connection over.
    page->SetConnectionAndLicense(m_conn, nullptr);
    QVERIFY(!notice->isVisible());
    QCOMPARE(page->PrinterCount(), 5);
    QCOMPARE(page.types()->count(), 4);
}

void tst_ctlFleet::largerFontsGrowTheFrameWithoutOverlap_data()
{
    QTest::addColumn<double>("points");
    for (double pt : {8.0, 10.0, 12.0, 14.0, 16.0, 20.0})
        QTest::addRow("%g pt", pt) << pt;
}

void tst_ctlFleet::largerFontsGrowTheFrameWithoutOverlap()
{
    QFETCH(double, points);
    PageHolder page;
    attach(page.page);
    page->SetConnectionAndLicense(m_conn, nullptr);
    page->SetFont(std::make_shared<QM6Font>(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family(), points, 0));
    page->show();
    auto *frame = page->findChild<QGroupBox *>(QStringLiteral("fraFilter"));
    auto *major = page->findChild<QLabel *>(QStringLiteral("lblBarMajorHeading"));
    auto *minor = page->findChild<QLabel *>(QStringLiteral("lblBarMinorHeading"));
    auto *band = page->findChild<QWidget *>(QStringLiteral("shpTopBorderShape"));
    // The caption's text, then each row below the one above, every text whole.
    int above = frame->fontMetrics().height();
    for (const char *pair : {"lblTypeCaption cmbPrinterTypes", "lblCaptionMatch txtMatches"}) {
        const QStringList names = QString::fromLatin1(pair).split(u' ');
        auto *label = frame->findChild<QLabel *>(names[0]);
        auto *box = frame->findChild<QWidget *>(names[1]);
        const QRect row = label->geometry() | box->geometry();
        QVERIFY2(row.top() >= above, qPrintable(names[0]));
        QVERIFY(label->width() >= label->sizeHint().width());
        QVERIFY(label->height() >= label->fontMetrics().height());
        QVERIFY(box->height() >= box->fontMetrics().height() + 4);
        QVERIFY(label->geometry().right() < box->x());
        QVERIFY(frame->rect().contains(row));
        above = row.bottom() + 1;
    }
    QVERIFY(major->height() >= major->sizeHint().height());
    QVERIFY(minor->height() >= minor->heightForWidth(minor->width()));
    QVERIFY(band->geometry().bottom() >= minor->geometry().bottom());
    QVERIFY(frame->y() > band->geometry().bottom());
    QVERIFY(page.grid()->y() > frame->geometry().bottom());
}

void tst_ctlFleet::refillStartsAtTheTopWithoutASortArrow_data()
{
    QTest::addColumn<QString>("refill");
    QTest::newRow("type filter") << QStringLiteral("type");
    QTest::newRow("match text") << QStringLiteral("match");
    QTest::newRow("refresh") << QStringLiteral("refresh");
    QTest::newRow("refresh keeping a row further down") << QStringLiteral("refresh far");
}

void tst_ctlFleet::refillStartsAtTheTopWithoutASortArrow()
{
    QFETCH(QString, refill);
    for (int i = 0; i < 60; ++i)
        QVERIFY(addPrinter(m_conn, QStringLiteral("Local %1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("USB001"),
                           QStringLiteral("WS-%1").arg(i), 3));
    PageHolder page;
    attach(page.page);
    page->resize(900, 400);
    page->SetConnectionAndLicense(m_conn, nullptr);
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.page));
    FlexGrid *g = page.grid();
    g->Sort(2, false);   // by name, descending
    QVERIFY(g->View()->header()->isSortIndicatorShown());
    g->SetTopRow(40);
    QVERIFY(g->TopRow() > 30);

    if (refill == QLatin1String("type")) {
        page.types()->setCurrentIndex(page.types()->findData(2));   // Direct IP: one printer
    } else if (refill == QLatin1String("match")) {
        QTest::keyClicks(page.match(), QStringLiteral("Bravo"));
    } else {
        g->SetRow(refill == QLatin1String("refresh") ? 2 : 60);
        page->StandardAction(10);
    }
    QTRY_VERIFY(!g->View()->header()->isSortIndicatorShown());
    if (refill == QLatin1String("refresh far")) {
        // Scrolled from the top just far enough: the kept row is the last one in view.
        QCOMPARE(g->Row(), 60);
        const QRect kept = g->View()->visualRect(g->Model()->IndexOfRow(60, 2));
        const int viewport = g->View()->viewport()->height();
        QVERIFY(kept.top() >= 0 && kept.bottom() < viewport);
        QVERIFY(kept.bottom() + kept.height() >= viewport);
        return;
    }
    QCOMPARE(g->TopRow(), 1);
    if (!refill.startsWith(QLatin1String("refresh")))
        QCOMPARE(g->TextMatrix(1, 2), QStringLiteral("Bravo Canon"));
}

QTEST_MAIN(tst_ctlFleet)
#include "tst_ctlfleet.moc"
