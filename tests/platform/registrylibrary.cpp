// A library with its own copy of the registry, as the printer page's plug-in has. The store
// suite loads it, lets it write to the user's store and unloads it again.
#include "win32registry.h"

extern "C" __attribute__((visibility("default"))) int QM6TouchUserStore(const char *path)
{
    qm6reg::HKEY h = 0;
    const qm6reg::LONG rc = qm6reg::RegCreateKeyExA(qm6reg::HKEY_CURRENT_USER, path, 0, nullptr, 0,
                                                    qm6reg::KEY_ALL_ACCESS, nullptr, &h, nullptr);
    if (rc == qm6reg::ERROR_SUCCESS)
        qm6reg::RegCloseKey(h);
    return int(rc);
}
