// The client-side recordset: what goes in comes out, whichever way it was filled.
#include "qm6recordset.h"

#include <QTest>
#include <cstring>
#include <limits>

namespace {
using FT = QM6Recordset::FieldType;

QM6Recordset::Cell textCell(const char *t)
{
    QM6Recordset::Cell c;
    if (t) {
        c.text = t;
        c.size = qsizetype(std::strlen(t));
        c.null = false;
    }
    return c;
}

QM6Recordset::Cell numberCell(qint64 v)
{
    QM6Recordset::Cell c;
    c.number = v;
    c.null = false;
    return c;
}
} // namespace

class tst_Recordset : public QObject {
    Q_OBJECT
private slots:
    // A row appended whole and a row set field by field keep Null apart from the empty text,
    // also when every text of the recordset is empty.
    void nullStaysApartFromEmpty_data()
    {
        QTest::addColumn<bool>("whole");
        QTest::newRow("appended whole") << true;
        QTest::newRow("set field by field") << false;
    }
    void nullStaysApartFromEmpty()
    {
        QFETCH(bool, whole);
        QM6Recordset rs({"a", "b", "n"}, {FT::Text, FT::Text, FT::Integer});
        if (whole) {
            const QM6Recordset::Cell row[] = {textCell(""), textCell(nullptr), QM6Recordset::Cell()};
            rs.AppendRow(row);
        } else {
            rs.BeginRow();
            rs.SetText(0, "", 0);
            rs.SetNull(1);
        }
        rs.EndFill();
        QVERIFY(!rs.IsNullAt(0, 0));
        QVERIFY(rs.IsNullAt(1, 0));
        QVERIFY(rs.IsNullAt(2, 0));
        QVERIFY(rs.Fields(QStringLiteral("a")).isValid());
        QVERIFY(!rs.Fields(QStringLiteral("a")).toString().isNull());
        QCOMPARE(rs.Fields(QStringLiteral("a")).toString(), QString(""));
        QVERIFY(!rs.Fields(QStringLiteral("b")).isValid());
        QVERIFY(!rs.Fields(QStringLiteral("n")).isValid());
    }

    // Fields set out of order, or again with a longer or shorter text, leave the row's other
    // texts and the rows before it as they were.
    void fieldsSetInAnyOrderKeepEachOther_data()
    {
        QTest::addColumn<QList<int>>("order");
        QTest::newRow("in field order") << QList<int>{0, 1, 2, 3};
        QTest::newRow("backwards") << QList<int>{3, 2, 1, 0};
        QTest::newRow("middle first") << QList<int>{2, 0, 3, 1};
        QTest::newRow("one field twice") << QList<int>{1, 0, 1, 2, 3, 1};
    }
    void fieldsSetInAnyOrderKeepEachOther()
    {
        QFETCH(QList<int>, order);
        QM6Recordset rs({"t0", "n", "t1", "t2"}, {FT::Text, FT::Integer, FT::Text, FT::Text});
        const QStringList texts{QStringLiteral("first"), QString(), QStringLiteral("second, longer"), QStringLiteral("3")};
        for (int row = 0; row < 3; ++row) {
            rs.BeginRow();
            for (int i = 0; i < order.size(); ++i) {
                const int f = order[i];
                // A field set again later first gets a text of another length.
                const bool replaced = order.lastIndexOf(f) != i;
                if (f == 1)
                    rs.SetInt(1, replaced ? -1 : row * 1000);
                else
                    rs.SetText(f, replaced ? QStringLiteral("a temporary text of some length") : texts[f] + QString::number(row));
            }
        }
        rs.EndFill();
        QCOMPARE(rs.RecordCount(), 3);
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(rs.TextAt(0, row).toString(), texts[0] + QString::number(row));
            QCOMPARE(rs.IntAt(1, row), row * 1000);
            QCOMPARE(rs.TextAt(2, row).toString(), texts[2] + QString::number(row));
            QCOMPARE(rs.TextAt(3, row).toString(), texts[3] + QString::number(row));
        }
    }

    // Integers are kept as narrow as the values seen so far; a wider value widens the column
    // without changing the values before it.
    void integersKeepTheirValuesAsTheColumnWidens()
    {
        const QList<qint64> values{1, -128, 127, 300, -40000, 70000, 5000000000LL, -1, 0, std::numeric_limits<qint64>::min()};
        QM6Recordset rs({"a", "b"}, {FT::Integer, FT::Integer});
        for (qint64 v : values) {
            const QM6Recordset::Cell row[] = {numberCell(v), numberCell(v / -2)};
            rs.AppendRow(row);
        }
        rs.BeginRow();
        rs.SetInt(0, 9);
        rs.EndFill();
        for (int i = 0; i < values.size(); ++i) {
            QCOMPARE(rs.IntAt(0, i), values[i]);
            QCOMPARE(rs.IntAt(1, i), values[i] / -2);
        }
        QCOMPARE(rs.IntAt(0, values.size()), 9);
        QVERIFY(rs.IsNullAt(1, values.size()));
    }

    // A row with more text than a 16-bit offset reaches.
    void aRowOfMoreThan64KiBOfTextKeepsTheRowsBefore_data()
    {
        QTest::addColumn<bool>("whole");
        QTest::newRow("appended whole") << true;
        QTest::newRow("set field by field") << false;
    }
    void aRowOfMoreThan64KiBOfTextKeepsTheRowsBefore()
    {
        QFETCH(bool, whole);
        QM6Recordset rs({"a", "b"}, {FT::Text, FT::Text});
        const QByteArray big(70000, 'x'), small("abc");
        for (int row = 0; row < 3; ++row) {
            const QByteArray &a = row == 1 ? big : small;
            if (whole) {
                const QM6Recordset::Cell cells[] = {textCell(a.constData()), textCell("tail")};
                rs.AppendRow(cells);
            } else {
                rs.BeginRow();
                rs.SetText(1, "tail", 4);
                rs.SetText(0, a.constData(), a.size());
            }
        }
        rs.EndFill();
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(rs.TextAt(0, row).size(), row == 1 ? big.size() : small.size());
            QCOMPARE(rs.TextAt(1, row).toString(), QStringLiteral("tail"));
        }
    }

    // A list read again after Close gets the closed one's memory, and none of its rows.
    void aRecordsetMadeAfterACloseHoldsOnlyItsOwnRows()
    {
        const QStringList names{"id", "t"};
        const QList<FT> types{FT::Integer, FT::Text};
        {
            QM6Recordset first(names, types);
            for (int i = 0; i < 5000; ++i) {
                first.BeginRow();
                first.SetInt(0, 100000 + i);
                first.SetText(1, QStringLiteral("row %1").arg(i));
            }
            first.EndFill();
            first.Close();
            QCOMPARE(first.RecordCount(), 0);
            QVERIFY(first.Eof());
        }
        QM6Recordset second(names, types);
        QVERIFY(second.Eof());
        second.BeginRow();
        second.SetInt(0, 1);
        second.BeginRow();
        second.SetText(1, QStringLiteral("two"));
        second.EndFill();
        QCOMPARE(second.RecordCount(), 2);
        QCOMPARE(second.IntAt(0, 0), 1);
        QVERIFY(second.IsNullAt(1, 0));
        QVERIFY(second.TextAt(1, 0).isEmpty());
        QVERIFY(second.IsNullAt(0, 1));
        QCOMPARE(second.TextAt(1, 1).toString(), QStringLiteral("two"));
        QVERIFY(second.HeldBytes() < 1000);   // trimmed to what it holds
    }

    void valuesKeepTheirTypes()
    {
        QM6Recordset rs({"when", "x", "n", "t"}, {FT::DateTime, FT::Double, FT::Integer, FT::Text});
        const QDateTime when = QDateTime::fromMSecsSinceEpoch(1700000000123, Qt::UTC);
        rs.BeginRow();
        rs.SetValue(0, when);
        rs.SetValue(1, 2.5);
        rs.SetValue(2, QStringLiteral("42"));
        rs.SetValue(3, 7);
        rs.EndFill();
        QCOMPARE(rs.Fields(QStringLiteral("when")).toDateTime(), when);
        QCOMPARE(rs.Fields(QStringLiteral("x")).toDouble(), 2.5);
        QCOMPARE(rs.Fields(QStringLiteral("n")).toLongLong(), 42);
        QCOMPARE(rs.Fields(QStringLiteral("t")).toString(), QStringLiteral("7"));
        QCOMPARE(rs.FieldIndex(QStringLiteral("T")), 3);
        QVERIFY(!rs.Fields(QStringLiteral("missing")).isValid());
    }
};

QTEST_GUILESS_MAIN(tst_Recordset)
#include "tst_recordset.moc"
