// The plug-in as the console meets it: a library loaded by path, its four exports, its
// registration in the registry store and a page made by its class factory.
#include "clsregistry.h"
#include "fakehost.h"
#include "iqm6admincontrol.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <dlfcn.h>

namespace {

// {3B8F6C2E-2D4A-4F0B-9C61-5A7E2F1D8B40}
constexpr CLSID CLSID_ctlFleet = {0x3B8F6C2E, 0x2D4A, 0x4F0B, {0x9C, 0x61, 0x5A, 0x7E, 0x2F, 0x1D, 0x8B, 0x40}};
const QString ClsidText = QStringLiteral("{3B8F6C2E-2D4A-4F0B-9C61-5A7E2F1D8B40}");

QVariant classesValue(const QString &key, QString *error = nullptr)
{
    clsRegistry reg;
    reg.SetClassKey(QM6_REGISTRATION_ROOT);
    reg.SetSectionKey(QM6ClassesKey(key));
    reg.SetValueKey(QString());
    return reg.GetValue(error);
}

bool classesKeyExists(const QString &key)
{
    clsRegistry reg;
    reg.SetClassKey(QM6_REGISTRATION_ROOT);
    reg.SetSectionKey(QM6ClassesKey(key));
    return reg.KeyExists();
}

} // namespace

class tst_Plugin : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("QM6_REGISTRY_DIR", m_dir.path().toUtf8());
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        SetCommonServices(std::make_unique<FakeCommonServices>());
        m_lib = dlopen(QM6_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
        QVERIFY2(m_lib, dlerror());
        m_get = reinterpret_cast<PFN_DllGetClassObject>(dlsym(m_lib, "DllGetClassObject"));
        m_canUnload = reinterpret_cast<PFN_DllCanUnloadNow>(dlsym(m_lib, "DllCanUnloadNow"));
        m_register = reinterpret_cast<PFN_DllRegisterServer>(dlsym(m_lib, "DllRegisterServer"));
        m_unregister = reinterpret_cast<PFN_DllUnregisterServer>(dlsym(m_lib, "DllUnregisterServer"));
        QVERIFY(m_get && m_canUnload && m_register && m_unregister);
        // Nothing else leaks out of the library.
        QVERIFY(!dlsym(m_lib, "_ZN8ctlFleet10LiveCountEv"));
    }

    void cleanupTestCase()
    {
        SetCommonServices(nullptr);
        if (m_lib)
            dlclose(m_lib);
    }

    void registersItsClassAndTypeLibrary()
    {
        QCOMPARE(m_register(), S_OK);
        const QString clsid = QStringLiteral("CLSID\\") + ClsidText;
        QString error;
        QCOMPARE(classesValue(clsid + QStringLiteral("\\InprocServer32"), &error).toString(),
                 QFileInfo(QStringLiteral(QM6_PLUGIN_PATH)).absoluteFilePath());
        QCOMPARE(classesValue(clsid + QStringLiteral("\\ProgID")).toString(), QStringLiteral("QM6AdminPrinters.ctlFleet"));
        QCOMPARE(classesValue(QStringLiteral("QM6AdminPrinters.ctlFleet\\CLSID")).toString(), ClsidText);
        const QString libid = classesValue(clsid + QStringLiteral("\\TypeLib")).toString();
        QVERIFY(libid.startsWith(QLatin1Char('{')));
        QCOMPARE(classesValue(QStringLiteral("TypeLib\\%1\\1.0").arg(libid)).toString(), QStringLiteral("QM6 Admin Plugin"));
        QVERIFY(classesKeyExists(clsid + QStringLiteral("\\Implemented Categories\\") + GuidToString(CATID_QM6AdminPage)));
        // Registering twice changes nothing.
        QCOMPARE(m_register(), S_OK);
    }

    void factoryMakesThePage()
    {
        IClassFactory *factory = nullptr;
        QCOMPARE(m_get(&CLSID_ctlFleet, &IID_IClassFactory, reinterpret_cast<void **>(&factory)), S_OK);
        QVERIFY(factory);
        IQM6AdminControl *page = nullptr;
        QCOMPARE(factory->CreateInstance(nullptr, IID_IQM6AdminControl, reinterpret_cast<void **>(&page)), S_OK);
        QVERIFY(page);
        QCOMPARE(m_canUnload(), S_FALSE);
        QCOMPARE(page->Name(), QStringLiteral("Printers"));   // the rest of the interface: tst_ctlfleet
        IQM6OleObject *ole = nullptr;
        QCOMPARE(page->QueryInterface(IID_IQM6OleObject, reinterpret_cast<void **>(&ole)), S_OK);
        QVERIFY(ole->Widget());
        QCOMPARE(ole->Widget()->objectName(), QStringLiteral("ctlFleet"));
        ole->Release();
        void *aggregated = nullptr;
        QCOMPARE(factory->CreateInstance(reinterpret_cast<IUnknown *>(page), IID_IQM6AdminControl, &aggregated), CLASS_E_NOAGGREGATION);
        QCOMPARE(page->Release(), ULONG(0));
        factory->Release();
        QCOMPARE(m_canUnload(), S_OK);
    }

    void unknownClassIsRefused()
    {
        const CLSID other = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
        void *p = reinterpret_cast<void *>(1);
        QCOMPARE(m_get(&other, &IID_IClassFactory, &p), CLASS_E_CLASSNOTAVAILABLE);
        QVERIFY(!p);
        QCOMPARE(m_get(&CLSID_ctlFleet, &IID_IQM6AdminControl, &p), E_NOINTERFACE);
    }

    void unregisterRemovesExactlyItsEntries()
    {
        QCOMPARE(m_register(), S_OK);
        // Something else registered beside it stays.
        clsRegistry other;
        other.SetClassKey(QM6_REGISTRATION_ROOT);
        other.SetSectionKey(QStringLiteral("Software\\Classes\\CLSID\\{11111111-2222-3333-4444-555555555555}"));
        other.SetValueType(1);
        QVERIFY(other.SetCreateValue(QString(), QStringLiteral("Other.Page"), false));
        const QString libid = classesValue(QStringLiteral("CLSID\\") + ClsidText + QStringLiteral("\\TypeLib")).toString();

        QCOMPARE(m_unregister(), S_OK);
        QVERIFY(!classesKeyExists(QStringLiteral("CLSID\\") + ClsidText));
        QVERIFY(!classesKeyExists(QStringLiteral("QM6AdminPrinters.ctlFleet")));
        QVERIFY(!classesKeyExists(QStringLiteral("TypeLib\\") + libid));
        QVERIFY(classesKeyExists(QStringLiteral("CLSID\\{11111111-2222-3333-4444-555555555555}")));
        QVERIFY(classesKeyExists(QStringLiteral("CLSID")));
        // Unregistering what is not there is not an error.
        QCOMPARE(m_unregister(), S_OK);
    }

private:
    QTemporaryDir m_dir;
    void *m_lib = nullptr;
    PFN_DllGetClassObject m_get = nullptr;
    PFN_DllCanUnloadNow m_canUnload = nullptr;
    PFN_DllRegisterServer m_register = nullptr;
    PFN_DllUnregisterServer m_unregister = nullptr;
};

QTEST_MAIN(tst_Plugin)
#include "tst_plugin.moc"
