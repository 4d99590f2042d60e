// Short forms of the registry calls the registry suites make again and again.
#pragma once

#include "win32registry.h"

#include <QByteArray>

namespace registrykeys {
using namespace qm6reg;

// Creates (or opens) a key with every right; the handle goes to out, or is closed.
inline LONG createKey(HKEY root, const QByteArray &path, HKEY *out = nullptr, const SECURITY_ATTRIBUTES *sa = nullptr)
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

inline LONG openKey(HKEY root, const QByteArray &path, REGSAM sam, HKEY *out = nullptr)
{
    HKEY h = 0;
    const LONG rc = RegOpenKeyExA(root, path.constData(), 0, sam, &h);
    if (out)
        *out = h;
    else if (rc == ERROR_SUCCESS)
        RegCloseKey(h);
    return rc;
}

inline LONG setDword(HKEY h, const QByteArray &name, quint32 v)
{
    return RegSetValueExA(h, name.constData(), 0, REG_DWORD, reinterpret_cast<const BYTE *>(&v), sizeof v);
}
} // namespace registrykeys
