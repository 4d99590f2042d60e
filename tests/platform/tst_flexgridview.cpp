// What the grid's view is given to paint: cell text with control characters made visible, and
// each column's alignment, read back from the painted pixels rather than from the grid's state.
#include "flexgrid.h"
#include "flexgriddelegate.h"
#include "flexgridmodel.h"
#include "olecolor.h"

#include <QAbstractItemModelTester>
#include <QHash>
#include <QStyledItemDelegate>
#include <QTest>
#include "flexgridview.h"

namespace {

// A grid on screen with its view's rows laid out and no current row, so that two rows with the
// same text paint the same pixels.
void showGrid(FlexGrid &grid)
{
    grid.resize(700, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.SetRow(0);
    grid.View()->clearSelection();
    grid.View()->setCurrentIndex({});
}

// The text the view's own delegate hands the style for a cell.
QString paintedText(const FlexGrid &grid, int row, int col)
{
    const QModelIndex index = grid.Model()->IndexOfRow(row, col);
    auto *delegate = qobject_cast<QStyledItemDelegate *>(grid.View()->itemDelegateForIndex(index));
    return delegate ? delegate->displayText(index.data(), grid.View()->locale()) : QStringLiteral("(no styled delegate)");
}

// The pixels of a row's cells from column 1 on, as painted.
QImage paintedRow(const FlexGrid &grid, int row)
{
    QRect rect;
    for (int c = 1; c < grid.Cols(); ++c)
        rect |= grid.View()->visualRect(grid.Model()->IndexOfRow(row, c));
    return grid.View()->viewport()->grab(rect).toImage();
}

// First and last column of pixels that differ from the image's most common colour.
std::pair<int, int> inkSpan(const QImage &image)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb background = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most)
            std::tie(background, most) = std::make_pair(it.key(), it.value());
    int left = -1, right = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(x, y) != background) {
                if (left < 0)
                    left = x;
                right = x;
            }
    return {left, right};
}

// Opens the delegate's style option, as the view asks for it before painting a cell.
struct OptionProbe : FlexGridDelegate {
    using FlexGridDelegate::initStyleOption;
};

} // namespace

class tst_FlexGridView : public QObject
{
    Q_OBJECT
private slots:
    void controlCharactersArePaintedVisibly_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("painted");
        QTest::newRow("escape sequence") << QStringLiteral("HP\x1b[31mred") << QStringLiteral("HP\u241b[31mred");
        QTest::newRow("bell") << QStringLiteral("ding\x07") << QStringLiteral("ding\u2407");
        QTest::newRow("tab") << QStringLiteral("HP\tLaserJet") << QStringLiteral("HP\u21e5LaserJet");
        QTest::newRow("line breaks") << QStringLiteral("a\r\nb") << QStringLiteral("a\u240d\u240ab");
        QTest::newRow("nul") << QString::fromUtf16(u"a\0b", 3) << QStringLiteral("a\u2400b");
        QTest::newRow("delete") << QStringLiteral("a\x7f") << QStringLiteral("a\u2421");
        QTest::newRow("C1 control") << QStringLiteral("a\u0085b") << QStringLiteral("a\u27e8U+0085\u27e9b");
        QTest::newRow("right-to-left override") << QStringLiteral("\u202etxt.exe") << QStringLiteral("\u27e8RLO\u27e9txt.exe");
        QTest::newRow("override left open") << QStringLiteral("a\u202db\u202ac\u202bd") << QStringLiteral("a\u27e8LRO\u27e9b\u27e8LRE\u27e9c\u27e8RLE\u27e9d");
        QTest::newRow("pop") << QStringLiteral("\u202e1\u202c2") << QStringLiteral("\u27e8RLO\u27e91\u27e8PDF\u27e92");
        QTest::newRow("isolates") << QStringLiteral("\u2066a\u2067b\u2068c\u2069") << QStringLiteral("\u27e8LRI\u27e9a\u27e8RLI\u27e9b\u27e8FSI\u27e9c\u27e8PDI\u27e9");
        QTest::newRow("marks") << QStringLiteral("a\u200e\u200fb") << QStringLiteral("a\u27e8LRM\u27e9\u27e8RLM\u27e9b");
        QTest::newRow("line separator") << QStringLiteral("a\u2028b") << QStringLiteral("a\u27e8LS\u27e9b");
        QTest::newRow("plain non-Latin") << QStringLiteral("Imprimante \u00e9\u4e2d\U0001F5A8") << QStringLiteral("Imprimante \u00e9\u4e2d\U0001F5A8");
        QTest::newRow("Hebrew, no controls") << QStringLiteral("\u05de\u05d3\u05e4\u05e1\u05ea 2") << QStringLiteral("\u05de\u05d3\u05e4\u05e1\u05ea 2");
    }

    void controlCharactersArePaintedVisibly()
    {
        QFETCH(QString, stored);
        QFETCH(QString, painted);
        FlexGrid grid;
        QAbstractItemModelTester tester(grid.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        grid.SetCols(3);
        grid.SetColWidth(1, 300 * 15);
        grid.SetColWidth(2, 100 * 15);
        grid.AddItem(QList<QString>{"1", stored, "next"});
        grid.AddItem(QList<QString>{"2", painted, "next"}); // the same row, already written visibly
        showGrid(grid);

        // Only the painting changes: the page and the model still read the text as stored.
        QCOMPARE(grid.TextMatrix(1, 1), stored);
        QCOMPARE(grid.Model()->data(grid.Model()->IndexOfRow(1, 1)).toString(), stored);
        QCOMPARE(paintedText(grid, 1, 1), painted);
        // Nothing of the stored controls reaches the pixels, in this cell or the next.
        QCOMPARE(paintedRow(grid, 1), paintedRow(grid, 2));
    }

    void autoSizeFitsThePaintedText()
    {
        FlexGrid grid;
        QAbstractItemModelTester tester(grid.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        grid.SetCols(2);
        const QString stored = QStringLiteral("\u202e\u202e\u202e\u202e\u202e\u202eP"); // next to nothing, stored
        grid.AddItem(QList<QString>{"1", stored});
        grid.AutoSize(1, 1);
        const QFontMetrics fm(grid.View()->font());
        QVERIFY(grid.ColWidth(1) / 15 >= fm.horizontalAdvance(paintedText(grid, 1, 1)));
    }

    void greyTextIsReadableSelectedAndNot_data()
    {
        QTest::addColumn<QColor>("text");
        QTest::addColumn<QColor>("base");
        QTest::addColumn<QColor>("highlight");
        QTest::addColumn<QColor>("highlightedText");
        QTest::newRow("light") << QColor(Qt::black) << QColor(Qt::white) << QColor(0x30, 0x8c, 0xc6) << QColor(Qt::white);
        QTest::newRow("dark") << QColor(0xee, 0xee, 0xee) << QColor(0x23, 0x26, 0x29) << QColor(0x3d, 0xae, 0xe9) << QColor(0xfc, 0xfc, 0xfc);
        QTest::newRow("pale highlight") << QColor(0x20, 0x20, 0x20) << QColor(0xfa, 0xfa, 0xfa) << QColor(0xcc, 0xe8, 0xff)
                                        << QColor(Qt::black);
    }

    void greyTextIsReadableSelectedAndNot()
    {
        QFETCH(QColor, text);
        QFETCH(QColor, base);
        QFETCH(QColor, highlight);
        QFETCH(QColor, highlightedText);
        FlexGrid grid;
        QPalette pal = grid.palette();
        for (const QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
            pal.setColor(g, QPalette::Text, text);
            pal.setColor(g, QPalette::Base, base);
            pal.setColor(g, QPalette::Highlight, highlight);
            pal.setColor(g, QPalette::HighlightedText, highlightedText);
        }
        grid.setPalette(pal);
        grid.View()->setPalette(pal);
        grid.SetCols(3);
        grid.AddItem(QList<QString>{QStringLiteral("1"), QStringLiteral("k"), QStringLiteral("merged by a rule")});
        grid.SetCellForeColor(1, 0, 1, 2, OleGrayText);
        showGrid(grid);
        const QModelIndex index = grid.Model()->IndexOfRow(1, 2);

        // Unselected: the colour the cell is painted with, against the row's background.
        const QColor grey = index.data(Qt::ForegroundRole).value<QColor>();
        QVERIFY2(ContrastRatio(grey, base) >= 3.0, qPrintable(QString::number(ContrastRatio(grey, base))));
        QVERIFY(ContrastRatio(grey, base) < ContrastRatio(text, base));   // still set apart from plain text

        // Selected: the text colour the style takes for a selected cell, against the highlight.
        // A delegate of the view's own class (it keeps no state that the style option depends on).
        QVERIFY(qobject_cast<FlexGridDelegate *>(grid.View()->itemDelegateForIndex(index)));
        OptionProbe probe;
        const OptionProbe *delegate = &probe;
        QStyleOptionViewItem option;
        option.initFrom(grid.View()->viewport());
        option.palette = pal;
        option.state |= QStyle::State_Selected | QStyle::State_Active;
        delegate->initStyleOption(&option, index);
        const QColor selected = option.palette.color(QPalette::Active, QPalette::HighlightedText);
        QVERIFY2(ContrastRatio(selected, highlight) >= 3.0, qPrintable(QString::number(ContrastRatio(selected, highlight))));
        QVERIFY(selected != highlightedText || ContrastRatio(highlightedText, highlight) <= 3.0);
    }

    void columnAlignmentIsWhatIsPainted_data()
    {
        QTest::addColumn<int>("alignment"); // the grid's 0..9
        QTest::addColumn<int>("painted");   // Qt::AlignLeft, AlignHCenter or AlignRight
        const char *vertical[] = {"top", "centre", "bottom"};
        for (int a = 0; a < 9; ++a) {
            const int h = a < 3 ? Qt::AlignLeft : a < 6 ? Qt::AlignHCenter : Qt::AlignRight;
            const char *side = a < 3 ? "left" : a < 6 ? "centre" : "right";
            QTest::addRow("%d %s %s", a, side, vertical[a % 3]) << a << h;
        }
        QTest::newRow("9 general, text") << 9 << int(Qt::AlignLeft);
    }

    void columnAlignmentIsWhatIsPainted()
    {
        QFETCH(int, alignment);
        QFETCH(int, painted);
        FlexGrid grid;
        QAbstractItemModelTester tester(grid.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        grid.SetCols(3);
        grid.SetColWidth(1, 300 * 15);
        grid.AddItem(QList<QString>{"x", "Mm", "y"});
        showGrid(grid);
        grid.SetColAlignment(1, alignment); // on a filled grid, as a change the view must follow
        QCOMPARE(grid.ColAlignment(1), alignment);

        const QImage cell = grid.View()->viewport()->grab(grid.View()->visualRect(grid.Model()->IndexOfRow(1, 1))).toImage();
        const auto [left, right] = inkSpan(cell);
        const int width = cell.width();
        QVERIFY2(left >= 0, "nothing was painted");
        const QByteArray where = QByteArray::number(left) + ".." + QByteArray::number(right) + " of " + QByteArray::number(width);
        switch (painted) {
        case Qt::AlignLeft:
            QVERIFY2(right < width / 3, where);
            break;
        case Qt::AlignRight:
            QVERIFY2(left > 2 * width / 3, where);
            break;
        default:
            QVERIFY2(qAbs((left + right) / 2 - width / 2) <= 3, where);
            break;
        }
    }
};

QTEST_MAIN(tst_FlexGridView)
#include "tst_flexgridview.moc"
