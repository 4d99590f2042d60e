// Texts by number from the string table of the user's language.
#include "clsregistry.h"
#include "win32locale.h"
#include "modlanguage.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

namespace {

constexpr quint32 HKCU = 0x80000001u;
const QString PRODUCT_KEY = QStringLiteral("Software\\Quillmark 6");

// Texts of the test tables, by id.
const QList<QPair<int, QString>> &FixtureTexts()
{
    static const QList<QPair<int, QString>> texts{
        {1, QStringLiteral("Printer Properties - %s")},
        {2, QStringLiteral("%s of %s")},
        {3, QStringLiteral("%s could not merge: %s")},
        {4, QStringLiteral("no placeholder")},
        {5, QStringLiteral("Name: %s, %s")},
        {6, QStringLiteral("%s!")},
        {7, QStringLiteral("[%s]")},
        {901, QString(510, QLatin1Char('a'))},
        {902, QString(511, QLatin1Char('b'))},
        {903, QString(512, QLatin1Char('c'))},
        {904, QString(700, QLatin1Char('d')) + QStringLiteral("%s")},
        // A character outside the basic plane straddles the cut.
        {905, QString(510, QLatin1Char('e')) + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("tail")},
    };
    return texts;
}

QString FixtureText(int id)
{
    for (const auto &[key, text] : FixtureTexts())
        if (key == id)
            return text;
    return QString();
}

QString Escape(const QString &s)
{
    return s.toHtmlEscaped();
}

// Compiles a table of (id, text) pairs into <folder>/<lcid>/devfleetLangRes.qm.
bool WriteTable(const QString &folder, int lcid, const QList<QPair<int, QString>> &texts)
{
    const QString dir = folder + QLatin1Char('/') + QString::number(lcid);
    if (!QDir().mkpath(dir))
        return false;
    const QString ts = dir + QStringLiteral("/devfleetLangRes.ts");
    QFile f(ts);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
                                 "<TS version=\"2.1\" sourcelanguage=\"en_US\">\n<context>\n<name></name>\n");
    for (const auto &[id, text] : texts)
        xml += QStringLiteral("<message id=\"%1\"><source>%2</source><translation>%2</translation></message>\n")
                   .arg(id)
                   .arg(Escape(text));
    xml += QStringLiteral("</context>\n</TS>\n");
    f.write(xml.toUtf8());
    f.close();
    QProcess p;
    p.start(QStringLiteral(QM6_LRELEASE),
            {QStringLiteral("-silent"), QStringLiteral("-idbased"), QStringLiteral("-nounfinished"), ts,
             QStringLiteral("-qm"), dir + QStringLiteral("/devfleetLangRes.qm")});
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Stores LocaleId as a number (type 4) or as text (type 1); an invalid value removes it.
void SetConfiguredLocale(const QVariant &value, int valueType = 4)
{
    clsRegistry reg;
    reg.SetClassKey(HKCU);
    reg.SetSectionKey(PRODUCT_KEY);
    reg.SetValueKey(QStringLiteral("LocaleId"));
    reg.SetValueType(valueType);
    if (value.isValid())
        QVERIFY(reg.SetCreateValue(QStringLiteral("LocaleId"), value, false));
    else
        reg.DeleteValue(); // absent already is fine
}

// The user's locale is the application's default locale.
void SetUserLocale(int lcid)
{
    bool known = false;
    QLocale::setDefault(qm6loc::LCIDToLocale(qm6loc::LCID(lcid), &known));
    QVERIFY(known);
    QCOMPARE(int(qm6loc::GetUserDefaultLCID()), lcid);
}

int PlaceholderCount(const QString &s)
{
    return int(s.count(QStringLiteral("%s")));
}

// Every id that the page, the editor, the batch form and the progress window show, with the
// number of "%s" that the caller fills.
QList<QPair<int, int>> UsedIds()
{
    QList<QPair<int, int>> ids;
    auto add = [&](int from, int to) {
        for (int i = from; i <= to; ++i)
            ids.append({i, 0});
    };
    add(1, 9);
    add(100, 126);
    add(128, 128);
    add(137, 168);
    add(200, 225);
    add(1400, 1403);
    const QMap<int, int> args{{159, 1}, {160, 2}, {205, 1}, {207, 1}, {209, 1},
                              {212, 2}, {222, 1}, {1402, 2}};
    for (auto &[id, n] : ids)
        n = args.value(id, 0);
    return ids;
}

} // namespace

class TestModLanguage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void tableFollowsLocale_data();
    void tableFollowsLocale();
    void configuredLocaleId_data();
    void configuredLocaleId();
    void fillsPlaceholders_data();
    void fillsPlaceholders();
    void cutsLongTexts_data();
    void cutsLongTexts();
    void unknownIdIsEmpty();
    void missingTableGivesEmptyTextsUntilItAppears();
    void unloadedTableIsLoadedAgainOnDemand();
    void brokenTableReadsAsMissing_data();
    void brokenTableReadsAsMissing();
    void languageFolderIsFoundFromTheBinary();
    void fileExists_data();
    void fileExists();
    void shippedTablesHoldEveryUsedId_data();
    void shippedTablesHoldEveryUsedId();
    void shippedFrenchTableThroughTheModule();

private:
    QString Fixture(const QString &name) const { return m_tmp.filePath(name); }
    QTemporaryDir m_tmp;
    QTemporaryDir m_registry;
};

void TestModLanguage::initTestCase()
{
    QVERIFY(m_tmp.isValid());
    QVERIFY(m_registry.isValid());
    qputenv("QM6_REGISTRY_DIR", m_registry.path().toLocal8Bit());

    QList<QPair<int, QString>> english = FixtureTexts();
    english.append({220, QStringLiteral("EN")});
    const QList<QPair<int, QString>> french{{220, QStringLiteral("FR")}};
    QVERIFY(WriteTable(Fixture(QStringLiteral("both")), 1033, english));
    QVERIFY(WriteTable(Fixture(QStringLiteral("both")), 1036, french));
    QVERIFY(WriteTable(Fixture(QStringLiteral("englishOnly")), 1033, english));
    QVERIFY(WriteTable(Fixture(QStringLiteral("frenchOnly")), 1036, french));
}

void TestModLanguage::init()
{
    SetConfiguredLocale(QVariant());
    SetUserLocale(1033);
    modLanguage::ResetForTesting(Fixture(QStringLiteral("both")));
    modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet"));
}

void TestModLanguage::cleanupTestCase()
{
    modLanguage::ResetForTesting();
}

void TestModLanguage::tableFollowsLocale_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("configured"); // 0: no LocaleId value
    QTest::addColumn<int>("user");
    QTest::addColumn<QString>("expected");

    QTest::newRow("user French, French present") << "both" << 0 << 1036 << "FR";
    QTest::newRow("user French, only English") << "englishOnly" << 0 << 1036 << "EN";
    QTest::newRow("user German falls back to English") << "both" << 0 << 1031 << "EN";
    QTest::newRow("user English") << "both" << 0 << 1033 << "EN";
    QTest::newRow("configured English beats user French") << "both" << 1033 << 1036 << "EN";
    QTest::newRow("configured English tries only English") << "frenchOnly" << 1033 << 1036 << "";
    QTest::newRow("configured French beats user English") << "both" << 1036 << 1033 << "FR";
    QTest::newRow("configured German falls back to English") << "both" << 1031 << 1036 << "EN";
    QTest::newRow("no table at all") << "nothing" << 0 << 1036 << "";
}

void TestModLanguage::tableFollowsLocale()
{
    QFETCH(QString, folder);
    QFETCH(int, configured);
    QFETCH(int, user);
    QFETCH(QString, expected);

    modLanguage::ResetForTesting(Fixture(folder));
    if (configured != 0)
        SetConfiguredLocale(configured);
    SetUserLocale(user);

    QCOMPARE(modLanguage::GetLanguageId(), configured != 0 ? configured : user);
    QCOMPARE(modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet")), !expected.isEmpty());
    QCOMPARE(modLanguage::IsLanguageLibraryLoaded(), !expected.isEmpty());
    QCOMPARE(modLanguage::GetLangString(220), expected);
}

void TestModLanguage::configuredLocaleId_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("valueType");
    QTest::addColumn<int>("expected");
    QTest::newRow("absent") << QVariant() << 4 << -1;
    QTest::newRow("French") << QVariant(1036) << 4 << 1036;
    QTest::newRow("English") << QVariant(1033) << 4 << 1033;
    QTest::newRow("number as text") << QVariant("1036") << 1 << 1036;
    QTest::newRow("empty text") << QVariant("") << 1 << -1;
    QTest::newRow("text that is no number") << QVariant("French") << 1 << -1;
}

void TestModLanguage::configuredLocaleId()
{
    QFETCH(QVariant, stored);
    QFETCH(int, valueType);
    QFETCH(int, expected);
    SetConfiguredLocale(stored, valueType);
    QCOMPARE(modLanguage::GetConfiguredLocaleId().toInt(), expected);
}

void TestModLanguage::fillsPlaceholders_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QVariantList>("args");
    QTest::addColumn<QString>("expected");

    QTest::newRow("one argument") << 1 << QVariantList{"HP 4050"} << "Printer Properties - HP 4050";
    QTest::newRow("numbers in order") << 2 << QVariantList{3, 10} << "3 of 10";
    QTest::newRow("two texts") << 3 << QVariantList{"Console", "disk full"} << "Console could not merge: disk full";
    QTest::newRow("two placeholders, one argument keeps the second") << 2 << QVariantList{7} << "7 of %s";
    QTest::newRow("more arguments than placeholders") << 1 << QVariantList{"a", "b", "c"} << "Printer Properties - a";
    QTest::newRow("no placeholder ignores arguments") << 4 << QVariantList{"x"} << "no placeholder";
    QTest::newRow("no arguments leave placeholders") << 2 << QVariantList{} << "%s of %s";
    QTest::newRow("null argument inserts nothing") << 7 << QVariantList{QVariant()} << "[]";
    // A "%s" inside a value is text, not a placeholder for the next value.
    QTest::newRow("placeholder inside a value stays") << 5 << QVariantList{"ab%s", "X"} << "Name: ab%s, X";
    QTest::newRow("placeholder inside a later value stays") << 3 << QVariantList{"C", "disk %s full"} << "C could not merge: disk %s full";
    QTest::newRow("placeholder in the argument at the start is passed") << 6 << QVariantList{"%s", "X"} << "%s!";
}

void TestModLanguage::fillsPlaceholders()
{
    QFETCH(int, id);
    QFETCH(QVariantList, args);
    QFETCH(QString, expected);
    QCOMPARE(modLanguage::GetLangString(id, args), expected);
}

void TestModLanguage::cutsLongTexts_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("length");
    QTest::newRow("510 stays") << 901 << 510;
    QTest::newRow("511 stays") << 902 << 511;
    QTest::newRow("512 cut to 511") << 903 << 511;
    QTest::newRow("placeholder beyond the cut stays unfilled") << 904 << 511;
    QTest::newRow("pair not split") << 905 << 510;
}

void TestModLanguage::cutsLongTexts()
{
    QFETCH(int, id);
    QFETCH(int, length);
    const QString text = modLanguage::GetLangString(id, QStringLiteral("ARG"));
    QCOMPARE(text.size(), length);
    QVERIFY(!text.contains(QStringLiteral("ARG")));
    QCOMPARE(text, FixtureText(id).left(length));
}

void TestModLanguage::unknownIdIsEmpty()
{
    QVERIFY(modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet")));
    QVERIFY(modLanguage::GetLangString(99999).isEmpty());
    QVERIFY(modLanguage::GetLangString(0).isEmpty());
    QVERIFY(modLanguage::GetLangString(-220).isEmpty());
    QCOMPARE(modLanguage::GetLangString(220), QStringLiteral("EN"));
}

void TestModLanguage::missingTableGivesEmptyTextsUntilItAppears()
{
    const QString folder = Fixture(QStringLiteral("late"));
    modLanguage::ResetForTesting(folder);
    QVERIFY(!modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet")));
    QVERIFY(modLanguage::GetLangString(220).isEmpty());
    QVERIFY(modLanguage::GetLangString(1, "x").isEmpty());

    QVERIFY(WriteTable(folder, 1033, {{220, QStringLiteral("late")}}));
    QCOMPARE(modLanguage::GetLangString(220), QStringLiteral("late"));
    QVERIFY(modLanguage::IsLanguageLibraryLoaded());
}

void TestModLanguage::unloadedTableIsLoadedAgainOnDemand()
{
    QVERIFY(modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet")));
    modLanguage::UnloadLanguageLibrary();
    QVERIFY(!modLanguage::IsLanguageLibraryLoaded());
    QCOMPARE(modLanguage::GetLangString(220), QStringLiteral("EN"));

    // Without a remembered module name there is nothing to load.
    modLanguage::ResetForTesting(Fixture(QStringLiteral("both")));
    QVERIFY(modLanguage::GetLangString(220).isEmpty());
    QVERIFY(!modLanguage::IsLanguageLibraryLoaded());
}

void TestModLanguage::brokenTableReadsAsMissing_data()
{
    QFile good(Fixture(QStringLiteral("both/1033/devfleetLangRes.qm")));
    QVERIFY(good.open(QIODevice::ReadOnly));
    const QByteArray qm = good.readAll();
    QVERIFY(qm.size() > 64);

    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("text instead of a table") << QByteArray("this is not a string table\n");
    QTest::newRow("magic only") << qm.left(16);
    QTest::newRow("cut after the magic") << qm.left(20);
    QTest::newRow("cut in the middle") << qm.left(qm.size() / 2);
    QTest::newRow("last byte missing") << qm.left(qm.size() - 1);
    QByteArray scrambled = qm;
    for (qsizetype i = 16; i < scrambled.size(); i += 3)
        scrambled[i] = char(0xFF);
    QTest::newRow("scrambled sections") << scrambled;
}

void TestModLanguage::brokenTableReadsAsMissing()
{
    QFETCH(QByteArray, content);
    const QString folder = Fixture(QStringLiteral("broken"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/1033")));
    QFile f(folder + QStringLiteral("/1033/devfleetLangRes.qm"));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
    f.close();

    modLanguage::ResetForTesting(folder);
    modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet"));
    for (int id : {1, 2, 220, 901, 905})
        QVERIFY(modLanguage::GetLangString(id, "x", "y").isEmpty());
}

void TestModLanguage::languageFolderIsFoundFromTheBinary()
{
    modLanguage::ResetForTesting(QString());
    const QString found = modLanguage::GetLanguageFolder();
    QCOMPARE(QFileInfo(found).canonicalFilePath(), QFileInfo(QStringLiteral(QM6_BUILD_LANG_DIR)).canonicalFilePath());
    QCOMPARE(modLanguage::GetLanguageFolder(), found);
}

void TestModLanguage::fileExists_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("exists");
    QTest::newRow("file") << Fixture(QStringLiteral("both/1033/devfleetLangRes.qm")) << true;
    QTest::newRow("folder") << Fixture(QStringLiteral("both/1036")) << true;
    QTest::newRow("missing") << Fixture(QStringLiteral("both/1031")) << false;
    QTest::newRow("empty path") << QString() << false;
}

void TestModLanguage::fileExists()
{
    QFETCH(QString, path);
    QFETCH(bool, exists);
    QCOMPARE(modLanguage::FileExists(path), exists);
}

void TestModLanguage::shippedTablesHoldEveryUsedId_data()
{
    QTest::addColumn<int>("lcid");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("placeholders");
    for (int lcid : {1033, 1036})
        for (const auto &[id, n] : UsedIds())
            QTest::addRow("%d/%d", lcid, id) << lcid << id << n;
}

void TestModLanguage::shippedTablesHoldEveryUsedId()
{
    QFETCH(int, lcid);
    QFETCH(int, id);
    QFETCH(int, placeholders);
    static QMap<int, std::shared_ptr<QTranslator>> tables;
    if (!tables.contains(lcid)) {
        auto t = std::make_shared<QTranslator>();
        QVERIFY(t->load(QStringLiteral(QM6_BUILD_LANG_DIR "/%1/devfleetLangRes.qm").arg(lcid)));
        tables.insert(lcid, t);
    }
    const QString text = tables.value(lcid)->translate(nullptr, QByteArray::number(id).constData());
    QVERIFY2(!text.trimmed().isEmpty(), "no text");
    QCOMPARE(PlaceholderCount(text), placeholders);
    QVERIFY(text.size() <= 511);
}

void TestModLanguage::shippedFrenchTableThroughTheModule()
{
    modLanguage::ResetForTesting(QStringLiteral(QM6_BUILD_LANG_DIR));
    SetUserLocale(1036);
    QVERIFY(modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet")));
    QCOMPARE(modLanguage::GetLangString(220), QStringLiteral("Imprimantes"));
    QCOMPARE(modLanguage::GetLangString(1402, 3, 10), QStringLiteral("3 sur 10"));
    QVERIFY(modLanguage::GetLangString(127).isEmpty()); // ids no screen uses are not shipped
    SetUserLocale(1033);
    QVERIFY(modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet")));
    QCOMPARE(modLanguage::GetLangString(1402, 3, 10), QStringLiteral("3 of 10"));
    QCOMPARE(modLanguage::GetLangString(143), QStringLiteral("&Save"));
}

QTEST_GUILESS_MAIN(TestModLanguage)
#include "tst_modlanguage.moc"
