// The SQLite side of the registry: where the stores live, opening them, statements and
// transactions, and the key tree. Internal to qm6registry; callers hold storeMutex().
#pragma once

#include "win32registry.h"

#include <QByteArray>
#include <QRecursiveMutex>
#include <QString>
#include <QStringList>

struct sqlite3;
struct sqlite3_stmt;

namespace qm6reg::detail {

enum class Hive { User, Machine };

QRecursiveMutex &storeMutex();
QString storePath(Hive hive);
QString currentUser();
LONG fromSqlite(int rc);

// Rights that a user holds on a key: the owner and, on a key with the everyone grant, anybody
// hold every right; the rest may read.
ACCESS_MASK rightsOn(const QString &owner, bool everyone, const QString &user);
ACCESS_MASK mapKeyGeneric(ACCESS_MASK mask);

// One prepared statement; every step's result goes back to the caller.
class Stmt {
public:
    Stmt(sqlite3 *db, const char *sql);
    ~Stmt();
    Stmt(const Stmt &) = delete;
    Stmt &operator=(const Stmt &) = delete;
    int prepareResult() const { return m_rc; }
    Stmt &bind(int i, qint64 v);
    Stmt &bind(int i, const QString &v);
    Stmt &bindBlob(int i, const QByteArray &v);
    int step(); // SQLITE_ROW, SQLITE_DONE or an error
    qint64 int64(int col) const;
    QString text(int col) const;
    QByteArray blob(int col) const;

private:
    sqlite3_stmt *m_stmt = nullptr;
    int m_rc = 0;
};

// A read (deferred) or write (BEGIN IMMEDIATE) transaction, rolled back unless committed.
class Txn {
public:
    Txn(sqlite3 *db, bool write);
    ~Txn();
    LONG begin();
    LONG commit();

private:
    sqlite3 *m_db;
    bool m_write;
    bool m_open = false;
};

struct KeyRow {
    qint64 id = 0;
    qint64 parent = 0;
    QString name;
    QString owner;
    bool everyone = false;
    qint64 modified = 0;
};

inline constexpr qint64 kRootId = 1;

// The open store of a hive. A missing store reads as an empty one; the file is made on the first
// write. Returns an error code when the store cannot be opened or is not a store.
LONG openStore(Hive hive, bool forWrite, sqlite3 **db);

// Splits "A\B\C" into components. A leading backslash or an empty component in the middle is a
// bad path, a component over 255 characters a bad parameter; one trailing backslash is allowed.
LONG splitPath(LPCSTR path, QStringList *components);
QString foldName(const QString &name);

LONG readKey(sqlite3 *db, qint64 id, KeyRow *row); // ERROR_KEY_DELETED when gone
LONG findChild(sqlite3 *db, qint64 parent, const QString &name, KeyRow *row); // ERROR_FILE_NOT_FOUND
// Walks the components from base; *depth says how many existed (the last found row in *row).
LONG walk(sqlite3 *db, qint64 base, const QStringList &components, KeyRow *row, int *depth);
LONG touchKey(sqlite3 *db, qint64 id);
// Before a tree delete: ERROR_BADDB when the tree below the key loops back to it (a damaged
// store), ERROR_ACCESS_DENIED when a key in it is not the user's to delete.
LONG checkTree(sqlite3 *db, qint64 id, const QString &user);
LONG deleteTree(sqlite3 *db, qint64 id);
LONG countChildren(sqlite3 *db, qint64 id, qint64 *count);

// The self-relative descriptor that RegGetKeySecurity hands out for a key.
QByteArray selfRelativeDescriptor(const QString &owner, bool everyone, SECURITY_INFORMATION info);

} // namespace qm6reg::detail
