// The registry's store files: where they live, who may read them, a store another process keeps
// locked, and stores that are broken or damaged. Also built with AddressSanitizer and UBSan.
#include "registrystore.h"
#include "unixusers.h"
#include "registrykeys.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

#include <cstdio>

#include <dlfcn.h>

using namespace registrykeys;
using namespace unixusers;

namespace {

// A second connection to a store file, outside the registry code, for locks and damage.
class RawStore {
public:
    explicit RawStore(const QString &path) { sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr); }
    ~RawStore() { sqlite3_close_v2(m_db); }
    RawStore(const RawStore &) = delete;
    RawStore &operator=(const RawStore &) = delete;
    bool exec(const char *sql)
    {
        char *msg = nullptr;
        const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &msg);
        if (rc != SQLITE_OK)
            qWarning("%s: %s", sql, msg ? msg : "?");
        sqlite3_free(msg);
        return rc == SQLITE_OK;
    }

private:
    sqlite3 *m_db = nullptr;
};

// Child: writes HKLM\Software\Shared with two subkeys under a umask that would hide them from
// others, then exits, so that the store is closed as an installation leaves it.
int runMachineWriter()
{
    ::umask(077);
    for (const char *path : {"Software\\Shared\\One", "Software\\Shared\\Two"}) {
        if (LONG rc = createKey(HKEY_LOCAL_MACHINE, path)) {
            fprintf(stderr, "create %s failed: %d\n", path, int(rc));
            return 2;
        }
    }
    return 0;
}

// Child, run as another user: prints the subkeys of HKLM\Software\Shared and the result of a
// write, which must be refused.
int runMachineReader()
{
    HKEY h = 0;
    LONG rc = openKey(HKEY_LOCAL_MACHINE, "Software\\Shared", KEY_READ, &h);
    QByteArray out = "open=" + QByteArray::number(rc);
    for (DWORD i = 0; rc == ERROR_SUCCESS; ++i) {
        char name[256];
        rc = RegEnumKeyA(h, i, name, sizeof name);
        if (rc == ERROR_SUCCESS)
            out += ' ' + QByteArray(name);
    }
    out += " enum=" + QByteArray::number(rc);
    out += " write=" + QByteArray::number(createKey(HKEY_LOCAL_MACHINE, "Software\\Shared\\Mine"));
    RegCloseKey(h);
    printf("%s\n", out.constData());
    return 0;
}

// Child: damages the tree in the user store and deletes it; prints the delete's result. In a
// child so that a delete that never returns fails the test instead of hanging it.
int runDamagedDelete(const QByteArray &damage)
{
    HKEY target = 0;
    if (createKey(HKEY_CURRENT_USER, "Tree\\Child\\Grandchild") || createKey(HKEY_CURRENT_USER, "Other")
        || openKey(HKEY_CURRENT_USER, "Tree", KEY_ALL_ACCESS, &target))
        return 2;
    RawStore raw(QDir(qEnvironmentVariable("QM6_REGISTRY_DIR")).filePath(QStringLiteral("user.db")));
    QByteArray sql;
    if (damage == "root")
        // The root hangs below its own child.
        sql = "UPDATE keys SET parent=(SELECT id FROM keys WHERE name='Tree') WHERE id=1";
    else
        // A key hangs below its own grandchild; only a handle opened before still reaches it.
        sql = "UPDATE keys SET parent=(SELECT id FROM keys WHERE name='Grandchild') WHERE name='Tree'";
    if (!raw.exec(sql.constData()))
        return 3;
    const LONG rc = damage == "root" ? SHDeleteKeyA(HKEY_CURRENT_USER, "Tree") : SHDeleteKeyA(target, "");
    printf("%d\n", int(rc));
    return 0;
}

// How many of this process's open files are the store file.
int openHandlesOn(const QString &path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    int n = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : fds.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot))
        n += QFileInfo(fds.filePath(fd)).symLinkTarget() == target ? 1 : 0;
    return n;
}

} // namespace

class tst_RegistryStore : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = new QTemporaryDir;
        QVERIFY(m_dir->isValid());
        m_home = qgetenv("HOME");
        m_hadXdgConfig = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        m_xdgConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("QM6_REGISTRY_DIR", m_dir->path().toUtf8());
    }

    void cleanup()
    {
        RegCloseStores();
        qputenv("HOME", m_home);
        if (m_hadXdgConfig)
            qputenv("XDG_CONFIG_HOME", m_xdgConfig);
        else
            qunsetenv("XDG_CONFIG_HOME");
        delete m_dir;
        m_dir = nullptr;
    }

    void defaultStorePaths_data()
    {
        QTest::addColumn<QString>("xdgConfig"); // "-" leaves it unset
        QTest::addColumn<QString>("expected");  // below the temporary folder
        QTest::newRow("XDG_CONFIG_HOME") << "xdg" << "xdg/quillmark6/registry.db";
        QTest::newRow("XDG_CONFIG_HOME unset") << "-" << "home/.config/quillmark6/registry.db";
        QTest::newRow("XDG_CONFIG_HOME empty") << "" << "home/.config/quillmark6/registry.db";
    }

    // Without QM6_REGISTRY_DIR the user's keys come from the config folder, never from the machine
    // store. Only read there: a mix-up must not write into the machine's real store.
    void defaultStorePaths()
    {
        QFETCH(QString, xdgConfig);
        QFETCH(QString, expected);
        QCOMPARE(createKey(HKEY_CURRENT_USER, "Software\\Where"), ERROR_SUCCESS);
        RegCloseStores();
        const QString userStore = m_dir->filePath(expected);
        QVERIFY(QDir().mkpath(QFileInfo(userStore).absolutePath()));
        QVERIFY(QFile::copy(m_dir->filePath(QStringLiteral("user.db")), userStore));

        qunsetenv("QM6_REGISTRY_DIR");
        qputenv("HOME", m_dir->filePath(QStringLiteral("home")).toUtf8());
        if (xdgConfig == QLatin1String("-"))
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", xdgConfig.isEmpty() ? QByteArray() : m_dir->filePath(xdgConfig).toUtf8());
        QCOMPARE(detail::storePath(detail::Hive::User), userStore);
        QCOMPARE(detail::storePath(detail::Hive::Machine), QStringLiteral("/var/lib/quillmark6/registry.db"));
        QCOMPARE(openKey(HKEY_CURRENT_USER, "Software\\Where", KEY_READ), ERROR_SUCCESS);
        QCOMPARE(openKey(HKEY_LOCAL_MACHINE, "Software\\Where", KEY_READ), ERROR_FILE_NOT_FOUND);
    }

    // The user's store and its side files are its owner's alone, whatever the umask; the machine
    // store is readable by everybody. A user store left readable by an earlier version is closed up.
    void storeFileModes()
    {
        const mode_t oldMask = ::umask(0);
        QCOMPARE(createKey(HKEY_CURRENT_USER, "Software\\Mode"), ERROR_SUCCESS);
        QCOMPARE(createKey(HKEY_LOCAL_MACHINE, "Software\\Mode"), ERROR_SUCCESS);
        ::umask(oldMask);
        const QString user = m_dir->filePath(QStringLiteral("user.db"));
        const QString machine = m_dir->filePath(QStringLiteral("machine.db"));
        for (const char *suffix : {"", "-wal", "-shm"}) {
            QVERIFY2(QFile::exists(user + QLatin1String(suffix)), suffix);
            QCOMPARE(fileMode(user + QLatin1String(suffix)), 0600);
        }
        QCOMPARE(fileMode(machine), 0644);
        for (const char *suffix : {"-wal", "-shm", "-journal"})
            QVERIFY2(!QFile::exists(machine + QLatin1String(suffix)), suffix);

        RegCloseStores();
        QVERIFY(::chmod(QFile::encodeName(user).constData(), 0644) == 0);
        QCOMPARE(openKey(HKEY_CURRENT_USER, "Software\\Mode", KEY_READ), ERROR_SUCCESS);
        QCOMPARE(fileMode(user), 0600);
    }

    void otherUserReadsMachineStore_data()
    {
        QTest::addColumn<bool>("writerStillOpen");
        QTest::newRow("store closed, no side files") << false;
        QTest::newRow("store open in another process") << true;
    }

    // An installation writes the machine store as root; every user reads it, nobody else writes it.
    void otherUserReadsMachineStore()
    {
        QFETCH(bool, writerStillOpen);
        if (::geteuid() != 0)
            QSKIP("needs root to make the store and to run a reader as another user");
        QString error;
        QVERIFY2(ensureOtherUser(&error), qPrintable(error));
        // The store's folder as an installation makes it, and a copy of this program the other
        // user may run wherever the build tree lives.
        QVERIFY(QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                         | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                                                         | QFileDevice::ExeGroup | QFileDevice::ReadOther
                                                         | QFileDevice::ExeOther));
        const QString reader = m_dir->filePath(QStringLiteral("reader"));
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), reader));
        QVERIFY(::chmod(QFile::encodeName(reader).constData(), 0755) == 0);

        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--write-machine")});
        QVERIFY(writer.waitForFinished(60000));
        QCOMPARE(writer.exitCode(), 0);
        const QString machine = m_dir->filePath(QStringLiteral("machine.db"));
        QCOMPARE(fileMode(machine), 0644);
        for (const char *suffix : {"-wal", "-shm", "-journal"})
            QVERIFY2(!QFile::exists(machine + QLatin1String(suffix)), suffix);
        if (writerStillOpen)
            QCOMPARE(openKey(HKEY_LOCAL_MACHINE, "Software\\Shared", KEY_READ), ERROR_SUCCESS);

        // The other user may not reach a leak suppression file in the build tree; the reader needs none.
        QProcess p;
        p.start(QStringLiteral("runuser"), {QStringLiteral("-u"), QString::fromLatin1(kOtherUser), QStringLiteral("--"),
                                            QStringLiteral("env"), QStringLiteral("-u"), QStringLiteral("LSAN_OPTIONS"),
                                            QStringLiteral("QM6_REGISTRY_DIR=") + m_dir->path(), reader,
                                            QStringLiteral("--read-machine")});
        QVERIFY(p.waitForFinished(60000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        QCOMPARE(p.readAllStandardOutput().trimmed(),
                 QByteArray("open=0 One Two enum=259 write=") + QByteArray::number(ERROR_ACCESS_DENIED));
        QCOMPARE(openKey(HKEY_LOCAL_MACHINE, "Software\\Shared\\Mine", KEY_READ), ERROR_FILE_NOT_FOUND);
    }

    void lockedStoreFailsFast_data()
    {
        QTest::addColumn<bool>("machine");
        QTest::addColumn<QByteArray>("lock");
        QTest::newRow("machine store, exclusive transaction") << true << QByteArray("BEGIN EXCLUSIVE");
        QTest::newRow("user store, exclusive locking mode")
            << false << QByteArray("PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE");
    }

    // A store another process keeps locked is reported as locked within seconds, not after half a
    // minute, and serves again once the lock is gone.
    void lockedStoreFailsFast()
    {
        QFETCH(bool, machine);
        QFETCH(QByteArray, lock);
        const HKEY root = machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
        HKEY h = 0;
        QCOMPARE(createKey(root, "Software\\Locked", &h), ERROR_SUCCESS);
        QCOMPARE(setDword(h, "v", 7), ERROR_SUCCESS);
        // Another process's lock: this process must not have the store open while it is taken.
        RegCloseStores();
        {
            RawStore raw(m_dir->filePath(QLatin1String(machine ? "machine.db" : "user.db")));
            QVERIFY(raw.exec(lock + "; UPDATE keys SET modified=modified WHERE id=1"));
            QElapsedTimer waited;
            waited.start();
            DWORD cb = 4;
            quint32 v = 0;
            QCOMPARE(RegQueryValueExA(h, "v", nullptr, nullptr, reinterpret_cast<LPBYTE>(&v), &cb), ERROR_LOCK_VIOLATION);
            QCOMPARE(setDword(h, "w", 1), ERROR_LOCK_VIOLATION);
            // Two calls, each allowed a short wait; the old half-minute wait would take a minute.
            QVERIFY2(waited.elapsed() < 10000, qPrintable(QString::number(waited.elapsed())));
        }
        DWORD cb = 4;
        quint32 v = 0;
        QCOMPARE(RegQueryValueExA(h, "v", nullptr, nullptr, reinterpret_cast<LPBYTE>(&v), &cb), ERROR_SUCCESS);
        QCOMPARE(v, 7u);
        RegCloseKey(h);
    }

    void damagedTreeEnds_data()
    {
        QTest::addColumn<QByteArray>("damage");
        QTest::newRow("root below its own child") << QByteArray("root");
        QTest::newRow("key below its own grandchild") << QByteArray("key");
    }

    // A tree that loops back on itself is reported as a corrupt store; the delete ends and takes
    // nothing with it.
    void damagedTreeEnds()
    {
        QFETCH(QByteArray, damage);
        QProcess p;
        p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--damaged-delete"), QString::fromLatin1(damage)});
        const bool finished = p.waitForFinished(30000);
        if (!finished) {
            p.kill();
            p.waitForFinished();
        }
        QVERIFY2(finished, "the delete did not end");
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        QCOMPARE(p.readAllStandardOutput().trimmed(), QByteArray::number(ERROR_BADDB));
        QCOMPARE(openKey(HKEY_CURRENT_USER, "Other", KEY_READ), ERROR_SUCCESS);
        if (damage == "root")
            QCOMPARE(openKey(HKEY_CURRENT_USER, "Tree\\Child\\Grandchild", KEY_READ), ERROR_SUCCESS);
    }

    void brokenStore_data()
    {
        QTest::addColumn<QString>("broken");
        QTest::addColumn<int>("openRc");
        QTest::addColumn<int>("createRc");
        QTest::newRow("corrupt store file") << "corrupt" << int(ERROR_BADDB) << int(ERROR_BADDB);
        QTest::newRow("store folder is a file") << "file" << int(ERROR_FILE_NOT_FOUND) << int(ERROR_ACCESS_DENIED);
        QTest::newRow("store file is a folder") << "folder" << int(ERROR_ACCESS_DENIED) << int(ERROR_ACCESS_DENIED);
        QTest::newRow("store folder closed") << "closed" << int(ERROR_FILE_NOT_FOUND) << int(ERROR_ACCESS_DENIED);
    }

    // Each broken store fails with its error, and nothing else is lost.
    void brokenStore()
    {
        QFETCH(QString, broken);
        QFETCH(int, openRc);
        QFETCH(int, createRc);
        QCOMPARE(createKey(HKEY_LOCAL_MACHINE, "Machine\\Kept"), ERROR_SUCCESS);
        QByteArray garbage;
        for (int i = 0; i < 8192; ++i)
            garbage.append(char((i * 7919 + 13) % 251));
        QFile f(m_dir->filePath(broken == "corrupt" ? "user.db" : broken));
        if (broken == "folder" || broken == "closed") {
            QVERIFY(QDir(m_dir->path()).mkdir(broken == "folder" ? "user.db" : "closed"));
        } else {
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(garbage);
            f.close();
        }
        if (broken == "file" || broken == "closed")
            qputenv("QM6_REGISTRY_DIR", f.fileName().toUtf8());
        if (broken == "closed") {
            if (geteuid() == 0)
                QSKIP("root enters every folder");
            QCOMPARE(createKey(HKEY_CURRENT_USER, "Software"), ERROR_SUCCESS);
            QFile::setPermissions(f.fileName(), QFileDevice::Permissions());
        }
        const int rcOpen = openKey(HKEY_CURRENT_USER, "Software", KEY_READ);
        const int rcCreate = createKey(HKEY_CURRENT_USER, "Software");
        const int rcSet = setDword(HKEY_CURRENT_USER, "v", 1);
        QFile::setPermissions(f.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(rcOpen, openRc);
        QCOMPARE(rcCreate, createRc);
        QCOMPARE(rcSet, createRc);
        if (broken == "corrupt" || broken == "file") {
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), garbage);
        }
        qputenv("QM6_REGISTRY_DIR", m_dir->path().toUtf8());
        QCOMPARE(openKey(HKEY_LOCAL_MACHINE, "Machine\\Kept", KEY_READ), ERROR_SUCCESS);
    }

    // A library with its own copy of the registry closes its stores when it is unloaded; otherwise
    // their connections stay open with no code left that could close them.
    void storesCloseWithTheLibrary()
    {
        const QString store = m_dir->filePath(QStringLiteral("user.db"));
        void *library = dlopen(QM6_REGISTRY_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        QVERIFY2(library, dlerror());
        using TouchFn = int (*)(const char *);
        const auto touch = reinterpret_cast<TouchFn>(dlsym(library, "QM6TouchUserStore"));
        QVERIFY(touch);
        QCOMPARE(touch("Software\\Library"), int(ERROR_SUCCESS));
        QVERIFY(openHandlesOn(store) > 0);
        QCOMPARE(dlclose(library), 0);
        QCOMPARE(openHandlesOn(store), 0);
        QCOMPARE(openKey(HKEY_CURRENT_USER, "Software\\Library", KEY_READ), ERROR_SUCCESS);
    }

private:
    QTemporaryDir *m_dir = nullptr;
    QByteArray m_home, m_xdgConfig;
    bool m_hadXdgConfig = false;
};

int main(int argc, char **argv)
{
    if (argc == 2 && qstrcmp(argv[1], "--write-machine") == 0)
        return runMachineWriter();
    if (argc == 2 && qstrcmp(argv[1], "--read-machine") == 0)
        return runMachineReader();
    if (argc == 3 && qstrcmp(argv[1], "--damaged-delete") == 0)
        return runDamagedDelete(QByteArray(argv[2]));
    QCoreApplication app(argc, argv);
    tst_RegistryStore tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_registrystore.moc"
