// A page plug-in whose class factory says it made a page and hands back none, as a faulty
// plug-in may: the console must refuse it and carry on with the other pages.
#include "comabi.h"

namespace {

struct NullPageFactory final : IClassFactory {
    HRESULT QueryInterface(const IID &riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = (riid == IID_IUnknown || riid == IID_IClassFactory) ? this : nullptr;
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT CreateInstance(IUnknown *, const IID &, void **ppv) override
    {
        if (ppv)
            *ppv = nullptr;
        return S_OK;
    }
    HRESULT LockServer(bool) override { return S_OK; }
};

NullPageFactory factory;

} // namespace

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(const CLSID *, const IID *riid, void **ppv)
{
    return riid && ppv ? factory.QueryInterface(*riid, ppv) : E_POINTER;
}

extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow() { return S_OK; }
