// Texts by number from the string table of the user's language.
#include "clsregistry.h"
#include "win32locale.h"
#include "modlanguage.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

namespace {

// Compiles a table of (id, text) pairs into <folder>/<lcid>/devfleetLangRes.qm.
bool WriteTable(const QString &folder, int lcid, const QList<QPair<int, QString>> &texts)
{
    const QString dir = folder + QLatin1Char('/') + QString::number(lcid);
    QFile f(dir + QStringLiteral("/devfleetLangRes.ts"));
    if (!QDir().mkpath(dir) || !f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
                                 "<TS version=\"2.1\" sourcelanguage=\"en_US\">\n<context>\n<name></name>\n");
    for (const auto &[id, text] : texts)
        xml += QStringLiteral("<message id=\"%1\"><source>%2</source><translation>%2</translation></message>\n")
                   .arg(id)
                   .arg(text.toHtmlEscaped());
    f.write((xml + QStringLiteral("</context>\n</TS>\n")).toUtf8());
    f.close();
    QProcess p;
    p.start(QStringLiteral(QM6_LRELEASE), {QStringLiteral("-silent"), QStringLiteral("-idbased"), QStringLiteral("-nounfinished"),
                                           f.fileName(), QStringLiteral("-qm"), dir + QStringLiteral("/devfleetLangRes.qm")});
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Stores LocaleId as a number (type 4) or as text (type 1); an invalid value removes it.
void SetConfiguredLocale(const QVariant &value, int valueType = 4)
{
    clsRegistry reg;
    reg.SetClassKey(0x80000001u); // HKEY_CURRENT_USER
    reg.SetSectionKey(QStringLiteral("Software\\Quillmark 6"));
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

// Every id that the page, the editor, the batch form and the progress window show, with the
// number of "%s" that the caller fills.
QList<QPair<int, int>> UsedIds()
{
    const QMap<int, int> args{{159, 1}, {160, 2}, {205, 1}, {207, 1}, {209, 1}, {212, 2}, {222, 1}, {1402, 2}};
    QList<QPair<int, int>> ids;
    const std::pair<int, int> ranges[]{{1, 9}, {100, 126}, {128, 128}, {137, 168}, {200, 227}, {1400, 1403}};
    for (const auto &[from, to] : ranges)
        for (int i = from; i <= to; ++i)
            ids.append({i, args.value(i, 0)});
    return ids;
}

} // namespace

class TestModLanguage : public QObject {
    Q_OBJECT
    QString Fixture(const QString &name) const { return m_tmp.filePath(name); }
    QTemporaryDir m_tmp;
    QTemporaryDir m_registry;

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid() && m_registry.isValid());
        qputenv("QM6_REGISTRY_DIR", m_registry.path().toLocal8Bit());
        const QList<QPair<int, QString>> english{
            {1, QStringLiteral("Printer Properties - %s")},
            {2, QStringLiteral("%s of %s")},
            {3, QStringLiteral("%s could not merge: %s")},
            {5, QStringLiteral("Name: %s, %s")},
            {7, QStringLiteral("[%s]")},
            {220, QStringLiteral("EN")},
            {902, QString(511, QLatin1Char('b'))},
            {903, QString(512, QLatin1Char('c'))},
            {904, QString(700, QLatin1Char('d')) + QStringLiteral("%s")},
            // A character outside the basic plane straddles the cut.
            {905, QString(510, QLatin1Char('e')) + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("tail")},
        };
        const QList<QPair<int, QString>> french{{220, QStringLiteral("FR")}};
        QVERIFY(WriteTable(Fixture(QStringLiteral("both")), 1033, english));
        QVERIFY(WriteTable(Fixture(QStringLiteral("both")), 1036, french));
        QVERIFY(WriteTable(Fixture(QStringLiteral("englishOnly")), 1033, english));
        QVERIFY(WriteTable(Fixture(QStringLiteral("frenchOnly")), 1036, french));
    }

    void init()
    {
        SetConfiguredLocale(QVariant());
        SetUserLocale(1033);
        modLanguage::ResetForTesting(Fixture(QStringLiteral("both")));
        modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet"));
    }

    void cleanupTestCase() { modLanguage::ResetForTesting(); }

    void tableFollowsLocale_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QVariant>("configured"); // the LocaleId value; a text is stored as text
        QTest::addColumn<int>("user");
        QTest::addColumn<QString>("expected");
        QTest::newRow("user French, French present") << "both" << QVariant() << 1036 << "FR";
        QTest::newRow("user French, only English") << "englishOnly" << QVariant() << 1036 << "EN";
        QTest::newRow("user German falls back to English") << "both" << QVariant() << 1031 << "EN";
        QTest::newRow("configured English tries only English") << "frenchOnly" << QVariant(1033) << 1036 << "";
        QTest::newRow("configured French beats user English") << "both" << QVariant(1036) << 1033 << "FR";
        QTest::newRow("configured German falls back to English") << "both" << QVariant(1031) << 1036 << "EN";
        QTest::newRow("configured as text") << "both" << QVariant("1036") << 1033 << "FR";
        QTest::newRow("configured text that is no number") << "both" << QVariant("French") << 1036 << "FR";
    }

    void tableFollowsLocale()
    {
        QFETCH(QString, folder);
        QFETCH(QVariant, configured);
        QFETCH(int, user);
        QFETCH(QString, expected);
        modLanguage::ResetForTesting(Fixture(folder));
        SetConfiguredLocale(configured, configured.typeId() == QMetaType::QString ? 1 : 4);
        SetUserLocale(user);
        QCOMPARE(modLanguage::GetLanguageId(), configured.toInt() > 0 ? configured.toInt() : user);
        QCOMPARE(modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet")), !expected.isEmpty());
        QCOMPARE(modLanguage::IsLanguageLibraryLoaded(), !expected.isEmpty());
        QCOMPARE(modLanguage::GetLangString(220), expected);
    }

    void texts_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one argument") << 1 << QVariantList{"HP 4050"} << "Printer Properties - HP 4050";
        QTest::newRow("numbers in order") << 2 << QVariantList{3, 10} << "3 of 10";
        QTest::newRow("two placeholders, one argument keeps the second") << 2 << QVariantList{7} << "7 of %s";
        QTest::newRow("more arguments than placeholders") << 1 << QVariantList{"a", "b", "c"} << "Printer Properties - a";
        QTest::newRow("no arguments leave placeholders") << 2 << QVariantList{} << "%s of %s";
        QTest::newRow("null argument inserts nothing") << 7 << QVariantList{QVariant()} << "[]";
        // A "%s" inside a value is text, not a placeholder for the next value.
        QTest::newRow("placeholder inside a value stays") << 5 << QVariantList{"ab%s", "X"} << "Name: ab%s, X";
        QTest::newRow("placeholder inside a later value stays") << 3 << QVariantList{"C", "disk %s full"} << "C could not merge: disk %s full";
        QTest::newRow("511 stays") << 902 << QVariantList{"ARG"} << QString(511, QLatin1Char('b'));
        QTest::newRow("512 cut to 511") << 903 << QVariantList{"ARG"} << QString(511, QLatin1Char('c'));
        QTest::newRow("placeholder beyond the cut stays unfilled") << 904 << QVariantList{"ARG"} << QString(511, QLatin1Char('d'));
        QTest::newRow("pair not split") << 905 << QVariantList{"ARG"} << QString(510, QLatin1Char('e'));
        QTest::newRow("unknown id") << 99999 << QVariantList{} << "";
        QTest::newRow("negative id") << -220 << QVariantList{} << "";
    }

    void texts()
    {
        QFETCH(int, id);
        QFETCH(QVariantList, args);
        QFETCH(QString, expected);
        QCOMPARE(modLanguage::GetLangString(id, args), expected);
    }

    // No table: empty texts, until the file appears. Unloaded: loaded again on the next text.
    void tableIsLoadedOnDemand()
    {
        const QString folder = Fixture(QStringLiteral("late"));
        modLanguage::ResetForTesting(folder);
        QVERIFY(!modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet")));
        QVERIFY(modLanguage::GetLangString(1, "x").isEmpty());
        QVERIFY(WriteTable(folder, 1033, {{220, QStringLiteral("late")}}));
        QCOMPARE(modLanguage::GetLangString(220), QStringLiteral("late"));
        QVERIFY(modLanguage::IsLanguageLibraryLoaded());
        modLanguage::UnloadLanguageLibrary();
        QVERIFY(!modLanguage::IsLanguageLibraryLoaded());
        QCOMPARE(modLanguage::GetLangString(220), QStringLiteral("late"));
        // Without a remembered module name there is nothing to load.
        modLanguage::ResetForTesting(folder);
        QVERIFY(modLanguage::GetLangString(220).isEmpty());
        QVERIFY(!modLanguage::IsLanguageLibraryLoaded());
    }

    void brokenTableReadsAsMissing_data()
    {
        QFile good(Fixture(QStringLiteral("both/1033/devfleetLangRes.qm")));
        QVERIFY(good.open(QIODevice::ReadOnly));
        const QByteArray qm = good.readAll();
        QVERIFY(qm.size() > 64);
        QByteArray scrambled = qm;
        for (qsizetype i = 16; i < scrambled.size(); i += 3)
            scrambled[i] = char(0xFF);
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("text instead of a table") << QByteArray("this is not a string table\n");
        QTest::newRow("magic only") << qm.left(16);
        QTest::newRow("cut in the middle") << qm.left(qm.size() / 2);
        QTest::newRow("last byte missing") << qm.left(qm.size() - 1);
        QTest::newRow("scrambled sections") << scrambled;
    }

    void brokenTableReadsAsMissing()
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
        for (int id : {1, 2, 220, 902, 905})
            QVERIFY(modLanguage::GetLangString(id, "x", "y").isEmpty());
    }

    void shippedTablesHoldEveryUsedId_data()
    {
        QTest::addColumn<int>("lcid");
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("placeholders");
        for (int lcid : {1033, 1036})
            for (const auto &[id, n] : UsedIds())
                QTest::addRow("%d/%d", lcid, id) << lcid << id << n;
    }

    void shippedTablesHoldEveryUsedId()
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
        QCOMPARE(int(text.count(QStringLiteral("%s"))), placeholders);
        QVERIFY(text.size() <= 511);
    }

    // The shipped tables, from the language folder found next to the binary.
    void shippedTablesThroughTheModule()
    {
        modLanguage::ResetForTesting(QString());
        QCOMPARE(QFileInfo(modLanguage::GetLanguageFolder()).canonicalFilePath(),
                 QFileInfo(QStringLiteral(QM6_BUILD_LANG_DIR)).canonicalFilePath());
        SetUserLocale(1036);
        QVERIFY(modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet")));
        QCOMPARE(modLanguage::GetLangString(220), QStringLiteral("Imprimantes"));
        QCOMPARE(modLanguage::GetLangString(1402, 3, 10), QStringLiteral("3 sur 10"));
        QVERIFY(modLanguage::GetLangString(127).isEmpty()); // ids no screen uses are not shipped
        SetUserLocale(1033);
        QVERIFY(modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet")));
        QCOMPARE(modLanguage::GetLangString(1402, 3, 10), QStringLiteral("3 of 10"));
    }
};

QTEST_GUILESS_MAIN(TestModLanguage)
#include "tst_modlanguage.moc"
