// modUtilityFunctions and the locale ids beneath it.
#include "modutilityfunctions.h"
#include "win32locale.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

using namespace modUtilityFunctions;

class tst_modUtilityFunctions : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        ResetNumericKeyCache();
    }

    // Each id maps both ways and gives its locale's texts; a territory without an id of its own
    // falls back on the language's home id.
    void lcidMapping_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<uint>("lcid");
        QTest::addColumn<QString>("userDefault");
        QTest::addColumn<QString>("decimal");
        QTest::newRow("en_US") << QStringLiteral("en_US") << 1033u << QStringLiteral("en_US") << QStringLiteral(".");
        QTest::newRow("fr_FR") << QStringLiteral("fr_FR") << 1036u << QStringLiteral("fr_LU") << QStringLiteral(",");
        QTest::newRow("es_ES") << QStringLiteral("es_ES") << 3082u << QStringLiteral("es_AR") << QStringLiteral(",");
        QTest::newRow("zh_CN") << QStringLiteral("zh_CN") << 2052u << QStringLiteral("zh_CN") << QStringLiteral(".");
    }

    void lcidMapping()
    {
        QFETCH(QString, locale);
        QFETCH(uint, lcid);
        QFETCH(QString, userDefault);
        QFETCH(QString, decimal);
        QCOMPARE(qm6loc::LocaleToLCID(QLocale(locale)), lcid);
        bool ok = false;
        QCOMPARE(qm6loc::LCIDToLocale(lcid, &ok).name(), locale);
        QVERIFY(ok);
        QCOMPARE(GetDecimalSeparator(qint32(lcid)), decimal); // under the en_US default
        QLocale::setDefault(QLocale(userDefault));
        QCOMPARE(qm6loc::GetUserDefaultLCID(), lcid);
        QCOMPARE(GetDecimalSeparator(), decimal);
        QCOMPARE(GetNegativeSign(), QStringLiteral("-"));
    }

    void localeInfoAndNull()
    {
        char buffer[8];
        QCOMPARE(qm6loc::GetLocaleInfoA(1033, qm6loc::LOCALE_SDECIMAL, nullptr, 0), 2);
        QCOMPARE(qm6loc::GetLocaleInfoA(1033, qm6loc::LOCALE_SNAME, buffer, 3), 0); // "en-US" does not fit
        QCOMPARE(qm6loc::GetLocaleInfoA(1033, qm6loc::LOCALE_SNAME, buffer, sizeof buffer), 6);
        QCOMPARE(QByteArray(buffer), QByteArray("en-US"));
        QCOMPARE(qm6loc::GetLocaleInfoA(1033, 0x7777, buffer, sizeof buffer), 0);
        bool ok = true;
        qm6loc::LCIDToLocale(4242, &ok);
        QVERIFY(!ok);
        QCOMPARE(GetDecimalSeparator(4242), QString());
        QCOMPARE(GetNegativeSign(4242), QString());
        QCOMPARE(NullToString(QVariant::fromValue(nullptr)), QString());
        QCOMPARE(NullToString(QVariant(42)), QStringLiteral("42"));
    }

    void filterNumericKey_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QChar>("key");
        QTest::addColumn<bool>("allowNegative");
        QTest::addColumn<bool>("allowDecimal");
        QTest::addColumn<bool>("passes");
        const QString fr = QStringLiteral("fr_FR"), en = QStringLiteral("en_US");
        QTest::newRow("fr comma allowed") << fr << QChar(',') << false << true << true;
        QTest::newRow("fr point swallowed") << fr << QChar('.') << true << true << false;
        QTest::newRow("fr comma not allowed") << fr << QChar(',') << false << false << false;
        QTest::newRow("en comma swallowed") << en << QChar(',') << true << true << false;
        QTest::newRow("minus allowed") << en << QChar('-') << true << false << true;
        QTest::newRow("minus not allowed") << en << QChar('-') << false << true << false;
        QTest::newRow("no flags: digit") << en << QChar('0') << false << false << true;
        QTest::newRow("no flags: backspace") << en << QChar(8) << false << false << true;
        QTest::newRow("no flags: letter") << en << QChar('a') << false << false << false;
        QTest::newRow("blank") << en << QChar(' ') << true << true << false;
    }

    void filterNumericKey()
    {
        QFETCH(QString, locale);
        QFETCH(QChar, key);
        QFETCH(bool, allowNegative);
        QFETCH(bool, allowDecimal);
        QFETCH(bool, passes);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(FilterNumericKey(key.unicode(), allowNegative, allowDecimal), passes ? key.unicode() : quint16(0));
        // The locale's characters are read once and kept until the cache is reset.
        QLocale::setDefault(QLocale(locale == QLatin1String("fr_FR") ? QStringLiteral("en_US") : QStringLiteral("fr_FR")));
        QCOMPARE(FilterNumericKey(key.unicode(), allowNegative, allowDecimal), passes ? key.unicode() : quint16(0));
    }

    void lineEditFilter()
    {
        QLocale::setDefault(QLocale(QStringLiteral("fr_FR")));
        QLineEdit txt;
        txt.show();
        QVERIFY(QTest::qWaitForWindowExposed(&txt));
        QVERIFY(InstallNumericKeyFilter(&txt, false, true));
        QTest::keyClicks(&txt, QStringLiteral("1a,2.3-"));
        QCOMPARE(txt.text(), QStringLiteral("1,23"));
        // Navigation, editing and shortcut keys pass.
        QTest::keyClick(&txt, Qt::Key_Home);
        QTest::keyClick(&txt, Qt::Key_Delete);
        QTest::keyClick(&txt, Qt::Key_End);
        QTest::keyClick(&txt, Qt::Key_Backspace);
        QCOMPARE(txt.text(), QStringLiteral(",2"));
        QTest::keyClick(&txt, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(&txt, QStringLiteral("7"));
        QCOMPARE(txt.text(), QStringLiteral("7"));
    }

    void trimTextControls()
    {
        QWidget form;
        auto *txtBlank = new QLineEdit(QStringLiteral("     "), &form);
        txtBlank->setMaxLength(10);
        auto *txtNoMax = new QLineEdit(QStringLiteral("  free  "), &form);
        auto *txtNested = new QLineEdit(QStringLiteral(" nested "), new QWidget(&form));
        txtNested->setMaxLength(3);
        auto *cmb = new QComboBox(&form);
        cmb->setEditable(true);
        cmb->setEditText(QStringLiteral("  kept  "));
        QVERIFY(TrimTextControls(&form, false));
        QCOMPARE(txtBlank->text(), QString());
        QCOMPARE(txtNoMax->text(), QStringLiteral("free"));
        QCOMPARE(txtNested->text(), QStringLiteral("ne")); // the box kept " ne" of " nested "
        QCOMPARE(cmb->currentText(), QStringLiteral("  kept  ")); // a combo box's editor is not the form's
        QVERIFY(TrimTextControls(nullptr, true));
    }

    void trimWarnsOnMissingMaxLength()
    {
        QWidget form;
        auto *txtFirst = new QLineEdit(QStringLiteral("  one  "), &form);
        txtFirst->setMaxLength(10);
        auto *txtFree = new QLineEdit(QStringLiteral("  two  "), &form);
        txtFree->setObjectName(QStringLiteral("txtFree"));
        auto *txtAfter = new QLineEdit(QStringLiteral("  three  "), &form);
        txtAfter->setMaxLength(10);
        QString shown;
        QTimer::singleShot(0, this, [&shown] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->accept();
            }
        });
        QVERIFY(!TrimTextControls(&form, true));
        QCOMPARE(shown, QStringLiteral("TrimTextControls: Textbox txtFree does not have MaxLength specified."));
        QCOMPARE(txtFirst->text(), QStringLiteral("one"));
        QCOMPARE(txtFree->text(), QStringLiteral("two"));
        QCOMPARE(txtAfter->text(), QStringLiteral("  three  ")); // the pass stopped
    }
};

QTEST_MAIN(tst_modUtilityFunctions)
#include "tst_modutilityfunctions.moc"
