// clsRegistry against a registry store in a temporary folder.
#include "clsregistry.h"
#include "win32registry.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace qm6reg;

namespace {

const QString kSection = QStringLiteral("Software\\Quillmark 6\\test");
const QString kMissingFile = QStringLiteral("The system cannot find the file specified.");

void writeRaw(const QString &section, const QByteArray &name, DWORD type, const QByteArray &data)
{
    HKEY h = 0;
    QCOMPARE(RegCreateKeyExA(HKEY_CURRENT_USER, section.toUtf8().constData(), 0, nullptr, 0, KEY_WRITE, nullptr, &h,
                             nullptr),
             ERROR_SUCCESS);
    QCOMPARE(RegSetValueExA(h, name.constData(), 0, type, reinterpret_cast<const BYTE *>(data.constData()),
                            DWORD(data.size())),
             ERROR_SUCCESS);
    RegCloseKey(h);
}

bool readRaw(const QString &section, const QByteArray &name, DWORD *type, QByteArray *data)
{
    HKEY h = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, section.toUtf8().constData(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    DWORD cb = 0;
    LONG rc = RegQueryValueExA(h, name.constData(), nullptr, type, nullptr, &cb);
    data->resize(cb);
    if (rc == ERROR_SUCCESS)
        rc = RegQueryValueExA(h, name.constData(), nullptr, type, reinterpret_cast<LPBYTE>(data->data()), &cb);
    RegCloseKey(h);
    return rc == ERROR_SUCCESS;
}

} // namespace

class tst_clsRegistry : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void getValueMissing_data();
    void getValueMissing();
    void getValueOrDefault_data();
    void getValueOrDefault();
    void stringsLoseEmbeddedNuls_data();
    void stringsLoseEmbeddedNuls();
    void expandableDetection_data();
    void expandableDetection();
    void expandableIsExpandedOnRead();
    void dwordTypes_data();
    void dwordTypes();
    void binaryRoundTrip();
    void setValueRefusals_data();
    void setValueRefusals();
    void setValueOnMissingKey();
    void stringLengthPerPlatform_data();
    void stringLengthPerPlatform();
    void setCreateValueMakesKey();
    void enumerate();
    void enumerateLongMultibyteSection();
    void enumerateMissingKey();
    void deleteKeyRecursive_data();
    void deleteKeyRecursive();
    void deleteKeyFailures();
    void deleteValue();
    void checkSecurity_data();
    void checkSecurity();
    void unknownPlatformIsReported();
    void corruptStore();

private:
    QTemporaryDir *m_dir = nullptr;
};

void tst_clsRegistry::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    qputenv("QM6_REGISTRY_DIR", m_dir->path().toUtf8());
    qunsetenv("QM6_PLATFORM_ID");
}

void tst_clsRegistry::cleanup()
{
    qunsetenv("QM6_PLATFORM_ID");
    delete m_dir;
}

void tst_clsRegistry::getValueMissing_data()
{
    QTest::addColumn<bool>("keyExists");
    QTest::addColumn<QVariant>("defaultValue");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("missing key, Default ignored") << false << QVariant(5) << QVariant();
    QTest::newRow("missing value gives Default") << true << QVariant(5) << QVariant(5);
    QTest::newRow("missing value, null Default") << true << QVariant() << QVariant();
}

void tst_clsRegistry::getValueMissing()
{
    QFETCH(bool, keyExists);
    QFETCH(QVariant, defaultValue);
    QFETCH(QVariant, expected);
    if (keyExists)
        writeRaw(kSection, "Other", REG_SZ, "x");
    clsRegistry reg;
    reg.SetClassKey(quint32(HKEY_CURRENT_USER));
    reg.SetSectionKey(kSection);
    reg.SetValueKey(QStringLiteral("LocaleId"));
    reg.SetDefault(defaultValue);
    QString err = QStringLiteral("unchanged");
    const QVariant v = reg.GetValue(&err);
    QCOMPARE(v, expected);
    QCOMPARE(v.isValid(), expected.isValid());
    QCOMPARE(err, QStringLiteral("Error retrieving value: ") + kMissingFile);
    QCOMPARE(reg.KeyExists(&err), keyExists);
    QCOMPARE(err, keyExists ? QString() : kMissingFile);
}

void tst_clsRegistry::getValueOrDefault_data()
{
    QTest::addColumn<bool>("keyExists");
    QTest::addColumn<bool>("valueExists");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("missing key") << false << false << QVariant(QStringLiteral("dflt"));
    QTest::newRow("missing value") << true << false << QVariant(QStringLiteral("dflt"));
    QTest::newRow("present") << true << true << QVariant(QStringLiteral("stored"));
}

void tst_clsRegistry::getValueOrDefault()
{
    QFETCH(bool, keyExists);
    QFETCH(bool, valueExists);
    QFETCH(QVariant, expected);
    if (keyExists)
        writeRaw(kSection, valueExists ? "Name" : "Other", REG_SZ, "stored");
    clsRegistry reg;
    reg.SetClassKey(quint32(HKEY_CURRENT_USER));
    reg.SetSectionKey(kSection);
    QString err;
    QCOMPARE(reg.GetValueOrDefault(QStringLiteral("Name"), QStringLiteral("dflt"), &err), expected);
    QCOMPARE(reg.ValueKey(), QStringLiteral("Name"));
    QCOMPARE(err.isEmpty(), valueExists);
}

void tst_clsRegistry::stringsLoseEmbeddedNuls_data()
{
    QTest::addColumn<uint>("type");
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QString>("expected");
    QTest::newRow("terminated") << uint(REG_SZ) << QByteArray("abc\0", 4) << QStringLiteral("abc");
    QTest::newRow("embedded") << uint(REG_SZ) << QByteArray("a\0b\0c", 5) << QStringLiteral("abc");
    QTest::newRow("blanks trimmed") << uint(REG_SZ) << QByteArray("  x y \0", 7) << QStringLiteral("x y");
    QTest::newRow("multi-string joined") << uint(REG_MULTI_SZ) << QByteArray("one\0two\0\0", 9)
                                         << QStringLiteral("onetwo");
    QTest::newRow("empty") << uint(REG_SZ) << QByteArray() << QString();
    QTest::newRow("UTF-8") << uint(REG_SZ) << QByteArray("caf\xc3\xa9\0", 6) << QStringLiteral("caf\u00e9");
}

void tst_clsRegistry::stringsLoseEmbeddedNuls()
{
    QFETCH(uint, type);
    QFETCH(QByteArray, raw);
    QFETCH(QString, expected);
    writeRaw(kSection, "Text", type, raw);
    clsRegistry reg;
    reg.SetClassKey(quint32(HKEY_CURRENT_USER));
    reg.SetSectionKey(kSection);
    reg.SetValueKey(QStringLiteral("Text"));
    QString err = QStringLiteral("unchanged");
    const QVariant v = reg.GetValue(&err);
    QCOMPARE(v.typeId(), int(QMetaType::QString));
    QCOMPARE(v.toString(), expected);
    QCOMPARE(err, QString());
    QCOMPARE(reg.ValueType(), qint32(type));
}

void tst_clsRegistry::expandableDetection_data()
{
    QTest::addColumn<int>("valueType");
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("stored");
    QTest::newRow("name between signs") << 1 << QStringLiteral("%TEMP%\\x") << uint(REG_EXPAND_SZ);
    QTest::newRow("one-letter name") << 1 << QStringLiteral("%a%") << uint(REG_EXPAND_SZ);
    QTest::newRow("three signs") << 1 << QStringLiteral("%%%") << uint(REG_EXPAND_SZ);
    QTest::newRow("single sign") << 1 << QStringLiteral("50% off") << uint(REG_SZ);
    QTest::newRow("adjacent signs only") << 1 << QStringLiteral("a%%b") << uint(REG_SZ);
    QTest::newRow("no sign") << 1 << QStringLiteral("plain") << uint(REG_SZ);
    QTest::newRow("type 2 without signs") << 2 << QStringLiteral("plain") << uint(REG_SZ);
    QTest::newRow("type 2 with name") << 2 << QStringLiteral("%HOME%") << uint(REG_EXPAND_SZ);
}

void tst_clsRegistry::expandableDetection()
{
    QFETCH(int, valueType);
    QFETCH(QString, text);
    QFETCH(uint, stored);
    clsRegistry reg;
    reg.SetClassKey(quint32(HKEY_CURRENT_USER));
    reg.SetSectionKey(kSection);
    reg.SetValueType(valueType);
    QString err = QStringLiteral("unchanged");
    QVERIFY(reg.SetCreateValue(QStringLiteral("Path"), text, false, &err));
    QCOMPARE(err, QString());
    DWORD type = 0;
    QByteArray data;
    QVERIFY(readRaw(kSection, "Path", &type, &data));
    QCOMPARE(type, DWORD(stored));
    QCOMPARE(data, text.toUtf8()); // no terminator on the NT family
}

void tst_clsRegistry::expandableIsExpandedOnRead()
{
    qputenv("QM6_TEST_HOME", "/srv/qm6");
    writeRaw(kSection, "Dir", REG_EXPAND_SZ, "%QM6_TEST_HOME%\\lang %QM6_TEST_UNSET%");
    clsRegistry reg;
    reg.SetClassKey(quint32(HKEY_CURRENT_USER));
    reg.SetSectionKey(kSection);
    reg.SetValueKey(QStringLiteral("Dir"));
    QCOMPARE(reg.GetValue().toString(), QStringLiteral("/srv/qm6\\lang %QM6_TEST_UNSET%"));
    QCOMPARE(reg.ValueType(), 2);
}

void tst_clsRegistry::dwordTypes_data()
{
    QTest::addColumn<int>("valueType");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QVariant>("readBack");
    QTest::newRow("4 int") << 4 << QVariant(0x01020304) << QByteArray("\x04\x03\x02\x01", 4) << QVariant(0x01020304);
    QTest::newRow("5 stored little-endian") << 5 << QVariant(0x01020304) << QByteArray("\x04\x03\x02\x01", 4)
                                            << QVariant(0x01020304);
    QTest::newRow("4 short -1") << 4 << QVariant::fromValue<short>(-1) << QByteArray("\xff\xff\xff\xff", 4)
                                << QVariant(-1);
    QTest::newRow("4 unsigned") << 4 << QVariant(0x80000000u) << QByteArray("\x00\x00\x00\x80", 4)
                                << QVariant(qint32(0x80000000u));
}

void tst_clsRegistry::dwordTypes()
{
    QFETCH(int, valueType);
    QFETCH(QVariant, value);
    QFETCH(QByteArray, raw);
    QFETCH(QVariant, readBack);
    clsRegistry reg;
    reg.SetClassKey(quint32(HKEY_CURRENT_USER));
    reg.SetSectionKey(kSection);
    reg.SetValueType(valueType);
    QString err;
    QVERIFY2(reg.SetCreateValue(QStringLiteral("Number"), value, false, &err), qPrintable(err));
    DWORD type = 0;
    QByteArray data;
    QVERIFY(readRaw(kSection, "Number", &type, &data));
    QCOMPARE(type, REG_DWORD);
    QCOMPARE(data, raw);
    QCOMPARE(reg.GetValue(), readBack);
    QCOMPARE(reg.ValueType(), 4);
}

void tst_clsRegistry::binaryRoundTrip()
{
    const QByteArray bytes("\x00\x01\xfe\xff\x00", 5);
    clsRegistry reg;
    reg.SetClassKey(quint32(HKEY_CURRENT_USER));
    reg.SetSectionKey(kSection);
    reg.SetValueType(3);
    QVERIFY(reg.SetCreateValue(QStringLiteral("Blob"), bytes, false));
    QCOMPARE(reg.GetValue(), QVariant(bytes));
    // A big-endian number written by someone else reads in the right order.
    writeRaw(kSection, "Big", REG_DWORD_BIG_ENDIAN, QByteArray("\x01\x02\x03\x04", 4));
    reg.SetValueKey(QStringLiteral("Big"));
    QCOMPARE(reg.GetValue(), QVariant(0x01020304));
    QCOMPARE(reg.ValueType(), 5);
    // Other types come back as bytes.
    writeRaw(kSection, "Q", REG_QWORD, QByteArray("12345678"));
    reg.SetValueKey(QStringLiteral("Q"));
    QCOMPARE(reg.GetValue(), QVariant(QByteArray("12345678")));
}

void tst_clsRegistry::setValueRefusals_data()
{
    QTest::addColumn<int>("valueType");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("error");
    const QString unknown = QStringLiteral("Could not set value. Unknown value type.");
    const QString invalid = QStringLiteral("Could not set value. Invalid value for set type.");
    QTest::newRow("type 7") << 7 << QVariant(QStringLiteral("a")) << unknown;
    QTest::newRow("type 0") << 0 << QVariant(QStringLiteral("a")) << unknown;
    QTest::newRow("type 6") << 6 << QVariant(QStringLiteral("a")) << unknown;
    QTest::newRow("3 with text") << 3 << QVariant(QStringLiteral("abc")) << invalid;
    QTest::newRow("4 with text") << 4 << QVariant(QStringLiteral("12")) << invalid;
    QTest::newRow("4 with double") << 4 << QVariant(1.5) << invalid;
    QTest::newRow("4 with 64-bit") << 4 << QVariant(qint64(1)) << invalid;
    QTest::newRow("5 with bool") << 5 << QVariant(true) << invalid;
    QTest::newRow("5 with null") << 5 << QVariant() << invalid;
}

void tst_clsRegistry::setValueRefusals()
{
    QFETCH(int, valueType);
    QFETCH(QVariant, value);
    QFETCH(QString, error);
    clsRegistry reg;
    reg.SetClassKey(quint32(HKEY_CURRENT_USER));
    reg.SetSectionKey(kSection);
    QVERIFY(reg.CreateKey(false));
    reg.SetValueKey(QStringLiteral("V"));
    reg.SetValueType(valueType);
    QString err;
    QVERIFY(!reg.SetValue(value, &err));
    QCOMPARE(err, error);
    DWORD type = 0;
    QByteArray data;
    QVERIFY(!readRaw(kSection, "V", &type, &data));
}

void tst_clsRegistry::setValueOnMissingKey()
{
    clsRegistry reg;
    reg.SetClassKey(quint32(HKEY_CURRENT_USER));
    reg.SetSectionKey(kSection);
    reg.SetValueKey(QStringLiteral("V"));
    reg.SetValueType(1);
    QString err;
    QVERIFY(!reg.SetValue(QStringLiteral("x"), &err));
    QCOMPARE(err, QStringLiteral("Unable to set value: ") + kMissingFile);
}

void tst_clsRegistry::stringLengthPerPlatform_data()
{
    QTest::addColumn<QByteArray>("platform");
    QTest::addColumn<QByteArray>("raw");
    QTest::newRow("NT") << QByteArray("2") << QByteArray("abc");
    QTest::newRow("9x") << QByteArray("1") << QByteArray("abc\0", 4);
}

void tst_clsRegistry::stringLengthPerPlatform()
{
    QFETCH(QByteArray, platform);
    QFETCH(QByteArray, raw);
    qputenv("QM6_PLATFORM_ID", platform);
    clsRegistry reg;
    QCOMPARE(reg.IsNT(), platform == "2");
    reg.SetClassKey(quint32(HKEY_CURRENT_USER));
    reg.SetSectionKey(kSection);
    reg.SetValueType(1);
    QVERIFY(reg.SetCreateValue(QStringLiteral("S"), QStringLiteral("abc"), false));
    DWORD type = 0;
    QByteArray data;
    QVERIFY(readRaw(kSection, "S", &type, &data));
    QCOMPARE(data, raw);
    QCOMPARE(reg.GetValue(), QVariant(QStringLiteral("abc")));
}

void tst_clsRegistry::setCreateValueMakesKey()
{
    clsRegistry reg;
    reg.SetClassKey(quint32(HKEY_CURRENT_USER));
    reg.SetSectionKey(kSection + QStringLiteral("\\deep\\er"));
    reg.SetValueType(4);
    QString err = QStringLiteral("unchanged");
    QVERIFY(reg.SetCreateValue(QStringLiteral("N"), 7, true, &err));
    QCOMPARE(err, QString());
    QVERIFY(reg.KeyExists());
    // The everyone grant was given to the new key.
    QVERIFY(RegSetKeyOwner(HKEY_CURRENT_USER, (kSection + QStringLiteral("\\deep\\er")).toUtf8().constData(),
                           "someone-else") == ERROR_SUCCESS);
    QVERIFY(reg.CheckSecurity(qint32(KEY_WRITE)));
    QVERIFY(reg.CreateKey(false, &err)); // opening the existing shared key for writing
    // An empty key name addresses the root itself.
    reg.SetSectionKey(QString());
    QVERIFY(reg.KeyExists(&err));
}

void tst_clsRegistry::enumerate()
{
    clsRegistry reg;
    reg.SetClassKey(quint32(HKEY_CURRENT_USER));
    reg.SetValueType(1);
    for (const char *sub : {"b", "A", "c"}) {
        reg.SetSectionKey(kSection + QLatin1Char('\\') + QLatin1String(sub));
        QVERIFY(reg.CreateKey(false));
    }
    reg.SetSectionKey(kSection);
    const QString longName(300, QLatin1Char('n'));
    for (const QString &v : {QStringLiteral("z"), longName, QStringLiteral("m")})
        QVERIFY(reg.SetCreateValue(v, QStringLiteral("x"), false));
    QStringList names{QStringLiteral("stale")};
    qint32 count = -1;
    QString err = QStringLiteral("unchanged");
    QVERIFY(reg.EnumerateValues(names, count, &err));
    QCOMPARE(err, QString());
    QCOMPARE(names, QStringList({QStringLiteral("z"), longName, QStringLiteral("m")}));
    QCOMPARE(count, 3);
    QVERIFY(reg.EnumerateSections(names, count, &err));
    QCOMPARE(names, QStringList({"A", "b", "c"}));
    QCOMPARE(count, 3);
    reg.SetSectionKey(kSection + QStringLiteral("\\A"));
    QVERIFY(reg.EnumerateValues(names, count));
    QCOMPARE(count, 0);
    QVERIFY(reg.EnumerateSections(names, count));
    QVERIFY(names.isEmpty());
}

void tst_clsRegistry::enumerateLongMultibyteSection()
{
    const QString longName(255, QChar(0x00e9)); // 510 bytes in UTF-8
    clsRegistry reg;
    reg.SetClassKey(quint32(HKEY_CURRENT_USER));
    reg.SetSectionKey(kSection + QLatin1Char('\\') + longName);
    QVERIFY(reg.CreateKey(false));
    reg.SetSectionKey(kSection);
    QStringList names;
    qint32 count = 0;
    QString err;
    QVERIFY2(reg.EnumerateSections(names, count, &err), qPrintable(err));
    QCOMPARE(names, QStringList{longName});
}

void tst_clsRegistry::enumerateMissingKey()
{
    clsRegistry reg;
    reg.SetClassKey(quint32(HKEY_CURRENT_USER));
    reg.SetSectionKey(QStringLiteral("Nowhere"));
    QStringList names{QStringLiteral("stale")};
    qint32 count = 9;
    QString err;
    QVERIFY(!reg.EnumerateValues(names, count, &err));
    QCOMPARE(err, QStringLiteral("Unable to enumerate values: ") + kMissingFile);
    QVERIFY(names.isEmpty());
    QCOMPARE(count, 0);
    QVERIFY(!reg.EnumerateSections(names, count, &err));
    QCOMPARE(err, QStringLiteral("Unable to enumerate sections: ") + kMissingFile);
}

void tst_clsRegistry::deleteKeyRecursive_data()
{
    QTest::addColumn<QByteArray>("platform");
    QTest::newRow("NT") << QByteArray("2");
    QTest::newRow("9x") << QByteArray("1");
}

void tst_clsRegistry::deleteKeyRecursive()
{
    QFETCH(QByteArray, platform);
    qputenv("QM6_PLATFORM_ID", platform);
    writeRaw(kSection + QStringLiteral("\\a\\b"), "v", REG_SZ, "x");
    writeRaw(kSection + QStringLiteral("-sibling"), "v", REG_SZ, "x");
    clsRegistry reg;
    reg.SetClassKey(quint32(HKEY_CURRENT_USER));
    reg.SetSectionKey(kSection);
    QString err = QStringLiteral("unchanged");
    QVERIFY(reg.DeleteKey(&err));
    QCOMPARE(err, QString());
    QVERIFY(!reg.KeyExists());
    reg.SetSectionKey(kSection + QStringLiteral("\\a\\b"));
    QVERIFY(!reg.KeyExists());
    reg.SetSectionKey(kSection + QStringLiteral("-sibling"));
    QVERIFY(reg.KeyExists());
}

void tst_clsRegistry::deleteKeyFailures()
{
    clsRegistry reg;
    reg.SetClassKey(quint32(HKEY_CURRENT_USER));
    reg.SetSectionKey(kSection);
    QString err;
    QVERIFY(!reg.DeleteKey(&err));
    QCOMPARE(err, QStringLiteral("Unable to delete key: ") + kMissingFile);
    reg.SetSectionKey(QString());
    QVERIFY(!reg.DeleteKey(&err));
    QCOMPARE(err, QStringLiteral("Unable to delete key: Access is denied."));
}

void tst_clsRegistry::deleteValue()
{
    writeRaw(kSection, "v", REG_SZ, "x");
    clsRegistry reg;
    reg.SetClassKey(quint32(HKEY_CURRENT_USER));
    reg.SetSectionKey(kSection);
    reg.SetValueKey(QStringLiteral("v"));
    QString err = QStringLiteral("unchanged");
    QVERIFY(reg.DeleteValue(&err));
    QCOMPARE(err, QString());
    QVERIFY(!reg.DeleteValue(&err));
    QCOMPARE(err, kMissingFile);
    reg.SetSectionKey(QStringLiteral("Nowhere"));
    QVERIFY(!reg.DeleteValue(&err));
    QCOMPARE(err, kMissingFile);
}

void tst_clsRegistry::checkSecurity_data()
{
    QTest::addColumn<QByteArray>("platform");
    QTest::addColumn<bool>("otherOwner");
    QTest::addColumn<bool>("everyone");
    QTest::addColumn<qint32>("desired");
    QTest::addColumn<bool>("expected");
    const qint32 read = qint32(KEY_READ), write = qint32(KEY_WRITE), all = qint32(KEY_ALL_ACCESS);
    QTest::newRow("owner write") << QByteArray("2") << false << false << write << true;
    QTest::newRow("owner all") << QByteArray("2") << false << false << all << true;
    QTest::newRow("other read") << QByteArray("2") << true << false << read << true;
    QTest::newRow("other write") << QByteArray("2") << true << false << write << false;
    QTest::newRow("other set value bit") << QByteArray("2") << true << false << qint32(KEY_SET_VALUE) << false;
    QTest::newRow("other generic read") << QByteArray("2") << true << false << qint32(GENERIC_READ) << true;
    QTest::newRow("everyone write") << QByteArray("2") << true << true << write << true;
    QTest::newRow("everyone all") << QByteArray("2") << true << true << all << true;
    QTest::newRow("9x always") << QByteArray("1") << true << false << all << true;
}

void tst_clsRegistry::checkSecurity()
{
    QFETCH(QByteArray, platform);
    QFETCH(bool, otherOwner);
    QFETCH(bool, everyone);
    QFETCH(qint32, desired);
    QFETCH(bool, expected);
    qputenv("QM6_PLATFORM_ID", platform);
    clsRegistry reg;
    reg.SetClassKey(quint32(HKEY_CURRENT_USER));
    reg.SetSectionKey(kSection);
    QString err;
    QVERIFY(reg.CreateKey(everyone, &err));
    QCOMPARE(err, QString());
    if (otherOwner)
        QCOMPARE(RegSetKeyOwner(HKEY_CURRENT_USER, kSection.toUtf8().constData(), "someone-else"), ERROR_SUCCESS);
    QCOMPARE(reg.CheckSecurity(desired), expected);
}

void tst_clsRegistry::unknownPlatformIsReported()
{
    qputenv("QM6_PLATFORM_ID", "3");
    QTest::ignoreMessage(QtWarningMsg, "clsRegistry::Initialize() - Unknown platform type.");
    clsRegistry reg;
    QVERIFY(!reg.IsNT());
    QVERIFY(reg.Default().isNull());
    QCOMPARE(reg.ClassKey(), 0u);
}

void tst_clsRegistry::corruptStore()
{
    QFile f(m_dir->filePath("user.db"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    const QByteArray garbage(4096, '\x5a');
    f.write(garbage);
    f.close();
    clsRegistry reg;
    reg.SetClassKey(quint32(HKEY_CURRENT_USER));
    reg.SetSectionKey(kSection);
    reg.SetValueKey(QStringLiteral("v"));
    reg.SetValueType(1);
    const QString corrupt = QStringLiteral("The configuration registry database is corrupt.");
    QString err;
    QVERIFY(!reg.GetValue(&err).isValid());
    QCOMPARE(err, QStringLiteral("Error retrieving value: ") + corrupt);
    QVERIFY(!reg.SetCreateValue(QStringLiteral("v"), QStringLiteral("x"), false, &err));
    QCOMPARE(err, QStringLiteral("Unable to create key: ") + corrupt);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), garbage);
}

QTEST_MAIN(tst_clsRegistry)
#include "tst_clsregistry.moc"
