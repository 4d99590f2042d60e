// The registry stand-in through its Win32-shaped functions, against stores in a temporary folder.
#include "win32registry.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

#include <unistd.h>

using namespace qm6reg;

namespace {

LONG createKey(HKEY root, const QByteArray &path, HKEY *out = nullptr, const SECURITY_ATTRIBUTES *sa = nullptr)
{
    HKEY h = 0;
    DWORD disp = 0;
    const LONG rc = RegCreateKeyExA(root, path.constData(), 0, nullptr, 0, KEY_ALL_ACCESS, sa, &h, &disp);
    if (out)
        *out = h;
    else if (rc == ERROR_SUCCESS)
        RegCloseKey(h);
    return rc;
}

LONG setDword(HKEY h, const QByteArray &name, quint32 v)
{
    return RegSetValueExA(h, name.constData(), 0, REG_DWORD, reinterpret_cast<const BYTE *>(&v), sizeof v);
}

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
    void init();
    void cleanup();

    void pathRules_data();
    void pathRules();
    void namesAreCaseInsensitive();
    void queryValueSizes();
    void valueNameLimit();
    void enumerationOrderAndEnd();
    void queryInfoReportsLongestNames();
    void deleteKeyRefusesSubkeysOnNt();
    void deleteKeyRecursiveOn9x();
    void shDeleteKeyRemovesTreeAndInvalidatesHandles();
    void rootCannotBeDeleted();
    void deleteMissingValue();
    void handleRightsAreEnforced();
    void otherOwnersKeyIsReadOnly();
    void everyoneGrantOpensKeyToAll();
    void accessCheck_data();
    void accessCheck();
    void missingStoreReadsAsEmpty();
    void corruptStoreFailsAndIsKept();
    void unusableStorePlace();
    void formatMessage_data();
    void formatMessage();
    void versionPlatformOverride_data();
    void versionPlatformOverride();
    void expandEnvironment_data();
    void expandEnvironment();
    void valuesPersistAcrossProcesses();
    void concurrentWritersKeepAllWrites();

private:
    QTemporaryDir *m_dir = nullptr;
};

void tst_Registry::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    qputenv("QM6_REGISTRY_DIR", m_dir->path().toUtf8());
    qunsetenv("QM6_PLATFORM_ID");
}

void tst_Registry::cleanup()
{
    qunsetenv("QM6_PLATFORM_ID");
    delete m_dir;
    m_dir = nullptr;
}

void tst_Registry::pathRules_data()
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

void tst_Registry::pathRules()
{
    QFETCH(QByteArray, path);
    QFETCH(int, expected);
    QCOMPARE(int(createKey(HKEY_CURRENT_USER, path)), expected);
    HKEY h = 0;
    const LONG rc = RegOpenKeyExA(HKEY_CURRENT_USER, path.constData(), 0, KEY_READ, &h);
    QCOMPARE(int(rc), expected);
    if (rc == ERROR_SUCCESS)
        RegCloseKey(h);
}

void tst_Registry::namesAreCaseInsensitive()
{
    HKEY h = 0;
    QCOMPARE(createKey(HKEY_CURRENT_USER, "Software\\Quill", &h), ERROR_SUCCESS);
    QCOMPARE(setDword(h, "LocaleId", 1036), ERROR_SUCCESS);
    RegCloseKey(h);
    DWORD disp = 0;
    QCOMPARE(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\quill", 0, nullptr, 0, KEY_READ, nullptr, &h, &disp),
             ERROR_SUCCESS);
    QCOMPARE(disp, REG_OPENED_EXISTING_KEY);
    quint32 v = 0;
    DWORD cb = sizeof v, type = 0;
    QCOMPARE(RegQueryValueExA(h, "LOCALEID", nullptr, &type, reinterpret_cast<LPBYTE>(&v), &cb), ERROR_SUCCESS);
    QCOMPARE(v, 1036u);
    char name[32];
    DWORD cch = sizeof name;
    QCOMPARE(RegEnumValueA(h, 0, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    QCOMPARE(QByteArray(name), QByteArray("LocaleId")); // the case it was written with
    RegCloseKey(h);
}

void tst_Registry::queryValueSizes()
{
    HKEY h = 0;
    QCOMPARE(createKey(HKEY_CURRENT_USER, "Sizes", &h), ERROR_SUCCESS);
    const QByteArray text("hello");
    QCOMPARE(RegSetValueExA(h, "Text", 0, REG_SZ, reinterpret_cast<const BYTE *>(text.constData()), 5), ERROR_SUCCESS);
    DWORD type = 0, cb = 0;
    QCOMPARE(RegQueryValueExA(h, "Text", nullptr, &type, nullptr, &cb), ERROR_SUCCESS);
    QCOMPARE(type, REG_SZ);
    QCOMPARE(cb, 5u);
    char small[3];
    cb = sizeof small;
    QCOMPARE(RegQueryValueExA(h, "Text", nullptr, nullptr, reinterpret_cast<LPBYTE>(small), &cb), ERROR_MORE_DATA);
    QCOMPARE(cb, 5u);
    char exact[5];
    cb = sizeof exact;
    QCOMPARE(RegQueryValueExA(h, "Text", nullptr, nullptr, reinterpret_cast<LPBYTE>(exact), &cb), ERROR_SUCCESS);
    QCOMPARE(QByteArray(exact, 5), text);
    QCOMPARE(RegQueryValueExA(h, "Missing", nullptr, &type, nullptr, &cb), ERROR_FILE_NOT_FOUND);
    // Overwriting changes type and data in place.
    QCOMPARE(setDword(h, "Text", 7), ERROR_SUCCESS);
    QCOMPARE(RegQueryValueExA(h, "Text", nullptr, &type, nullptr, &cb), ERROR_SUCCESS);
    QCOMPARE(type, REG_DWORD);
    QCOMPARE(cb, 4u);
    RegCloseKey(h);
}

void tst_Registry::valueNameLimit()
{
    HKEY h = 0;
    QCOMPARE(createKey(HKEY_CURRENT_USER, "Names", &h), ERROR_SUCCESS);
    QCOMPARE(setDword(h, QByteArray(16383, 'v'), 1), ERROR_SUCCESS);
    QCOMPARE(setDword(h, QByteArray(16384, 'v'), 1), ERROR_INVALID_PARAMETER);
    QCOMPARE(setDword(h, "", 2), ERROR_SUCCESS); // the key's default value
    DWORD values = 0, longest = 0;
    QCOMPARE(RegQueryInfoKeyA(h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, &longest, nullptr,
                              nullptr, nullptr),
             ERROR_SUCCESS);
    QCOMPARE(values, 2u);
    QCOMPARE(longest, 16383u);
    RegCloseKey(h);
}

void tst_Registry::enumerationOrderAndEnd()
{
    HKEY h = 0;
    QCOMPARE(createKey(HKEY_CURRENT_USER, "Enum", &h), ERROR_SUCCESS);
    for (const char *sub : {"zeta", "Alpha", "beta"})
        QCOMPARE(createKey(h, sub), ERROR_SUCCESS);
    for (const char *v : {"second", "first", "Third"})
        QCOMPARE(setDword(h, v, 1), ERROR_SUCCESS);
    QStringList keys, values;
    char name[64];
    LONG rc;
    for (DWORD i = 0; (rc = RegEnumKeyA(h, i, name, sizeof name)) == ERROR_SUCCESS; ++i)
        keys << QString::fromUtf8(name);
    QCOMPARE(rc, ERROR_NO_MORE_ITEMS);
    for (DWORD i = 0;; ++i) {
        DWORD cch = sizeof name;
        rc = RegEnumValueA(h, i, name, &cch, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS)
            break;
        values << QString::fromUtf8(name, cch);
    }
    QCOMPARE(rc, ERROR_NO_MORE_ITEMS);
    QCOMPARE(keys, QStringList({"Alpha", "beta", "zeta"}));
    QCOMPARE(values, QStringList({"second", "first", "Third"}));
    QCOMPARE(RegEnumKeyA(h, 0, name, 5), ERROR_MORE_DATA); // "Alpha" needs 6 with its terminator
    DWORD cch = 6;
    QCOMPARE(RegEnumValueA(h, 0, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    RegCloseKey(h);
}

void tst_Registry::queryInfoReportsLongestNames()
{
    HKEY h = 0;
    QCOMPARE(createKey(HKEY_CURRENT_USER, "Info", &h), ERROR_SUCCESS);
    QCOMPARE(createKey(h, "short"), ERROR_SUCCESS);
    QCOMPARE(createKey(h, QString(3, QChar(0xe9)).toUtf8()), ERROR_SUCCESS); // 6 bytes
    const QByteArray data(40, 'x');
    QCOMPARE(RegSetValueExA(h, "v", 0, REG_BINARY, reinterpret_cast<const BYTE *>(data.constData()), 40), ERROR_SUCCESS);
    DWORD subkeys = 0, maxSub = 0, values = 0, maxName = 0, maxData = 0, sd = 0;
    FILETIME ft;
    QCOMPARE(RegQueryInfoKeyA(h, nullptr, nullptr, nullptr, &subkeys, &maxSub, nullptr, &values, &maxName, &maxData,
                              &sd, &ft),
             ERROR_SUCCESS);
    QCOMPARE(subkeys, 2u);
    QCOMPARE(maxSub, 6u);
    QCOMPARE(values, 1u);
    QCOMPARE(maxName, 1u);
    QCOMPARE(maxData, 40u);
    QVERIFY(sd > 0);
    QVERIFY(ft.dwHighDateTime > 0);
    RegCloseKey(h);
}

void tst_Registry::deleteKeyRefusesSubkeysOnNt()
{
    QCOMPARE(createKey(HKEY_CURRENT_USER, "Del\\Child"), ERROR_SUCCESS);
    QCOMPARE(RegDeleteKeyA(HKEY_CURRENT_USER, "Del"), ERROR_ACCESS_DENIED);
    QCOMPARE(RegDeleteKeyA(HKEY_CURRENT_USER, "Del\\Child"), ERROR_SUCCESS);
    QCOMPARE(RegDeleteKeyA(HKEY_CURRENT_USER, "Del"), ERROR_SUCCESS);
    QCOMPARE(RegDeleteKeyA(HKEY_CURRENT_USER, "Del"), ERROR_FILE_NOT_FOUND);
}

void tst_Registry::deleteKeyRecursiveOn9x()
{
    qputenv("QM6_PLATFORM_ID", "1");
    QCOMPARE(createKey(HKEY_CURRENT_USER, "Del\\Child\\Grandchild"), ERROR_SUCCESS);
    QCOMPARE(RegDeleteKeyA(HKEY_CURRENT_USER, "Del"), ERROR_SUCCESS);
    HKEY h = 0;
    QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Del\\Child", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
}

void tst_Registry::shDeleteKeyRemovesTreeAndInvalidatesHandles()
{
    HKEY h = 0, child = 0;
    QCOMPARE(createKey(HKEY_CURRENT_USER, "Tree\\A\\B", &child), ERROR_SUCCESS);
    QCOMPARE(setDword(child, "v", 1), ERROR_SUCCESS);
    QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Tree", 0, KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
    QCOMPARE(SHDeleteKeyA(h, ""), ERROR_SUCCESS);
    QCOMPARE(setDword(child, "v", 2), ERROR_KEY_DELETED);
    DWORD cb = 0;
    QCOMPARE(RegQueryValueExA(child, "v", nullptr, nullptr, nullptr, &cb), ERROR_KEY_DELETED);
    RegCloseKey(child);
    RegCloseKey(h);
    QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Tree", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
    // A closed handle is gone for good.
    QCOMPARE(RegCloseKey(child), ERROR_INVALID_HANDLE);
}

void tst_Registry::rootCannotBeDeleted()
{
    QCOMPARE(SHDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
    QCOMPARE(RegDeleteKeyA(HKEY_CURRENT_USER, nullptr), ERROR_ACCESS_DENIED);
    QCOMPARE(RegOpenKeyExA(0x1234, "x", 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
    HKEY h = 0;
    QCOMPARE(RegOpenKeyExA(0x1234, "x", 0, KEY_READ, &h), ERROR_INVALID_HANDLE);
}

void tst_Registry::deleteMissingValue()
{
    HKEY h = 0;
    QCOMPARE(createKey(HKEY_CURRENT_USER, "Vals", &h), ERROR_SUCCESS);
    QCOMPARE(RegDeleteValueA(h, "nothing"), ERROR_FILE_NOT_FOUND);
    QCOMPARE(setDword(h, "one", 1), ERROR_SUCCESS);
    QCOMPARE(RegDeleteValueA(h, "ONE"), ERROR_SUCCESS);
    DWORD cb = 0;
    QCOMPARE(RegQueryValueExA(h, "one", nullptr, nullptr, nullptr, &cb), ERROR_FILE_NOT_FOUND);
    RegCloseKey(h);
}

void tst_Registry::handleRightsAreEnforced()
{
    QCOMPARE(createKey(HKEY_CURRENT_USER, "Rights"), ERROR_SUCCESS);
    HKEY h = 0;
    QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Rights", 0, KEY_READ, &h), ERROR_SUCCESS);
    QCOMPARE(setDword(h, "v", 1), ERROR_ACCESS_DENIED);
    RegCloseKey(h);
    QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Rights", 0, KEY_WRITE, &h), ERROR_SUCCESS);
    QCOMPARE(setDword(h, "v", 1), ERROR_SUCCESS);
    DWORD cb = 0;
    QCOMPARE(RegQueryValueExA(h, "v", nullptr, nullptr, nullptr, &cb), ERROR_ACCESS_DENIED);
    RegCloseKey(h);
}

void tst_Registry::otherOwnersKeyIsReadOnly()
{
    HKEY h = 0;
    QCOMPARE(createKey(HKEY_CURRENT_USER, "Theirs\\Sub", &h), ERROR_SUCCESS);
    QCOMPARE(setDword(h, "v", 1), ERROR_SUCCESS);
    RegCloseKey(h);
    QCOMPARE(RegSetKeyOwner(HKEY_CURRENT_USER, "Theirs\\Sub", "someone-else"), ERROR_SUCCESS);
    QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Theirs\\Sub", 0, KEY_WRITE, &h), ERROR_ACCESS_DENIED);
    QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Theirs\\Sub", 0, KEY_READ, &h), ERROR_SUCCESS);
    quint32 v = 0;
    DWORD cb = sizeof v;
    QCOMPARE(RegQueryValueExA(h, "v", nullptr, nullptr, reinterpret_cast<LPBYTE>(&v), &cb), ERROR_SUCCESS);
    RegCloseKey(h);
    // Our own parent cannot take their key away with it, and nothing is half deleted.
    QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Theirs", 0, KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
    QCOMPARE(SHDeleteKeyA(h, ""), ERROR_ACCESS_DENIED);
    RegCloseKey(h);
    QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Theirs\\Sub", 0, KEY_READ, &h), ERROR_SUCCESS);
    RegCloseKey(h);
    QCOMPARE(RegSetKeyOwner(HKEY_CURRENT_USER, "Theirs\\Sub", CurrentUserName()), ERROR_ACCESS_DENIED);
}

void tst_Registry::everyoneGrantOpensKeyToAll()
{
    SECURITY_DESCRIPTOR sd;
    QVERIFY(InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION));
    QVERIFY(SetSecurityDescriptorDacl(&sd, 1, nullptr, 0));
    QVERIFY(!SetSecurityDescriptorDacl(&sd, 1, &sd, 0)); // only the null DACL exists
    SECURITY_ATTRIBUTES sa;
    sa.lpSecurityDescriptor = &sd;
    QCOMPARE(createKey(HKEY_CURRENT_USER, "Shared", nullptr, &sa), ERROR_SUCCESS);
    QCOMPARE(RegSetKeyOwner(HKEY_CURRENT_USER, "Shared", "someone-else"), ERROR_SUCCESS);
    HKEY h = 0;
    QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Shared", 0, KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
    QCOMPARE(setDword(h, "v", 1), ERROR_SUCCESS);
    RegCloseKey(h);
}

void tst_Registry::accessCheck_data()
{
    QTest::addColumn<QByteArray>("owner");
    QTest::addColumn<bool>("everyone");
    QTest::addColumn<uint>("desired");
    QTest::addColumn<bool>("granted");
    const QByteArray me(CurrentUserName());
    QTest::newRow("owner all") << me << false << uint(KEY_ALL_ACCESS) << true;
    QTest::newRow("owner write") << me << false << uint(KEY_WRITE) << true;
    QTest::newRow("other read") << QByteArray("someone-else") << false << uint(KEY_READ) << true;
    QTest::newRow("other write") << QByteArray("someone-else") << false << uint(KEY_WRITE) << false;
    QTest::newRow("other delete") << QByteArray("someone-else") << false << uint(DELETE) << false;
    QTest::newRow("other generic read") << QByteArray("someone-else") << false << uint(GENERIC_READ) << true;
    QTest::newRow("everyone write") << QByteArray("someone-else") << true << uint(KEY_WRITE) << true;
    QTest::newRow("everyone all") << QByteArray("someone-else") << true << uint(KEY_ALL_ACCESS) << true;
}

void tst_Registry::accessCheck()
{
    QFETCH(QByteArray, owner);
    QFETCH(bool, everyone);
    QFETCH(uint, desired);
    QFETCH(bool, granted);
    SECURITY_DESCRIPTOR sd;
    SECURITY_ATTRIBUTES sa;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&sd, 1, nullptr, 0);
    sa.lpSecurityDescriptor = &sd;
    QCOMPARE(createKey(HKEY_CURRENT_USER, "Checked", nullptr, everyone ? &sa : nullptr), ERROR_SUCCESS);
    QCOMPARE(RegSetKeyOwner(HKEY_CURRENT_USER, "Checked", owner.constData()), ERROR_SUCCESS);
    HKEY h = 0;
    QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Checked", 0, KEY_READ, &h), ERROR_SUCCESS);
    DWORD size = 0;
    QCOMPARE(RegGetKeySecurity(h, 7, nullptr, &size), ERROR_INSUFFICIENT_BUFFER);
    QByteArray buffer(size, '\0');
    QCOMPARE(RegGetKeySecurity(h, 7, buffer.data(), &size), ERROR_SUCCESS);
    RegCloseKey(h);
    QVERIFY(IsValidSecurityDescriptor(buffer.constData()));
    const GENERIC_MAPPING mapping{KEY_READ, KEY_WRITE, KEY_EXECUTE, KEY_ALL_ACCESS};
    ACCESS_MASK mask = 0;
    BOOL status = 0;
    QVERIFY(AccessCheck(buffer.constData(), nullptr, desired, &mapping, &mask, &status));
    QCOMPARE(bool(status), granted);
    QVERIFY(AccessCheck(buffer.constData(), nullptr, MAXIMUM_ALLOWED, &mapping, &mask, &status));
    ACCESS_MASK mapped = desired;
    MapGenericMask(&mapped, &mapping);
    QCOMPARE((mask & mapped) == mapped, granted);
    QVERIFY(!IsValidSecurityDescriptor("garbage-garbage-garbage-garbage"));
    QVERIFY(!AccessCheck("garbage-garbage-garbage-garbage", nullptr, KEY_READ, &mapping, &mask, &status));
    QCOMPARE(GetLastError(), DWORD(ERROR_INVALID_SECURITY_DESCR));
}

void tst_Registry::missingStoreReadsAsEmpty()
{
    HKEY h = 0;
    QCOMPARE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "", 0, KEY_READ, &h), ERROR_SUCCESS);
    char name[16];
    QCOMPARE(RegEnumKeyA(h, 0, name, sizeof name), ERROR_NO_MORE_ITEMS);
    DWORD cb = 0;
    QCOMPARE(RegQueryValueExA(h, "v", nullptr, nullptr, nullptr, &cb), ERROR_FILE_NOT_FOUND);
    RegCloseKey(h);
    QCOMPARE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
    QVERIFY(!QFile::exists(m_dir->filePath("machine.db")));
    // The first write makes the store, and a handle opened before still works.
    QCOMPARE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "", 0, KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
    QCOMPARE(createKey(HKEY_LOCAL_MACHINE, "Software"), ERROR_SUCCESS);
    QVERIFY(QFile::exists(m_dir->filePath("machine.db")));
    QCOMPARE(RegEnumKeyA(h, 0, name, sizeof name), ERROR_SUCCESS);
    QCOMPARE(QByteArray(name), QByteArray("Software"));
    RegCloseKey(h);
}

void tst_Registry::corruptStoreFailsAndIsKept()
{
    QCOMPARE(createKey(HKEY_LOCAL_MACHINE, "Machine\\Kept"), ERROR_SUCCESS);
    QByteArray garbage;
    for (int i = 0; i < 8192; ++i)
        garbage.append(char((i * 7919 + 13) % 251));
    QFile f(m_dir->filePath("user.db"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(garbage);
    f.close();
    HKEY h = 0;
    QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &h), ERROR_BADDB);
    QCOMPARE(createKey(HKEY_CURRENT_USER, "Software"), ERROR_BADDB);
    QCOMPARE(setDword(HKEY_CURRENT_USER, "v", 1), ERROR_BADDB);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), garbage);
    f.close();
    // The other store is untouched.
    QCOMPARE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Machine\\Kept", 0, KEY_READ, &h), ERROR_SUCCESS);
    RegCloseKey(h);
}

void tst_Registry::unusableStorePlace()
{
    // The store folder is a plain file: nothing can be made there, reads find nothing.
    const QString blocker = m_dir->filePath("blocker");
    QFile f(blocker);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    qputenv("QM6_REGISTRY_DIR", blocker.toUtf8());
    HKEY h = 0;
    QCOMPARE(createKey(HKEY_CURRENT_USER, "Software"), ERROR_ACCESS_DENIED);
    QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
    // The store file is a folder.
    qputenv("QM6_REGISTRY_DIR", m_dir->path().toUtf8());
    QVERIFY(QDir(m_dir->path()).mkdir("user.db"));
    QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &h), ERROR_ACCESS_DENIED);
    QCOMPARE(createKey(HKEY_CURRENT_USER, "Software"), ERROR_ACCESS_DENIED);
    if (geteuid() != 0) {
        // A store folder we may not enter.
        QDir(m_dir->path()).mkdir("closed");
        const QString closed = m_dir->filePath("closed");
        qputenv("QM6_REGISTRY_DIR", closed.toUtf8());
        QCOMPARE(createKey(HKEY_CURRENT_USER, "Software"), ERROR_SUCCESS);
        QFile::setPermissions(closed, QFileDevice::Permissions());
        QVERIFY(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &h) != ERROR_SUCCESS);
        QFile::setPermissions(closed, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}

void tst_Registry::formatMessage_data()
{
    QTest::addColumn<uint>("code");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("2") << 2u << QByteArray("The system cannot find the file specified.\r\n");
    QTest::newRow("5") << 5u << QByteArray("Access is denied.\r\n");
    QTest::newRow("87") << 87u << QByteArray("The parameter is incorrect.\r\n");
    QTest::newRow("122") << 122u << QByteArray("The data area passed to a system call is too small.\r\n");
    QTest::newRow("234") << 234u << QByteArray("More data is available.\r\n");
    QTest::newRow("259") << 259u << QByteArray("No more data is available.\r\n");
    QTest::newRow("1010") << 1010u << QByteArray("The configuration registry key is invalid.\r\n");
    QTest::newRow("1018") << 1018u
                          << QByteArray("Illegal operation attempted on a registry key that has been marked for deletion.\r\n");
    QTest::newRow("unknown") << 424242u << QByteArray();
}

void tst_Registry::formatMessage()
{
    QFETCH(uint, code);
    QFETCH(QByteArray, text);
    char buffer[1024];
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, 0, buffer, sizeof buffer, nullptr);
    QCOMPARE(QByteArray(buffer, int(n)), text);
    if (n)
        QCOMPARE(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, 0, buffer, 4, nullptr), 0u);
}

void tst_Registry::versionPlatformOverride_data()
{
    QTest::addColumn<QByteArray>("env");
    QTest::addColumn<uint>("platform");
    QTest::newRow("default") << QByteArray() << 2u;
    QTest::newRow("9x") << QByteArray("1") << 1u;
    QTest::newRow("unknown") << QByteArray("3") << 3u;
    QTest::newRow("not a number") << QByteArray("x") << 2u;
}

void tst_Registry::versionPlatformOverride()
{
    QFETCH(QByteArray, env);
    QFETCH(uint, platform);
    if (!env.isEmpty())
        qputenv("QM6_PLATFORM_ID", env);
    OSVERSIONINFOA info{};
    QVERIFY(!GetVersionExA(&info)); // size not filled in
    info.dwOSVersionInfoSize = sizeof info;
    QVERIFY(GetVersionExA(&info));
    QCOMPARE(info.dwPlatformId, platform);
}

void tst_Registry::expandEnvironment_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("one") << QByteArray("%QM6_T_A%\\x") << QByteArray("alpha\\x");
    QTest::newRow("two") << QByteArray("%QM6_T_A%%QM6_T_B%") << QByteArray("alphabeta");
    QTest::newRow("unknown kept") << QByteArray("%QM6_T_NONE%") << QByteArray("%QM6_T_NONE%");
    QTest::newRow("lone sign") << QByteArray("50% off") << QByteArray("50% off");
    QTest::newRow("sign before name") << QByteArray("50% %QM6_T_A%") << QByteArray("50% alpha");
    QTest::newRow("double sign") << QByteArray("%%") << QByteArray("%%");
    QTest::newRow("empty") << QByteArray("") << QByteArray("");
}

void tst_Registry::expandEnvironment()
{
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, expected);
    qputenv("QM6_T_A", "alpha");
    qputenv("QM6_T_B", "beta");
    const DWORD n = ExpandEnvironmentStringsA(source.constData(), nullptr, 0);
    QCOMPARE(n, DWORD(expected.size() + 1));
    QByteArray buffer(int(n), 'z');
    QCOMPARE(ExpandEnvironmentStringsA(source.constData(), buffer.data(), n - 1), n); // too small: untouched
    QCOMPARE(buffer, QByteArray(int(n), 'z'));
    QCOMPARE(ExpandEnvironmentStringsA(source.constData(), buffer.data(), n), n);
    QCOMPARE(QByteArray(buffer.constData()), expected);
}

void tst_Registry::valuesPersistAcrossProcesses()
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--writer", "persist", "3"});
    QVERIFY(child.waitForFinished(120000));
    QCOMPARE(child.exitCode(), 0);
    HKEY h = 0;
    QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Concurrent", 0, KEY_READ, &h), ERROR_SUCCESS);
    quint32 v = 0;
    DWORD cb = sizeof v;
    QCOMPARE(RegQueryValueExA(h, "persist_2", nullptr, nullptr, reinterpret_cast<LPBYTE>(&v), &cb), ERROR_SUCCESS);
    QCOMPARE(v, 2u);
    RegCloseKey(h);
}

void tst_Registry::concurrentWritersKeepAllWrites()
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
    QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Concurrent", 0, KEY_READ, &h), ERROR_SUCCESS);
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

int main(int argc, char **argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--writer") == 0)
        return runWriter(QByteArray(argv[2]), QByteArray(argv[3]).toInt());
    QCoreApplication app(argc, argv);
    tst_Registry tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_registry.moc"
