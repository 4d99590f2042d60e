#include "pagelibrary.h"

#include "clsregistry.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <dlfcn.h>

namespace {

QString defaultValue(const QString &key)
{
    clsRegistry reg;
    reg.SetClassKey(QM6_REGISTRATION_ROOT);
    reg.SetSectionKey(QM6ClassesKey(key));
    reg.SetValueKey(QString());
    return reg.GetValue().toString();
}

bool keyExists(const QString &key)
{
    clsRegistry reg;
    reg.SetClassKey(QM6_REGISTRATION_ROOT);
    reg.SetSectionKey(QM6ClassesKey(key));
    return reg.KeyExists();
}

QString dlErrorText()
{
    const char *e = dlerror();
    return e ? QString::fromLocal8Bit(e) : QStringLiteral("unknown reason");
}

} // namespace

std::vector<RegisteredPage> FindRegisteredPages(QString *error)
{
    std::vector<RegisteredPage> pages;
    clsRegistry reg;
    reg.SetClassKey(QM6_REGISTRATION_ROOT);
    reg.SetSectionKey(QM6ClassesKey(QStringLiteral("CLSID")));
    QStringList classes;
    qint32 count = 0;
    if (!reg.EnumerateSections(classes, count, error))
        return pages;
    const QString category = QStringLiteral("\\Implemented Categories\\") + GuidToString(CATID_QM6AdminPage);
    for (const QString &clsidText : classes) {
        const QString key = QStringLiteral("CLSID\\") + clsidText;
        RegisteredPage page;
        if (!GuidFromString(clsidText, &page.clsid) || !keyExists(key + category))
            continue;
        page.clsidText = clsidText;
        page.progId = defaultValue(key + QStringLiteral("\\ProgID"));
        page.libraryPath = defaultValue(key + QStringLiteral("\\InprocServer32"));
        pages.push_back(page);
    }
    return pages;
}

PageLibrary::~PageLibrary()
{
    if (m_handle && (!m_canUnloadNow || m_canUnloadNow() == S_OK))
        dlclose(m_handle);
}

std::shared_ptr<PageLibrary> PageLibrary::Load(const QString &path, QString *error)
{
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        if (error)
            *error = QCoreApplication::translate("PageLibrary", "The library %1 does not exist.").arg(path.isEmpty() ? QStringLiteral("(no path)") : path);
        return nullptr;
    }
    void *handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (error)
            *error = QCoreApplication::translate("PageLibrary", "The library %1 could not be loaded: %2").arg(path, dlErrorText());
        return nullptr;
    }
    auto lib = std::shared_ptr<PageLibrary>(new PageLibrary);
    lib->m_handle = handle;
    lib->m_path = path;
    lib->m_getClassObject = reinterpret_cast<PFN_DllGetClassObject>(dlsym(handle, "DllGetClassObject"));
    lib->m_canUnloadNow = reinterpret_cast<PFN_DllCanUnloadNow>(dlsym(handle, "DllCanUnloadNow"));
    if (!lib->m_getClassObject) {
        if (error)
            *error = QCoreApplication::translate("PageLibrary", "The library %1 is not a page plug-in: it has no DllGetClassObject.").arg(path);
        return nullptr;
    }
    return lib;
}

IQM6AdminControl *PageLibrary::CreatePage(const CLSID &clsid, QString *error)
{
    IClassFactory *factory = nullptr;
    HRESULT hr = m_getClassObject(&clsid, &IID_IClassFactory, reinterpret_cast<void **>(&factory));
    if (FAILED(hr) || !factory) {
        if (error)
            *error = QStringLiteral("%1 does not offer the class %2 (error 0x%3).")
                         .arg(m_path, GuidToString(clsid)).arg(quint32(hr), 8, 16, QLatin1Char('0'));
        return nullptr;
    }
    IQM6AdminControl *page = nullptr;
    hr = factory->CreateInstance(nullptr, IID_IQM6AdminControl, reinterpret_cast<void **>(&page));
    factory->Release();
    if (FAILED(hr) || !page) {
        if (error)
            *error = QStringLiteral("%1 could not create its page (error 0x%2).").arg(m_path).arg(quint32(hr), 8, 16, QLatin1Char('0'));
        return nullptr;
    }
    return page;
}

HRESULT RegisterPlugin(const QString &path, bool unregister, QString *error)
{
    void *handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (error)
            *error = QCoreApplication::translate("PageLibrary", "The library %1 could not be loaded: %2").arg(path, dlErrorText());
        return E_FAIL;
    }
    const char *name = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    auto fn = reinterpret_cast<PFN_DllRegisterServer>(dlsym(handle, name));
    HRESULT hr = E_FAIL;
    if (!fn) {
        if (error)
            *error = QCoreApplication::translate("PageLibrary", "The library %1 has no %2.").arg(path, QString::fromLatin1(name));
    } else {
        hr = fn();
        if (FAILED(hr) && error)
            *error = QStringLiteral("%1 in %2 failed (error 0x%3); check that the registry store is writable.")
                         .arg(QString::fromLatin1(name), path).arg(quint32(hr), 8, 16, QLatin1Char('0'));
    }
    dlclose(handle);
    return hr;
}
