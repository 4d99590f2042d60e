// The address parsers and the number rules of the editor, which the Connection tab and the
// save both rely on.
#include "qm6fieldrules.h"

#include <QTest>

class tst_EditorParsers : public QObject {
    Q_OBJECT
private slots:
    void uncPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("host");
        QTest::newRow("share") << QStringLiteral("\\\\srv01\\hp4050") << true << QStringLiteral("srv01");
        QTest::newRow("nothing after the server") << QStringLiteral("\\\\srv01\\") << false << QStringLiteral("srv01");
        QTest::newRow("no share") << QStringLiteral("\\\\srv01") << false << QString();
        QTest::newRow("local port") << QStringLiteral("LPT1:") << false << QString();
        QTest::newRow("empty server") << QStringLiteral("\\\\\\share") << true << QString();
        QTest::newRow("three characters") << QStringLiteral("\\\\a") << false << QString();
        QTest::newRow("one leading backslash") << QStringLiteral("\\srv01\\hp") << false << QString();
        QTest::newRow("deeper path") << QStringLiteral("\\\\srv02\\lab\\x") << true << QStringLiteral("srv02");
    }

    void uncPath()
    {
        QFETCH(QString, path);
        QFETCH(bool, valid);
        QFETCH(QString, host);
        QString got = QStringLiteral("stale");
        QCOMPARE(ParseUNCPath(path, got), valid);
        QCOMPARE(got, host);
    }

    void ipAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QStringList>("parts");
        QTest::addColumn<QString>("port");
        const QStringList none;
        QTest::newRow("with port") << QStringLiteral("10.0.0.25:9100") << true << QStringList{"10", "0", "0", "25"} << QStringLiteral("9100");
        QTest::newRow("without port") << QStringLiteral("192.168.1.20") << true << QStringList{"192", "168", "1", "20"} << QString();
        QTest::newRow("256") << QStringLiteral("10.0.0.256") << false << none << QString();
        QTest::newRow("host name and port") << QStringLiteral("printer1:9100") << false << none << QStringLiteral("9100");
        QTest::newRow("three pieces") << QStringLiteral("10.0.0") << false << none << QString();
        QTest::newRow("five pieces") << QStringLiteral("1.2.3.4.5") << false << none << QString();
        QTest::newRow("empty piece") << QStringLiteral("1..3.4") << false << none << QString();
        QTest::newRow("four digits") << QStringLiteral("1.2.3.0255") << false << none << QString();
        QTest::newRow("port unchecked") << QStringLiteral("1.2.3.4:abc") << true << QStringList{"1", "2", "3", "4"} << QStringLiteral("abc");
        QTest::newRow("port after first colon") << QStringLiteral("1.2.3.4:91:00") << true << QStringList{"1", "2", "3", "4"} << QStringLiteral("91:00");
        // Text a numeric test of the platform took for a number, but that is no address piece.
        QTest::newRow("blank") << QStringLiteral("1.2.3. 4") << false << none << QString();
        QTest::newRow("exponent") << QStringLiteral("1.2.3.1e2") << false << none << QString();
        QTest::newRow("plus") << QStringLiteral("1.2.3.+1") << false << none << QString();
        QTest::newRow("decimal") << QStringLiteral("1.2.3.1,5") << false << none << QString();
        QTest::newRow("hex") << QStringLiteral("1.2.3.&H1") << false << none << QString();
        QTest::newRow("minus zero") << QStringLiteral("1.2.3.-0") << false << none << QString();
        QTest::newRow("arabic-indic digit") << QStringLiteral("1.2.3.\u0661") << false << none << QString();
    }

    void ipAddress()
    {
        QFETCH(QString, address);
        QFETCH(bool, valid);
        QFETCH(QStringList, parts);
        QFETCH(QString, port);
        QString gotPort = QStringLiteral("stale");
        QStringList gotParts{QStringLiteral("stale")};
        QCOMPARE(ParseIPAddress(address, gotPort, gotParts), valid);
        QCOMPARE(gotParts, parts);
        QCOMPARE(gotPort, port);
    }

    void macAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QStringList>("parts");
        const QStringList none;
        QTest::newRow("mixed case kept") << QStringLiteral("00-1b-78-A0-3c-5F") << true << QStringList{"00", "1b", "78", "A0", "3c", "5F"};
        QTest::newRow("single digits") << QStringLiteral("0-1-2-3-4-5") << true << QStringList{"0", "1", "2", "3", "4", "5"};
        QTest::newRow("colons") << QStringLiteral("00:1B:78:A0:3C:5F") << false << none;
        QTest::newRow("five groups") << QStringLiteral("00-1B-78-A0-3C") << false << none;
        QTest::newRow("seven groups") << QStringLiteral("00-1B-78-A0-3C-5F-01") << false << none;
        QTest::newRow("not hexadecimal") << QStringLiteral("00-1B-78-A0-3C-5G") << false << none;
        QTest::newRow("empty group") << QStringLiteral("00--78-A0-3C-5F") << false << none;
        QTest::newRow("three digits") << QStringLiteral("000-1B-78-A0-3C-5F") << false << none;
        QTest::newRow("host name") << QStringLiteral("prn-lab") << false << none;
    }

    void macAddress()
    {
        QFETCH(QString, address);
        QFETCH(bool, valid);
        QFETCH(QStringList, parts);
        QStringList got{QStringLiteral("stale")};
        QCOMPARE(ParseMACAddress(address, got), valid);
        QCOMPARE(got, parts);
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("piece");
        QTest::addColumn<bool>("port");
        QTest::addColumn<bool>("total");
        QTest::newRow("empty") << QString() << false << true << false;
        QTest::newRow("0") << QStringLiteral("0") << true << false << true;
        QTest::newRow("1") << QStringLiteral("1") << true << true << true;
        QTest::newRow("255") << QStringLiteral("255") << true << true << true;
        QTest::newRow("256") << QStringLiteral("256") << false << true << true;
        QTest::newRow("007") << QStringLiteral("007") << true << true << true;
        QTest::newRow("9100") << QStringLiteral("9100") << false << true << true;
        QTest::newRow("65535") << QStringLiteral("65535") << false << true << true;
        QTest::newRow("65536") << QStringLiteral("65536") << false << false << true;
        QTest::newRow("99999999") << QStringLiteral("99999999") << false << false << true;
        QTest::newRow("2147483647") << QStringLiteral("2147483647") << false << false << true;
        QTest::newRow("2147483648") << QStringLiteral("2147483648") << false << false << false;
        QTest::newRow("eleven digits") << QStringLiteral("00000000001") << false << false << false;
        QTest::newRow("leading blank") << QStringLiteral(" 12") << false << false << false;
        QTest::newRow("exponent") << QStringLiteral("1e2") << false << false << false;
        QTest::newRow("plus") << QStringLiteral("+1") << false << false << false;
        QTest::newRow("minus") << QStringLiteral("-1") << false << false << false;
        QTest::newRow("decimal") << QStringLiteral("1.5") << false << false << false;
        QTest::newRow("hex") << QStringLiteral("&H10") << false << false << false;
        QTest::newRow("letters") << QStringLiteral("91a") << false << false << false;
        QTest::newRow("fullwidth digit") << QStringLiteral("\uFF11") << false << false << false;
    }

    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, piece);
        QFETCH(bool, port);
        QFETCH(bool, total);
        QCOMPARE(fieldrules::IsAddressPiece(text), piece);
        QCOMPARE(fieldrules::IsIPPort(text), port);
        qint32 value = -7;
        QCOMPARE(fieldrules::ReadPageTotal(text, value), total);
        QCOMPARE(value, total ? text.toInt() : -7);
    }
};

QTEST_GUILESS_MAIN(tst_EditorParsers)
#include "tst_editor_parsers.moc"
