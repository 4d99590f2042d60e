#include "registrystore.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QThread>
#include <QStringDecoder>

#include <sqlite3.h>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace qm6reg::detail {

namespace {

// Long enough for another process to finish a burst of writes, short enough that a store another
// process keeps locked is reported while the user still waits for an answer.
constexpr int kBusyTimeoutMs = 2000;

// The user's settings are nobody else's business; the machine's are read by every user.
constexpr mode_t kUserStoreMode = 0600;
constexpr mode_t kMachineStoreMode = 0644;

const char *const kSchema =
    "CREATE TABLE IF NOT EXISTS keys("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " parent INTEGER NOT NULL,"
    " name TEXT NOT NULL,"
    " fold TEXT NOT NULL,"
    " owner TEXT NOT NULL,"
    " everyone INTEGER NOT NULL DEFAULT 0,"
    " modified INTEGER NOT NULL DEFAULT 0,"
    " UNIQUE(parent, fold));"
    "CREATE TABLE IF NOT EXISTS vals("
    " seq INTEGER PRIMARY KEY AUTOINCREMENT,"
    " key INTEGER NOT NULL,"
    " name TEXT NOT NULL,"
    " fold TEXT NOT NULL,"
    " type INTEGER NOT NULL,"
    " data BLOB NOT NULL,"
    " UNIQUE(key, fold));";

struct OpenStore {
    sqlite3 *db = nullptr;
    QString path;
    bool standIn = false; // in-memory empty store standing for a file that does not exist yet
};

OpenStore g_stores[2];

void closeStore(OpenStore &s)
{
    if (s.db)
        sqlite3_close_v2(s.db);
    s = OpenStore();
}

// A library that carries its own copy of this code closes its stores when it is unloaded;
// otherwise the connections would outlive the code that could ever close them.
struct StoreCloser {
    ~StoreCloser()
    {
        for (OpenStore &s : g_stores)
            closeStore(s);
    }
} g_storeCloser;

LONG exec(sqlite3 *db, const char *sql)
{
    return fromSqlite(sqlite3_exec(db, sql, nullptr, nullptr, nullptr));
}

// Tables and root key, made only where they are missing so that a read-only store still opens.
LONG ensureSchema(sqlite3 *db)
{
    Stmt probe(db, "SELECT count(*) FROM sqlite_master WHERE type='table' AND name IN ('keys','vals')");
    int rc = probe.step();
    if (rc != SQLITE_ROW)
        return fromSqlite(probe.prepareResult() != SQLITE_OK ? probe.prepareResult() : rc);
    if (probe.int64(0) == 2) {
        Stmt root(db, "SELECT 1 FROM keys WHERE id=1");
        rc = root.step();
        if (rc == SQLITE_ROW)
            return ERROR_SUCCESS;
        if (rc != SQLITE_DONE)
            return fromSqlite(rc);
    }
    Txn txn(db, true);
    if (LONG e = txn.begin())
        return e;
    if (LONG e = exec(db, kSchema))
        return e;
    Stmt ins(db, "INSERT OR IGNORE INTO keys(id,parent,name,fold,owner,everyone,modified) VALUES(1,0,'','',?,0,?)");
    ins.bind(1, currentUser()).bind(2, QDateTime::currentMSecsSinceEpoch());
    if (ins.step() != SQLITE_DONE)
        return fromSqlite(sqlite3_errcode(db));
    return txn.commit();
}

// Makes the empty store file with its mode, whatever the umask says. SQLite gives its journal,
// write-ahead log and shared-memory files the mode of the store file.
LONG createStoreFile(const QString &path, mode_t mode)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return errno == EEXIST ? ERROR_SUCCESS : ERROR_ACCESS_DENIED; // another process made it first
    const bool ok = ::fchmod(fd, mode) == 0;
    ::close(fd);
    return ok ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// Earlier versions made the user's store readable by everybody; its owner takes that back.
void keepUserStorePrivate(const QString &path)
{
    for (const char *suffix : {"", "-wal", "-shm", "-journal"}) {
        const QByteArray name = QFile::encodeName(path) + suffix;
        struct stat st {};
        if (::stat(name.constData(), &st) == 0 && st.st_uid == ::geteuid() && (st.st_mode & 077))
            ::chmod(name.constData(), kUserStoreMode);
    }
}

// The user's store keeps a write-ahead log: readers and the writer do not wait for each other.
// The machine store keeps a rollback journal: a write-ahead log cannot be read without its
// shared-memory file, which a user who may not write the store's folder cannot make once the
// last writer has removed it.
LONG setWriteAheadLog(sqlite3 *db)
{
    const LONG e = exec(db, "PRAGMA journal_mode=WAL");
    return e ? e : exec(db, "PRAGMA synchronous=NORMAL");
}

// Leaving the write-ahead log needs the store to itself. While another process has it open,
// the machine store stays as it is until a later open; that is no reason to wait or to fail.
void leaveWriteAheadLog(sqlite3 *db)
{
    sqlite3_busy_timeout(db, 0);
    exec(db, "PRAGMA journal_mode=DELETE");
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
}

LONG openFile(Hive hive, const QString &path, bool create, sqlite3 **out)
{
    if (create) {
        if (LONG e = createStoreFile(path, hive == Hive::User ? kUserStoreMode : kMachineStoreMode))
            return e;
    }
    sqlite3 *db = nullptr;
    // Without SQLITE_OPEN_CREATE: the file was made above with its mode, and a store that
    // vanished in between is not made again behind the caller's back.
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        // A store we may only read still serves reads.
        sqlite3_close_v2(db);
        db = nullptr;
        rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_close_v2(db);
            return ERROR_ACCESS_DENIED;
        }
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db, 0);
    // SQLite opens a file it may not write read-only; such a connection reads the store as its
    // owner left it and changes nothing, not even the journal mode.
    const bool readOnly = sqlite3_db_readonly(db, "main") == 1;
    if (hive == Hive::User && !readOnly)
        keepUserStorePrivate(path);
    if (hive == Hive::Machine && !readOnly)
        leaveWriteAheadLog(db);
    // The first statement is the first touch of the file: a file that is not a database fails
    // here, and is left exactly as it was. While another process is still making or converting
    // the store, SQLite answers busy here without waiting, so wait ourselves.
    LONG e = ERROR_LOCK_VIOLATION;
    for (QElapsedTimer waited; e == ERROR_LOCK_VIOLATION;) {
        if (!waited.isValid())
            waited.start();
        else if (waited.elapsed() > kBusyTimeoutMs)
            break;
        else
            QThread::msleep(5);
        e = hive == Hive::User && !readOnly ? setWriteAheadLog(db) : ERROR_SUCCESS;
        if (!e)
            e = ensureSchema(db);
    }
    if (e) {
        sqlite3_close_v2(db);
        return e;
    }
    *out = db;
    return ERROR_SUCCESS;
}

LONG openStandIn(sqlite3 **out)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        return ERROR_OUTOFMEMORY;
    }
    if (LONG e = ensureSchema(db)) {
        sqlite3_close_v2(db);
        return e;
    }
    *out = db;
    return ERROR_SUCCESS;
}

} // namespace

QRecursiveMutex &storeMutex()
{
    static QRecursiveMutex m;
    return m;
}

QString storePath(Hive hive)
{
    const QString dir = qEnvironmentVariable("QM6_REGISTRY_DIR");
    if (!dir.isEmpty())
        return QDir(dir).filePath(hive == Hive::User ? QStringLiteral("user.db") : QStringLiteral("machine.db"));
    if (hive == Hive::Machine)
        return QStringLiteral("/var/lib/quillmark6/registry.db");
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir(qEnvironmentVariable("HOME", QDir::homePath())).filePath(QStringLiteral(".config"));
    return QDir(config).filePath(QStringLiteral("quillmark6/registry.db"));
}

QString currentUser()
{
    static const QString name = [] {
        if (const passwd *pw = getpwuid(geteuid()); pw && pw->pw_name)
            return QString::fromLocal8Bit(pw->pw_name);
        return QString::number(geteuid());
    }();
    return name;
}

LONG fromSqlite(int rc)
{
    switch (rc & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return ERROR_SUCCESS;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_FORMAT:
    case SQLITE_SCHEMA:
        return ERROR_BADDB;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_AUTH:
        return ERROR_ACCESS_DENIED;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return ERROR_LOCK_VIOLATION;
    case SQLITE_FULL:
        return ERROR_DISK_FULL;
    case SQLITE_NOMEM:
        return ERROR_OUTOFMEMORY;
    case SQLITE_TOOBIG:
        return ERROR_INVALID_PARAMETER;
    default:
        return ERROR_REGISTRY_IO_FAILED;
    }
}

ACCESS_MASK rightsOn(const QString &owner, bool everyone, const QString &user)
{
    if (everyone || owner == user)
        return KEY_ALL_ACCESS;
    return KEY_READ;
}

ACCESS_MASK mapKeyGeneric(ACCESS_MASK mask)
{
    if (mask & GENERIC_READ)
        mask |= KEY_READ;
    if (mask & GENERIC_WRITE)
        mask |= KEY_WRITE;
    if (mask & GENERIC_EXECUTE)
        mask |= KEY_EXECUTE;
    if (mask & GENERIC_ALL)
        mask |= KEY_ALL_ACCESS;
    return mask & ~(GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE | GENERIC_ALL);
}

Stmt::Stmt(sqlite3 *db, const char *sql) { m_rc = sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr); }

Stmt::~Stmt() { sqlite3_finalize(m_stmt); }

Stmt &Stmt::bind(int i, qint64 v)
{
    if (m_stmt)
        sqlite3_bind_int64(m_stmt, i, v);
    return *this;
}

Stmt &Stmt::bind(int i, const QString &v)
{
    if (m_stmt) {
        const QByteArray u = v.toUtf8();
        sqlite3_bind_text(m_stmt, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
    }
    return *this;
}

Stmt &Stmt::bindBlob(int i, const QByteArray &v)
{
    if (m_stmt)
        sqlite3_bind_blob(m_stmt, i, v.constData(), int(v.size()), SQLITE_TRANSIENT);
    return *this;
}

int Stmt::step()
{
    if (!m_stmt)
        return m_rc == SQLITE_OK ? SQLITE_MISUSE : m_rc;
    return sqlite3_step(m_stmt);
}

qint64 Stmt::int64(int col) const { return sqlite3_column_int64(m_stmt, col); }

QString Stmt::text(int col) const
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, col));
    return QString::fromUtf8(p, sqlite3_column_bytes(m_stmt, col));
}

QByteArray Stmt::blob(int col) const
{
    const auto *p = static_cast<const char *>(sqlite3_column_blob(m_stmt, col));
    return QByteArray(p, sqlite3_column_bytes(m_stmt, col));
}

Txn::Txn(sqlite3 *db, bool write) : m_db(db), m_write(write) {}

Txn::~Txn()
{
    if (m_open)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

LONG Txn::begin()
{
    LONG e = exec(m_db, m_write ? "BEGIN IMMEDIATE" : "BEGIN");
    m_open = (e == ERROR_SUCCESS);
    return e;
}

LONG Txn::commit()
{
    LONG e = exec(m_db, "COMMIT");
    if (e == ERROR_SUCCESS)
        m_open = false;
    return e;
}

LONG openStore(Hive hive, bool forWrite, sqlite3 **db)
{
    OpenStore &s = g_stores[hive == Hive::User ? 0 : 1];
    const QString path = storePath(hive);
    const bool exists = QFileInfo::exists(path);
    // Reopen when the place moved, or when the file appeared (or must now be made) behind a stand-in.
    if (s.db && (s.path != path || (s.standIn && (exists || forWrite)) || (!s.standIn && !exists)))
        closeStore(s);
    if (s.db) {
        *db = s.db;
        return ERROR_SUCCESS;
    }
    sqlite3 *handle = nullptr;
    LONG e;
    if (!exists && !forWrite) {
        e = openStandIn(&handle);
        s.standIn = true;
    } else {
        if (!exists) {
            const QFileInfo info(path);
            if (!QDir().mkpath(info.absolutePath()))
                return ERROR_ACCESS_DENIED;
        }
        e = openFile(hive, path, !exists, &handle);
        s.standIn = false;
    }
    if (e)
        return e;
    s.db = handle;
    s.path = path;
    *db = handle;
    return ERROR_SUCCESS;
}

LONG splitPath(LPCSTR path, QStringList *components)
{
    components->clear();
    if (!path || !*path)
        return ERROR_SUCCESS;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(path));
    if (utf8.hasError())
        return ERROR_INVALID_PARAMETER;
    if (text.startsWith(QLatin1Char('\\')))
        return ERROR_BAD_PATHNAME;
    if (text.endsWith(QLatin1Char('\\')))
        text.chop(1);
    const QStringList parts = text.split(QLatin1Char('\\'));
    for (const QString &part : parts) {
        if (part.isEmpty())
            return ERROR_BAD_PATHNAME;
        if (part.size() > int(MAX_KEY_NAME_CHARS))
            return ERROR_INVALID_PARAMETER;
    }
    *components = parts;
    return ERROR_SUCCESS;
}

QString foldName(const QString &name) { return name.toCaseFolded(); }

// Steps a query over the key columns into row; `missing` is the code for no row.
LONG stepKeyRow(Stmt &q, LONG missing, KeyRow *row)
{
    const int rc = q.step();
    if (rc == SQLITE_DONE)
        return missing;
    if (rc != SQLITE_ROW)
        return fromSqlite(q.prepareResult() != SQLITE_OK ? q.prepareResult() : rc);
    row->id = q.int64(0);
    row->parent = q.int64(1);
    row->name = q.text(2);
    row->owner = q.text(3);
    row->everyone = q.int64(4) != 0;
    row->modified = q.int64(5);
    return ERROR_SUCCESS;
}

LONG readKey(sqlite3 *db, qint64 id, KeyRow *row)
{
    Stmt q(db, "SELECT id,parent,name,owner,everyone,modified FROM keys WHERE id=?");
    q.bind(1, id);
    return stepKeyRow(q, ERROR_KEY_DELETED, row);
}

LONG findChild(sqlite3 *db, qint64 parent, const QString &name, KeyRow *row)
{
    Stmt q(db, "SELECT id,parent,name,owner,everyone,modified FROM keys WHERE parent=? AND fold=?");
    q.bind(1, parent).bind(2, foldName(name));
    return stepKeyRow(q, ERROR_FILE_NOT_FOUND, row);
}

LONG walk(sqlite3 *db, qint64 base, const QStringList &components, KeyRow *row, int *depth)
{
    *depth = 0;
    if (LONG e = readKey(db, base, row))
        return e;
    for (const QString &c : components) {
        KeyRow child;
        const LONG e = findChild(db, row->id, c, &child);
        if (e)
            return e;
        *row = child;
        ++*depth;
    }
    return ERROR_SUCCESS;
}

LONG touchKey(sqlite3 *db, qint64 id)
{
    Stmt u(db, "UPDATE keys SET modified=? WHERE id=?");
    u.bind(1, QDateTime::currentMSecsSinceEpoch()).bind(2, id);
    const int rc = u.step();
    return rc == SQLITE_DONE ? ERROR_SUCCESS : fromSqlite(rc);
}

namespace {

// The key ?1 and every key below it. UNION, not UNION ALL: in a damaged store a key can lie
// below itself, and a walk that keeps repeated rows would then never end.
constexpr char kSubtree[] =
    "WITH RECURSIVE sub(id) AS (SELECT ?1 UNION SELECT k.id FROM keys k JOIN sub ON k.parent=sub.id) ";

} // namespace

LONG checkTree(sqlite3 *db, qint64 id, const QString &user)
{
    // A key's own parent among the keys below it means the tree loops back on itself; deleting
    // "everything below" would then take keys that are not below it at all.
    const QByteArray sql = QByteArray(kSubtree) +
        "SELECT (SELECT count(*) FROM sub WHERE id=(SELECT parent FROM keys WHERE id=?1)),"
        " (SELECT count(*) FROM keys WHERE id IN (SELECT id FROM sub) AND everyone=0 AND owner<>?2)";
    Stmt q(db, sql.constData());
    q.bind(1, id).bind(2, user);
    const int rc = q.step();
    if (rc != SQLITE_ROW)
        return fromSqlite(q.prepareResult() != SQLITE_OK ? q.prepareResult() : rc);
    if (q.int64(0))
        return ERROR_BADDB;
    return q.int64(1) ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
}

LONG deleteTree(sqlite3 *db, qint64 id)
{
    const QByteArray delVals = QByteArray(kSubtree) + "DELETE FROM vals WHERE key IN (SELECT id FROM sub)";
    const QByteArray delKeys = QByteArray(kSubtree) + "DELETE FROM keys WHERE id IN (SELECT id FROM sub)";
    for (const QByteArray &sql : {delVals, delKeys}) {
        Stmt d(db, sql.constData());
        d.bind(1, id);
        const int rc = d.step();
        if (rc != SQLITE_DONE)
            return fromSqlite(d.prepareResult() != SQLITE_OK ? d.prepareResult() : rc);
    }
    return ERROR_SUCCESS;
}

LONG countChildren(sqlite3 *db, qint64 id, qint64 *count)
{
    Stmt q(db, "SELECT count(*) FROM keys WHERE parent=?");
    q.bind(1, id);
    const int rc = q.step();
    if (rc != SQLITE_ROW)
        return fromSqlite(q.prepareResult() != SQLITE_OK ? q.prepareResult() : rc);
    *count = q.int64(0);
    return ERROR_SUCCESS;
}

} // namespace qm6reg::detail

namespace qm6reg {

void RegCloseStores()
{
    QMutexLocker lock(&detail::storeMutex());
    for (detail::OpenStore &s : detail::g_stores)
        detail::closeStore(s);
}

} // namespace qm6reg
