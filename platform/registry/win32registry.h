// A registry with the shape of the Win32 one (handles, LONG error codes, ANSI names) kept in
// SQLite files of our own. Names and string data travel as UTF-8, which plays the part of the
// system code page. Everything lives in namespace qm6reg so that it never meets a real
// <windows.h> or another library's typedefs.
//
// Stores: HKEY_CURRENT_USER in $XDG_CONFIG_HOME (or ~/.config)/quillmark6/registry.db,
// HKEY_LOCAL_MACHINE in /var/lib/quillmark6/registry.db; QM6_REGISTRY_DIR=DIR moves both to
// DIR/user.db and DIR/machine.db. Several processes may use a store at once; one that another
// process keeps locked is reported (ERROR_LOCK_VIOLATION) after about two seconds.
// The user's store is made readable by its owner only (0600). The machine store is made
// readable by everybody and writable by its owner (0644) and keeps a rollback journal rather
// than a write-ahead log, so that a user who may not write its folder can still read it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qm6reg {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using BOOL = int;
using CHAR = char;
using LPSTR = char *;
using LPCSTR = const char *;
using LPBYTE = BYTE *;
using LPDWORD = DWORD *;
using REGSAM = DWORD;
using SECURITY_INFORMATION = DWORD;
using ACCESS_MASK = DWORD;
using HKEY = std::uintptr_t; // predefined roots below; opened keys get other values
using PHKEY = HKEY *;

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

// Error codes (the values and meanings of winerror.h).
inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_PATH_NOT_FOUND = 3;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr LONG ERROR_INVALID_DATA = 13;
inline constexpr LONG ERROR_LOCK_VIOLATION = 33;
inline constexpr LONG ERROR_OUTOFMEMORY = 14;
inline constexpr LONG ERROR_DISK_FULL = 112;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr LONG ERROR_BAD_PATHNAME = 161;
inline constexpr LONG ERROR_BUSY = 170;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_NO_MORE_ITEMS = 259;
inline constexpr LONG ERROR_BADDB = 1009;
inline constexpr LONG ERROR_BADKEY = 1010;
inline constexpr LONG ERROR_REGISTRY_IO_FAILED = 1016;
inline constexpr LONG ERROR_KEY_DELETED = 1018;
inline constexpr LONG ERROR_INVALID_SECURITY_DESCR = 1338;

// Access rights.
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM KEY_CREATE_LINK = 0x0020;
inline constexpr REGSAM KEY_WOW64_64KEY = 0x0100;
inline constexpr REGSAM KEY_WOW64_32KEY = 0x0200;
inline constexpr ACCESS_MASK DELETE = 0x00010000;
inline constexpr ACCESS_MASK READ_CONTROL = 0x00020000;
inline constexpr ACCESS_MASK WRITE_DAC = 0x00040000;
inline constexpr ACCESS_MASK WRITE_OWNER = 0x00080000;
inline constexpr ACCESS_MASK MAXIMUM_ALLOWED = 0x02000000;
inline constexpr ACCESS_MASK GENERIC_ALL = 0x10000000;
inline constexpr ACCESS_MASK GENERIC_EXECUTE = 0x20000000;
inline constexpr ACCESS_MASK GENERIC_WRITE = 0x40000000;
inline constexpr ACCESS_MASK GENERIC_READ = 0x80000000;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_EXECUTE = 0x20019;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

// Value types.
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
inline constexpr DWORD REG_LINK = 6;
inline constexpr DWORD REG_MULTI_SZ = 7;
inline constexpr DWORD REG_QWORD = 11;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Limits, in characters.
inline constexpr DWORD MAX_KEY_NAME_CHARS = 255;
inline constexpr DWORD MAX_VALUE_NAME_CHARS = 16383;

// Security.
inline constexpr SECURITY_INFORMATION OWNER_SECURITY_INFORMATION = 0x1;
inline constexpr SECURITY_INFORMATION GROUP_SECURITY_INFORMATION = 0x2;
inline constexpr SECURITY_INFORMATION DACL_SECURITY_INFORMATION = 0x4;
inline constexpr DWORD SECURITY_DESCRIPTOR_REVISION = 1;
inline constexpr WORD SE_DACL_PRESENT = 0x0004;

// The absolute form that callers build. The only DACL we know is the null one ("everyone may do
// everything"); a present null DACL is what RegCreateKeyExA turns into the everyone grant.
struct SECURITY_DESCRIPTOR {
    BYTE Revision = 0;
    WORD Control = 0;
    const void *Dacl = nullptr;
};
using PSECURITY_DESCRIPTOR = void *;

struct SECURITY_ATTRIBUTES {
    DWORD nLength = sizeof(SECURITY_ATTRIBUTES);
    SECURITY_DESCRIPTOR *lpSecurityDescriptor = nullptr;
    BOOL bInheritHandle = 0;
};

struct GENERIC_MAPPING {
    ACCESS_MASK GenericRead;
    ACCESS_MASK GenericWrite;
    ACCESS_MASK GenericExecute;
    ACCESS_MASK GenericAll;
};

struct FILETIME {
    DWORD dwLowDateTime = 0;
    DWORD dwHighDateTime = 0;
};

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
};
inline constexpr DWORD VER_PLATFORM_WIN32s = 0;
inline constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

inline constexpr DWORD FORMAT_MESSAGE_ALLOCATE_BUFFER = 0x0100;
inline constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x0200;
inline constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x1000;

// ---- keys and values ----
LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                     REGSAM samDesired, const SECURITY_ATTRIBUTES *lpSecurityAttributes, PHKEY phkResult,
                     LPDWORD lpdwDisposition);
LONG RegCloseKey(HKEY hKey);
LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData);
LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE *lpData,
                    DWORD cbData);
// A key with subkeys is refused with ERROR_ACCESS_DENIED on the NT family; on the 9x family
// (GetVersionExA) the whole tree goes, as it did there.
LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);
// Removes the subkey with everything below it; an empty subkey name removes hKey's own key.
LONG SHDeleteKeyA(HKEY hKey, LPCSTR pszSubKey);
LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);
// Values come in the order they were first set; subkeys in case-insensitive name order.
LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD lpReserved,
                   LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
LONG RegEnumKeyA(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD cchName);
// Lengths are in bytes of the UTF-8 names, without the terminator.
LONG RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved, LPDWORD lpcSubKeys,
                      LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                      LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor,
                      FILETIME *lpftLastWriteTime);
// Writes a self-relative descriptor (owner, group, DACL) into pSecurityDescriptor; with too small
// a buffer (or none) answers ERROR_INSUFFICIENT_BUFFER and the size needed.
LONG RegGetKeySecurity(HKEY hKey, SECURITY_INFORMATION SecurityInformation, PSECURITY_DESCRIPTOR pSecurityDescriptor,
                       LPDWORD lpcbSecurityDescriptor);

// ---- security ----
BOOL InitializeSecurityDescriptor(SECURITY_DESCRIPTOR *pSecurityDescriptor, DWORD dwRevision);
// Only the null DACL (pDacl == nullptr) exists here; anything else is refused.
BOOL SetSecurityDescriptorDacl(SECURITY_DESCRIPTOR *pSecurityDescriptor, BOOL bDaclPresent, const void *pDacl,
                               BOOL bDaclDefaulted);
// Accepts a descriptor as written by RegGetKeySecurity.
BOOL IsValidSecurityDescriptor(const void *pSecurityDescriptor);
// The user whose rights AccessCheck evaluates: the effective OS user's name.
const char *CurrentUserName();
void MapGenericMask(ACCESS_MASK *AccessMask, const GENERIC_MAPPING *GenericMapping);
// Stand-in for ImpersonateSelf + OpenThreadToken + AccessCheck: the owner of a key holds every
// right, everybody else may read, and a key with the everyone grant gives everybody every right.
// pszUser nullptr means the current user. Returns FALSE on a bad descriptor (GetLastError says why);
// otherwise *AccessStatus tells whether every desired right was granted.
BOOL AccessCheck(const void *pSecurityDescriptor, LPCSTR pszUser, ACCESS_MASK DesiredAccess,
                 const GENERIC_MAPPING *GenericMapping, ACCESS_MASK *GrantedAccess, BOOL *AccessStatus);
// Administration and tests: hands the key (below hKey) to another owner. Owner or superuser only.
LONG RegSetKeyOwner(HKEY hKey, LPCSTR lpSubKey, LPCSTR pszOwner);
// Closes the stores that this copy of the registry holds open; key handles stay valid and the
// next call opens the store again. Runs by itself when the program, or a library that carries
// its own copy, is unloaded.
void RegCloseStores();

// ---- system services ----
DWORD GetLastError();
void SetLastError(DWORD dwErrCode);
// System message texts with the Windows wording (ending in "\r\n" as there); an unknown code
// gives 0 characters.
DWORD FormatMessageA(DWORD dwFlags, const void *lpSource, DWORD dwMessageId, DWORD dwLanguageId, LPSTR lpBuffer,
                     DWORD nSize, void *Arguments);
// Reports the NT family; QM6_PLATFORM_ID=<n> in the environment reports platform n instead.
BOOL GetVersionExA(OSVERSIONINFOA *lpVersionInformation);
// %NAME% from the process environment; unknown names stay as written. Returns the size needed
// including the terminator; copies only when nSize is large enough.
DWORD ExpandEnvironmentStringsA(LPCSTR lpSrc, LPSTR lpDst, DWORD nSize);

} // namespace qm6reg
