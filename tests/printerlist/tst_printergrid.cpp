// The printer grid's fill, filters, outline and column sizing, on recordsets built by hand.
#include "flexgrid.h"
#include "flexgridmodel.h"
#include "oncores.h"
#include "olecolor.h"
#include "printergrid.h"
#include "qm6recordset.h"

#include <QAbstractItemModelTester>
#include <QSet>
#include <QTest>
#include <algorithm>
#include <atomic>

using namespace printerlist;

namespace {

struct Rec {
    int id;
    QVariant key, name, port, host, profile;
    int type;
    QVariant account, aliasKey, aliasDevice, aliasPort, aliasHost, aliasMerge;
};

QM6RecordsetPtr makeRecordset(const QList<Rec> &recs)
{
    using T = QM6Recordset::FieldType;
    auto rs = std::make_shared<QM6Recordset>(
        QStringList{"PrinterId", "PrinterKey", "Name", "Port", "Host", "ProfileName", "ConnectionType", "AccountNo",
                    "AliasPrinterKey", "AliasDeviceName", "AliasPort", "AliasHost", "AliasMergeType"},
        QList<T>{T::Integer, T::Text, T::Text, T::Text, T::Text, T::Text, T::Integer, T::Text, T::Text, T::Text, T::Text,
                 T::Text, T::Integer});
    for (const Rec &r : recs) {
        rs->BeginRow();
        const QVariantList values{r.id, r.key, r.name, r.port, r.host, r.profile, r.type, r.account,
                                  r.aliasKey, r.aliasDevice, r.aliasPort, r.aliasHost, r.aliasMerge};
        for (int f = 0; f < values.size(); ++f)
            rs->SetValue(f, values[f]);
    }
    rs->EndFill();
    return rs;
}

// Three printers, the first with two aliases (merged by hand and by a rule).
QList<Rec> threePrinters()
{
    return {
        {1, "K1", "LaserJet Finance", "\\\\srv01\\lj-fin", "srv01", "Standard", 1, "100", "A1", "lj-fin-old", "\\\\srv09\\lj", "srv09", 1},
        {1, "K1", "LaserJet Finance", "\\\\srv01\\lj-fin", "srv01", "Standard", 1, "100", "A2", "lj-fin-ip", "10.0.0.9", "00-1B-78-A0-3C-5F", 2},
        {2, "K2", "Canon iR-ADV", "10.1.2.3:9100", "prn-lab", QVariant(), 2, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant()},
        {3, "K3", QVariant(), "LPT1:", "WS-RECEPTION", "Colour", 3, "", QVariant(), QVariant(), QVariant(), QVariant(), QVariant()},
    };
}

std::shared_ptr<PrinterRows> rowsOf(const QM6RecordsetPtr &rs)
{
    return std::make_shared<PrinterRows>(rs);
}

QStringList rowCells(FlexGrid &g, int row)
{
    QStringList out;
    for (int c = 0; c < ColumnCount; ++c)
        out << g.TextMatrix(row, c);
    return out;
}

} // namespace

class tst_PrinterGrid : public QObject {
    Q_OBJECT
private slots:
    void fillBuildsPrinterAndAliasRows();
    void aliasColoursFollowMergeType();
    void filters_data();
    void filters();
    void separatorCharactersStayInTheirCell();
    void repeatedPrinterIdAfterAnotherPrinterGivesTwoRows();
    void noRecordsetGivesNoRows();
    void caseInsensitiveMatch_data();
    void caseInsensitiveMatch();
    void typingTestsOnlyTheLastMatches_data();
    void typingTestsOnlyTheLastMatches();
    void findBytesAtEveryPlace_data();
    void findBytesAtEveryPlace();
    void onCoresRunsEveryTaskOnce();
    void fitFindsTheLongestShownTexts_data();
    void fitFindsTheLongestShownTexts();
    void comboListFromLookupList_data();
    void comboListFromLookupList();
    void sizeColumnsWithoutPrinters_data();
    void sizeColumnsWithoutPrinters();
    void sizeColumnsGivesNameTheRoomLeft();
    void roundHalfEven_data();
    void roundHalfEven();
    void cleanupTestCase() { m_longList.reset(); }

private:
    QM6RecordsetPtr longList();
    QM6RecordsetPtr m_longList;
};

void tst_PrinterGrid::fillBuildsPrinterAndAliasRows()
{
    FlexGrid g;
    const QAbstractItemModelTester tester(g.View()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    PrepareGrid(g, QVariantList{QVariantList{0, ""}, QVariantList{1, "Network share"}, QVariantList{2, "Direct IP"}, QVariantList{3, "Local"}});
    auto rs = makeRecordset(threePrinters());
    QCOMPARE(FillRows(g, rowsOf(rs), {}), 5);
    QCOMPARE(g.Rows(), 6);
    QCOMPARE(rowCells(g, 1), (QStringList{"1", "K1", "LaserJet Finance", "\\\\srv01\\lj-fin", "srv01", "Standard", "1", "100"}));
    QCOMPARE(rowCells(g, 2), (QStringList{"1", "A1", "     lj-fin-old", "\\\\srv09\\lj", "srv09", "", "", ""}));
    QCOMPARE(rowCells(g, 3), (QStringList{"1", "A2", "     lj-fin-ip", "10.0.0.9", "00-1B-78-A0-3C-5F", "", "", ""}));
    // Null fields give empty cells.
    QCOMPARE(rowCells(g, 4), (QStringList{"2", "K2", "Canon iR-ADV", "10.1.2.3:9100", "prn-lab", "", "2", ""}));
    QCOMPARE(g.TextMatrix(5, ColName), QString());
    // Printer rows are level-0 nodes, alias rows level-1 leaves.
    for (int r : {1, 4, 5}) {
        QVERIFY(g.IsSubtotal(r));
        QCOMPARE(g.RowOutlineLevel(r), 0);
    }
    for (int r : {2, 3}) {
        QVERIFY(!g.IsSubtotal(r));
        QCOMPARE(g.RowOutlineLevel(r), 1);
    }
    QVERIFY(g.ColHidden(ColPrinterId));
    QVERIFY(g.ColHidden(ColPrinterKey));
}

void tst_PrinterGrid::aliasColoursFollowMergeType()
{
    FlexGrid g;
    const QAbstractItemModelTester tester(g.View()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    PrepareGrid(g, QVariant());
    auto recs = threePrinters();
    recs.insert(2, {1, "K1", "LaserJet Finance", "p", "h", "", 1, "", "A3", "zero", "p", "h", 0});
    auto rs = makeRecordset(recs);
    FillRows(g, rowsOf(rs), {});
    const QPalette pal = g.palette();
    const QColor byHand = OleColorToQColor(ColorActiveCaption, pal);
    const QColor other = OleColorToQColor(ColorGrayText, pal);
    QVERIFY(byHand != other);
    for (int c = 0; c < ColumnCount; ++c) {
        QCOMPARE(g.CellForeColor(2, c), byHand);
        QCOMPARE(g.CellForeColor(3, c), other);   // merged by a rule
        QCOMPARE(g.CellForeColor(4, c), other);   // merge type 0
    }
}

void tst_PrinterGrid::filters_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("match");
    QTest::addColumn<QStringList>("names");   // column 2 of every data row

    const QStringList all{"LaserJet Finance", "     lj-fin-old", "     lj-fin-ip", "Canon iR-ADV", ""};
    QTest::newRow("no filter") << -1 << "" << all;
    QTest::newRow("blank match text") << -1 << "   " << all;
    QTest::newRow("type 2") << 2 << "" << QStringList{"Canon iR-ADV"};
    QTest::newRow("type 1 keeps aliases") << 1 << "" << QStringList{"LaserJet Finance", "     lj-fin-old", "     lj-fin-ip"};
    QTest::newRow("upper-case text finds lower-case name") << -1 << "LASERJET" << QStringList{"LaserJet Finance", "     lj-fin-old", "     lj-fin-ip"};
    QTest::newRow("host alone") << -1 << "reception" << QStringList{""};
    QTest::newRow("port alone") << -1 << ":9100" << QStringList{"Canon iR-ADV"};
    QTest::newRow("trimmed") << -1 << "  canon " << QStringList{"Canon iR-ADV"};
    QTest::newRow("alias fields are never searched") << -1 << "srv09" << QStringList{};
    QTest::newRow("type and text together") << 3 << "canon" << QStringList{};
    QTest::newRow("no match") << -1 << "xyz" << QStringList{};
}

void tst_PrinterGrid::filters()
{
    QFETCH(int, type);
    QFETCH(QString, match);
    QFETCH(QStringList, names);
    FlexGrid g;
    const QAbstractItemModelTester tester(g.View()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    PrepareGrid(g, QVariant());
    auto rs = makeRecordset(threePrinters());
    FillFilter f;
    f.connectionType = type;
    f.matchText = match;
    // Fresh rows, then the same rows again (whose match index answers from its last answer).
    const auto kept = rowsOf(rs);
    for (const auto &rows : {rowsOf(rs), kept, kept}) {
        QCOMPARE(FillRows(g, rows, f), names.size());
        QStringList got;
        for (int r = 1; r < g.Rows(); ++r)
            got << g.TextMatrix(r, ColName);
        QCOMPARE(got, names);
    }
}

void tst_PrinterGrid::separatorCharactersStayInTheirCell()
{
    FlexGrid g;
    const QAbstractItemModelTester tester(g.View()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    PrepareGrid(g, QVariant());
    const QString name = QStringLiteral("Bell\aPrinter\rwith\ttab\nand more");
    const QString port = QStringLiteral("\\\\srv\a01\\q\r1");
    auto rs = makeRecordset({{7, "K7", name, port, "h\a", "p", 1, "acc\r", "A\a", "dev\rice", "ap\a", "ah", 1}});
    QCOMPARE(FillRows(g, rowsOf(rs), {}), 2);
    QCOMPARE(g.Rows(), 3);
    QCOMPARE(rowCells(g, 1), (QStringList{"7", "K7", name, port, "h\a", "p", "1", "acc\r"}));
    QCOMPARE(rowCells(g, 2), (QStringList{"7", "A\a", "     dev\rice", "ap\a", "ah", "", "", ""}));
}

void tst_PrinterGrid::repeatedPrinterIdAfterAnotherPrinterGivesTwoRows()
{
    FlexGrid g;
    const QAbstractItemModelTester tester(g.View()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    PrepareGrid(g, QVariant());
    auto rs = makeRecordset({{1, "K1", "one", "", "", "", 1, "", "A1", "a", "", "", 1},
                             {2, "K2", "two", "", "", "", 1, "", QVariant(), QVariant(), QVariant(), QVariant(), QVariant()},
                             {1, "K1", "one", "", "", "", 1, "", "A2", "b", "", "", 1}});
    QCOMPARE(FillRows(g, rowsOf(rs), {}), 5);
    QCOMPARE(g.TextMatrix(4, ColName), QStringLiteral("one"));
    QVERIFY(g.IsSubtotal(4));
}

void tst_PrinterGrid::noRecordsetGivesNoRows()
{
    FlexGrid g;
    const QAbstractItemModelTester tester(g.View()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    PrepareGrid(g, QVariant());
    g.SetRows(10);
    QCOMPARE(FillRows(g, nullptr, {}), 0);
    QCOMPARE(g.Rows(), 1);
    auto empty = makeRecordset({});
    QCOMPARE(FillRows(g, rowsOf(empty), {}), 0);
}

void tst_PrinterGrid::caseInsensitiveMatch_data()
{
    QTest::addColumn<QString>("hay");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("found");
    QTest::newRow("lower in mixed") << "HP LaserJet 4050" << "jet" << true;
    QTest::newRow("upper needle") << "hp laserjet" << "JET" << true;
    QTest::newRow("upper needle, last letter") << "reception zebra" << "ZEBRA" << true;
    QTest::newRow("upper haystack, last letter inside") << "FRONT DESK ZEBRA" << "k zebra" << true;
    QTest::newRow("at the end") << "abcjet" << "jet" << true;
    QTest::newRow("cut short at the end") << "abcje" << "jet" << false;
    QTest::newRow("non-letters") << "10.0.0.1:9100" << ":91" << true;
    QTest::newRow("accented haystack") << "Drucker Büro JET" << "jet" << true;
    QTest::newRow("accented needle") << "Imprimante ÉTAGE 2" << "étage" << true;
    QTest::newRow("kelvin sign folds to k") << QString::fromUtf8("\u212Aitchen") << "kitchen" << true;
    QTest::newRow("absent") << "Canon" << "jet" << false;
    QTest::newRow("empty haystack") << "" << "jet" << false;
}

void tst_PrinterGrid::caseInsensitiveMatch()
{
    QFETCH(QString, hay);
    QFETCH(QString, needle);
    QFETCH(bool, found);
    // The text as name, then as host of a second printer behind one that never matches.
    const QVariant none;
    auto rs = makeRecordset({{1, "K", hay, "", "", "", 1, "", none, none, none, none, none},
                             {2, "K2", "x", "", "", "", 1, "", none, none, none, none, none},
                             {3, "K3", "y", "", hay, "", 1, "", none, none, none, none, none}});
    FlexGrid g;
    const QAbstractItemModelTester tester(g.View()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    FillFilter f;
    f.matchText = needle;
    const auto rows = rowsOf(rs);
    QCOMPARE(FillRows(g, rows, f), found ? 2 : 0);
    const QByteArray utf8 = needle.toUtf8();
    const bool asciiNeedle = std::none_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    QCOMPARE(rows->Matches().Built(), asciiNeedle);   // other needles go through Qt's case folding
    // The field by field test, which the index leaves to records with text outside ASCII.
    if (asciiNeedle)
        QCOMPARE(ContainsIgnoringCase(QUtf8StringView(hay.toUtf8()), QUtf8StringView(needle.toLower().toUtf8()), needle), found);
}

// 70,000 printers: long enough for the list's searches and fits to work across the cores.
QM6RecordsetPtr tst_PrinterGrid::longList()
{
    if (!m_longList) {
        QList<Rec> recs;
        const QVariant none;
        const QStringList names{"HP LaserJet %1", "Lexmark T%1", "Drucker Büro %1", QString::fromUtf8("\u212Aitchen %1"), "Canon iR %1"};
        for (int i = 0; i < 70000; ++i) {
            // Some "Drucker Büro" names far apart, each longer than the one before, and some "HP"
            // names one letter longer than the others: the longest texts lie apart, and a match
            // without "Drucker Büro" has none of the longest names of the list.
            const qsizetype pad = i % 997 != 0 ? 0 : i % 5 == 2 ? i / 997 : i % 5 == 0 ? 1 : 0;
            recs.append({i + 1, "K", names[i % names.size()].arg(i) + QString(pad, QLatin1Char('x')), QStringLiteral("\\\\srv%1\\q").arg(i % 13),
                         i % 7 == 0 ? QVariant() : QVariant(QStringLiteral("ws-%1").arg(i % 101)), "", 1, "", none, none, none, none, none});
        }
        m_longList = makeRecordset(recs);
    }
    return m_longList;
}

void tst_PrinterGrid::typingTestsOnlyTheLastMatches_data()
{
    QTest::addColumn<QStringList>("texts");        // typed one after the other
    QTest::addColumn<QList<bool>>("refined");      // per text: tested only the last answer
    QTest::newRow("one letter more each time") << QStringList{"l", "la", "las", "lase", "LASER"} << QList<bool>{false, true, true, true, true};
    QTest::newRow("a letter taken back") << QStringList{"jet", "je", "jet"} << QList<bool>{false, false, true};
    QTest::newRow("a letter in front") << QStringList{"et", "jet"} << QList<bool>{false, true};
    QTest::newRow("another text") << QStringList{"srv", "jet"} << QList<bool>{false, false};
    QTest::newRow("nothing left to find") << QStringList{"zz", "zzq"} << QList<bool>{false, true};
    QTest::newRow("outside ASCII") << QStringList{"b", "bü", "büro", "BÜRO"} << QList<bool>{false, true, true, true};
    QTest::newRow("kelvin sign") << QStringList{"k", "ki", "kit"} << QList<bool>{false, true, true};
}

// On a list long enough to be searched in slices across the cores: each answer is what testing
// every record would give, and after a text that the new one contains only the last answer is
// tested again.
void tst_PrinterGrid::typingTestsOnlyTheLastMatches()
{
    QFETCH(QStringList, texts);
    QFETCH(QList<bool>, refined);
    const QM6RecordsetPtr rs = longList();
    PrinterRows rows(rs);
    MatchIndex &index = rows.Matches();
    std::vector<quint32> last;
    for (qsizetype step = 0; step < texts.size(); ++step) {
        const QString &text = texts[step];
        std::vector<quint32> expected;
        for (qsizetype r = 0; r < rs->RecordCount(); ++r)
            for (const char *field : {"Name", "Port", "Host"})
                if (rs->ValueAt(rs->FieldIndex(QLatin1String(field)), r).toString().contains(text, Qt::CaseInsensitive)) {
                    expected.push_back(quint32(r));
                    break;
                }
        const std::vector<quint32> found = index.Find(text);
        QVERIFY2(found == expected, qPrintable(QStringLiteral("%1: %2 found, %3 expected").arg(text).arg(found.size()).arg(expected.size())));
        QCOMPARE(index.LastTested(), refined[step] ? qsizetype(last.size()) : rs->RecordCount());
        last = found;
    }
}

void tst_PrinterGrid::findBytesAtEveryPlace_data()
{
    QTest::addColumn<QByteArray>("needle");
    QTest::newRow("two bytes") << QByteArray("je");
    QTest::newRow("three bytes") << QByteArray("jet");
    QTest::newRow("first and last alike") << QByteArray("aba");
    QTest::newRow("seventeen bytes") << QByteArray("laserjet 4050 dtn");
    QTest::newRow("longer than a block") << QByteArray("hp color laserjet cp4525 - accounts");
}

// The needle at every place of texts of every length around the blocks the search compares at
// once, with near misses (first and last byte right, one between wrong) before it.
void tst_PrinterGrid::findBytesAtEveryPlace()
{
    QFETCH(QByteArray, needle);
    const qsizetype m = needle.size();
    QByteArray nearMiss = needle;
    if (m > 2)
        nearMiss[m / 2] = '#';
    for (qsizetype length = 0; length <= 80; ++length) {
        for (qsizetype at = -1; at + m <= length; ++at) {
            QByteArray hay(length, '.');
            for (qsizetype p = 0; p + m <= length; p += m + 1)
                hay.replace(p, m, nearMiss);
            if (at >= 0)
                hay.replace(at, m, needle);
            const qsizetype expected = hay.indexOf(needle);
            const char *found = FindBytes(hay.constData(), hay.constData() + hay.size(), needle.constData(), m);
            QCOMPARE(found ? qsizetype(found - hay.constData()) : -1, expected);
        }
    }
}

// Many calls in a row, some with a call inside a task: each task runs once, and every task has
// run when the call returns.
void tst_PrinterGrid::onCoresRunsEveryTaskOnce()
{
    for (size_t tasks : {size_t(1), size_t(2), size_t(7), size_t(64)}) {
        for (int round = 0; round < 300; ++round) {
            std::vector<std::atomic<int>> runs(tasks * 3);
            OnCores(tasks, [&](size_t t) {
                ++runs[t];
                if (t % 5 == 1)
                    OnCores(2, [&](size_t inner) { ++runs[tasks + 2 * t + inner]; });
            });
            for (size_t t = 0; t < tasks; ++t) {
                QCOMPARE(runs[t].load(), 1);
                if (t % 5 == 1)
                    QCOMPARE(runs[tasks + 2 * t].load() + runs[tasks + 2 * t + 1].load(), 2);
            }
        }
    }
}

void tst_PrinterGrid::fitFindsTheLongestShownTexts_data()
{
    QTest::addColumn<QString>("match");
    QTest::addColumn<bool>("sorted");
    QTest::newRow("every row") << "" << false;
    QTest::newRow("few rows, read one by one") << "lexmark" << false;
    QTest::newRow("some of every kind") << "7" << false;
    QTest::newRow("not the longest names") << "a" << false;   // no "Drucker Büro"
    QTest::newRow("after a sort") << "" << true;
}

// On a long list the fit looks up the longest cells of the whole list among the rows shown: the
// lengths of the texts it gives are those of the longest distinct texts shown.
void tst_PrinterGrid::fitFindsTheLongestShownTexts()
{
    QFETCH(QString, match);
    QFETCH(bool, sorted);
    FlexGrid g;
    PrepareGrid(g, QVariant());
    FillFilter f;
    f.matchText = match;
    const auto rows = std::make_shared<PrinterRows>(longList());
    FillRows(g, rows, f);
    if (sorted)
        g.Sort(ColName, false);
    const std::vector<int> cols{ColName, ColPort, ColHost, ColProfile, ColConnectionType, ColAccount};
    std::vector<std::vector<qsizetype>> expected(cols.size());
    std::vector<QSet<QString>> shown(cols.size());
    for (size_t i = 0; i < cols.size(); ++i) {
        for (int r = 1; r < g.Rows(); ++r)
            if (!g.TextMatrix(r, cols[i]).isEmpty())
                shown[i].insert(g.TextMatrix(r, cols[i]));
        for (const QString &text : shown[i])
            expected[i].push_back(text.toUtf8().size());
        std::sort(expected[i].rbegin(), expected[i].rend());
        expected[i].resize(std::min<size_t>(expected[i].size(), 8));
    }
    // The first fit reads the shown cells (and has the longest cells of the list found
    // meanwhile), the second looks the rows up among those.
    for (int fit = 0; fit < 2; ++fit) {
        const std::vector<QList<QString>> longest = g.Model()->LongestTexts(cols);
        for (size_t i = 0; i < cols.size(); ++i) {
            std::vector<qsizetype> got;
            for (const QString &text : longest[i]) {
                QVERIFY2(shown[i].contains(text), qPrintable(text));
                got.push_back(text.toUtf8().size());
            }
            QCOMPARE(got, expected[i]);
        }
    }
    // What the fit keeps per record: a byte per cell of the columns of many texts, a byte per
    // record of the others (and a byte of the list's shape).
    const qsizetype kept = rows->Bytes() - rows->Matches().Bytes();
    QVERIFY2(kept < 10 * rows->RecordCount(), qPrintable(QString::number(double(kept) / double(rows->RecordCount()))));
}

void tst_PrinterGrid::comboListFromLookupList_data()
{
    QTest::addColumn<QVariant>("list");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two entries") << QVariant(QVariantList{QVariantList{1, "Network share"}, QVariantList{2, "Direct IP"}})
                                 << "#1;Network share|#2;Direct IP";
    QTest::newRow("with row 0") << QVariant(QVariantList{QVariantList{0, ""}, QVariantList{3, "Local"}}) << "#0;|#3;Local";
    QTest::newRow("empty list") << QVariant(QVariantList{}) << "";
    QTest::newRow("not a list") << QVariant() << "";
}

void tst_PrinterGrid::comboListFromLookupList()
{
    QFETCH(QVariant, list);
    QFETCH(QString, expected);
    QCOMPARE(BuildComboList(list), expected);
    FlexGrid g;
    const QAbstractItemModelTester tester(g.View()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    PrepareGrid(g, list);
    QCOMPARE(g.ColComboList(ColConnectionType), expected);
}

void tst_PrinterGrid::sizeColumnsWithoutPrinters_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("expected");
    QTest::newRow("exact") << 6400 << 1000;
    QTest::newRow("half rounds to even, down") << 403 << 0;    // 3/6 = 0.5
    QTest::newRow("half rounds to even, up") << 409 << 2;      // 9/6 = 1.5
    QTest::newRow("above half") << 6404 << 1001;               // 6004/6 = 1000.67
}

void tst_PrinterGrid::sizeColumnsWithoutPrinters()
{
    QFETCH(int, width);
    QFETCH(int, expected);
    FlexGrid g;
    const QAbstractItemModelTester tester(g.View()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    PrepareGrid(g, QVariant());
    SizeColumns(g, 0, width);
    for (int c : {ColName, ColPort, ColHost, ColProfile, ColConnectionType, ColAccount})
        QCOMPARE(g.ColWidth(c), expected);
}

void tst_PrinterGrid::sizeColumnsGivesNameTheRoomLeft()
{
    FlexGrid g;
    const QAbstractItemModelTester tester(g.View()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    PrepareGrid(g, QVariant());
    auto rs = makeRecordset(threePrinters());
    const int rows = FillRows(g, rowsOf(rs), {});
    SizeColumns(g, rows, 30000);
    int used = 0;
    for (int c = ColPort; c <= ColAccount; ++c)
        used += g.ColWidth(c);
    QCOMPARE(g.ColWidth(ColName), 30000 - 400 - used);

    // Too narrow: the name column keeps the width of its contents.
    g.AutoSize(ColName, ColAccount);
    const int fitted = g.ColWidth(ColName);
    SizeColumns(g, rows, 600);
    QCOMPARE(g.ColWidth(ColName), fitted);
    QVERIFY(fitted > 0);
}

void tst_PrinterGrid::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("0.5") << 0.5 << 0;
    QTest::newRow("1.5") << 1.5 << 2;
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("-0.5") << -0.5 << 0;
    QTest::newRow("2.4") << 2.4 << 2;
    QTest::newRow("2.6") << 2.6 << 3;
}

void tst_PrinterGrid::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(RoundHalfEven(value), expected);
}

QTEST_MAIN(tst_PrinterGrid)
#include "tst_printergrid.moc"
