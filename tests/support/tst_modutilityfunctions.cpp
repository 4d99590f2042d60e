// modUtilityFunctions and the locale ids beneath it.
#include "modutilityfunctions.h"
#include "win32locale.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

using namespace modUtilityFunctions;

class tst_modUtilityFunctions : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void lcidMapping_data();
    void lcidMapping();
    void userDefaultFollowsApplicationLocale();
    void localeInfoSizes();
    void localeTexts_data();
    void localeTexts();
    void filterNumericKey_data();
    void filterNumericKey();
    void filterCacheIsKeptUntilReset();
    void lineEditFilter();
    void trimTextControls();
    void trimWarnsOnMissingMaxLength();
    void trimSkipsComboEditors();
    void nullToString_data();
    void nullToString();
};

void tst_modUtilityFunctions::cleanup()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    ResetNumericKeyCache();
}

void tst_modUtilityFunctions::lcidMapping_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<uint>("lcid");
    QTest::newRow("en_US") << QStringLiteral("en_US") << 1033u;
    QTest::newRow("en_GB") << QStringLiteral("en_GB") << 2057u;
    QTest::newRow("fr_FR") << QStringLiteral("fr_FR") << 1036u;
    QTest::newRow("de_DE") << QStringLiteral("de_DE") << 1031u;
    QTest::newRow("es_ES") << QStringLiteral("es_ES") << 3082u;
    QTest::newRow("it_IT") << QStringLiteral("it_IT") << 1040u;
    QTest::newRow("nl_NL") << QStringLiteral("nl_NL") << 1043u;
    QTest::newRow("ja_JP") << QStringLiteral("ja_JP") << 1041u;
    QTest::newRow("zh_CN") << QStringLiteral("zh_CN") << 2052u;
}

void tst_modUtilityFunctions::lcidMapping()
{
    QFETCH(QString, locale);
    QFETCH(uint, lcid);
    QCOMPARE(qm6loc::LocaleToLCID(QLocale(locale)), lcid);
    bool ok = false;
    QCOMPARE(qm6loc::LCIDToLocale(lcid, &ok).name(), locale);
    QVERIFY(ok);
}

void tst_modUtilityFunctions::userDefaultFollowsApplicationLocale()
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    QCOMPARE(qm6loc::GetUserDefaultLCID(), 1031u);
    // A territory without an id of its own falls back on the language's home id.
    QLocale::setDefault(QLocale(QStringLiteral("fr_LU")));
    QCOMPARE(qm6loc::GetUserDefaultLCID(), 1036u);
    QLocale::setDefault(QLocale(QStringLiteral("es_AR")));
    QCOMPARE(qm6loc::GetUserDefaultLCID(), 3082u);
    bool ok = true;
    qm6loc::LCIDToLocale(4242, &ok);
    QVERIFY(!ok);
    QVERIFY(qm6loc::IsKnownLCID(qm6loc::LOCALE_USER_DEFAULT));
}

void tst_modUtilityFunctions::localeInfoSizes()
{
    char buffer[8];
    QCOMPARE(qm6loc::GetLocaleInfoA(1033, qm6loc::LOCALE_SDECIMAL, nullptr, 0), 2);
    QCOMPARE(qm6loc::GetLocaleInfoA(1033, qm6loc::LOCALE_SNAME, buffer, 3), 0); // "en-US" does not fit
    QCOMPARE(qm6loc::GetLocaleInfoA(1033, qm6loc::LOCALE_SNAME, buffer, sizeof buffer), 6);
    QCOMPARE(QByteArray(buffer), QByteArray("en-US"));
    QCOMPARE(qm6loc::GetLocaleInfoA(1036, qm6loc::LOCALE_ILANGUAGE, buffer, sizeof buffer), 5);
    QCOMPARE(QByteArray(buffer), QByteArray("040c"));
    QCOMPARE(qm6loc::GetLocaleInfoA(4242, qm6loc::LOCALE_SDECIMAL, buffer, sizeof buffer), 0);
    QCOMPARE(qm6loc::GetLocaleInfoA(1033, 0x7777, buffer, sizeof buffer), 0);
}

void tst_modUtilityFunctions::localeTexts_data()
{
    QTest::addColumn<QString>("defaultLocale");
    QTest::addColumn<qint32>("lcid");
    QTest::addColumn<QString>("decimal");
    QTest::addColumn<QString>("negative");
    QTest::newRow("user default fr") << QStringLiteral("fr_FR") << 1024 << QStringLiteral(",") << QStringLiteral("-");
    QTest::newRow("user default en") << QStringLiteral("en_US") << 1024 << QStringLiteral(".") << QStringLiteral("-");
    QTest::newRow("explicit de") << QStringLiteral("en_US") << 1031 << QStringLiteral(",") << QStringLiteral("-");
    QTest::newRow("explicit en under fr") << QStringLiteral("fr_FR") << 1033 << QStringLiteral(".")
                                          << QStringLiteral("-");
    QTest::newRow("unknown id") << QStringLiteral("en_US") << 4242 << QString() << QString();
}

void tst_modUtilityFunctions::localeTexts()
{
    QFETCH(QString, defaultLocale);
    QFETCH(qint32, lcid);
    QFETCH(QString, decimal);
    QFETCH(QString, negative);
    QLocale::setDefault(QLocale(defaultLocale));
    QCOMPARE(GetDecimalSeparator(lcid), decimal);
    QCOMPARE(GetNegativeSign(lcid), negative);
}

void tst_modUtilityFunctions::filterNumericKey_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QChar>("key");
    QTest::addColumn<bool>("allowNegative");
    QTest::addColumn<bool>("allowDecimal");
    QTest::addColumn<bool>("passes");
    const QString fr = QStringLiteral("fr_FR"), en = QStringLiteral("en_US");
    QTest::newRow("fr comma allowed") << fr << QChar(',') << false << true << true;
    QTest::newRow("fr point swallowed") << fr << QChar('.') << false << true << false;
    QTest::newRow("fr comma not allowed") << fr << QChar(',') << false << false << false;
    QTest::newRow("en point allowed") << en << QChar('.') << false << true << true;
    QTest::newRow("en comma swallowed") << en << QChar(',') << true << true << false;
    QTest::newRow("minus allowed") << en << QChar('-') << true << false << true;
    QTest::newRow("minus not allowed") << en << QChar('-') << false << true << false;
    QTest::newRow("digit 0") << en << QChar('0') << false << false << true;
    QTest::newRow("digit 9") << en << QChar('9') << false << false << true;
    QTest::newRow("backspace") << en << QChar(8) << false << false << true;
    QTest::newRow("letter") << en << QChar('a') << false << false << false;
    QTest::newRow("blank") << en << QChar(' ') << true << true << false;
    QTest::newRow("plus") << en << QChar('+') << true << true << false;
}

void tst_modUtilityFunctions::filterNumericKey()
{
    QFETCH(QString, locale);
    QFETCH(QChar, key);
    QFETCH(bool, allowNegative);
    QFETCH(bool, allowDecimal);
    QFETCH(bool, passes);
    QLocale::setDefault(QLocale(locale));
    ResetNumericKeyCache();
    QCOMPARE(FilterNumericKey(key.unicode(), allowNegative, allowDecimal), passes ? key.unicode() : quint16(0));
}

void tst_modUtilityFunctions::filterCacheIsKeptUntilReset()
{
    QLocale::setDefault(QLocale(QStringLiteral("fr_FR")));
    QCOMPARE(FilterNumericKey(',', false, true), quint16(','));
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    QCOMPARE(FilterNumericKey(',', false, true), quint16(',')); // read once, kept
    ResetNumericKeyCache();
    QCOMPARE(FilterNumericKey(',', false, true), quint16(0));
    QCOMPARE(FilterNumericKey('.', false, true), quint16('.'));
}

void tst_modUtilityFunctions::lineEditFilter()
{
    QLocale::setDefault(QLocale(QStringLiteral("fr_FR")));
    QLineEdit txt;
    txt.show();
    QVERIFY(QTest::qWaitForWindowExposed(&txt));
    QVERIFY(InstallNumericKeyFilter(&txt, false, true));
    QTest::keyClicks(&txt, QStringLiteral("1a,2.3-"));
    QCOMPARE(txt.text(), QStringLiteral("1,23"));
    // Navigation and editing keys pass.
    QTest::keyClick(&txt, Qt::Key_Home);
    QTest::keyClick(&txt, Qt::Key_Right);
    QTest::keyClick(&txt, Qt::Key_Delete);
    QCOMPARE(txt.text(), QStringLiteral("123"));
    QTest::keyClick(&txt, Qt::Key_End);
    QTest::keyClick(&txt, Qt::Key_Backspace);
    QCOMPARE(txt.text(), QStringLiteral("12"));
    QTest::keyClick(&txt, Qt::Key_A, Qt::ControlModifier); // select all is a shortcut, not text
    QTest::keyClicks(&txt, QStringLiteral("7"));
    QCOMPARE(txt.text(), QStringLiteral("7"));
}

void tst_modUtilityFunctions::trimTextControls()
{
    QWidget form;
    auto *txtCut = new QLineEdit(QStringLiteral("  abcdefgh  "), &form);
    txtCut->setObjectName(QStringLiteral("txtCut"));
    txtCut->setMaxLength(20);
    auto *txtBlank = new QLineEdit(QStringLiteral("     "), &form);
    txtBlank->setMaxLength(10);
    auto *txtNoMax = new QLineEdit(QStringLiteral("  free  "), &form);
    auto *frame = new QWidget(&form);
    auto *txtNested = new QLineEdit(QStringLiteral(" nested "), frame);
    txtNested->setMaxLength(3);
    auto *lbl = new QLabel(QStringLiteral("  label  "), &form);
    QVERIFY(TrimTextControls(&form, false));
    QCOMPARE(txtCut->text(), QStringLiteral("abcdefgh"));
    QCOMPARE(txtBlank->text(), QString());
    QCOMPARE(txtNoMax->text(), QStringLiteral("free"));
    QCOMPARE(txtNested->text(), QStringLiteral("ne")); // the box kept " ne" of " nested "
    QCOMPARE(txtNested->maxLength(), 3);
    QCOMPARE(lbl->text(), QStringLiteral("  label  "));
    QVERIFY(TrimTextControls(nullptr, true));
}

void tst_modUtilityFunctions::trimWarnsOnMissingMaxLength()
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
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        shown = box->text();
        box->accept();
    });
    QVERIFY(!TrimTextControls(&form, true));
    QCOMPARE(shown, QStringLiteral("TrimTextControls: Textbox txtFree does not have MaxLength specified."));
    QCOMPARE(txtFirst->text(), QStringLiteral("one"));
    QCOMPARE(txtFree->text(), QStringLiteral("two"));
    QCOMPARE(txtAfter->text(), QStringLiteral("  three  ")); // the pass stopped
}

void tst_modUtilityFunctions::trimSkipsComboEditors()
{
    QWidget form;
    auto *cmb = new QComboBox(&form);
    cmb->setEditable(true);
    cmb->setEditText(QStringLiteral("  kept  "));
    auto *txt = new QLineEdit(QStringLiteral(" x "), &form);
    txt->setMaxLength(4);
    QVERIFY(TrimTextControls(&form, true));
    QCOMPARE(txt->text(), QStringLiteral("x"));
    QCOMPARE(cmb->currentText(), QStringLiteral("  kept  "));
}

void tst_modUtilityFunctions::nullToString_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("invalid") << QVariant() << QString();
    QTest::newRow("null of a type") << QVariant::fromValue(nullptr) << QString();
    QTest::newRow("text") << QVariant(QStringLiteral("abc")) << QStringLiteral("abc");
    QTest::newRow("number") << QVariant(42) << QStringLiteral("42");
    QTest::newRow("empty text") << QVariant(QString()) << QString();
}

void tst_modUtilityFunctions::nullToString()
{
    QFETCH(QVariant, value);
    QFETCH(QString, expected);
    QCOMPARE(NullToString(value), expected);
}

QTEST_MAIN(tst_modUtilityFunctions)
#include "tst_modutilityfunctions.moc"
