#include "tst_flexgrid.h"

#include <QAbstractItemModelTester>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

using namespace flexgridtest;

void tst_FlexGrid::identifiesAsTheOriginalGrid()
{
    const QMetaObject &mo = FlexGrid::staticMetaObject;
    const int i = mo.indexOfClassInfo("TypeName");
    QVERIFY(i >= 0);
    QCOMPARE(QString::fromLatin1(mo.classInfo(i).value()), QStringLiteral("VSFlexGrid"));
}

void tst_FlexGrid::addItemKeepsEveryCharacterInsideItsCell_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("BEL") << QStringLiteral("a\x07" "b");
    QTest::newRow("CR") << QStringLiteral("a\rb");
    QTest::newRow("LF") << QStringLiteral("a\nb");
    QTest::newRow("tab") << QStringLiteral("HP\tLaserJet");
    QTest::newRow("pipe and hash") << QStringLiteral("#1;x|#2;y");
    QTest::newRow("non-Latin") << QStringLiteral("Imprimante \u00e9\u4e2d\U0001F5A8");
    QTest::newRow("empty") << QString();
}

void tst_FlexGrid::addItemKeepsEveryCharacterInsideItsCell()
{
    QFETCH(QString, text);
    FlexGrid grid;
    grid.SetCols(3);
    grid.AddItem(QList<QString>{QStringLiteral("1"), text, QStringLiteral("end")});
    const QByteArray utf8 = text.toUtf8();
    grid.AddItem({QUtf8StringView("2"), QUtf8StringView(utf8), QUtf8StringView("end")});
    QCOMPARE(grid.Rows(), 3);
    for (int r = 1; r <= 2; ++r) {
        QCOMPARE(grid.TextMatrix(r, 0), QString::number(r));
        QCOMPARE(grid.TextMatrix(r, 1), text);
        QCOMPARE(grid.TextMatrix(r, 2), QStringLiteral("end"));
    }
}

void tst_FlexGrid::setRowsShrinksAndGrows_data()
{
    QTest::addColumn<int>("newRows");
    QTest::newRow("shrink to header") << 1;
    QTest::newRow("shrink to some") << 3;
    QTest::newRow("unchanged") << 6;
    QTest::newRow("grow") << 9;
    QTest::newRow("none at all") << 0;
}

void tst_FlexGrid::setRowsShrinksAndGrows()
{
    QFETCH(int, newRows);
    FlexGrid grid;
    grid.SetCols(2);
    grid.SetTextMatrix(0, 0, QStringLiteral("Caption"));
    for (int i = 1; i <= 5; ++i)
        grid.AddItem(QList<QString>{QStringLiteral("r%1").arg(i), QStringLiteral("x")});
    grid.SetRows(newRows);
    QCOMPARE(grid.Rows(), newRows);
    for (int r = 0; r < newRows; ++r) {
        const QString expected = r == 0 ? QStringLiteral("Caption") : r <= 5 ? QStringLiteral("r%1").arg(r) : QString();
        QCOMPARE(grid.TextMatrix(r, 0), expected);
    }
    QCOMPARE(grid.Model()->rowCount(), std::max(newRows - 1, 0));
}

void tst_FlexGrid::editingACellKeepsTheOtherCells()
{
    FlexGrid grid;
    grid.SetCols(3);
    grid.AddItem(QList<QString>{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    grid.AddItem(QList<QString>{QStringLiteral("d"), QStringLiteral("e"), QStringLiteral("f")});
    grid.SetTextMatrix(1, 1, QStringLiteral("a much longer middle cell"));
    grid.SetTextMatrix(2, 0, QString());
    QCOMPARE(grid.TextMatrix(1, 0), QStringLiteral("a"));
    QCOMPARE(grid.TextMatrix(1, 1), QStringLiteral("a much longer middle cell"));
    QCOMPARE(grid.TextMatrix(1, 2), QStringLiteral("c"));
    QCOMPARE(grid.TextMatrix(2, 0), QString());
    QCOMPARE(grid.TextMatrix(2, 1), QStringLiteral("e"));
    QCOMPARE(grid.TextMatrix(9, 0), QString()); // out of range reads are empty, not a crash
}

void tst_FlexGrid::headerRowIsTheCaptions()
{
    FlexGrid grid;
    prepare(grid);
    grid.SetTextMatrix(0, 2, QStringLiteral("Name"));
    grid.SetTextMatrix(0, 6, QStringLiteral("Type"));
    addPrinter(grid, QStringLiteral("P1"), 0);
    QCOMPARE(grid.Model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Name"));
    QCOMPARE(grid.Model()->headerData(6, Qt::Horizontal).toString(), QStringLiteral("Type"));
    QCOMPARE(grid.Model()->rowCount(), 1); // the header row is not a data row
}

void tst_FlexGrid::hiddenColumnsStayHiddenOverReloads()
{
    FlexGrid grid;
    prepare(grid);
    grid.SetColWidth(3, 1500);
    addPrinter(grid, QStringLiteral("P1"), 1);
    grid.SetRows(1);
    addPrinter(grid, QStringLiteral("P2"), 1);
    const QHeaderView *header = grid.View()->header();
    QVERIFY(grid.ColHidden(0) && grid.ColHidden(1) && !grid.ColHidden(2));
    QVERIFY(header->isSectionHidden(0));
    QVERIFY(header->isSectionHidden(1));
    QVERIFY(!header->isSectionHidden(2));
    QCOMPARE(header->sectionSize(3), 100);
    QCOMPARE(grid.View()->treePosition(), 2); // the +/- buttons sit in the first shown column
}

void tst_FlexGrid::comboListShowsTextForCode_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("shown");
    const QString types = QStringLiteral("#1;Network share|#2;Direct IP|#3;Local");
    QTest::newRow("first") << types << "1" << "Network share";
    QTest::newRow("last") << types << "3" << "Local";
    QTest::newRow("unknown code") << types << "7" << "7";
    QTest::newRow("empty cell") << types << "" << "";
    QTest::newRow("empty list") << QString() << "2" << "2";
    QTest::newRow("plain choices") << QStringLiteral("Yes|No") << "Yes" << "Yes";
}

void tst_FlexGrid::comboListShowsTextForCode()
{
    QFETCH(QString, list);
    QFETCH(QString, cell);
    QFETCH(QString, shown);
    FlexGrid grid;
    grid.SetCols(2);
    grid.SetColComboList(1, list);
    grid.AddItem(QList<QString>{QStringLiteral("x"), cell});
    QCOMPARE(grid.ColComboList(1), list);
    QCOMPARE(grid.Model()->data(grid.Model()->IndexOfRow(1, 1)).toString(), shown);
    QCOMPARE(grid.TextMatrix(1, 1), cell); // the cell keeps its code
}

void tst_FlexGrid::outlineFoldsAliasesUnderPrinters()
{
    FlexGrid grid;
    prepare(grid);
    grid.SetRedraw(false);
    addPrinter(grid, QStringLiteral("P1"), 2);
    addPrinter(grid, QStringLiteral("P2"), 0);
    addPrinter(grid, QStringLiteral("P3"), 2);
    addFillers(grid, 3);
    grid.Outline(0);
    grid.SetRedraw(true);

    const FlexGridModel *model = grid.Model();
    QCOMPARE(grid.Rows(), 1 + 7 + 3);
    QCOMPARE(model->rowCount(), 3 + 3);  // printers and fillers are top-level items
    QCOMPARE(model->rowCount(model->IndexOfRow(1)), 2);
    QCOMPARE(model->rowCount(model->IndexOfRow(4)), 0);
    QVERIFY(!model->hasChildren(model->IndexOfRow(4)));   // a printer without aliases: no button
    QVERIFY(!model->hasChildren(model->IndexOfRow(9)));   // a filler row
    QVERIFY(model->flags(model->IndexOfRow(2)) & Qt::ItemNeverHasChildren);
    QVERIFY(model->flags(model->IndexOfRow(7)) & Qt::ItemNeverHasChildren);
    QVERIFY(!(model->flags(model->IndexOfRow(5)) & Qt::ItemNeverHasChildren));
    QCOMPARE(model->parent(model->IndexOfRow(7)), model->IndexOfRow(5));

    QVERIFY(grid.IsCollapsed(1));
    QVERIFY(grid.IsCollapsed(5));
    QVERIFY(!grid.IsCollapsed(4));
    QVERIFY(!grid.View()->isExpanded(model->IndexOfRow(1)));
    QVERIFY(grid.View()->visualRect(model->IndexOfRow(2, 2)).isEmpty());

    grid.Outline(1);
    QVERIFY(!grid.IsCollapsed(1));
    QVERIFY(grid.View()->isExpanded(model->IndexOfRow(5)));
    grid.Outline(0);
    QVERIFY(grid.IsCollapsed(5));
    QVERIFY(grid.View()->visualRect(model->IndexOfRow(6, 2)).isEmpty());
}

void tst_FlexGrid::modelIsConsistent()
{
    FlexGrid grid;
    prepare(grid);
    QAbstractItemModelTester tester(grid.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    grid.SetRedraw(false);
    addPrinter(grid, QStringLiteral("B"), 2);
    addPrinter(grid, QStringLiteral("A"), 0);
    grid.SetRows(grid.Rows() + 1);
    grid.SetRowOutlineLevel(grid.Rows() - 1, 1); // a deeper row with no node before it stays top-level
    addPrinter(grid, QStringLiteral("C"), 3);
    grid.SetRedraw(true);
    grid.Sort(2, true);
    grid.Outline(1);
    grid.SetRows(4);
}

void tst_FlexGrid::selectionKeepsTheOrderOfSelecting()
{
    FlexGrid grid;
    prepare(grid);
    for (int i = 0; i < 5; ++i)
        addPrinter(grid, QStringLiteral("P%1").arg(i), 0);
    grid.resize(500, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QWidget *viewport = grid.View()->viewport();
    auto centre = [&](int row) { return grid.View()->visualRect(grid.Model()->IndexOfRow(row, 2)).center(); };

    QSignalSpy changes(&grid, &FlexGrid::SelChange);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, centre(4));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, centre(2));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, centre(5));
    QVERIFY(changes.count() >= 3);
    QCOMPARE(grid.SelectedRows(), 3);
    QCOMPARE(grid.SelectedRow(0), 4);
    QCOMPARE(grid.SelectedRow(1), 2);
    QCOMPARE(grid.SelectedRow(2), 5);
    QCOMPARE(grid.Row(), 5);

    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, centre(2)); // toggles 2 off
    QCOMPARE(grid.SelectedRows(), 2);
    QCOMPARE(grid.SelectedRow(0), 4);
    QCOMPARE(grid.SelectedRow(1), 5);
    QVERIFY(!grid.IsSelected(2));
    QCOMPARE(grid.SelectedRow(2), -1);
}

void tst_FlexGrid::headerRowIsNeverSelected()
{
    FlexGrid grid;
    prepare(grid);
    addPrinter(grid, QStringLiteral("P1"), 0);
    grid.SetIsSelected(0, true);
    QVERIFY(!grid.IsSelected(0));
    QCOMPARE(grid.SelectedRows(), 0);
    grid.View()->selectAll();
    QCOMPARE(grid.SelectedRows(), 1);
    QVERIFY(!grid.IsSelected(0));
    QVERIFY(grid.IsSelected(1));
}

void tst_FlexGrid::setRowMakesTheOnlySelectedRow()
{
    FlexGrid grid;
    prepare(grid);
    for (int i = 0; i < 4; ++i)
        addPrinter(grid, QStringLiteral("P%1").arg(i), 0);
    grid.SetIsSelected(1, true);
    grid.SetIsSelected(3, true);
    grid.SetRow(2);
    QCOMPARE(grid.Row(), 2);
    QCOMPARE(grid.SelectedRows(), 1);
    QCOMPARE(grid.SelectedRow(0), 2);
    grid.SetRow(0);
    QCOMPARE(grid.Row(), 0);
    QCOMPARE(grid.SelectedRows(), 0);

    // While painting is off the row is remembered and shown once it resumes.
    grid.SetRedraw(false);
    grid.SetRows(1);
    addPrinter(grid, QStringLiteral("Q1"), 0);
    addPrinter(grid, QStringLiteral("Q2"), 0);
    grid.SetRow(2);
    QCOMPARE(grid.Row(), 2);
    grid.SetRedraw(true);
    QCOMPARE(grid.Row(), 2);
    QVERIFY(grid.View()->selectionModel()->isRowSelected(1, {}));
    QCOMPARE(grid.SelectedRows(), 1);
}

void tst_FlexGrid::selectionFollowsRowsOverReset()
{
    FlexGrid grid;
    prepare(grid);
    addPrinter(grid, QStringLiteral("P1"), 1);
    addPrinter(grid, QStringLiteral("P2"), 0);
    grid.Outline(1);
    grid.SetRow(3);
    grid.SetIsSelected(2, true);
    addPrinter(grid, QStringLiteral("P3"), 0); // a reset with painting on
    QCOMPARE(grid.Row(), 3);
    QCOMPARE(grid.SelectedRows(), 2);
    QCOMPARE(grid.SelectedRow(1), 2);
    QVERIFY(grid.View()->selectionModel()->isSelected(grid.Model()->IndexOfRow(2, 2)));
    QVERIFY(!grid.IsCollapsed(1));
    grid.SetRows(3); // the current row is dropped
    QCOMPARE(grid.Row(), 0);
    QCOMPARE(grid.SelectedRows(), 1);
}

void tst_FlexGrid::sortKeepsAliasesUnderTheirPrinter_data()
{
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<QStringList>("expected");
    const QStringList up{"alpha", "     alpha-alias0", "Bravo", "charlie", "     charlie-alias0", "     charlie-alias1",
                         "delta10", "delta9"};
    QStringList down{"delta9", "delta10", "charlie", "     charlie-alias0", "     charlie-alias1", "Bravo", "alpha",
                     "     alpha-alias0"};
    QTest::newRow("ascending") << true << up;
    QTest::newRow("descending") << false << down;
}

void tst_FlexGrid::sortKeepsAliasesUnderTheirPrinter()
{
    QFETCH(bool, ascending);
    QFETCH(QStringList, expected);
    FlexGrid grid;
    prepare(grid);
    addPrinter(grid, QStringLiteral("delta9"), 0);
    addPrinter(grid, QStringLiteral("charlie"), 2, 0x80000002u);
    addPrinter(grid, QStringLiteral("Bravo"), 0);
    addPrinter(grid, QStringLiteral("alpha"), 1);
    addPrinter(grid, QStringLiteral("delta10"), 0);
    const int dataRows = grid.Rows() - 1;
    addFillers(grid, 75);
    grid.SetRow(3); // charlie's first alias

    // As the page does: drop the filler rows before and put them back after.
    QStringList events;
    connect(&grid, &FlexGrid::BeforeSort, this, [&](int col, int &order) {
        events << QStringLiteral("before %1 %2").arg(col).arg(order);
        grid.SetRows(dataRows + 1);
    });
    connect(&grid, &FlexGrid::AfterSort, this, [&](int col, int &order) {
        events << QStringLiteral("after %1 %2").arg(col).arg(order);
        for (int i = 0; i < 75; ++i) {
            grid.SetRows(grid.Rows() + 1);
            grid.SetIsSubtotal(grid.Rows() - 1, true);
        }
    });
    QSignalSpy resets(grid.Model(), &QAbstractItemModel::modelReset);
    grid.Sort(2, ascending);

    const QString order = ascending ? QStringLiteral("1") : QStringLiteral("2");
    QCOMPARE(events, QStringList({"before 2 " + order, "after 2 " + order}));
    QCOMPARE(resets.count(), 1);
    QCOMPARE(grid.Rows(), 1 + dataRows + 75);
    QCOMPARE(namesInOrder(grid).mid(0, dataRows), expected);
    for (int r = dataRows + 1; r < grid.Rows(); ++r)
        QVERIFY(grid.TextMatrix(r, 2).isEmpty() && grid.IsSubtotal(r));
    for (int r = 1; r <= dataRows; ++r) {
        const bool alias = grid.TextMatrix(r, 2).startsWith(QLatin1Char(' '));
        QCOMPARE(grid.RowOutlineLevel(r), alias ? 1 : 0);
        QCOMPARE(grid.IsSubtotal(r), !alias);
    }
    const int charlieAlias = int(expected.indexOf(QStringLiteral("     charlie-alias0"))) + 1;
    QCOMPARE(grid.Row(), charlieAlias);  // the current row moved with its printer
    QCOMPARE(grid.CellForeColor(charlieAlias, 2), OleColorToQColor(0x80000002u, grid.View()->palette()));
}

void tst_FlexGrid::headerClickTogglesSortOrder()
{
    FlexGrid grid;
    prepare(grid);
    addPrinter(grid, QStringLiteral("b"), 0);
    addPrinter(grid, QStringLiteral("a"), 0);
    addPrinter(grid, QStringLiteral("c"), 0);
    grid.resize(500, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QHeaderView *header = grid.View()->header();
    const QPoint nameHeader(header->sectionViewportPosition(2) + 5, header->height() / 2);
    QList<int> orders;
    connect(&grid, &FlexGrid::BeforeSort, this, [&](int, int &order) { orders << order; });
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, nameHeader);
    QCOMPARE(namesInOrder(grid), QStringList({"a", "b", "c"}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, nameHeader);
    QCOMPARE(namesInOrder(grid), QStringList({"c", "b", "a"}));
    QCOMPARE(orders, QList<int>({1, 2}));
}

QTEST_MAIN(tst_FlexGrid)
