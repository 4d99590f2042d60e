// The few system services around the registry: last error, message texts, version, environment.
#include "win32registry.h"

#include <QByteArray>
#include <QString>

#include <cstdlib>
#include <cstring>

namespace qm6reg {

namespace {

thread_local DWORD t_lastError = 0;

struct Message {
    DWORD code;
    const char *text;
};

// The system's own wording, so that texts read as users know them.
constexpr Message kMessages[] = {
    {0, "The operation completed successfully."},
    {1, "Incorrect function."},
    {2, "The system cannot find the file specified."},
    {3, "The system cannot find the path specified."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {8, "Not enough memory resources are available to process this command."},
    {13, "The data is invalid."},
    {14, "Not enough memory resources are available to complete this operation."},
    {33, "The process cannot access the file because another process has locked a portion of the file."},
    {87, "The parameter is incorrect."},
    {112, "There is not enough space on the disk."},
    {122, "The data area passed to a system call is too small."},
    {161, "The specified path is invalid."},
    {170, "The requested resource is in use."},
    {206, "The filename or extension is too long."},
    {234, "More data is available."},
    {259, "No more data is available."},
    {1009, "The configuration registry database is corrupt."},
    {1010, "The configuration registry key is invalid."},
    {1011, "The configuration registry key could not be opened."},
    {1012, "The configuration registry key could not be read."},
    {1013, "The configuration registry key could not be written."},
    {1015, "The registry is corrupted. The structure of one of the files containing registry data is corrupted, "
           "or the system's memory image of the file is corrupted, or the file could not be recovered because the "
           "alternate copy or log was absent or corrupted."},
    {1016, "An I/O operation initiated by the registry failed unrecoverably. The registry could not read in, or "
           "write out, or flush, one of the files that contain the system's image of the registry."},
    {1018, "Illegal operation attempted on a registry key that has been marked for deletion."},
    {1338, "The security descriptor structure is invalid."},
};

} // namespace

DWORD GetLastError() { return t_lastError; }

void SetLastError(DWORD dwErrCode) { t_lastError = dwErrCode; }

DWORD FormatMessageA(DWORD dwFlags, const void *, DWORD dwMessageId, DWORD, LPSTR lpBuffer, DWORD nSize, void *)
{
    if (!(dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) || (dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) || !lpBuffer) {
        SetLastError(DWORD(ERROR_INVALID_PARAMETER));
        return 0;
    }
    for (const Message &m : kMessages) {
        if (m.code != dwMessageId)
            continue;
        const QByteArray text = QByteArray(m.text) + "\r\n";
        if (nSize <= DWORD(text.size())) {
            SetLastError(DWORD(ERROR_INSUFFICIENT_BUFFER));
            return 0;
        }
        std::memcpy(lpBuffer, text.constData(), size_t(text.size()) + 1);
        return DWORD(text.size());
    }
    SetLastError(317); // ERROR_MR_MID_NOT_FOUND
    return 0;
}

BOOL GetVersionExA(OSVERSIONINFOA *lpVersionInformation)
{
    if (!lpVersionInformation || lpVersionInformation->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
        SetLastError(DWORD(ERROR_INSUFFICIENT_BUFFER));
        return 0;
    }
    DWORD platform = VER_PLATFORM_WIN32_NT;
    bool ok = false;
    const uint forced = qEnvironmentVariable("QM6_PLATFORM_ID").toUInt(&ok);
    if (ok)
        platform = forced;
    OSVERSIONINFOA &v = *lpVersionInformation;
    std::memset(v.szCSDVersion, 0, sizeof v.szCSDVersion);
    v.dwPlatformId = platform;
    if (platform == VER_PLATFORM_WIN32_NT) {
        v.dwMajorVersion = 6;
        v.dwMinorVersion = 2;
        v.dwBuildNumber = 9200;
    } else if (platform == VER_PLATFORM_WIN32_WINDOWS) {
        v.dwMajorVersion = 4;
        v.dwMinorVersion = 10;
        v.dwBuildNumber = 2222;
    } else {
        v.dwMajorVersion = v.dwMinorVersion = v.dwBuildNumber = 0;
    }
    return 1;
}

DWORD ExpandEnvironmentStringsA(LPCSTR lpSrc, LPSTR lpDst, DWORD nSize)
{
    const QByteArray src(lpSrc ? lpSrc : "");
    QByteArray out;
    qsizetype i = 0;
    while (i < src.size()) {
        const qsizetype open = src.indexOf('%', i);
        if (open < 0) {
            out += src.mid(i);
            break;
        }
        out += src.mid(i, open - i);
        const qsizetype close = src.indexOf('%', open + 1);
        if (close < 0) {
            out += src.mid(open);
            break;
        }
        const QByteArray name = src.mid(open + 1, close - open - 1);
        const char *value = name.isEmpty() ? nullptr : std::getenv(name.constData());
        if (value) {
            out += value;
            i = close + 1;
        } else {
            // Left as written; the closing sign may open the next name.
            out += src.mid(open, close - open);
            i = close;
        }
    }
    const DWORD needed = DWORD(out.size()) + 1;
    if (lpDst && nSize >= needed)
        std::memcpy(lpDst, out.constData(), needed);
    return needed;
}

} // namespace qm6reg
