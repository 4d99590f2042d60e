// The small COM-style binary interface between the console and its page plug-ins:
// GUIDs, HRESULTs, reference-counted interfaces and the class factory that the
// plug-in's exported functions hand out.
#pragma once

#include <QString>
#include <cstdint>
#include <cstring>

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);
constexpr HRESULT SELFREG_E_CLASS = static_cast<HRESULT>(0x80040201u);

inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline bool FAILED(HRESULT hr) { return hr < 0; }

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];

    friend bool operator==(const GUID &a, const GUID &b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
};
using IID = GUID;
using CLSID = GUID;

// "{7FE3DD6C-FBBD-4C79-8AEC-E69B5710EB1F}" <-> GUID; parsing fails on anything else.
bool GuidFromString(const QString &text, GUID *out);
QString GuidToString(const GUID &guid);

struct IUnknown {
    virtual HRESULT QueryInterface(const IID &riid, void **ppv) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

// The four dispatch slots come before a dual interface's own members; the page is
// only ever called through its vtable, so they answer E_NOTIMPL.
struct IDispatch : IUnknown {
    virtual HRESULT GetTypeInfoCount(unsigned *pctinfo) = 0;
    virtual HRESULT GetTypeInfo(unsigned itinfo, unsigned lcid, void **pptinfo) = 0;
    virtual HRESULT GetIDsOfNames(const IID &riid, const char **names, unsigned count, unsigned lcid, std::int32_t *dispids) = 0;
    virtual HRESULT Invoke(std::int32_t dispid, const IID &riid, unsigned lcid, std::uint16_t flags, void *params, void *result, void *excepinfo, unsigned *argerr) = 0;

protected:
    ~IDispatch() = default;
};

struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown *outer, const IID &riid, void **ppv) = 0;
    virtual HRESULT LockServer(bool lock) = 0;

protected:
    ~IClassFactory() = default;
};

inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The four functions every page plug-in exports (looked up by name with dlsym).
extern "C" {
using PFN_DllGetClassObject = HRESULT (*)(const CLSID *rclsid, const IID *riid, void **ppv);
using PFN_DllCanUnloadNow = HRESULT (*)();
using PFN_DllRegisterServer = HRESULT (*)();
using PFN_DllUnregisterServer = HRESULT (*)();
}
