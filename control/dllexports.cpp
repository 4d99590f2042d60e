// The plug-in's four exported functions: the class factory for ctlFleet and its
// registration in the registry store.
#include "clsregistry.h"
#include "ctlfleet.h"
#include "pageglobals.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <dlfcn.h>

namespace {

// {A4C1E7D2-6B3F-4E85-8D29-1F0C7B5E3A62}
constexpr GUID LIBID_QM6AdminPrinters = {0xA4C1E7D2, 0x6B3F, 0x4E85, {0x8D, 0x29, 0x1F, 0x0C, 0x7B, 0x5E, 0x3A, 0x62}};
constexpr char ProgId[] = "QM6AdminPrinters.ctlFleet";
constexpr char TypeLibHelp[] = "QM6 Admin Plugin";

QAtomicInt g_locks;

class ClassFactory final : public IClassFactory {
public:
    HRESULT QueryInterface(const IID &riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory *>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // One static factory for the library's lifetime; its count only guards unloading.
    ULONG AddRef() override { return ULONG(g_locks.fetchAndAddRelaxed(1) + 1); }
    ULONG Release() override { return ULONG(g_locks.fetchAndAddRelaxed(-1) - 1); }
    HRESULT CreateInstance(IUnknown *outer, const IID &riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto *page = new ctlFleet();
        const HRESULT hr = page->QueryInterface(riid, ppv);
        page->Release();   // the interface handed out holds the only reference
        return hr;
    }
    HRESULT LockServer(bool lock) override
    {
        lock ? AddRef() : Release();
        return S_OK;
    }
};

ClassFactory g_factory;

QString libraryPath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&g_locks), &info) && info.dli_fname)
        return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
    return QString();
}

bool setDefault(const QString &key, const QString &value)
{
    clsRegistry reg;
    reg.SetClassKey(QM6_REGISTRATION_ROOT);
    reg.SetSectionKey(QM6ClassesKey(key));
    reg.SetValueType(1);
    return reg.SetCreateValue(QString(), value, false);
}

bool createKey(const QString &key)
{
    clsRegistry reg;
    reg.SetClassKey(QM6_REGISTRATION_ROOT);
    reg.SetSectionKey(QM6ClassesKey(key));
    return reg.CreateKey(false);
}

bool deleteKey(const QString &key)
{
    clsRegistry reg;
    reg.SetClassKey(QM6_REGISTRATION_ROOT);
    reg.SetSectionKey(QM6ClassesKey(key));
    return !reg.KeyExists() || reg.DeleteKey();
}

} // namespace

extern "C" {

Q_DECL_EXPORT HRESULT DllGetClassObject(const CLSID *rclsid, const IID *riid, void **ppv)
{
    if (!rclsid || !riid || !ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!(*rclsid == CLSID_ctlFleet))
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(*riid, ppv);
}

Q_DECL_EXPORT HRESULT DllCanUnloadNow()
{
    return (g_locks.loadRelaxed() == 0 && ctlFleet::LiveCount() == 0) ? S_OK : S_FALSE;
}

Q_DECL_EXPORT HRESULT DllRegisterServer()
{
    const QString path = libraryPath();
    if (path.isEmpty())
        return SELFREG_E_CLASS;
    const QString clsid = QStringLiteral("CLSID\\") + GuidToString(CLSID_ctlFleet);
    const QString libid = GuidToString(LIBID_QM6AdminPrinters);
    const QString progId = QString::fromLatin1(ProgId);
    const bool ok = setDefault(clsid, progId) && setDefault(clsid + QStringLiteral("\\InprocServer32"), path)
        && setDefault(clsid + QStringLiteral("\\ProgID"), progId) && setDefault(clsid + QStringLiteral("\\TypeLib"), libid)
        && createKey(clsid + QStringLiteral("\\Implemented Categories\\") + GuidToString(CATID_QM6AdminPage))
        && setDefault(progId, QStringLiteral("ctlFleet"))
        && setDefault(progId + QStringLiteral("\\CLSID"), GuidToString(CLSID_ctlFleet))
        && setDefault(QStringLiteral("TypeLib\\%1\\1.0").arg(libid), QString::fromLatin1(TypeLibHelp))
        && setDefault(QStringLiteral("TypeLib\\%1\\1.0\\0\\win32").arg(libid), path);
    return ok ? S_OK : SELFREG_E_CLASS;
}

Q_DECL_EXPORT HRESULT DllUnregisterServer()
{
    const bool ok = deleteKey(QStringLiteral("CLSID\\") + GuidToString(CLSID_ctlFleet))
        && deleteKey(QString::fromLatin1(ProgId))
        && deleteKey(QStringLiteral("TypeLib\\") + GuidToString(LIBID_QM6AdminPrinters));
    return ok ? S_OK : SELFREG_E_CLASS;
}

} // extern "C"
