// The grid stand-in: cells, outline, selection, sorting, widths, colours, keys, pointer and a large fill.
#include "flexgrid.h"
#include "flexgridmodel.h"
#include "olecolor.h"

#include <QAbstractItemModelTester>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include "flexgridview.h"

#include <memory>

namespace {

// Rows kept outside the grid, as the printer list keeps its recordset's: a position is an index.
class ListSource : public FlexGridRowSource
{
public:
    std::vector<QStringList> cells;
    std::vector<quint32> colours;

    QString Text(quint32 position, int col) const override { return cells[position].value(col); }
    quint32 ForeColor(quint32 position) const override { return colours[position]; }
    std::vector<QList<QString>> LongestTexts(std::span<const int> cols, std::span<const quint32> positions,
                                             int count) const override
    {
        std::vector<QList<QString>> out;
        for (int c : cols) {
            QList<QString> texts;
            for (quint32 p : positions)
                if (!texts.contains(Text(p, c)))
                    texts << Text(p, c);
            std::stable_sort(texts.begin(), texts.end(),
                             [](const QString &a, const QString &b) { return a.toUtf8().size() > b.toUtf8().size(); });
            out.push_back(texts.mid(0, count));
        }
        return out;
    }
    // Appends the rows to the source and hands them to the grid in one call.
    void addTo(FlexGrid &grid, const std::shared_ptr<ListSource> &self, const QList<std::pair<QStringList, FlexGridSourceRow>> &rows)
    {
        std::vector<FlexGridSourceRow> shown;
        for (auto [text, row] : rows) {
            row.position = quint32(cells.size());
            cells.push_back(text);
            colours.push_back(row.level > 0 ? aliasColour : DefaultColour);
            shown.push_back(row);
        }
        grid.AddSourceRows(self, shown);
    }
    quint32 aliasColour = DefaultColour;
};

// Page-shaped content: printers as level-0 nodes, each with its aliases as level-1 rows; from a
// row source when one is given, else added to the grid's own rows.
void addPrinter(FlexGrid &grid, const QString &name, int aliases, quint32 aliasColour = 0x80000011u,
                const std::shared_ptr<ListSource> &source = nullptr)
{
    const QStringList printer{QString::number(grid.Rows()), "K", name, "p", "h", "", "1", ""};
    if (source) {
        QList<std::pair<QStringList, FlexGridSourceRow>> rows{{printer, {0, 0, true}}};
        for (int a = 0; a < aliases; ++a)
            rows.append({{printer[0], "A", "     " + name + "-alias" + QString::number(a)}, {0, 1, false}});
        source->aliasColour = aliasColour;
        source->addTo(grid, source, rows);
        return;
    }
    grid.AddItem(printer);
    const int node = grid.Rows() - 1;
    grid.SetIsSubtotal(node, true);
    grid.SetRowOutlineLevel(node, 0);
    for (int a = 0; a < aliases; ++a) {
        grid.AddItem(QList<QString>{grid.TextMatrix(node, 0), "A", "     " + name + "-alias" + QString::number(a)});
        grid.SetRowOutlineLevel(grid.Rows() - 1, 1);
        grid.SetCellForeColor(grid.Rows() - 1, 0, grid.Rows() - 1, 7, aliasColour);
    }
}

void addPrinters(FlexGrid &grid, int count, int aliases = 0, const std::shared_ptr<ListSource> &source = nullptr)
{
    for (int i = 0; i < count; ++i)
        addPrinter(grid, QStringLiteral("P%1").arg(i), aliases, 0x80000011u, source);
}

// The outline as "row:children" per top-level row.
QString outlineOf(const FlexGridModel &model)
{
    QStringList tops;
    for (int i = 0; i < model.rowCount(); ++i) {
        const QModelIndex top = model.index(i, 0);
        tops << QStringLiteral("%1:%2").arg(FlexGridModel::RowOfIndex(top)).arg(model.rowCount(top));
    }
    return tops.join(QLatin1Char(' '));
}

void addFillers(FlexGrid &grid, int count)
{
    for (int i = 0; i < count; ++i) {
        grid.SetRows(grid.Rows() + 1);
        grid.SetIsSubtotal(grid.Rows() - 1, true);
    }
}

void prepare(FlexGrid &grid, bool show = false)
{
    grid.SetCols(8);
    grid.SetRows(1);
    grid.SetOutlineBar(2);
    grid.SetColHidden(0, true);
    grid.SetColHidden(1, true);
    if (show) {
        grid.resize(500, 300);
        grid.show();
    }
}

QPoint centre(const FlexGrid &grid, int row)
{
    return grid.View()->visualRect(grid.Model()->IndexOfRow(row, 2)).center();
}

} // namespace

class tst_FlexGrid : public QObject
{
    Q_OBJECT
private slots:
    void addItemKeepsCellsWhole_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("BEL") << QStringLiteral("a\x07" "b");
        QTest::newRow("CR") << QStringLiteral("a\rb");
        QTest::newRow("LF") << QStringLiteral("a\nb");
        QTest::newRow("tab") << QStringLiteral("HP\tLaserJet");
        QTest::newRow("pipe and hash") << QStringLiteral("#1;x|#2;y");
        QTest::newRow("non-Latin") << QStringLiteral("Imprimante \u00e9\u4e2d\U0001F5A8");
    }

    void addItemKeepsCellsWhole()
    {
        QFETCH(QString, text);
        FlexGrid grid;
        QAbstractItemModelTester tester(grid.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        grid.SetCols(3);
        grid.AddItem(QList<QString>{"1", text, "end"});
        const QByteArray utf8 = text.toUtf8();
        grid.AddItem({QUtf8StringView("2"), QUtf8StringView(utf8), QUtf8StringView("end")});
        QCOMPARE(grid.Rows(), 3);
        for (int r = 1; r <= 2; ++r)
            QCOMPARE(QStringList({grid.TextMatrix(r, 0), grid.TextMatrix(r, 1), grid.TextMatrix(r, 2)}),
                     QStringList({QString::number(r), text, "end"}));
    }

    void setRowsShrinksAndGrows_data()
    {
        QTest::addColumn<int>("newRows");
        QTest::newRow("shrink to header") << 1;
        QTest::newRow("shrink to some") << 3;
        QTest::newRow("grow") << 9;
        QTest::newRow("none at all") << 0;
    }

    void setRowsShrinksAndGrows()
    {
        QFETCH(int, newRows);
        FlexGrid grid;
        QAbstractItemModelTester tester(grid.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        grid.SetCols(2);
        grid.SetTextMatrix(0, 0, QStringLiteral("Caption"));
        for (int i = 1; i <= 5; ++i)
            grid.AddItem(QList<QString>{QStringLiteral("r%1").arg(i), "x"});
        grid.SetRows(newRows);
        QCOMPARE(grid.Rows(), newRows);
        for (int r = 0; r < newRows; ++r)
            QCOMPARE(grid.TextMatrix(r, 0), r == 0 ? QStringLiteral("Caption") : r <= 5 ? QStringLiteral("r%1").arg(r) : "");
        QCOMPARE(grid.Model()->rowCount(), std::max(newRows - 1, 0));
    }

    void editsKeepOtherCellsAndTheArenaBounded_data()
    {
        QTest::addColumn<bool>("fromSource");
        QTest::newRow("own rows") << false;
        QTest::newRow("source rows") << true;
    }

    void editsKeepOtherCellsAndTheArenaBounded()
    {
        QFETCH(bool, fromSource);
        FlexGrid grid;
        QAbstractItemModelTester tester(grid.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        prepare(grid);
        const auto source = fromSource ? std::make_shared<ListSource>() : nullptr;
        grid.SetRedraw(false);
        addPrinters(grid, 500, 1, source);
        grid.SetRedraw(true);
        const QColor aliasColour = grid.CellForeColor(2, 2);
        QVERIFY(aliasColour.isValid());
        const qsizetype full = std::max<qsizetype>(grid.Model()->ArenaBytes(), 4096);
        for (int i = 0; i < 200; ++i)
            grid.SetTextMatrix(1, 2, QStringLiteral("a much longer edited cell %1").arg(i));
        grid.SetTextMatrix(2, 0, QString());
        QVERIFY(grid.Model()->ArenaBytes() < full * 2); // edits do not pile up without bound
        QCOMPARE(grid.TextMatrix(1, 2), QStringLiteral("a much longer edited cell 199"));
        QCOMPARE(grid.TextMatrix(1, 1) + grid.TextMatrix(1, 3), QStringLiteral("Kp"));
        QCOMPARE(grid.TextMatrix(2, 0) + grid.TextMatrix(2, 1), QStringLiteral("A"));
        QCOMPARE(grid.CellForeColor(2, 2), aliasColour); // an edited row keeps its colour
        QCOMPARE(QList<int>({grid.RowOutlineLevel(2), grid.IsSubtotal(1)}), QList<int>({1, 1}));
        QCOMPARE(grid.TextMatrix(1000, 2), QStringLiteral("     P499-alias0"));
        QCOMPARE(grid.TextMatrix(1001, 0), QString()); // out of range reads are empty, not a crash
        if (source) // edits go to the grid's own copy, never to the source
            QCOMPARE(source->cells[0].value(2) + source->cells[1].value(0), QStringLiteral("P01"));
        grid.SetRows(1);
        QVERIFY(grid.Model()->ArenaBytes() < 4096);
        QVERIFY(!grid.Model()->Source()); // the grid lets go of a source once it shows none of its rows
        QVERIFY(!source || source.use_count() == 1);
        grid.Clear();
        QCOMPARE(grid.Model()->ArenaBytes(), 0);
    }

    void captionsHiddenColumnsAndWidths()
    {
        FlexGrid grid;
        QAbstractItemModelTester tester(grid.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        prepare(grid);
        grid.SetTextMatrix(0, 2, QStringLiteral("Name"));
        grid.SetColWidth(3, 1500);
        grid.SetColWidth(4, 1507);
        grid.SetColWidth(5, 1508);
        grid.SetColWidth(6, -30);
        addPrinter(grid, QStringLiteral("P1"), 1);
        grid.SetRows(1);
        addPrinter(grid, QStringLiteral("P2"), 1); // a reload keeps captions, hidden columns and widths
        QCOMPARE(grid.Model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Name"));
        QCOMPARE(grid.Model()->rowCount(), 1); // the header row is not a data row
        const QHeaderView *header = grid.View()->header();
        QVERIFY(header->isSectionHidden(0) && header->isSectionHidden(1) && !header->isSectionHidden(2));
        // Widths are kept in twips as set and shown rounded to whole pixels (15 twips each).
        QCOMPARE(QList<int>({grid.ColWidth(3), grid.ColWidth(4), grid.ColWidth(5), grid.ColWidth(6)}),
                 QList<int>({1500, 1507, 1508, 0}));
        QCOMPARE(QList<int>({header->sectionSize(3), header->sectionSize(4), header->sectionSize(5)}),
                 QList<int>({100, 100, 101}));
        QCOMPARE(grid.View()->treePosition(), 2); // the +/- buttons sit in the first shown column
    }

    void comboListShowsTextForCode_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("shown");
        const QString types = QStringLiteral("#1;Network share|#2;Direct IP|#3;Local");
        QTest::newRow("first") << types << "1" << "Network share";
        QTest::newRow("unknown code") << types << "7" << "7";
        QTest::newRow("empty list") << QString() << "2" << "2";
        QTest::newRow("plain choices") << QStringLiteral("Yes|No") << "Yes" << "Yes";
    }

    void comboListShowsTextForCode()
    {
        QFETCH(QString, list);
        QFETCH(QString, cell);
        QFETCH(QString, shown);
        FlexGrid grid;
        QAbstractItemModelTester tester(grid.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        grid.SetCols(2);
        grid.SetColComboList(1, list);
        grid.AddItem(QList<QString>{"x", cell});
        QCOMPARE(grid.Model()->data(grid.Model()->IndexOfRow(1, 1)).toString(), shown);
        QCOMPARE(grid.TextMatrix(1, 1), cell); // the cell keeps its code
    }

    void outlineFoldsAliasesUnderPrinters_data()
    {
        QTest::addColumn<bool>("fromSource");
        QTest::newRow("own rows") << false;
        QTest::newRow("source rows") << true;
    }

    void outlineFoldsAliasesUnderPrinters()
    {
        QFETCH(bool, fromSource);
        FlexGrid grid;
        QAbstractItemModelTester tester(grid.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        prepare(grid);
        const auto source = fromSource ? std::make_shared<ListSource>() : nullptr;
        grid.SetRedraw(false);
        grid.SetRows(2);
        grid.SetRowOutlineLevel(1, 1); // a deeper row with no node before it stays top-level
        addPrinter(grid, QStringLiteral("P1"), 2, 0x80000011u, source);
        addPrinter(grid, QStringLiteral("P2"), 0, 0x80000011u, source);
        addPrinter(grid, QStringLiteral("P3"), 2, 0x80000011u, source);
        addFillers(grid, 3);
        grid.Outline(0);
        grid.SetRedraw(true);

        const FlexGridModel *model = grid.Model();
        QCOMPARE(model->rowCount(), 1 + 3 + 3); // printers and fillers are top-level items
        QCOMPARE(model->rowCount(model->IndexOfRow(2)), 2);
        QVERIFY(model->hasChildren(model->IndexOfRow(6)));
        QVERIFY(!model->hasChildren(model->IndexOfRow(5)));  // a printer without aliases: no button
        QVERIFY(!model->hasChildren(model->IndexOfRow(10))); // a filler row
        QVERIFY(model->flags(model->IndexOfRow(8)) & Qt::ItemNeverHasChildren);
        QVERIFY(!(model->flags(model->IndexOfRow(6)) & Qt::ItemNeverHasChildren));
        QCOMPARE(model->parent(model->IndexOfRow(8)), model->IndexOfRow(6));
        QVERIFY(!model->parent(model->IndexOfRow(1)).isValid());

        QVERIFY(grid.IsCollapsed(2) && grid.IsCollapsed(6) && !grid.IsCollapsed(5));
        QVERIFY(grid.View()->visualRect(model->IndexOfRow(3, 2)).isEmpty());
        QVERIFY(!grid.View()->visualRect(model->IndexOfRow(5, 2)).isEmpty());
        grid.Outline(1);
        QVERIFY(!grid.IsCollapsed(2) && grid.View()->isExpanded(model->IndexOfRow(6)));
        grid.Outline(0);
        QVERIFY(grid.IsCollapsed(6));
        QVERIFY(grid.View()->visualRect(model->IndexOfRow(7, 2)).isEmpty());
        grid.Sort(2, true);
        grid.SetRows(4);
    }

    // Shapes as "N0" (node, level 0) or "1" (plain, level 1), "s" first for a row from a source;
    // then one change to one row. The outline is kept as rows go in and as shapes change.
    void outlineFollowsShapeChanges_data()
    {
        QTest::addColumn<QString>("shapes");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("change"); // "node", "plain", "level N" or "" for none
        QTest::addColumn<QString>("outline");
        QTest::newRow("last row joins its node") << "N0 0" << 2 << "level 1" << "1:1";
        QTest::newRow("row becomes a node over the next") << "0 1 N0" << 1 << "node" << "1:1 3:0";
        QTest::newRow("filler made plain") << "N0 1 N0 N0" << 3 << "plain" << "1:1 3:0 4:0";
        QTest::newRow("node made plain lets go") << "N0 1 1 0" << 1 << "plain" << "1:0 2:0 3:0 4:0";
        QTest::newRow("row joins the node before") << "N0 1 0 0" << 3 << "level 1" << "1:2 4:0";
        QTest::newRow("child raised splits") << "N0 1 1 1" << 3 << "level 0" << "1:1 3:0 4:0";
        QTest::newRow("child made a node stays a child") << "N0 1 1" << 2 << "node" << "1:2";
        QTest::newRow("source rows under an own node") << "N0 s1 s1 sN0 s1 0" << 0 << "" << "1:2 4:1 6:0";
        QTest::newRow("source row made plain") << "sN0 s1 sN0" << 1 << "plain" << "1:0 2:0 3:0";
    }

    void outlineFollowsShapeChanges()
    {
        QFETCH(QString, shapes);
        QFETCH(int, row);
        QFETCH(QString, change);
        QFETCH(QString, outline);
        FlexGrid grid;
        QAbstractItemModelTester tester(grid.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        grid.SetCols(2);
        const auto source = std::make_shared<ListSource>();
        for (QString shape : shapes.split(QLatin1Char(' '))) {
            const bool fromSource = shape.startsWith(QLatin1Char('s'));
            const bool node = shape.contains(QLatin1Char('N'));
            const int level = shape.right(1).toInt();
            if (fromSource) {
                source->addTo(grid, source, {{{"x"}, {0, qint8(level), node}}});
            } else {
                grid.AddItem(QList<QString>{"x"});
                grid.SetIsSubtotal(grid.Rows() - 1, node);
                grid.SetRowOutlineLevel(grid.Rows() - 1, level);
            }
        }
        if (change == QLatin1String("node") || change == QLatin1String("plain"))
            grid.SetIsSubtotal(row, change == QLatin1String("node"));
        else if (change.startsWith(QLatin1String("level")))
            grid.SetRowOutlineLevel(row, change.mid(6).toInt());
        QCOMPARE(outlineOf(*grid.Model()), outline);
    }

    // The view's own outline handling: buttons, keys, a range over folded and unfolded nodes,
    // showing a folded child, scrolling by rows.
    void outlineButtonsKeysAndRanges()
    {
        FlexGrid grid;
        QAbstractItemModelTester tester(grid.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        prepare(grid, true);
        addPrinter(grid, QStringLiteral("P0"), 2); // rows 1, 2, 3
        addPrinter(grid, QStringLiteral("P1"), 0); // row 4
        addPrinter(grid, QStringLiteral("P2"), 1); // rows 5, 6
        grid.Outline(0);
        QVERIFY(QTest::qWaitForWindowActive(&grid));
        FlexGridView *view = grid.View();
        QWidget *viewport = view->viewport();
        const QRect first = view->visualRect(grid.Model()->IndexOfRow(1, 2));
        const QPoint button(view->header()->sectionViewportPosition(2) + view->indentation() / 2, first.center().y());
        QTest::mouseClick(viewport, Qt::LeftButton, {}, button);
        QVERIFY(!grid.IsCollapsed(1));
        QCOMPARE(grid.SelectedRows(), 0); // the button unfolds and selects nothing
        QCOMPARE(view->shownRows(), 5); // P2 still folded

        grid.SetRow(1);
        QList<int> rows;
        for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down,
                            Qt::Key_Down, Qt::Key_End, Qt::Key_Home}) {
            QTest::keyClick(view, key);
            rows << grid.Row() << (grid.IsCollapsed(1) ? 1 : 0);
        }
        QCOMPARE(rows, QList<int>({1, 1, 1, 0, 2, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 5, 0, 1, 0}));

        // Shift+click from P0 to P2: top-level rows and P0's children, not P2's folded one.
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, view->visualRect(grid.Model()->IndexOfRow(5, 2)).center());
        QCOMPARE(grid.SelectedRows(), 5);
        QVERIFY(!grid.IsSelected(6));
        grid.ShowCell(6, 2); // a folded child is shown by unfolding its node
        QVERIFY(!grid.IsCollapsed(5) && !view->visualRect(grid.Model()->IndexOfRow(6, 2)).isEmpty());

        grid.SetRedraw(false);
        addPrinters(grid, 200, 1);
        grid.Outline(0);
        grid.SetRedraw(true);
        grid.SetTopRow(101);
        QCOMPARE(grid.TopRow(), 101);
        QCOMPARE(view->verticalScrollBar()->maximum(), view->shownRows() - view->viewport()->height() / view->rowHeight());
        QCOMPARE(view->indexAt(QPoint(button.x(), view->rowHeight() + 1)), grid.Model()->IndexOfRow(103, 2)); // 101 is folded
        view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd); // the scroll bar's arrow: one row
        QCOMPARE(grid.TopRow(), 103);
    }

    void selectionFromCode()
    {
        FlexGrid grid;
        QAbstractItemModelTester tester(grid.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        prepare(grid);
        addPrinter(grid, QStringLiteral("P"), 1);
        addPrinters(grid, 2);
        grid.Outline(1);
        grid.SetIsSelected(0, true); // the header row is never selected
        QCOMPARE(grid.SelectedRows(), 0);
        grid.View()->selectAll();
        QCOMPARE(grid.SelectedRows(), 4);
        QVERIFY(!grid.IsSelected(0));
        grid.SetRow(3); // SetRow makes the only selected row
        QCOMPARE(QList<int>({grid.Row(), grid.SelectedRows(), grid.SelectedRow(0)}), QList<int>({3, 1, 3}));

        grid.SetIsSelected(2, true);
        addPrinter(grid, QStringLiteral("Q"), 0); // a reset with painting on keeps row, selection, outline
        QCOMPARE(QList<int>({grid.Row(), grid.SelectedRows(), grid.SelectedRow(1)}), QList<int>({3, 2, 2}));
        QVERIFY(grid.View()->selectionModel()->isSelected(grid.Model()->IndexOfRow(2, 2)));
        QVERIFY(!grid.IsCollapsed(1));
        grid.SetRows(3); // the current row is dropped
        QCOMPARE(QList<int>({grid.Row(), grid.SelectedRows()}), QList<int>({0, 1}));

        // While painting is off the row is remembered and shown once it resumes.
        grid.SetRedraw(false);
        grid.SetRows(1);
        addPrinters(grid, 2);
        grid.SetRow(2);
        QCOMPARE(grid.Row(), 2);
        grid.SetRedraw(true);
        QCOMPARE(QList<int>({grid.Row(), grid.SelectedRows()}), QList<int>({2, 1}));
        QVERIFY(grid.View()->selectionModel()->isRowSelected(1, {}));
    }

    void sortKeepsAliasesUnderTheirPrinter_data()
    {
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<bool>("fromSource");
        QTest::addColumn<QStringList>("expected");
        const QString c0 = "     charlie-alias0", c1 = "     charlie-alias1", a0 = "     alpha-alias0";
        const QStringList up{"alpha", a0, "Bravo", "charlie", c0, c1, "delta10", "delta9"};
        const QStringList down{"delta9", "delta10", "charlie", c0, c1, "Bravo", "alpha", a0};
        QTest::newRow("ascending") << true << false << up;
        QTest::newRow("descending") << false << false << down;
        QTest::newRow("ascending, source rows") << true << true << up;
        QTest::newRow("descending, source rows") << false << true << down;
    }

    void sortKeepsAliasesUnderTheirPrinter()
    {
        QFETCH(bool, ascending);
        QFETCH(bool, fromSource);
        QFETCH(QStringList, expected);
        FlexGrid grid;
        QAbstractItemModelTester tester(grid.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        prepare(grid);
        const auto source = fromSource ? std::make_shared<ListSource>() : nullptr;
        addPrinter(grid, QStringLiteral("delta9"), 0, 0x80000011u, source);
        addPrinter(grid, QStringLiteral("charlie"), 2, 0x80000002u, source);
        addPrinter(grid, QStringLiteral("Bravo"), 0, 0x80000011u, source);
        addPrinter(grid, QStringLiteral("alpha"), 1, 0x80000011u, source);
        addPrinter(grid, QStringLiteral("delta10"), 0, 0x80000011u, source);
        const int dataRows = grid.Rows() - 1;
        addFillers(grid, 5);
        grid.SetRow(3); // charlie's first alias

        // As the page does: drop the filler rows before and put them back after.
        QStringList events;
        connect(&grid, &FlexGrid::BeforeSort, this, [&](int col, int &order) {
            events << QStringLiteral("before %1 %2").arg(col).arg(order);
            grid.SetRows(dataRows + 1);
        });
        connect(&grid, &FlexGrid::AfterSort, this, [&](int col, int &order) {
            events << QStringLiteral("after %1 %2").arg(col).arg(order);
            addFillers(grid, 5);
        });
        QSignalSpy resets(grid.Model(), &QAbstractItemModel::modelReset);
        grid.Sort(2, ascending);

        const QString order = ascending ? QStringLiteral("1") : QStringLiteral("2");
        QCOMPARE(events, QStringList({"before 2 " + order, "after 2 " + order}));
        QCOMPARE(resets.count(), 1);
        QCOMPARE(grid.Rows(), 1 + dataRows + 5);
        for (int r = 1; r < grid.Rows(); ++r) {
            QCOMPARE(grid.TextMatrix(r, 2), expected.value(r - 1));
            const bool alias = grid.TextMatrix(r, 2).startsWith(QLatin1Char(' '));
            QCOMPARE(grid.RowOutlineLevel(r), alias ? 1 : 0);
            QCOMPARE(grid.IsSubtotal(r), !alias);
        }
        const int charlieAlias = int(expected.indexOf(QStringLiteral("     charlie-alias0"))) + 1;
        QCOMPARE(grid.Row(), charlieAlias); // the current row moved with its printer
        QCOMPARE(grid.CellForeColor(charlieAlias, 2), OleColorToQColor(0x80000002u, grid.View()->palette()));
    }

    void autoSizeFitsTheLongestText_data()
    {
        QTest::addColumn<bool>("fromSource");
        QTest::newRow("own rows") << false;
        QTest::newRow("source rows") << true;
    }

    void autoSizeFitsTheLongestText()
    {
        QFETCH(bool, fromSource);
        FlexGrid grid;
        QAbstractItemModelTester tester(grid.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        prepare(grid);
        const auto source = fromSource ? std::make_shared<ListSource>() : nullptr;
        grid.SetColComboList(6, QStringLiteral("#1;A rather long connection type|#2;IP"));
        addPrinters(grid, 40, 1, source);
        // Wide letters in a shorter text: the widest text need not be the longest in bytes.
        const QString wide = QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWW");
        addPrinter(grid, wide, 0, 0x80000011u, source);
        grid.SetTextMatrix(3, 4, QStringLiteral("an edited host, longer than the rest")); // an own row among source rows
        grid.AutoSize(2, 7);
        const QFontMetrics fm(grid.View()->font());
        QVERIFY(grid.ColWidth(2) / 15 >= fm.horizontalAdvance(wide));
        QVERIFY(grid.ColWidth(6) / 15 >= fm.horizontalAdvance(QStringLiteral("A rather long connection type")));
        QVERIFY(grid.ColWidth(4) / 15 >= fm.horizontalAdvance(QStringLiteral("an edited host, longer than the rest")));
        QCOMPARE(grid.ColWidth(0), 64 * 15); // hidden columns are left alone
        const int before = grid.ColWidth(2); // once the long row is gone the column fits the rest again
        grid.SetRows(grid.Rows() - 1);
        grid.AutoSize(2, 2);
        QVERIFY(grid.ColWidth(2) < before);
        QVERIFY(grid.ColWidth(2) / 15 >= fm.horizontalAdvance(QStringLiteral("     P39-alias0")));
    }

    void systemColoursFollowThePalette_data()
    {
        QTest::addColumn<quint32>("ole");
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("role");
        QTest::newRow("active caption") << 0x80000002u << int(QPalette::Active) << int(QPalette::Highlight);
        QTest::newRow("window text") << 0x80000008u << int(QPalette::Active) << int(QPalette::WindowText);
        QTest::newRow("window") << 0x80000005u << int(QPalette::Active) << int(QPalette::Base);
    }

    void systemColoursFollowThePalette()
    {
        QFETCH(quint32, ole);
        QFETCH(int, group);
        QFETCH(int, role);
        QPalette pal; // distinct colours everywhere, so that a wrong role cannot pass by accident
        for (int g = 0; g < 3; ++g) {
            for (int r = 0; r < QPalette::NColorRoles; ++r)
                pal.setColor(QPalette::ColorGroup(g), QPalette::ColorRole(r), QColor(10 + 20 * g, 5 * r, 200 - 5 * r));
        }
        QCOMPARE(OleColorToQColor(ole, pal), pal.color(QPalette::ColorGroup(group), QPalette::ColorRole(role)));
    }

    void cellColoursResolveWhenDrawn()
    {
        QCOMPARE(OleColorToQColor(0x00FF8000u, QPalette()), QColor(0, 0x80, 0xFF)); // 0x00BBGGRR
        QVERIFY(!OleColorToQColor(0x800000FFu, QPalette()).isValid());              // no such system colour
        FlexGrid grid;
        QAbstractItemModelTester tester(grid.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        prepare(grid);
        addPrinter(grid, QStringLiteral("P"), 1, 0x80000002u);
        grid.SetCellForeColor(1, 3, 1, 3, Qt::red);
        const FlexGridModel *model = grid.Model();
        QPalette pal = grid.View()->palette();
        for (const QColor &c : {QColor(1, 2, 3), QColor(4, 5, 6)}) { // a system colour follows palette changes
            pal.setColor(QPalette::Highlight, c);
            grid.View()->setPalette(pal);
            QCOMPARE(model->data(model->IndexOfRow(2, 4), Qt::ForegroundRole).value<QColor>(), c);
        }
        QCOMPARE(grid.CellForeColor(1, 3), QColor(Qt::red));
        grid.SetCellForeColor(2, 0, 2, 7, QColor()); // back to the default
        QVERIFY(!grid.CellForeColor(2, 4).isValid());
    }

    void keysGiveWindowsCodes_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("codes"); // KeyDown and KeyUp code, shift state, KeyPress character
        QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << QString() << QList<int>{46, 0};
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << "\r" << QList<int>{13, 0, 13};
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << "\r" << QList<int>{13, 0, 13};
        QTest::newRow("a") << int(Qt::Key_A) << 0 << "a" << QList<int>{65, 0, 97};
        QTest::newRow("shift A") << int(Qt::Key_A) << int(Qt::ShiftModifier) << "A" << QList<int>{65, 1, 65};
        QTest::newRow("ctrl 5") << int(Qt::Key_5) << int(Qt::ControlModifier) << QString() << QList<int>{53, 2};
    }

    void keysGiveWindowsCodes()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(QList<int>, codes);
        FlexGrid grid;
        QList<int> seen;
        connect(&grid, &FlexGrid::KeyDownEvent, this, [&](int &code, int shift) { seen << code << shift; });
        connect(&grid, &FlexGrid::KeyPress, this, [&](int &ascii) { seen << ascii; });
        connect(&grid, &FlexGrid::KeyUp, this, [&](int &code, int shift) { seen << code << shift; });
        QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::KeyboardModifiers(modifiers), text);
        QCoreApplication::sendEvent(grid.View(), &press);
        QCoreApplication::sendEvent(grid.View(), &release);
        QCOMPARE(seen, codes + codes.mid(0, 2));
    }

    void pointerSelectionKeysAndFont()
    {
        FlexGrid grid;
        QAbstractItemModelTester tester(grid.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        prepare(grid, true);
        addPrinters(grid, 5);
        QVERIFY(QTest::qWaitForWindowActive(&grid));
        QWidget *viewport = grid.View()->viewport();
        // Ctrl+click selection keeps the order of selecting.
        QSignalSpy changes(&grid, &FlexGrid::SelChange);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, centre(grid, 4));
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, centre(grid, 2));
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, centre(grid, 5));
        QVERIFY(changes.count() >= 3);
        QCOMPARE(grid.SelectedRows(), 3);
        QCOMPARE(QList<int>({grid.SelectedRow(0), grid.SelectedRow(1), grid.SelectedRow(2)}), QList<int>({4, 2, 5}));
        QCOMPARE(grid.Row(), 5);
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, centre(grid, 2)); // toggles 2 off
        QCOMPARE(grid.SelectedRows(), 2);
        QCOMPARE(QList<int>({grid.SelectedRow(0), grid.SelectedRow(1), grid.SelectedRow(2)}), QList<int>({4, 5, -1}));

        QList<int> atClick;
        connect(&grid, &FlexGrid::DblClick, this, [&] { atClick << grid.MouseRow() << grid.Row(); });
        const QPoint p = centre(grid, 3);
        // A double click arrives as a click followed by the double-click event.
        QTest::mouseClick(viewport, Qt::LeftButton, {}, p);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, p);
        QCOMPARE(atClick, QList<int>({3, 3}));
        auto moveTo = [&grid](QWidget *w, QPoint pos) {
            QMouseEvent move(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(w, &move);
            return grid.MouseRow();
        };
        QCOMPARE(moveTo(viewport, QPoint(p.x(), viewport->height() - 2)), -1);
        QCOMPARE(moveTo(viewport, QPoint(viewport->width() - 2, p.y())), 3); // right of the columns
        QCOMPARE(moveTo(grid.View()->header()->viewport(), QPoint(p.x(), 3)), 0);

        QTest::keyClick(grid.View(), Qt::Key_Up);
        QCOMPARE(grid.Row(), 2);
        connect(&grid, &FlexGrid::KeyDownEvent, this, [](int &code, int) { code = 0; }); // cancels the key
        QTest::keyClick(grid.View(), Qt::Key_Up);
        QCOMPARE(grid.Row(), 2);

        const int before = grid.View()->visualRect(grid.Model()->IndexOfRow(1, 2)).height();
        QVERIFY(grid.setProperty("FontSize", 30.0)); // the host sets font properties by name
        QCoreApplication::processEvents();
        QVERIFY(grid.View()->visualRect(grid.Model()->IndexOfRow(1, 2)).height() > before); // rows follow the font
    }

    // No timing assertion: it prints the figures so that a slow path shows up when it is read.
    // They include the model tester's checks after each reset; bench/ measures the fill alone.
    void largeListFillsAndFolds()
    {
        FlexGrid grid;
        QAbstractItemModelTester tester(grid.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        prepare(grid, true);
        grid.SetColComboList(6, QStringLiteral("#1;Network share|#2;Direct IP|#3;Local"));
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QSignalSpy resets(grid.Model(), &QAbstractItemModel::modelReset);
        QElapsedTimer timer;
        // The page's fill, then a refill: painting off, one AddItem per row, outline marks, alias
        // colours, column fit, header row current, every node folded, painting on.
        for (int fill = 1; fill <= 2; ++fill) {
            timer.start();
            char id[16], name[48], alias[56];
            grid.SetRedraw(false);
            grid.SetRows(1);
            for (int p = 0, row = 1; p < 100000; ++p, ++row) {
                qsnprintf(id, sizeof id, "%d", p + 1);
                qsnprintf(name, sizeof name, "\\\\server%d\\printer-%06d", p % 97, p);
                grid.AddItem({QUtf8StringView(id), "KEY", QUtf8StringView(name), "IP_10.0.0.1", "srv", "Default", "2", ""});
                grid.SetIsSubtotal(row, true);
                grid.SetRowOutlineLevel(row, 0);
                if (p % 2 == 0) {
                    qsnprintf(alias, sizeof alias, "     alias-%06d", p);
                    grid.AddItem({QUtf8StringView(id), "AKEY", QUtf8StringView(alias), "LPT1:", "ws", "", "", ""});
                    grid.SetRowOutlineLevel(++row, 1);
                    grid.SetCellForeColor(row, 0, row, 7, p % 4 ? 0x80000011u : 0x80000002u);
                }
            }
            grid.AutoSize(2, 7);
            grid.SetRow(0);
            grid.Outline(0);
            grid.SetRedraw(true);
            QCoreApplication::processEvents(); // the view lays out and paints
            qInfo("150,000 rows, fill %d: %lld ms; text arena %lld bytes, %lld bytes per row beyond text", fill,
                  timer.elapsed(), qlonglong(grid.Model()->ArenaBytes()), qlonglong(grid.Model()->BytesPerRowBeyondText()));
        }
        QCOMPARE(grid.Rows(), 150001);
        QCOMPARE(resets.count(), 2);
        QCOMPARE(grid.Model()->rowCount(), 100000);
        QCOMPARE(grid.Row(), 0);
        QVERIFY(grid.IsCollapsed(1));
        QCOMPARE(grid.RowOutlineLevel(2), 1);
        grid.Sort(2, false);
        QCOMPARE(grid.TextMatrix(1, 2), QStringLiteral("\\\\server9\\printer-099919"));
    }
};

QTEST_MAIN(tst_FlexGrid)
#include "tst_flexgrid.moc"
