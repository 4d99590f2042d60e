// Finds the page plug-ins registered in the registry store and creates their pages through
// the plug-ins' class factories.
#pragma once

#include "iqm6admincontrol.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

struct RegisteredPage {
    CLSID clsid{};
    QString clsidText;
    QString progId;
    QString libraryPath;
};

// Every class registered with the admin-page category, in registry order.
std::vector<RegisteredPage> FindRegisteredPages(QString *error = nullptr);

// A loaded plug-in library; unloaded when the last page it made is gone and it agrees.
class PageLibrary {
public:
    ~PageLibrary();
    static std::shared_ptr<PageLibrary> Load(const QString &path, QString *error);
    // A new page of the class; nullptr with a reason when the factory refuses.
    IQM6AdminControl *CreatePage(const CLSID &clsid, QString *error);
    QString Path() const { return m_path; }

private:
    PageLibrary() = default;
    void *m_handle = nullptr;
    QString m_path;
    PFN_DllGetClassObject m_getClassObject = nullptr;
    PFN_DllCanUnloadNow m_canUnloadNow = nullptr;
};

// Calls a plug-in's DllRegisterServer or DllUnregisterServer (the console's regsvr).
HRESULT RegisterPlugin(const QString &path, bool unregister, QString *error);
