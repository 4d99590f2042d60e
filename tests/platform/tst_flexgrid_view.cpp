// Widths, colours, keys, pointer, fonts and the large list.
#include "tst_flexgrid.h"

#include <QAbstractItemModelTester>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

using namespace flexgridtest;

void tst_FlexGrid::colWidthIsInTwips_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<int>("readBack");
    QTest::newRow("whole pixels") << 1500 << 100 << 1500;
    QTest::newRow("shown rounded down, kept exact") << 1507 << 100 << 1507;
    QTest::newRow("shown rounded up, kept exact") << 1508 << 101 << 1508;
    QTest::newRow("zero") << 0 << 0 << 0;
    QTest::newRow("negative") << -30 << 0 << 0;
}

void tst_FlexGrid::colWidthIsInTwips()
{
    QFETCH(int, twips);
    QFETCH(int, pixels);
    QFETCH(int, readBack);
    FlexGrid grid;
    grid.SetCols(3);
    grid.SetColWidth(1, twips);
    QCOMPARE(grid.ColWidth(1), readBack);
    if (pixels > 0)
        QCOMPARE(grid.View()->header()->sectionSize(1), pixels);
}

void tst_FlexGrid::autoSizeFitsTheLongestText()
{
    FlexGrid grid;
    prepare(grid);
    grid.SetColComboList(6, QStringLiteral("#1;A rather long connection type|#2;IP"));
    grid.SetRedraw(false);
    for (int i = 0; i < 40; ++i)
        addPrinter(grid, QStringLiteral("P%1").arg(i), 1);
    // Wide letters in a shorter text: the widest text need not be the longest in bytes.
    const QString wide = QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWW");
    addPrinter(grid, wide, 0);
    grid.SetRedraw(true);
    grid.AutoSize(2, 7);
    const QFontMetrics fm(grid.View()->font());
    QVERIFY(grid.ColWidth(2) / 15 >= fm.horizontalAdvance(wide));
    QVERIFY(grid.ColWidth(6) / 15 >= fm.horizontalAdvance(QStringLiteral("A rather long connection type")));
    QCOMPARE(grid.ColWidth(0), 64 * 15); // hidden columns are left alone

    // Once the long row is gone the column fits the remaining texts again.
    const int before = grid.ColWidth(2);
    grid.SetRows(grid.Rows() - 1);
    grid.AutoSize(2, 2);
    QVERIFY(grid.ColWidth(2) < before);
    QVERIFY(grid.ColWidth(2) / 15 >= fm.horizontalAdvance(QStringLiteral("     P39-alias0")));
}

void tst_FlexGrid::systemColoursFollowThePalette_data()
{
    QTest::addColumn<quint32>("ole");
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("role");
    QTest::newRow("active caption") << 0x80000002u << int(QPalette::Active) << int(QPalette::Highlight);
    QTest::newRow("grey text") << 0x80000011u << int(QPalette::Disabled) << int(QPalette::Text);
    QTest::newRow("window text") << 0x80000008u << int(QPalette::Active) << int(QPalette::WindowText);
    QTest::newRow("button text") << 0x80000012u << int(QPalette::Active) << int(QPalette::ButtonText);
    QTest::newRow("window") << 0x80000005u << int(QPalette::Active) << int(QPalette::Base);
}

void tst_FlexGrid::systemColoursFollowThePalette()
{
    QFETCH(quint32, ole);
    QFETCH(int, group);
    QFETCH(int, role);
    QPalette pal;
    // Distinct colours everywhere, so that a wrong role cannot pass by accident.
    for (int g = 0; g < 3; ++g) {
        for (int r = 0; r < QPalette::NColorRoles; ++r)
            pal.setColor(QPalette::ColorGroup(g), QPalette::ColorRole(r), QColor(10 + 20 * g, 5 * r, 200 - 5 * r));
    }
    QCOMPARE(OleColorToQColor(ole, pal), pal.color(QPalette::ColorGroup(group), QPalette::ColorRole(role)));
}

void tst_FlexGrid::cellColoursResolveWhenDrawn()
{
    QPalette any;
    QCOMPARE(OleColorToQColor(0x000000FFu, any), QColor(255, 0, 0)); // 0x00BBGGRR
    QCOMPARE(OleColorToQColor(0x00FF8000u, any), QColor(0, 0x80, 0xFF));
    QVERIFY(!OleColorToQColor(0x800000FFu, any).isValid());      // no such system colour

    FlexGrid grid;
    prepare(grid);
    addPrinter(grid, QStringLiteral("P"), 1, 0x80000002u);
    grid.SetCellForeColor(1, 3, 1, 3, Qt::red);
    const FlexGridModel *model = grid.Model();
    QPalette pal = grid.View()->palette();
    pal.setColor(QPalette::Highlight, QColor(1, 2, 3));
    grid.View()->setPalette(pal);
    QCOMPARE(model->data(model->IndexOfRow(2, 4), Qt::ForegroundRole).value<QColor>(), QColor(1, 2, 3));
    pal.setColor(QPalette::Highlight, QColor(4, 5, 6));
    grid.View()->setPalette(pal);
    QCOMPARE(model->data(model->IndexOfRow(2, 4), Qt::ForegroundRole).value<QColor>(), QColor(4, 5, 6));
    QCOMPARE(grid.CellForeColor(1, 3), QColor(Qt::red));
    QVERIFY(!grid.CellForeColor(1, 2).isValid());
    QVERIFY(!model->data(model->IndexOfRow(1, 2), Qt::ForegroundRole).isValid());
    grid.SetCellForeColor(2, 0, 2, 7, QColor()); // back to the default
    QVERIFY(!grid.CellForeColor(2, 4).isValid());
}

void tst_FlexGrid::redrawOffBatchesIntoOneReset()
{
    FlexGrid grid;
    prepare(grid);
    QSignalSpy resets(grid.Model(), &QAbstractItemModel::modelReset);
    grid.SetRedraw(false);
    grid.SetRows(1);
    for (int i = 0; i < 50; ++i)
        addPrinter(grid, QStringLiteral("P%1").arg(i), 1);
    addFillers(grid, 75);
    grid.SetRow(0);
    grid.Outline(0);
    QCOMPARE(resets.count(), 0);
    QVERIFY(!grid.Redraw());
    grid.SetRedraw(true);
    QCOMPARE(resets.count(), 1);
    QCOMPARE(grid.Model()->rowCount(), 50 + 75);

    addPrinter(grid, QStringLiteral("live"), 0); // painting on: the change shows at once
    QCOMPARE(grid.Model()->rowCount(), 51 + 75);
    QVERIFY(resets.count() > 1);
}

void tst_FlexGrid::keysGiveWindowsCodes_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("down");
    QTest::addColumn<int>("ascii");
    QTest::addColumn<int>("shift");
    QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << QString() << 46 << 0 << 0;
    QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << QStringLiteral("\r") << 13 << 13 << 0;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << QStringLiteral("\r") << 13 << 13 << 0;
    QTest::newRow("Left") << int(Qt::Key_Left) << 0 << QString() << 37 << 0 << 0;
    QTest::newRow("Down") << int(Qt::Key_Down) << 0 << QString() << 40 << 0 << 0;
    QTest::newRow("a") << int(Qt::Key_A) << 0 << QStringLiteral("a") << 65 << 97 << 0;
    QTest::newRow("shift A") << int(Qt::Key_A) << int(Qt::ShiftModifier) << QStringLiteral("A") << 65 << 65 << 1;
    QTest::newRow("ctrl 5") << int(Qt::Key_5) << int(Qt::ControlModifier) << QString() << 53 << 0 << 2;
    QTest::newRow("F5") << int(Qt::Key_F5) << 0 << QString() << 116 << 0 << 0;
}

void tst_FlexGrid::keysGiveWindowsCodes()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(int, down);
    QFETCH(int, ascii);
    QFETCH(int, shift);
    FlexGrid grid;
    QList<int> downs, ups, chars, shifts;
    connect(&grid, &FlexGrid::KeyDownEvent, this, [&](int &code, int s) { downs << code; shifts << s; });
    connect(&grid, &FlexGrid::KeyUp, this, [&](int &code, int) { ups << code; });
    connect(&grid, &FlexGrid::KeyPress, this, [&](int &a) { chars << a; });
    const auto mods = Qt::KeyboardModifiers(modifiers);
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QCoreApplication::sendEvent(grid.View(), &press);
    QCoreApplication::sendEvent(grid.View(), &release);
    QCOMPARE(downs, QList<int>{down});
    QCOMPARE(ups, QList<int>{down});
    QCOMPARE(shifts, QList<int>{shift});
    QCOMPARE(chars, ascii ? QList<int>{ascii} : QList<int>{});
}

void tst_FlexGrid::keyDownCanCancelTheKey()
{
    FlexGrid grid;
    prepare(grid);
    addPrinter(grid, QStringLiteral("P1"), 0);
    addPrinter(grid, QStringLiteral("P2"), 0);
    grid.show();
    QVERIFY(QTest::qWaitForWindowActive(&grid));
    grid.SetRow(1);
    QTest::keyClick(grid.View(), Qt::Key_Down);
    QCOMPARE(grid.Row(), 2);
    connect(&grid, &FlexGrid::KeyDownEvent, this, [](int &code, int) { code = 0; });
    QTest::keyClick(grid.View(), Qt::Key_Up);
    QCOMPARE(grid.Row(), 2);
}

void tst_FlexGrid::doubleClickReportsTheRowUnderThePointer()
{
    FlexGrid grid;
    prepare(grid);
    for (int i = 0; i < 3; ++i)
        addPrinter(grid, QStringLiteral("P%1").arg(i), 0);
    grid.resize(500, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    int rowAtClick = -2;
    int currentAtClick = -2;
    connect(&grid, &FlexGrid::DblClick, this, [&] {
        rowAtClick = grid.MouseRow();
        currentAtClick = grid.Row();
    });
    const QPoint p = grid.View()->visualRect(grid.Model()->IndexOfRow(3, 2)).center();
    // A double click arrives as a click followed by the double-click event.
    QTest::mouseClick(grid.View()->viewport(), Qt::LeftButton, {}, p);
    QTest::mouseDClick(grid.View()->viewport(), Qt::LeftButton, {}, p);
    QCOMPARE(rowAtClick, 3);
    QCOMPARE(currentAtClick, 3);

    auto moveTo = [](QWidget *w, QPoint pos) {
        QMouseEvent move(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &move);
    };
    moveTo(grid.View()->viewport(), QPoint(p.x(), grid.View()->viewport()->height() - 2));
    QCOMPARE(grid.MouseRow(), -1);
    moveTo(grid.View()->viewport(), QPoint(grid.View()->viewport()->width() - 2, p.y())); // right of the columns
    QCOMPARE(grid.MouseRow(), 3);
    moveTo(grid.View()->header()->viewport(), QPoint(p.x(), 3));
    QCOMPARE(grid.MouseRow(), 0);
}

void tst_FlexGrid::arenaIsCompactedWhenRowsAreDropped()
{
    FlexGrid grid;
    prepare(grid);
    grid.SetRedraw(false);
    for (int i = 0; i < 2000; ++i)
        addPrinter(grid, QStringLiteral("Printer number %1").arg(i), 1);
    grid.SetRedraw(true);
    const qsizetype full = grid.Model()->ArenaBytes();
    for (int i = 0; i < 200; ++i)
        grid.SetTextMatrix(1, 2, QStringLiteral("edited %1").arg(i));
    QVERIFY(grid.Model()->ArenaBytes() < full * 2); // edits do not pile up without bound
    QCOMPARE(grid.TextMatrix(1, 2), QStringLiteral("edited 199"));
    QCOMPARE(grid.TextMatrix(4000, 2), QStringLiteral("     Printer number 1999-alias0"));
    grid.SetRows(1);
    QVERIFY(grid.Model()->ArenaBytes() < 4096);
    grid.Clear();
    QCOMPARE(grid.Model()->ArenaBytes(), 0);
}

void tst_FlexGrid::fontPropertiesByName()
{
    FlexGrid grid;
    prepare(grid);
    addPrinter(grid, QStringLiteral("P1"), 0);
    grid.resize(400, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const int before = grid.View()->visualRect(grid.Model()->IndexOfRow(1, 2)).height();
    QVERIFY(grid.setProperty("FontSize", 30.0));
    QCoreApplication::processEvents();
    QVERIFY(grid.View()->visualRect(grid.Model()->IndexOfRow(1, 2)).height() > before); // rows follow the font
    QVERIFY(grid.setProperty("FontSize", 13.0));
    QCOMPARE(grid.View()->font().pointSizeF(), 13.0);
    QVERIFY(grid.setProperty("FontName", QStringLiteral("Serif")));
    QCOMPARE(grid.property("FontName").toString(), QStringLiteral("Serif"));
    QCOMPARE(grid.property("Font").value<QFont>().pointSizeF(), 13.0);
}

// No timing assertion: it prints the figures so that a slow path shows up when it is read.
void tst_FlexGrid::largeListFillsAndFolds()
{
    FlexGrid grid;
    prepare(grid);
    grid.SetColComboList(6, QStringLiteral("#1;Network share|#2;Direct IP|#3;Local"));
    grid.resize(800, 600);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy resets(grid.Model(), &QAbstractItemModel::modelReset);

    // The page's fill: painting off, header row only, one AddItem per row, outline marks,
    // alias colours, column fit, header row current, every node folded, painting on.
    int row = 1;
    auto fill = [&grid, &row] {
        char id[16], name[48], alias[56];
        grid.SetRedraw(false);
        grid.SetRows(1);
        row = 1;
        for (int p = 0; p < 100000; ++p) {
            qsnprintf(id, sizeof id, "%d", p + 1);
            qsnprintf(name, sizeof name, "\\\\server%d\\printer-%06d", p % 97, p);
            grid.AddItem({QUtf8StringView(id), "KEY", QUtf8StringView(name), "IP_10.0.0.1", "server", "Default", "2", ""});
            grid.SetIsSubtotal(row, true);
            grid.SetRowOutlineLevel(row, 0);
            ++row;
            if (p % 2 == 0) {
                qsnprintf(alias, sizeof alias, "     alias-%06d", p);
                grid.AddItem({QUtf8StringView(id), "AKEY", QUtf8StringView(alias), "LPT1:", "ws", "", "", ""});
                grid.SetRowOutlineLevel(row, 1);
                grid.SetCellForeColor(row, 0, row, 7, p % 4 ? 0x80000011u : 0x80000002u);
                ++row;
            }
        }
        grid.AutoSize(2, 7);
        grid.SetRow(0);
        grid.Outline(0);
        grid.SetRedraw(true);
    };
    QElapsedTimer timer;
    timer.start();
    fill();
    const qint64 coldMs = timer.elapsed();
    QCoreApplication::processEvents(); // the view lays out and paints
    const qint64 showMs = timer.elapsed() - coldMs;
    timer.restart();
    fill();
    const qint64 refillMs = timer.elapsed();
    QCOMPARE(grid.Rows(), 150001);
    QCOMPARE(resets.count(), 2);
    QCOMPARE(grid.Model()->rowCount(), 100000);
    QCOMPARE(grid.Row(), 0);
    QVERIFY(grid.IsCollapsed(1));

    timer.restart();
    grid.Outline(1);
    QCoreApplication::processEvents();
    const qint64 expandMs = timer.elapsed();
    QVERIFY(!grid.IsCollapsed(1));
    timer.restart();
    grid.Outline(0);
    QCoreApplication::processEvents();
    const qint64 collapseMs = timer.elapsed();
    QVERIFY(grid.IsCollapsed(1));
    timer.restart();
    grid.Sort(2, false);
    QCoreApplication::processEvents();
    const qint64 sortMs = timer.elapsed();
    QCOMPARE(grid.TextMatrix(1, 2), QStringLiteral("\\\\server9\\printer-099919"));

    qInfo("150,000 rows: first fill %lld ms, layout and paint %lld ms, refill %lld ms, Outline(1) %lld ms,"
          " Outline(0) %lld ms, sort %lld ms; text arena %lld bytes, %lld bytes per row beyond text",
          coldMs, showMs, refillMs, expandMs, collapseMs, sortMs, qlonglong(grid.Model()->ArenaBytes()),
          qlonglong(grid.Model()->BytesPerRowBeyondText()));
}

