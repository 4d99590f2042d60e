// Keys, values and handles over the store.
#include "registrystore.h"

#include <QHash>
#include <QMutexLocker>

#include <sqlite3.h>

#include <cstring>
#include <functional>

namespace qm6reg {

using namespace detail;

namespace {

struct Handle {
    Hive hive = Hive::User;
    qint64 id = kRootId;
    ACCESS_MASK access = 0;
    bool predefined = false;
};

QHash<HKEY, Handle> g_handles;
HKEY g_nextHandle = 0x1000;

bool lookupHandle(HKEY h, Handle *out)
{
    if (h == HKEY_CURRENT_USER || h == HKEY_LOCAL_MACHINE) {
        out->hive = h == HKEY_CURRENT_USER ? Hive::User : Hive::Machine;
        out->id = kRootId;
        out->predefined = true;
        return true;
    }
    const auto it = g_handles.constFind(h);
    if (it == g_handles.constEnd())
        return false;
    *out = *it;
    return true;
}

HKEY newHandle(Hive hive, qint64 id, ACCESS_MASK access)
{
    const HKEY h = g_nextHandle;
    g_nextHandle += 4;
    g_handles.insert(h, Handle{hive, id, access, false});
    return h;
}

struct Ctx {
    sqlite3 *db = nullptr;
    Hive hive = Hive::User;
    KeyRow key;
    ACCESS_MASK access = 0;
};

// Runs fn on the key behind h inside one transaction (BEGIN IMMEDIATE for writes), after checking
// that the handle carries the rights needed. A write is committed only when fn succeeds.
LONG withKey(HKEY h, bool write, ACCESS_MASK needed, const std::function<LONG(Ctx &)> &fn)
{
    QMutexLocker lock(&storeMutex());
    Handle hd;
    if (!lookupHandle(h, &hd))
        return ERROR_INVALID_HANDLE;
    Ctx ctx;
    ctx.hive = hd.hive;
    if (LONG e = openStore(hd.hive, write, &ctx.db))
        return e;
    Txn txn(ctx.db, write);
    if (LONG e = txn.begin())
        return e;
    if (LONG e = readKey(ctx.db, hd.id, &ctx.key))
        return e;
    ctx.access = hd.predefined ? rightsOn(ctx.key.owner, ctx.key.everyone, currentUser()) : hd.access;
    if ((ctx.access & needed) != needed)
        return ERROR_ACCESS_DENIED;
    const LONG e = fn(ctx);
    if (e || !write)
        return e;
    return txn.commit();
}

// The rights asked for, or ERROR_ACCESS_DENIED when the user does not hold them on the key.
LONG grant(const KeyRow &key, REGSAM sam, ACCESS_MASK *granted)
{
    const ACCESS_MASK rights = rightsOn(key.owner, key.everyone, currentUser());
    ACCESS_MASK wanted = mapKeyGeneric(sam & ~(KEY_WOW64_32KEY | KEY_WOW64_64KEY));
    if (wanted & MAXIMUM_ALLOWED) {
        *granted = rights;
        return ERROR_SUCCESS;
    }
    if (wanted & ~rights)
        return ERROR_ACCESS_DENIED;
    *granted = wanted;
    return ERROR_SUCCESS;
}

LONG checkValueName(LPCSTR name, QString *out)
{
    *out = name ? QString::fromUtf8(name) : QString();
    return out->size() > int(MAX_VALUE_NAME_CHARS) ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
}

// Hands back data with the Win32 rules: no buffer gives the size, a short buffer ERROR_MORE_DATA.
LONG copyData(const QByteArray &data, LPBYTE lpData, LPDWORD lpcbData)
{
    if (!lpcbData)
        return ERROR_SUCCESS;
    const DWORD size = DWORD(data.size());
    if (lpData) {
        if (*lpcbData < size) {
            *lpcbData = size;
            return ERROR_MORE_DATA;
        }
        if (size)
            std::memcpy(lpData, data.constData(), size);
    }
    *lpcbData = size;
    return ERROR_SUCCESS;
}

LONG deleteKey(HKEY hKey, LPCSTR lpSubKey, bool recursive)
{
    QStringList path;
    if (LONG e = splitPath(lpSubKey, &path))
        return e;
    return withKey(hKey, true, 0, [&](Ctx &c) -> LONG {
        KeyRow target;
        int depth = 0;
        if (LONG e = walk(c.db, c.key.id, path, &target, &depth))
            return e;
        if (target.id == kRootId)
            return ERROR_ACCESS_DENIED;
        if (!(rightsOn(target.owner, target.everyone, currentUser()) & DELETE))
            return ERROR_ACCESS_DENIED;
        qint64 children = 0;
        if (LONG e = countChildren(c.db, target.id, &children))
            return e;
        if (children && !recursive)
            return ERROR_ACCESS_DENIED;
        // Every key of the tree must be ours to delete, so that a refused delete leaves it whole.
        if (LONG e = checkTree(c.db, target.id, currentUser()))
            return e;
        if (LONG e = deleteTree(c.db, target.id))
            return e;
        return touchKey(c.db, target.parent);
    });
}

bool is9xFamily()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

} // namespace

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = 0;
    QStringList path;
    if (LONG e = splitPath(lpSubKey, &path))
        return e;
    return withKey(hKey, false, 0, [&](Ctx &c) -> LONG {
        KeyRow target;
        int depth = 0;
        if (LONG e = walk(c.db, c.key.id, path, &target, &depth))
            return e;
        ACCESS_MASK granted = 0;
        if (LONG e = grant(target, samDesired, &granted))
            return e;
        *phkResult = newHandle(c.hive, target.id, granted);
        return ERROR_SUCCESS;
    });
}

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired,
                     const SECURITY_ATTRIBUTES *lpSecurityAttributes, PHKEY phkResult, LPDWORD lpdwDisposition)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = 0;
    bool everyone = false;
    if (lpSecurityAttributes && lpSecurityAttributes->lpSecurityDescriptor) {
        const SECURITY_DESCRIPTOR *sd = lpSecurityAttributes->lpSecurityDescriptor;
        if (sd->Revision != SECURITY_DESCRIPTOR_REVISION)
            return ERROR_INVALID_SECURITY_DESCR;
        everyone = (sd->Control & SE_DACL_PRESENT) && !sd->Dacl;
    }
    QStringList path;
    if (LONG e = splitPath(lpSubKey, &path))
        return e;
    return withKey(hKey, true, 0, [&](Ctx &c) -> LONG {
        KeyRow row;
        int depth = 0;
        LONG e = walk(c.db, c.key.id, path, &row, &depth);
        if (e && e != ERROR_FILE_NOT_FOUND)
            return e;
        const bool created = depth < path.size();
        for (int i = depth; i < path.size(); ++i) {
            if (!(rightsOn(row.owner, row.everyone, currentUser()) & KEY_CREATE_SUB_KEY))
                return ERROR_ACCESS_DENIED;
            Stmt ins(c.db, "INSERT INTO keys(parent,name,fold,owner,everyone,modified) "
                           "VALUES(?,?,?,?,?,strftime('%s','now')*1000)");
            ins.bind(1, row.id).bind(2, path[i]).bind(3, foldName(path[i])).bind(4, currentUser()).bind(5, everyone ? 1 : 0);
            if (int rc = ins.step(); rc != SQLITE_DONE)
                return fromSqlite(ins.prepareResult() != SQLITE_OK ? ins.prepareResult() : rc);
            if ((e = touchKey(c.db, row.id)))
                return e;
            const qint64 parent = row.id;
            row = KeyRow{sqlite3_last_insert_rowid(c.db), parent, path[i], currentUser(), everyone, 0};
        }
        ACCESS_MASK granted = 0;
        if ((e = grant(row, samDesired, &granted)))
            return e;
        *phkResult = newHandle(c.hive, row.id, granted);
        if (lpdwDisposition)
            *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        return ERROR_SUCCESS;
    });
}

LONG RegCloseKey(HKEY hKey)
{
    QMutexLocker lock(&storeMutex());
    if (hKey == HKEY_CURRENT_USER || hKey == HKEY_LOCAL_MACHINE)
        return ERROR_SUCCESS;
    return g_handles.remove(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    if (lpData && !lpcbData)
        return ERROR_INVALID_PARAMETER;
    QString name;
    if (LONG e = checkValueName(lpValueName, &name))
        return e;
    return withKey(hKey, false, KEY_QUERY_VALUE, [&](Ctx &c) -> LONG {
        Stmt q(c.db, "SELECT type,data FROM vals WHERE key=? AND fold=?");
        q.bind(1, c.key.id).bind(2, foldName(name));
        const int rc = q.step();
        if (rc == SQLITE_DONE)
            return ERROR_FILE_NOT_FOUND;
        if (rc != SQLITE_ROW)
            return fromSqlite(q.prepareResult() != SQLITE_OK ? q.prepareResult() : rc);
        if (lpType)
            *lpType = DWORD(q.int64(0));
        return copyData(q.blob(1), lpData, lpcbData);
    });
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE *lpData, DWORD cbData)
{
    if (!lpData && cbData)
        return ERROR_INVALID_PARAMETER;
    QString name;
    if (LONG e = checkValueName(lpValueName, &name))
        return e;
    const QByteArray data(reinterpret_cast<const char *>(lpData), lpData ? qsizetype(cbData) : 0);
    return withKey(hKey, true, KEY_SET_VALUE, [&](Ctx &c) -> LONG {
        Stmt u(c.db, "INSERT INTO vals(key,name,fold,type,data) VALUES(?,?,?,?,?) "
                     "ON CONFLICT(key,fold) DO UPDATE SET type=excluded.type, data=excluded.data");
        u.bind(1, c.key.id).bind(2, name).bind(3, foldName(name)).bind(4, qint64(dwType)).bindBlob(5, data);
        if (int rc = u.step(); rc != SQLITE_DONE)
            return fromSqlite(u.prepareResult() != SQLITE_OK ? u.prepareResult() : rc);
        return touchKey(c.db, c.key.id);
    });
}

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) { return deleteKey(hKey, lpSubKey, is9xFamily()); }

LONG SHDeleteKeyA(HKEY hKey, LPCSTR pszSubKey) { return deleteKey(hKey, pszSubKey, true); }

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName)
{
    QString name;
    if (LONG e = checkValueName(lpValueName, &name))
        return e;
    return withKey(hKey, true, KEY_SET_VALUE, [&](Ctx &c) -> LONG {
        Stmt d(c.db, "DELETE FROM vals WHERE key=? AND fold=?");
        d.bind(1, c.key.id).bind(2, foldName(name));
        if (int rc = d.step(); rc != SQLITE_DONE)
            return fromSqlite(d.prepareResult() != SQLITE_OK ? d.prepareResult() : rc);
        if (sqlite3_changes(c.db) == 0)
            return ERROR_FILE_NOT_FOUND;
        return touchKey(c.db, c.key.id);
    });
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD, LPDWORD lpType,
                   LPBYTE lpData, LPDWORD lpcbData)
{
    if (!lpValueName || !lpcchValueName || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    return withKey(hKey, false, KEY_QUERY_VALUE, [&](Ctx &c) -> LONG {
        Stmt q(c.db, "SELECT name,type,data FROM vals WHERE key=? ORDER BY seq LIMIT 1 OFFSET ?");
        q.bind(1, c.key.id).bind(2, qint64(dwIndex));
        const int rc = q.step();
        if (rc == SQLITE_DONE)
            return ERROR_NO_MORE_ITEMS;
        if (rc != SQLITE_ROW)
            return fromSqlite(q.prepareResult() != SQLITE_OK ? q.prepareResult() : rc);
        const QByteArray name = q.text(0).toUtf8();
        if (*lpcchValueName <= DWORD(name.size()))
            return ERROR_MORE_DATA;
        std::memcpy(lpValueName, name.constData(), size_t(name.size()) + 1);
        *lpcchValueName = DWORD(name.size());
        if (lpType)
            *lpType = DWORD(q.int64(1));
        return copyData(q.blob(2), lpData, lpcbData);
    });
}

LONG RegEnumKeyA(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD cchName)
{
    if (!lpName)
        return ERROR_INVALID_PARAMETER;
    return withKey(hKey, false, KEY_ENUMERATE_SUB_KEYS, [&](Ctx &c) -> LONG {
        Stmt q(c.db, "SELECT name FROM keys WHERE parent=? ORDER BY fold LIMIT 1 OFFSET ?");
        q.bind(1, c.key.id).bind(2, qint64(dwIndex));
        const int rc = q.step();
        if (rc == SQLITE_DONE)
            return ERROR_NO_MORE_ITEMS;
        if (rc != SQLITE_ROW)
            return fromSqlite(q.prepareResult() != SQLITE_OK ? q.prepareResult() : rc);
        const QByteArray name = q.text(0).toUtf8();
        if (cchName <= DWORD(name.size()))
            return ERROR_MORE_DATA;
        std::memcpy(lpName, name.constData(), size_t(name.size()) + 1);
        return ERROR_SUCCESS;
    });
}

LONG RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD, LPDWORD lpcSubKeys,
                      LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                      LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor,
                      FILETIME *lpftLastWriteTime)
{
    return withKey(hKey, false, KEY_QUERY_VALUE, [&](Ctx &c) -> LONG {
        Stmt k(c.db, "SELECT count(*), coalesce(max(length(CAST(name AS BLOB))),0) FROM keys WHERE parent=?");
        k.bind(1, c.key.id);
        if (int rc = k.step(); rc != SQLITE_ROW)
            return fromSqlite(k.prepareResult() != SQLITE_OK ? k.prepareResult() : rc);
        Stmt v(c.db, "SELECT count(*), coalesce(max(length(CAST(name AS BLOB))),0), coalesce(max(length(data)),0) "
                     "FROM vals WHERE key=?");
        v.bind(1, c.key.id);
        if (int rc = v.step(); rc != SQLITE_ROW)
            return fromSqlite(v.prepareResult() != SQLITE_OK ? v.prepareResult() : rc);
        if (lpClass && lpcchClass) {
            if (*lpcchClass < 1)
                return ERROR_MORE_DATA;
            lpClass[0] = '\0';
        }
        if (lpcchClass)
            *lpcchClass = 0;
        if (lpcSubKeys)
            *lpcSubKeys = DWORD(k.int64(0));
        if (lpcbMaxSubKeyLen)
            *lpcbMaxSubKeyLen = DWORD(k.int64(1));
        if (lpcbMaxClassLen)
            *lpcbMaxClassLen = 0;
        if (lpcValues)
            *lpcValues = DWORD(v.int64(0));
        if (lpcbMaxValueNameLen)
            *lpcbMaxValueNameLen = DWORD(v.int64(1));
        if (lpcbMaxValueLen)
            *lpcbMaxValueLen = DWORD(v.int64(2));
        if (lpcbSecurityDescriptor)
            *lpcbSecurityDescriptor = DWORD(
                selfRelativeDescriptor(c.key.owner, c.key.everyone,
                                       OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION)
                    .size());
        if (lpftLastWriteTime) {
            // 100 ns steps since 1601-01-01.
            const quint64 ticks = quint64(c.key.modified) * 10000u + 116444736000000000ull;
            lpftLastWriteTime->dwLowDateTime = DWORD(ticks & 0xffffffffu);
            lpftLastWriteTime->dwHighDateTime = DWORD(ticks >> 32);
        }
        return ERROR_SUCCESS;
    });
}

LONG RegGetKeySecurity(HKEY hKey, SECURITY_INFORMATION SecurityInformation, PSECURITY_DESCRIPTOR pSecurityDescriptor,
                       LPDWORD lpcbSecurityDescriptor)
{
    if (!lpcbSecurityDescriptor)
        return ERROR_INVALID_PARAMETER;
    return withKey(hKey, false, READ_CONTROL, [&](Ctx &c) -> LONG {
        const QByteArray sd = selfRelativeDescriptor(c.key.owner, c.key.everyone, SecurityInformation);
        if (!pSecurityDescriptor || *lpcbSecurityDescriptor < DWORD(sd.size())) {
            *lpcbSecurityDescriptor = DWORD(sd.size());
            return ERROR_INSUFFICIENT_BUFFER;
        }
        std::memcpy(pSecurityDescriptor, sd.constData(), size_t(sd.size()));
        *lpcbSecurityDescriptor = DWORD(sd.size());
        return ERROR_SUCCESS;
    });
}

LONG RegSetKeyOwner(HKEY hKey, LPCSTR lpSubKey, LPCSTR pszOwner)
{
    if (!pszOwner || !*pszOwner)
        return ERROR_INVALID_PARAMETER;
    QStringList path;
    if (LONG e = splitPath(lpSubKey, &path))
        return e;
    return withKey(hKey, true, 0, [&](Ctx &c) -> LONG {
        KeyRow target;
        int depth = 0;
        if (LONG e = walk(c.db, c.key.id, path, &target, &depth))
            return e;
        if (!(rightsOn(target.owner, target.everyone, currentUser()) & WRITE_OWNER))
            return ERROR_ACCESS_DENIED;
        Stmt u(c.db, "UPDATE keys SET owner=? WHERE id=?");
        u.bind(1, QString::fromUtf8(pszOwner)).bind(2, target.id);
        if (int rc = u.step(); rc != SQLITE_DONE)
            return fromSqlite(u.prepareResult() != SQLITE_OK ? u.prepareResult() : rc);
        return ERROR_SUCCESS;
    });
}

} // namespace qm6reg
