// What the editor's suites share: a real SQLite site in a temporary folder, built through the
// data component (the standard track profiles, the demo site's users: "admin" may change
// printers, "auditor" may only look; and one printer of each kind the editor shows
// differently), a page that hands over its connection, the host's services as a script, and
// the form's controls found by name as the user sees them.
#pragma once

#include "fakeadmincontrol.h"
#include "fakehost.h"
#include "frmprinter.h"
#include "modlanguage.h"
#include "qm6connection.h"
#include "qm6connectionprivate.h"
#include "qm6printer.h"
#include "qm6sitegenerator.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

struct SitePrinter {
    QString name;
    qint32 type;
    QString host, port, device;
};

class EditorSite {
public:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("site.db"));
    QM6ConnectionPtr admin;
    QList<qint64> profiles;          // the standard track profiles, in id order
    QHash<QString, qint32> ids;      // printer ids by name

    QM6ConnectionPtr open(const QString &user) const
    {
        QM6ConnectionPtr c;
        if (const QM6ErrorPtr e = QM6Connection::Open(QStringLiteral("sqlite:") + path, user, &c))
            qWarning("%s", qPrintable(e->Description()));
        return c;
    }

    QM6PrinterPtr load(const QString &name) const
    {
        auto p = std::make_shared<QM6Printer>();
        if (const QM6ErrorPtr e = p->Load(admin, ids.value(name)))
            qWarning("%s", qPrintable(e->Description()));
        return p;
    }

    // One number the database answers, read on the site's own connection.
    qint64 scalar(const QString &sql) const
    {
        QSqlQuery q(QM6ConnectionPrivate::get(admin)->db());
        if (!q.exec(sql) || !q.next()) {
            qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
            return -1;
        }
        return q.value(0).toLongLong();
    }
    // A printer's columns as text (Null as empty), by name.
    QVariantMap row(qint32 id, const QStringList &columns) const
    {
        QSqlQuery q(QM6ConnectionPrivate::get(admin)->db());
        if (!q.exec(QStringLiteral("SELECT %1 FROM printers WHERE printer_id = %2").arg(columns.join(QLatin1Char(','))).arg(id)) || !q.next()) {
            qWarning("printer %d: %s", id, qPrintable(q.lastError().text()));
            return {};
        }
        QVariantMap values;
        for (int i = 0; i < columns.size(); ++i)
            values.insert(columns[i], q.value(i).isNull() ? QString() : q.value(i).toString());
        return values;
    }
    bool exec(const QString &sql) const
    {
        QSqlQuery q(QM6ConnectionPrivate::get(admin)->db());
        if (q.exec(sql))
            return true;
        qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return false;
    }

    QM6PrinterPtr add(const SitePrinter &s, const std::function<void(QM6Printer &)> &more = {})
    {
        auto p = std::make_shared<QM6Printer>();
        p->SetName(s.name);
        p->SetConnectionType(s.type);
        p->SetHost(s.host);
        p->SetPort(s.port);
        p->SetDevice(s.device);
        p->SetPrintProfileId(qint32(profiles.value(0)));
        p->SetDeviceType(1);
        if (more)
            more(*p);
        if (const QM6ErrorPtr e = p->Save(admin)) {
            qWarning("%s", qPrintable(e->Description()));
            return nullptr;
        }
        ids.insert(s.name, p->PrinterId());
        return p;
    }

    bool build()
    {
        {
            // The site's maker (the user running the tests) holds every right in it.
            QM6ConnectionPtr maker;
            if (const QM6ErrorPtr e = QM6Connection::CreateSite(QStringLiteral("sqlite:") + path, &maker))
                qWarning("%s", qPrintable(e->Description()));
        }
        admin = open(QStringLiteral("admin"));
        if (!admin)
            return false;
        // No printers: the users and the standard profiles of the demo site.
        QM6SiteGenerator::Options users;
        users.printers = 0;
        users.demo = true;
        if (const QM6ErrorPtr e = QM6SiteGenerator::Generate(admin.get(), users)) {
            qWarning("%s", qPrintable(e->Description()));
            return false;
        }
        QSqlQuery q(QM6ConnectionPrivate::get(admin)->db());
        q.exec(QStringLiteral("SELECT profile_id FROM track_profiles ORDER BY profile_id"));
        while (q.next())
            profiles << q.value(0).toLongLong();
        const bool built =
            add({QStringLiteral("Share"), 1, QStringLiteral("oldhost"), QStringLiteral("\\\\srv01\\hp4050"), QStringLiteral("\\\\srv01\\hp4050")},
                [](QM6Printer &p) { p.SetModel(QStringLiteral("HP LaserJet 4050")); }) &&
            add({QStringLiteral("ShareLpt"), 1, QStringLiteral("srv07"), QStringLiteral("LPT1:"), QString()}) &&
            add({QStringLiteral("MacIP"), 2, QStringLiteral("00-1B-78-A0-3C-5F"), QStringLiteral("192.168.1.20:9100"), QStringLiteral("192.168.1.20")}) &&
            add({QStringLiteral("HostIP"), 2, QStringLiteral("prn-lab"), QStringLiteral("192.168.1.21:9100"), QString()}) &&
            add({QStringLiteral("NamePortIP"), 2, QStringLiteral("prn-lab2"), QStringLiteral("printer1:9100"), QString()}) &&
            add({QStringLiteral("Local"), 3, QStringLiteral("WS-0100"), QStringLiteral("LPT1:"), QStringLiteral("HP DeskJet")},
                [](QM6Printer &p) {
                    p.SetModel(QStringLiteral("DeskJet 2720"));
                    p.SetLocation(QStringLiteral("Lab, floor 2"));
                    p.SetSerialNo(QStringLiteral("SN0042"));
                    p.SetAccountNo(QStringLiteral("ACC-1010"));
                    p.SetIsColor(true);
                    p.SetPopEarly(true);
                    // Above what eight digits hold: merges add totals up.
                    p.SetBWTotal(150000000);
                    p.SetColorTotal(12);
                }) &&
            add({QStringLiteral("Rule"), 1, QStringLiteral("srv03"), QStringLiteral("\\\\srv03\\lab"), QStringLiteral("\\\\srv03\\lab")},
                [](QM6Printer &p) {
                    p.SetAutoMerge(true);
                    QM6AutoMergeRule &r = p.AutoMergeRule();
                    r.SetDeviceMatch(QStringLiteral("dev*"));
                    r.SetHostMatch(QStringLiteral("host*"));
                    r.SetPortMatch(QStringLiteral("port*"));
                    r.SetModelMatch(QStringLiteral("model*"));
                    r.AddConnectionType(1);
                    r.AddConnectionType(2);
                }) &&
            add({QStringLiteral("NoProfile"), 3, QString(), QStringLiteral("USB001"), QString()}, [](QM6Printer &p) {
                p.SetPrintProfileId(0);
                p.SetDeviceType(99);
            });
        return built && profiles.size() == 5;
    }
};

template <typename T = QWidget>
T *control(const QWidget *form, const QString &name)
{
    T *w = form->findChild<T *>(name);
    if (!w)
        qWarning("no control %s", qPrintable(name));
    return w;
}
inline QLineEdit *box(const QWidget *form, const QString &name) { return control<QLineEdit>(form, name); }
inline QComboBox *list(const QWidget *form, const QString &name) { return control<QComboBox>(form, name); }
inline QCheckBox *check(const QWidget *form, const QString &name) { return control<QCheckBox>(form, name); }
inline QPushButton *button(const QWidget *form, const QString &name) { return control<QPushButton>(form, name); }
inline QTabWidget *tabs(const QWidget *form) { return control<QTabWidget>(form, QStringLiteral("tabPrinters")); }

inline QString L(qint32 id) { return modLanguage::GetLangString(id); }

// The editor's two states as its buttons show them.
inline bool looksChanged(const QWidget *form)
{
    return button(form, QStringLiteral("cmdClose"))->text() == L(162) && button(form, QStringLiteral("cmdSave"))->isEnabled();
}
inline bool looksUnchanged(const QWidget *form)
{
    return button(form, QStringLiteral("cmdClose"))->text() == L(161) && !button(form, QStringLiteral("cmdSave"))->isEnabled();
}

// Selects the list entry whose item data is code, as a user picking it would.
inline void pick(QComboBox *combo, qint32 code)
{
    combo->setCurrentIndex(combo->findData(code));
}

// Per test: the site, the page and the host's services; messages and displayed errors recorded.
struct EditorFixture {
    EditorSite site;
    std::unique_ptr<FakeAdminControl> page;
    FakeCommonServices *services = nullptr;
    QStringList displayed;   // descriptions of errors shown through QM6Error::Display

    bool setUp()
    {
        if (!site.build())
            return false;
        page = std::make_unique<FakeAdminControl>(site.admin);
        auto s = std::make_unique<FakeCommonServices>();
        services = s.get();
        SetCommonServices(std::move(s));
        QM6Error::SetDisplayHandler([this](const QM6Error &e) { displayed << e.Description(); });
        return true;
    }
    ~EditorFixture()
    {
        QM6Error::SetDisplayHandler(nullptr);
        SetCommonServices(nullptr);
    }

    // The edit form for a printer of the site (or a new one), shown and active (so that focus
    // can move).
    std::unique_ptr<frmPrinter> edit(const QString &name, bool activate = true)
    {
        return shown(frmPrinter::PrinterForm(page.get(), site.ids.value(name, -5)), activate);
    }
    std::unique_ptr<frmPrinter> add(bool activate = true) { return shown(frmPrinter::NewPrinterForm(page.get()), activate); }
    static std::unique_ptr<frmPrinter> shown(std::unique_ptr<frmPrinter> form, bool activate)
    {
        if (form && activate) {
            form->show();
            if (!QTest::qWaitForWindowActive(form.get()))
                qWarning("the form did not become active");
        }
        return form;
    }
};

// English texts and dates, and a registry of the test's own, for every suite of the editor.
inline void editorTestCaseSetUp(const QString &registryDir)
{
    qputenv("QM6_REGISTRY_DIR", registryDir.toUtf8());
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    qunsetenv("QM6_LANG_DIR");
    modLanguage::UnloadLanguageLibrary();
    modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet"));
}
