// The registry stand-in through its Win32-shaped functions, against stores in a temporary folder.
#include "registrykeys.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

using namespace registrykeys;

namespace {

// Child mode: writes <count> values named <prefix>_<i> into HKCU\Concurrent, each its own write.
int runWriter(const QByteArray &prefix, int count)
{
    HKEY h = 0;
    if (LONG rc = createKey(HKEY_CURRENT_USER, "Concurrent", &h)) {
        fprintf(stderr, "create failed: %d\n", int(rc));
        return 2;
    }
    for (int i = 0; i < count; ++i) {
        if (LONG rc = setDword(h, prefix + '_' + QByteArray::number(i), quint32(i))) {
            fprintf(stderr, "write %d failed: %d\n", i, int(rc));
            return 3;
        }
    }
    RegCloseKey(h);
    return 0;
}

} // namespace

class tst_Registry : public QObject {
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
        m_dir = nullptr;
    }

    void pathRules_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<int>("expected");
        QTest::newRow("nested") << QByteArray("Software\\Quillmark 6\\admin") << int(ERROR_SUCCESS);
        QTest::newRow("trailing backslash") << QByteArray("Software\\") << int(ERROR_SUCCESS);
        QTest::newRow("leading backslash") << QByteArray("\\Software") << int(ERROR_BAD_PATHNAME);
        QTest::newRow("empty component") << QByteArray("Software\\\\X") << int(ERROR_BAD_PATHNAME);
        QTest::newRow("255 characters") << QByteArray(255, 'k') << int(ERROR_SUCCESS);
        QTest::newRow("256 characters") << QByteArray(256, 'k') << int(ERROR_INVALID_PARAMETER);
        QTest::newRow("255 two-byte characters") << QString(255, QChar(0xe9)).toUtf8() << int(ERROR_SUCCESS);
        QTest::newRow("invalid UTF-8") << QByteArray("bad\xff") << int(ERROR_INVALID_PARAMETER);
    }

    void pathRules()
    {
        QFETCH(QByteArray, path);
        QFETCH(int, expected);
        QCOMPARE(int(createKey(HKEY_CURRENT_USER, path)), expected);
        QCOMPARE(int(openKey(HKEY_CURRENT_USER, path, KEY_READ)), expected);
    }

    void valueReadWrite()
    {
        HKEY h = 0;
        QCOMPARE(createKey(HKEY_CURRENT_USER, "Software\\Quill", &h), ERROR_SUCCESS);
        QCOMPARE(RegSetValueExA(h, "Text", 0, REG_SZ, reinterpret_cast<const BYTE *>("hello"), 5), ERROR_SUCCESS);
        RegCloseKey(h);
        // Names are found in any case; sizes follow the Win32 rules.
        DWORD type = 0, cb = 0;
        QCOMPARE(openKey(HKEY_CURRENT_USER, "SOFTWARE\\quill", KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
        QCOMPARE(RegQueryValueExA(h, "TEXT", nullptr, &type, nullptr, &cb), ERROR_SUCCESS);
        QCOMPARE(type, REG_SZ);
        QCOMPARE(cb, 5u);
        char buffer[5];
        cb = 3;
        QCOMPARE(RegQueryValueExA(h, "Text", nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &cb), ERROR_MORE_DATA);
        QCOMPARE(cb, 5u);
        QCOMPARE(RegQueryValueExA(h, "Text", nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &cb), ERROR_SUCCESS);
        QCOMPARE(QByteArray(buffer, 5), QByteArray("hello"));
        // Overwriting changes type and data in place.
        QCOMPARE(setDword(h, "Text", 7), ERROR_SUCCESS);
        QCOMPARE(RegQueryValueExA(h, "Text", nullptr, &type, nullptr, &cb), ERROR_SUCCESS);
        QCOMPARE(type, REG_DWORD);
        QCOMPARE(cb, 4u);
        // Value names up to 16,383 characters; a longer one is refused and costs nothing.
        QCOMPARE(setDword(h, QByteArray(16383, 'v'), 1), ERROR_SUCCESS);
        QCOMPARE(setDword(h, QByteArray(16384, 'v'), 1), ERROR_INVALID_PARAMETER);
        QCOMPARE(setDword(h, "", 2), ERROR_SUCCESS); // the key's default value
        DWORD values = 0, maxName = 0;
        QCOMPARE(RegQueryInfoKeyA(h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, &maxName, nullptr,
                                  nullptr, nullptr),
                 ERROR_SUCCESS);
        QCOMPARE(values, 3u);
        QCOMPARE(maxName, 16383u);
        QCOMPARE(RegDeleteValueA(h, "text"), ERROR_SUCCESS);
        QCOMPARE(RegDeleteValueA(h, "text"), ERROR_FILE_NOT_FOUND);
        QCOMPARE(RegQueryValueExA(h, "Text", nullptr, &type, nullptr, &cb), ERROR_FILE_NOT_FOUND);
        RegCloseKey(h);
        // A handle's rights are its own: read-only cannot write, write-only cannot read.
        QCOMPARE(openKey(HKEY_CURRENT_USER, "Software\\Quill", KEY_READ, &h), ERROR_SUCCESS);
        QCOMPARE(setDword(h, "v", 1), ERROR_ACCESS_DENIED);
        RegCloseKey(h);
        QCOMPARE(openKey(HKEY_CURRENT_USER, "Software\\Quill", KEY_WRITE, &h), ERROR_SUCCESS);
        QCOMPARE(RegQueryValueExA(h, "", nullptr, nullptr, nullptr, &cb), ERROR_ACCESS_DENIED);
        RegCloseKey(h);
    }

    void enumeration()
    {
        HKEY h = 0;
        QCOMPARE(createKey(HKEY_CURRENT_USER, "Enum", &h), ERROR_SUCCESS);
        for (const char *sub : {"zeta", "Alpha"})
            QCOMPARE(createKey(h, sub), ERROR_SUCCESS);
        for (const char *v : {"second", "first"})
            QCOMPARE(setDword(h, v, 1), ERROR_SUCCESS);
        char name[64];
        QCOMPARE(RegEnumKeyA(h, 0, name, 5), ERROR_MORE_DATA); // "Alpha" needs 6 with its terminator
        QCOMPARE(RegEnumKeyA(h, 0, name, 6), ERROR_SUCCESS);
        QCOMPARE(QByteArray(name), QByteArray("Alpha"));
        QCOMPARE(RegEnumKeyA(h, 2, name, sizeof name), ERROR_NO_MORE_ITEMS);
        DWORD cch = 6;
        QCOMPARE(RegEnumValueA(h, 0, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
        cch = 7;
        QCOMPARE(RegEnumValueA(h, 0, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
        QCOMPARE(QByteArray(name, cch), QByteArray("second")); // values in the order written
        cch = sizeof name;
        QCOMPARE(RegEnumValueA(h, 2, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
        RegCloseKey(h);
    }

    void deleteKeys()
    {
        HKEY child = 0;
        QCOMPARE(createKey(HKEY_CURRENT_USER, "Tree\\A\\B", &child), ERROR_SUCCESS);
        QCOMPARE(setDword(child, "v", 1), ERROR_SUCCESS);
        QCOMPARE(createKey(HKEY_CURRENT_USER, "Tree\\Theirs"), ERROR_SUCCESS);
        QCOMPARE(RegSetKeyOwner(HKEY_CURRENT_USER, "Tree\\Theirs", "someone-else"), ERROR_SUCCESS);
        QCOMPARE(RegSetKeyOwner(HKEY_CURRENT_USER, "Tree\\Theirs", CurrentUserName()), ERROR_ACCESS_DENIED);
        // On NT a key with subkeys stays (clsRegistry's suite covers the 9x tree delete); a tree
        // holding someone else's key stays whole.
        QCOMPARE(RegDeleteKeyA(HKEY_CURRENT_USER, "Tree\\A"), ERROR_ACCESS_DENIED);
        QCOMPARE(SHDeleteKeyA(HKEY_CURRENT_USER, "Tree"), ERROR_ACCESS_DENIED);
        QCOMPARE(openKey(HKEY_CURRENT_USER, "Tree\\A\\B", KEY_READ), ERROR_SUCCESS);
        // SHDeleteKeyA takes the tree; handles into it fail, a closed handle is gone for good.
        QCOMPARE(SHDeleteKeyA(HKEY_CURRENT_USER, "Tree\\A"), ERROR_SUCCESS);
        QCOMPARE(setDword(child, "v", 2), ERROR_KEY_DELETED);
        DWORD cb = 0;
        QCOMPARE(RegQueryValueExA(child, "v", nullptr, nullptr, nullptr, &cb), ERROR_KEY_DELETED);
        QCOMPARE(RegCloseKey(child), ERROR_SUCCESS);
        QCOMPARE(RegCloseKey(child), ERROR_INVALID_HANDLE);
        QCOMPARE(openKey(HKEY_CURRENT_USER, "Tree\\A", KEY_READ), ERROR_FILE_NOT_FOUND);
        QCOMPARE(openKey(HKEY_CURRENT_USER, "Tree\\Theirs", KEY_READ), ERROR_SUCCESS);
        QCOMPARE(RegDeleteKeyA(HKEY_CURRENT_USER, "Tree\\A"), ERROR_FILE_NOT_FOUND);
        // Never the root; never a handle that does not exist.
        QCOMPARE(SHDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
        QCOMPARE(RegDeleteKeyA(HKEY_CURRENT_USER, nullptr), ERROR_ACCESS_DENIED);
        QCOMPARE(RegOpenKeyExA(0x1234, "x", 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
        QCOMPARE(openKey(0x1234, "x", KEY_READ), ERROR_INVALID_HANDLE);
    }

    // Opening a key grants what its owner and grant allow; clsRegistry's suite checks the same
    // rules through RegGetKeySecurity and AccessCheck.
    void openRights_data()
    {
        QTest::addColumn<bool>("mine");
        QTest::addColumn<bool>("everyone");
        QTest::addColumn<uint>("desired");
        QTest::addColumn<bool>("granted");
        QTest::newRow("owner all") << true << false << uint(KEY_ALL_ACCESS) << true;
        QTest::newRow("other read") << false << false << uint(KEY_READ) << true;
        QTest::newRow("other generic read") << false << false << uint(GENERIC_READ) << true;
        QTest::newRow("other write") << false << false << uint(KEY_WRITE) << false;
        QTest::newRow("other delete") << false << false << uint(DELETE) << false;
        QTest::newRow("everyone all") << false << true << uint(KEY_ALL_ACCESS) << true;
    }

    void openRights()
    {
        QFETCH(bool, mine);
        QFETCH(bool, everyone);
        QFETCH(uint, desired);
        QFETCH(bool, granted);
        SECURITY_DESCRIPTOR sd;
        SECURITY_ATTRIBUTES sa;
        QVERIFY(InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION));
        QVERIFY(SetSecurityDescriptorDacl(&sd, 1, nullptr, 0));
        QVERIFY(!SetSecurityDescriptorDacl(&sd, 1, &sd, 0)); // only the null DACL exists
        sa.lpSecurityDescriptor = &sd;
        QCOMPARE(createKey(HKEY_CURRENT_USER, "Checked", nullptr, everyone ? &sa : nullptr), ERROR_SUCCESS);
        QCOMPARE(RegSetKeyOwner(HKEY_CURRENT_USER, "Checked", mine ? CurrentUserName() : "someone-else"), ERROR_SUCCESS);
        HKEY h = 0;
        QCOMPARE(openKey(HKEY_CURRENT_USER, "Checked", desired, &h), granted ? ERROR_SUCCESS : ERROR_ACCESS_DENIED);
        if (granted && (desired & KEY_SET_VALUE))
            QCOMPARE(setDword(h, "v", 1), ERROR_SUCCESS);
        if (granted)
            RegCloseKey(h);
        DWORD size = 0;
        QCOMPARE(RegGetKeySecurity(HKEY_CURRENT_USER, 7, nullptr, &size), ERROR_INSUFFICIENT_BUFFER);
        const GENERIC_MAPPING mapping{KEY_READ, KEY_WRITE, KEY_EXECUTE, KEY_ALL_ACCESS};
        ACCESS_MASK mask = 0;
        BOOL status = 0;
        QVERIFY(!IsValidSecurityDescriptor("garbage-garbage-garbage-garbage"));
        QVERIFY(!AccessCheck("garbage-garbage-garbage-garbage", nullptr, KEY_READ, &mapping, &mask, &status));
        QCOMPARE(GetLastError(), DWORD(ERROR_INVALID_SECURITY_DESCR));
    }

    void missingStoreReadsAsEmpty()
    {
        HKEY h = 0;
        QCOMPARE(openKey(HKEY_LOCAL_MACHINE, "", KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
        char name[16];
        QCOMPARE(RegEnumKeyA(h, 0, name, sizeof name), ERROR_NO_MORE_ITEMS);
        QCOMPARE(openKey(HKEY_LOCAL_MACHINE, "Software", KEY_READ), ERROR_FILE_NOT_FOUND);
        QVERIFY(!QFile::exists(m_dir->filePath("machine.db")));
        // The first write makes the store, and a handle opened before still works.
        QCOMPARE(createKey(HKEY_LOCAL_MACHINE, "Software"), ERROR_SUCCESS);
        QVERIFY(QFile::exists(m_dir->filePath("machine.db")));
        QCOMPARE(RegEnumKeyA(h, 0, name, sizeof name), ERROR_SUCCESS);
        QCOMPARE(QByteArray(name), QByteArray("Software"));
        RegCloseKey(h);
    }

    void expandEnvironment()
    {
        qputenv("QM6_T_A", "alpha");
        const QByteArray source("%QM6_T_A%\\%QM6_T_NONE% 50% %QM6_T_A%"), expected("alpha\\%QM6_T_NONE% 50% alpha");
        const DWORD n = ExpandEnvironmentStringsA(source.constData(), nullptr, 0);
        QCOMPARE(n, DWORD(expected.size() + 1));
        QByteArray buffer(int(n), 'z');
        QCOMPARE(ExpandEnvironmentStringsA(source.constData(), buffer.data(), n - 1), n); // too small: untouched
        QCOMPARE(buffer, QByteArray(int(n), 'z'));
        QCOMPARE(ExpandEnvironmentStringsA(source.constData(), buffer.data(), n), n);
        QCOMPARE(QByteArray(buffer.constData()), expected);
        QCOMPARE(ExpandEnvironmentStringsA("", buffer.data(), n), 1u);
    }

    // Two child processes write at once; every value survives them and reads back in this process.
    void concurrentWritersKeepAllWrites()
    {
        constexpr int kCount = 1000;
        QProcess a, b;
        a.start(QCoreApplication::applicationFilePath(), {"--writer", "a", QString::number(kCount)});
        b.start(QCoreApplication::applicationFilePath(), {"--writer", "b", QString::number(kCount)});
        QVERIFY(a.waitForFinished(300000));
        QVERIFY(b.waitForFinished(300000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        HKEY h = 0;
        QCOMPARE(openKey(HKEY_CURRENT_USER, "Concurrent", KEY_READ, &h), ERROR_SUCCESS);
        DWORD values = 0;
        QCOMPARE(RegQueryInfoKeyA(h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                                  nullptr, nullptr),
                 ERROR_SUCCESS);
        QCOMPARE(values, DWORD(2 * kCount));
        for (const char *prefix : {"a", "b"}) {
            for (int i = 0; i < kCount; ++i) {
                quint32 v = 0xffffffffu;
                DWORD cb = sizeof v;
                const QByteArray name = QByteArray(prefix) + '_' + QByteArray::number(i);
                QCOMPARE(RegQueryValueExA(h, name.constData(), nullptr, nullptr, reinterpret_cast<LPBYTE>(&v), &cb),
                         ERROR_SUCCESS);
                QCOMPARE(v, quint32(i));
            }
        }
        RegCloseKey(h);
    }

private:
    QTemporaryDir *m_dir = nullptr;
};

int main(int argc, char **argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--writer") == 0)
        return runWriter(QByteArray(argv[2]), QByteArray(argv[3]).toInt());
    QCoreApplication app(argc, argv);
    tst_Registry tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_registry.moc"
