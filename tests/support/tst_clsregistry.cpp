// clsRegistry against a registry store in a temporary folder.
#include "clsregistry.h"
#include "win32registry.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

using namespace qm6reg;

namespace {

const QString kSection = QStringLiteral("Software\\Quillmark 6\\test");
const QString kMissingFile = QStringLiteral("The system cannot find the file specified.");

// A clsRegistry on HKEY_CURRENT_USER; made after QM6_PLATFORM_ID is set, since it reads the platform.
clsRegistry userReg(const QString &section = kSection, const QString &value = QString(), qint32 type = 1)
{
    clsRegistry reg;
    reg.SetClassKey(quint32(HKEY_CURRENT_USER));
    reg.SetSectionKey(section);
    reg.SetValueKey(value);
    reg.SetValueType(type);
    return reg;
}

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
    DWORD cb = 64;
    data->resize(cb);
    const bool ok = RegOpenKeyExA(HKEY_CURRENT_USER, section.toUtf8().constData(), 0, KEY_READ, &h) == ERROR_SUCCESS &&
                    RegQueryValueExA(h, name.constData(), nullptr, type, reinterpret_cast<LPBYTE>(data->data()), &cb) ==
                        ERROR_SUCCESS;
    RegCloseKey(h);
    data->truncate(ok ? cb : 0);
    return ok;
}

} // namespace

class tst_clsRegistry : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = new QTemporaryDir;
        QVERIFY(m_dir->isValid());
        qputenv("QM6_REGISTRY_DIR", m_dir->path().toUtf8());
        qunsetenv("QM6_PLATFORM_ID");
    }

    void cleanup()
    {
        qunsetenv("QM6_PLATFORM_ID");
        delete m_dir;
    }

    void getValueMissing_data()
    {
        QTest::addColumn<bool>("keyExists");
        QTest::addColumn<bool>("valueExists");
        QTest::addColumn<QVariant>("defaultValue");
        QTest::addColumn<QVariant>("expected");
        const QVariant stored(QStringLiteral("stored"));
        QTest::newRow("missing key, Default ignored") << false << false << QVariant(5) << QVariant();
        QTest::newRow("missing value gives Default") << true << false << QVariant(5) << QVariant(5);
        QTest::newRow("missing value, null Default") << true << false << QVariant() << QVariant();
        QTest::newRow("present") << true << true << QVariant(5) << stored;
    }

    void getValueMissing()
    {
        QFETCH(bool, keyExists);
        QFETCH(bool, valueExists);
        QFETCH(QVariant, defaultValue);
        QFETCH(QVariant, expected);
        if (keyExists)
            writeRaw(kSection, valueExists ? "LocaleId" : "Other", REG_SZ, "stored");
        clsRegistry reg = userReg();
        QString err = QStringLiteral("unchanged");
        QCOMPARE(reg.GetValueOrDefault(QStringLiteral("LocaleId"), QStringLiteral("dflt"), &err),
                 valueExists ? expected : QVariant(QStringLiteral("dflt")));
        reg.SetDefault(defaultValue);
        const QVariant v = reg.GetValue(&err);
        QCOMPARE(v, expected);
        QCOMPARE(v.isValid(), expected.isValid());
        QCOMPARE(err, valueExists ? QString() : QStringLiteral("Error retrieving value: ") + kMissingFile);
        QCOMPARE(reg.KeyExists(&err), keyExists);
        QCOMPARE(err, keyExists ? QString() : kMissingFile);
    }

    // Value type 0 marks a value written by someone else, read back by clsRegistry.
    void valueTypes_data()
    {
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<int>("valueType");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<uint>("stored");
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QVariant>("readBack");
        const QByteArray nt("2");
        QTest::newRow("embedded NULs removed, blanks trimmed") << nt << 0 << QVariant() << uint(REG_SZ)
                                                               << QByteArray("  a\0b c \0", 9) << QVariant("ab c");
        QTest::newRow("multi-string joined") << nt << 0 << QVariant() << uint(REG_MULTI_SZ)
                                             << QByteArray("one\0two\0\0", 9) << QVariant("onetwo");
        QTest::newRow("empty") << nt << 0 << QVariant() << uint(REG_SZ) << QByteArray() << QVariant(QString());
        QTest::newRow("expandable expanded") << nt << 0 << QVariant() << uint(REG_EXPAND_SZ)
                                             << QByteArray("%QM6_TEST_HOME%\\lang %QM6_TEST_UNSET%")
                                             << QVariant("/srv/qm6\\lang %QM6_TEST_UNSET%");
        QTest::newRow("big-endian number") << nt << 0 << QVariant() << uint(REG_DWORD_BIG_ENDIAN)
                                           << QByteArray("\x01\x02\x03\x04", 4) << QVariant(0x01020304);
        QTest::newRow("other types as bytes") << nt << 0 << QVariant() << uint(REG_QWORD) << QByteArray("12345678")
                                              << QVariant(QByteArray("12345678"));
        // A name between two percent signs makes the text expandable; "%%" alone does not.
        QTest::newRow("name between signs") << nt << 1 << QVariant("%QM6_UNSET%\\x") << uint(REG_EXPAND_SZ)
                                            << QByteArray("%QM6_UNSET%\\x") << QVariant("%QM6_UNSET%\\x");
        QTest::newRow("three signs") << nt << 1 << QVariant("%%%") << uint(REG_EXPAND_SZ) << QByteArray("%%%")
                                     << QVariant();
        QTest::newRow("single sign") << nt << 1 << QVariant("50% off") << uint(REG_SZ) << QByteArray("50% off")
                                     << QVariant("50% off");
        QTest::newRow("adjacent signs only") << nt << 1 << QVariant("a%%b") << uint(REG_SZ) << QByteArray("a%%b")
                                             << QVariant("a%%b");
        QTest::newRow("type 2 without signs") << nt << 2 << QVariant("plain") << uint(REG_SZ) << QByteArray("plain")
                                              << QVariant("plain");
        QTest::newRow("9x adds the terminator") << QByteArray("1") << 1 << QVariant("abc") << uint(REG_SZ)
                                                << QByteArray("abc\0", 4) << QVariant("abc");
        QTest::newRow("5 stored little-endian") << nt << 5 << QVariant(0x01020304) << uint(REG_DWORD)
                                                << QByteArray("\x04\x03\x02\x01", 4) << QVariant(0x01020304);
        QTest::newRow("4 short -1") << nt << 4 << QVariant::fromValue<short>(-1) << uint(REG_DWORD)
                                    << QByteArray("\xff\xff\xff\xff", 4) << QVariant(-1);
        QTest::newRow("4 unsigned") << nt << 4 << QVariant(0x80000000u) << uint(REG_DWORD)
                                    << QByteArray("\x00\x00\x00\x80", 4) << QVariant(qint32(0x80000000u));
        const QByteArray bytes("\x00\x01\xfe\xff\x00", 5);
        QTest::newRow("3 binary") << nt << 3 << QVariant(bytes) << uint(REG_BINARY) << bytes << QVariant(bytes);
    }

    void valueTypes()
    {
        QFETCH(QByteArray, platform);
        QFETCH(int, valueType);
        QFETCH(QVariant, value);
        QFETCH(uint, stored);
        QFETCH(QByteArray, raw);
        QFETCH(QVariant, readBack);
        qputenv("QM6_PLATFORM_ID", platform);
        qputenv("QM6_TEST_HOME", "/srv/qm6");
        clsRegistry reg = userReg(kSection, QStringLiteral("V"), valueType);
        QCOMPARE(reg.IsNT(), platform == "2");
        QString err = QStringLiteral("unchanged");
        if (valueType) {
            QVERIFY2(reg.SetCreateValue(QStringLiteral("V"), value, false, &err), qPrintable(err));
            DWORD type = 0;
            QByteArray data;
            QVERIFY(readRaw(kSection, "V", &type, &data));
            QCOMPARE(type, DWORD(stored));
            QCOMPARE(data, raw);
        } else {
            writeRaw(kSection, "V", stored, raw);
        }
        if (!readBack.isValid())
            return;
        const QVariant v = reg.GetValue(&err);
        QCOMPARE(v.typeId(), readBack.typeId());
        QCOMPARE(v, readBack);
        QCOMPARE(err, QString());
        QCOMPARE(reg.ValueType(), qint32(stored));
    }

    void setValueRefusals_data()
    {
        QTest::addColumn<bool>("keyExists");
        QTest::addColumn<int>("valueType");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("error");
        const QString unknown = QStringLiteral("Could not set value. Unknown value type.");
        const QString invalid = QStringLiteral("Could not set value. Invalid value for set type.");
        QTest::newRow("type 7") << true << 7 << QVariant(QStringLiteral("a")) << unknown;
        QTest::newRow("3 with text") << true << 3 << QVariant(QStringLiteral("abc")) << invalid;
        QTest::newRow("4 with text") << true << 4 << QVariant(QStringLiteral("12")) << invalid;
        QTest::newRow("4 with 64-bit") << true << 4 << QVariant(qint64(1)) << invalid;
        QTest::newRow("5 with null") << true << 5 << QVariant() << invalid;
        QTest::newRow("missing key") << false << 1 << QVariant(QStringLiteral("x"))
                                     << QStringLiteral("Unable to set value: ") + kMissingFile;
    }

    void setValueRefusals()
    {
        QFETCH(bool, keyExists);
        QFETCH(int, valueType);
        QFETCH(QVariant, value);
        QFETCH(QString, error);
        clsRegistry reg = userReg(kSection, QStringLiteral("V"), valueType);
        if (keyExists)
            writeRaw(kSection, "Kept", REG_SZ, "k");
        QString err;
        QVERIFY(!reg.SetValue(value, &err));
        QCOMPARE(err, error);
        DWORD type = 0;
        QByteArray data;
        QVERIFY(!readRaw(kSection, "V", &type, &data));
        QCOMPARE(readRaw(kSection, "Kept", &type, &data), keyExists); // nothing else lost
    }

    void setCreateValueMakesSharedKey()
    {
        const QString deep = kSection + QStringLiteral("\\deep\\er");
        clsRegistry reg = userReg(deep, QString(), 4);
        QString err = QStringLiteral("unchanged");
        QVERIFY(reg.SetCreateValue(QStringLiteral("N"), 7, true, &err));
        QCOMPARE(err, QString());
        QVERIFY(reg.KeyExists());
        // The everyone grant was given to the new key.
        QCOMPARE(RegSetKeyOwner(HKEY_CURRENT_USER, deep.toUtf8().constData(), "someone-else"), ERROR_SUCCESS);
        QVERIFY(reg.CheckSecurity(qint32(KEY_WRITE)));
        QVERIFY(reg.CreateKey(false, &err)); // opening the existing shared key for writing
        reg.SetSectionKey(QString()); // an empty key name addresses the root itself
        QVERIFY(reg.KeyExists(&err));
    }

    void enumerate()
    {
        const QString longSection(255, QChar(0x00e9)); // 510 bytes in UTF-8
        for (const QString &sub : {QStringLiteral("b"), longSection, QStringLiteral("A")})
            QVERIFY(userReg(kSection + QLatin1Char('\\') + sub).CreateKey(false));
        clsRegistry reg = userReg();
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
        QVERIFY2(reg.EnumerateSections(names, count, &err), qPrintable(err));
        QCOMPARE(names, QStringList({"A", "b", longSection}));
        QCOMPARE(count, 3);
        // A missing key fails and leaves no stale names behind.
        reg.SetSectionKey(QStringLiteral("Nowhere"));
        names = QStringList{QStringLiteral("stale")};
        count = 9;
        QVERIFY(!reg.EnumerateValues(names, count, &err));
        QCOMPARE(err, QStringLiteral("Unable to enumerate values: ") + kMissingFile);
        QVERIFY(names.isEmpty());
        QCOMPARE(count, 0);
        QVERIFY(!reg.EnumerateSections(names, count, &err));
        QCOMPARE(err, QStringLiteral("Unable to enumerate sections: ") + kMissingFile);
    }

    void deleteKeyRecursive_data()
    {
        QTest::addColumn<QByteArray>("platform");
        QTest::newRow("NT") << QByteArray("2");
        QTest::newRow("9x") << QByteArray("1");
    }

    void deleteKeyRecursive()
    {
        QFETCH(QByteArray, platform);
        qputenv("QM6_PLATFORM_ID", platform);
        writeRaw(kSection + QStringLiteral("\\a\\b"), "v", REG_SZ, "x");
        writeRaw(kSection + QStringLiteral("-sibling"), "v", REG_SZ, "x");
        clsRegistry reg = userReg(kSection + QStringLiteral("-sibling"), QStringLiteral("v"));
        QString err = QStringLiteral("unchanged");
        QVERIFY(reg.DeleteValue(&err));
        QCOMPARE(err, QString());
        QVERIFY(!reg.DeleteValue(&err));
        QCOMPARE(err, kMissingFile);
        reg.SetSectionKey(kSection);
        QVERIFY(reg.DeleteKey(&err));
        QCOMPARE(err, QString());
        QVERIFY(!reg.KeyExists());
        QVERIFY(!userReg(kSection + QStringLiteral("\\a\\b")).KeyExists());
        QVERIFY(userReg(kSection + QStringLiteral("-sibling")).KeyExists());
        // Failures carry the system's text.
        QVERIFY(!reg.DeleteValue(&err));
        QCOMPARE(err, kMissingFile);
        QVERIFY(!reg.DeleteKey(&err));
        QCOMPARE(err, QStringLiteral("Unable to delete key: ") + kMissingFile);
        reg.SetSectionKey(QString());
        QVERIFY(!reg.DeleteKey(&err));
        QCOMPARE(err, QStringLiteral("Unable to delete key: Access is denied."));
    }

    void checkSecurity_data()
    {
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<bool>("otherOwner");
        QTest::addColumn<bool>("everyone");
        QTest::addColumn<qint32>("desired");
        QTest::addColumn<bool>("expected");
        const qint32 read = qint32(KEY_READ), write = qint32(KEY_WRITE), all = qint32(KEY_ALL_ACCESS);
        QTest::newRow("owner all") << QByteArray("2") << false << false << all << true;
        QTest::newRow("other read") << QByteArray("2") << true << false << read << true;
        QTest::newRow("other generic read") << QByteArray("2") << true << false << qint32(GENERIC_READ) << true;
        QTest::newRow("other write") << QByteArray("2") << true << false << write << false;
        QTest::newRow("other set value bit") << QByteArray("2") << true << false << qint32(KEY_SET_VALUE) << false;
        QTest::newRow("everyone all") << QByteArray("2") << true << true << all << true;
        QTest::newRow("9x always") << QByteArray("1") << true << false << all << true;
    }

    void checkSecurity()
    {
        QFETCH(QByteArray, platform);
        QFETCH(bool, otherOwner);
        QFETCH(bool, everyone);
        QFETCH(qint32, desired);
        QFETCH(bool, expected);
        qputenv("QM6_PLATFORM_ID", platform);
        clsRegistry reg = userReg();
        QVERIFY(reg.CreateKey(everyone));
        if (otherOwner)
            QCOMPARE(RegSetKeyOwner(HKEY_CURRENT_USER, kSection.toUtf8().constData(), "someone-else"), ERROR_SUCCESS);
        QCOMPARE(reg.CheckSecurity(desired), expected);
    }

    void unknownPlatformIsReported()
    {
        qputenv("QM6_PLATFORM_ID", "3");
        QTest::ignoreMessage(QtWarningMsg, "clsRegistry::Initialize() - Unknown platform type.");
        clsRegistry reg;
        QVERIFY(!reg.IsNT());
    }

    void corruptStore()
    {
        QFile f(m_dir->filePath("user.db"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, '\x5a'));
        f.close();
        clsRegistry reg = userReg(kSection, QStringLiteral("v"));
        const QString corrupt = QStringLiteral("The configuration registry database is corrupt.");
        QString err;
        QVERIFY(!reg.GetValue(&err).isValid());
        QCOMPARE(err, QStringLiteral("Error retrieving value: ") + corrupt);
        QVERIFY(!reg.SetCreateValue(QStringLiteral("v"), QStringLiteral("x"), false, &err));
        QCOMPARE(err, QStringLiteral("Unable to create key: ") + corrupt);
    }

    // A store another process keeps locked is an error the caller hears about, not a missing value
    // that quietly becomes the default.
    void lockedStoreIsReported()
    {
        writeRaw(kSection, "v", REG_SZ, "stored");
        RegCloseStores();
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open_v2(m_dir->filePath("user.db").toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr),
                 SQLITE_OK);
        const auto release = qScopeGuard([other] { sqlite3_close_v2(other); });
        QCOMPARE(sqlite3_exec(other, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; UPDATE keys SET modified=0",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        const QString locked =
            QStringLiteral("The process cannot access the file because another process has locked a portion of the file.");
        clsRegistry reg = userReg(kSection, QStringLiteral("v"));
        reg.SetDefault(QStringLiteral("dflt"));
        QString err;
        QCOMPARE(reg.GetValue(&err), QVariant());
        QCOMPARE(err, QStringLiteral("Error retrieving value: ") + locked);
        QStringList names;
        qint32 count = -1;
        QVERIFY(!reg.EnumerateSections(names, count, &err));
        QCOMPARE(err, QStringLiteral("Unable to enumerate sections: ") + locked);
    }

private:
    QTemporaryDir *m_dir = nullptr;
};

QTEST_MAIN(tst_clsRegistry)
#include "tst_clsregistry.moc"
