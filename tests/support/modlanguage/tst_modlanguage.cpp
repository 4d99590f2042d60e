// Texts by number from the string table of the user's language.
#include "clsregistry.h"
#include "win32locale.h"
#include "modlanguage.h"
#include "modstringtable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtEndian>
#include <QtTest>

namespace {

// Compiles a table of (id, text) pairs into <folder>/<lcid>/devfleetLangRes.qm.
bool WriteTable(const QString &folder, int lcid, const QList<QPair<int, QString>> &texts)
{
    const QString dir = folder + QLatin1Char('/') + QString::number(lcid);
    QFile f(dir + QStringLiteral("/devfleetLangRes.ts"));
    if (!QDir().mkpath(dir) || !f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    // The language as the shipped tables name it, so that the table has the same blocks.
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
                                 "<TS version=\"2.1\" language=\"%1\" sourcelanguage=\"en_US\">\n"
                                 "<context>\n<name></name>\n")
                      .arg(qm6loc::LCIDToLocale(qm6loc::LCID(lcid)).name());
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

// Reads the string tables from another folder, as an installation may, and drops the table
// loaded from the folder before.
void UseLanguageFolder(const QString &folder)
{
    if (folder.isNull())
        qunsetenv("QM6_LANG_DIR");
    else
        qputenv("QM6_LANG_DIR", QFile::encodeName(folder));
    modLanguage::UnloadLanguageLibrary();
}

bool WriteFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(content) == content.size();
}

// Where the fields of a compiled table are, to damage them one byte at a time: the blocks, and
// the length fields of the first message by field tag.
struct TableLayout {
    QMap<int, qsizetype> blocks;       // block tag -> offset of the tag byte
    QMap<int, qsizetype> firstMessage; // field tag -> offset of its 32-bit length
};

TableLayout Layout(const QByteArray &qm)
{
    TableLayout layout;
    for (qsizetype p = 16; p + 5 <= qm.size();) {
        layout.blocks.insert(uchar(qm[p]), p);
        p += 5 + qFromBigEndian<quint32>(qm.constData() + p + 1);
    }
    for (qsizetype m = layout.blocks.value(0x69) + 5; uchar(qm[m]) != 1;) {
        const int tag = uchar(qm[m++]);
        layout.firstMessage.insert(tag, m);
        m += 4 + qFromBigEndian<quint32>(qm.constData() + m);
    }
    return layout;
}

// Every id that the page, the editor (with its history list), the batch form and the progress
// window show, with the number of "%s" that the caller fills.
QList<QPair<int, int>> UsedIds()
{
    const QMap<int, int> args{{159, 1},  {160, 2},  {205, 1},  {207, 1},  {209, 1},  {212, 2},  {222, 1},
                              {233, 2},  {1402, 2}, {1503, 1}, {1504, 1}, {1506, 1}, {1507, 1}, {1508, 1},
                              {1509, 2}, {1510, 2}, {1511, 1}, {1513, 3}, {1514, 2}, {1515, 2}, {1516, 1}, {1520, 1}};
    QList<QPair<int, int>> ids;
    const std::pair<int, int> ranges[]{{1, 9},       {100, 126},   {128, 128},  {137, 168},
                                       {200, 235},   {1400, 1403}, {1500, 1520}, {1530, 1552}};
    for (const auto &[from, to] : ranges)
        for (int i = from; i <= to; ++i)
            ids.append({i, args.value(i, 0)});
    return ids;
}

} // namespace

class TestModLanguage : public QObject {
    Q_OBJECT
    QString Fixture(const QString &name) const { return m_tmp.filePath(name); }
    // The English test table as compiled, to damage.
    QByteArray GoodTable() const
    {
        QFile good(Fixture(QStringLiteral("both/1033/devfleetLangRes.qm")));
        return good.open(QIODevice::ReadOnly) ? good.readAll() : QByteArray();
    }
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
        UseLanguageFolder(Fixture(QStringLiteral("both")));
        modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet"));
    }

    void cleanupTestCase() { UseLanguageFolder(QString()); }

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
        UseLanguageFolder(Fixture(folder));
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
        UseLanguageFolder(folder);
        QVERIFY(!modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet")));
        QVERIFY(modLanguage::GetLangString(1, "x").isEmpty());
        QVERIFY(WriteTable(folder, 1033, {{220, QStringLiteral("late")}}));
        QCOMPARE(modLanguage::GetLangString(220), QStringLiteral("late"));
        QVERIFY(modLanguage::IsLanguageLibraryLoaded());
        modLanguage::UnloadLanguageLibrary();
        QVERIFY(!modLanguage::IsLanguageLibraryLoaded());
        QCOMPARE(modLanguage::GetLangString(220), QStringLiteral("late"));
        // Without a module name there is nothing to load.
        QVERIFY(!modLanguage::LoadLanguageLibrary(QString()));
        QVERIFY(modLanguage::GetLangString(220).isEmpty());
        QVERIFY(!modLanguage::IsLanguageLibraryLoaded());
    }

    void brokenTableReadsAsMissing_data()
    {
        const QByteArray qm = GoodTable();
        QVERIFY(qm.size() > 64);
        const TableLayout at = Layout(qm);
        QVERIFY(at.blocks.contains(0x42) && at.blocks.contains(0x69) && at.blocks.contains(0xa7));
        QVERIFY(at.firstMessage.contains(3) && at.firstMessage.contains(6) && at.firstMessage.contains(8));
        const auto changed = [&qm](qsizetype at, uchar value) {
            QByteArray b = qm;
            b[at] = char(value);
            return b;
        };
        const auto appended = [&qm](const QByteArray &block) { return qm + block; };
        QByteArray scrambled = qm;
        for (qsizetype i = 16; i < scrambled.size(); i += 3)
            scrambled[i] = char(0xFF);
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("text instead of a table") << QByteArray("this is not a string table\n");
        QTest::newRow("cut in the middle") << qm.left(qm.size() / 2);
        QTest::newRow("last byte missing") << qm.left(qm.size() - 1);
        QTest::newRow("scrambled sections") << scrambled;
        // One changed byte each; the first two crash Qt's own lookup.
        QTest::newRow("source text longer than the table") << changed(at.firstMessage[6], 0x7f);
        QTest::newRow("comment longer than the table") << changed(at.firstMessage[8], 0x10);
        QTest::newRow("translation longer than the table") << changed(at.firstMessage[3], 0x7f);
        QTest::newRow("message without its end") << changed(at.firstMessage[6] + 5, 0x02);
        QTest::newRow("hash entry into the middle of a message") << changed(at.blocks[0x42] + 5 + 7, 0x01);
        QTest::newRow("message block past the end") << changed(at.blocks[0x69] + 1, 0x01);
        QTest::newRow("language block turned into a dependency") << changed(at.blocks[0xa7], 0x96);
        // A context table Qt divides by its bucket count, or walks off the end of.
        QTest::newRow("context table without buckets") << appended(QByteArray::fromHex("2f000000020000"));
        QTest::newRow("context list without its end")
            << appended(QByteArray::fromHex("2f0000000a") + QByteArray::fromHex("000100010000") + QByteArray("\x03" "abc"));
        // The bucket's list runs past the block; a walk one unit (two bytes) later would end at once.
        QTest::newRow("context list past its block, an end one unit on")
            << appended(QByteArray::fromHex("2f0000000a") + QByteArray::fromHex("000100010000") + QByteArray::fromHex("05610061"));
    }

    // A damaged table gives the empty texts of a missing one, and is never handed to Qt.
    void brokenTableReadsAsMissing()
    {
        QFETCH(QByteArray, content);
        const QString folder = Fixture(QStringLiteral("broken/") + QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(WriteFile(folder + QStringLiteral("/1033/devfleetLangRes.qm"), content));
        UseLanguageFolder(folder);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("devfleetLangRes.qm is not used")));
        QVERIFY(!modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet")));
        for (int id : {1, 2, 3, 5, 7, 220, 902, 905})
            QVERIFY(modLanguage::GetLangString(id, "x", "y").isEmpty());
        QVERIFY(!modLanguage::IsLanguageLibraryLoaded());
    }

    // The refusal names the place, so that whoever built the table can find the fault.
    void refusalNamesTheDamagedHashEntry()
    {
        QByteArray qm = GoodTable();
        const TableLayout at = Layout(qm);
        QVERIFY(at.blocks.contains(0x42));
        qm[at.blocks[0x42] + 5 + 8 + 7] = char(0x01);   // the message offset of the second entry
        QString error;
        QVERIFY(!modStringTable::IsValidStringTable(qm.constData(), qm.size(), &error));
        QVERIFY2(error.contains(QStringLiteral("hash entry 1 points at")), qPrintable(error));
    }

    // A whole context table: its bucket's offset counts 16-bit units from the start of the
    // lists, and the list it finds ends inside the block.
    void wholeContextTableIsAccepted()
    {
        const QByteArray table = GoodTable() + QByteArray::fromHex("2f0000000b") + QByteArray::fromHex("000100010000") +
                                 QByteArray("\x03" "abc") + QByteArray(1, '\0');
        QString error;
        QVERIFY2(modStringTable::IsValidStringTable(table.constData(), table.size(), &error), qPrintable(error));
    }

    // A table of no blocks at all is whole, and holds no texts.
    void tableWithoutTexts()
    {
        const QString folder = Fixture(QStringLiteral("magicOnly"));
        QVERIFY(WriteFile(folder + QStringLiteral("/1033/devfleetLangRes.qm"), GoodTable().left(16)));
        UseLanguageFolder(folder);
        QVERIFY(modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet")));
        QVERIFY(modLanguage::GetLangString(220).isEmpty());
    }

    // A refused table is not read again while it keeps its size and time; a changed one is.
    void brokenTableIsReadAgainOnlyWhenChanged()
    {
        const QByteArray qm = GoodTable();
        QByteArray broken = qm;
        broken[Layout(qm).firstMessage[6]] = char(0x7f);
        const QString path = Fixture(QStringLiteral("mended/1033/devfleetLangRes.qm"));
        QVERIFY(WriteFile(path, broken));
        const QDateTime stamp = QFileInfo(path).lastModified();
        UseLanguageFolder(Fixture(QStringLiteral("mended")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("is not used")));
        QTest::failOnWarning(QRegularExpression(QStringLiteral("is not used")));
        QVERIFY(!modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet")));
        QVERIFY(modLanguage::GetLangString(220).isEmpty());
        // The good bytes under the refused file's size and time: still the refused file.
        QVERIFY(WriteFile(path, qm));
        QFile mended(path);
        QVERIFY(mended.open(QIODevice::ReadWrite));
        QVERIFY(mended.setFileTime(stamp, QFileDevice::FileModificationTime));
        mended.close();
        QVERIFY(modLanguage::GetLangString(220).isEmpty());
        QVERIFY(!modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet")));
        QVERIFY(!modLanguage::IsLanguageLibraryLoaded());
        // A new time: read again, and good.
        QVERIFY(mended.open(QIODevice::ReadWrite));
        QVERIFY(mended.setFileTime(stamp.addSecs(1), QFileDevice::FileModificationTime));
        mended.close();
        QCOMPARE(modLanguage::GetLangString(220), QStringLiteral("EN"));
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
        QCOMPARE(modLanguage::GetLanguageFolder(), Fixture(QStringLiteral("both")));
        UseLanguageFolder(QString());
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
