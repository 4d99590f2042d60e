#include "flexgrid.h"
#include "flexgridmodel.h"
#include "olecolor.h"

#include <QAbstractItemModelTester>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

namespace {

// Page-shaped content: printers as level-0 nodes, each with its aliases as level-1 rows.
void addPrinter(FlexGrid &grid, const QString &name, int aliases, quint32 aliasColour = 0x80000011u)
{
    grid.AddItem(QList<QString>{QString::number(grid.Rows()), QStringLiteral("K"), name, QStringLiteral("p"),
                                QStringLiteral("h"), QString(), QStringLiteral("1"), QString()});
    const int node = grid.Rows() - 1;
    grid.SetIsSubtotal(node, true);
    grid.SetRowOutlineLevel(node, 0);
    for (int a = 0; a < aliases; ++a) {
        grid.AddItem(QList<QString>{grid.TextMatrix(node, 0), QStringLiteral("A"),
                                    QStringLiteral("     ") + name + QStringLiteral("-alias") + QString::number(a)});
        const int row = grid.Rows() - 1;
        grid.SetRowOutlineLevel(row, 1);
        grid.SetCellForeColor(row, 0, row, 7, aliasColour);
    }
}

void addFillers(FlexGrid &grid, int count)
{
    for (int i = 0; i < count; ++i) {
        grid.SetRows(grid.Rows() + 1);
        grid.SetIsSubtotal(grid.Rows() - 1, true);
    }
}

QStringList namesInOrder(const FlexGrid &grid)
{
    QStringList names;
    for (int r = 1; r < grid.Rows(); ++r)
        names << grid.TextMatrix(r, 2);
    return names;
}

void prepare(FlexGrid &grid)
{
    grid.SetRedraw(false);
    grid.SetCols(8);
    grid.SetRows(1);
    grid.SetOutlineBar(2);
    grid.SetColHidden(0, true);
    grid.SetColHidden(1, true);
    grid.SetRedraw(true);
}

} // namespace

class tst_FlexGrid : public QObject
{
    Q_OBJECT
private slots:
    void identifiesAsTheOriginalGrid();
    void addItemKeepsEveryCharacterInsideItsCell_data();
    void addItemKeepsEveryCharacterInsideItsCell();
    void setRowsShrinksAndGrows_data();
    void setRowsShrinksAndGrows();
    void editingACellKeepsTheOtherCells();
    void headerRowIsTheCaptions();
    void hiddenColumnsStayHiddenOverReloads();
    void comboListShowsTextForCode_data();
    void comboListShowsTextForCode();
    void outlineFoldsAliasesUnderPrinters();
    void modelIsConsistent();
    void selectionKeepsTheOrderOfSelecting();
    void headerRowIsNeverSelected();
    void setRowMakesTheOnlySelectedRow();
    void selectionFollowsRowsOverReset();
    void sortKeepsAliasesUnderTheirPrinter_data();
    void sortKeepsAliasesUnderTheirPrinter();
    void headerClickTogglesSortOrder();
    void colWidthIsInTwips_data();
    void colWidthIsInTwips();
    void autoSizeFitsTheLongestText();
    void systemColoursFollowThePalette_data();
    void systemColoursFollowThePalette();
    void cellColoursResolveWhenDrawn();
    void redrawOffBatchesIntoOneReset();
    void keysGiveWindowsCodes_data();
    void keysGiveWindowsCodes();
    void keyDownCanCancelTheKey();
    void doubleClickReportsTheRowUnderThePointer();
    void arenaIsCompactedWhenRowsAreDropped();
    void fontPropertiesByName();
    void largeListFillsAndFolds();
};

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

void tst_FlexGrid::colWidthIsInTwips_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<int>("readBack");
    QTest::newRow("whole pixels") << 1500 << 100 << 1500;
    QTest::newRow("rounds down") << 1507 << 100 << 1500;
    QTest::newRow("rounds up") << 1508 << 101 << 1515;
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

QTEST_MAIN(tst_FlexGrid)
#include "tst_flexgrid.moc"
