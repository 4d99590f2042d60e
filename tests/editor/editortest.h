// What the editor's suites share: the site, a page that hands over its connection, the host's
// services as a script, and the form's controls found by name as the user sees them.
#pragma once

#include "editorsite.h"
#include "fakeadmincontrol.h"
#include "fakehost.h"
#include "frmprinter.h"
#include "modlanguage.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

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

    // The edit form for a printer of the site, shown and active (so that focus can move).
    std::unique_ptr<frmPrinter> edit(const QString &name, bool activate = true)
    {
        std::unique_ptr<frmPrinter> form = frmPrinter::PrinterForm(page.get(), site.ids.value(name, -5));
        if (form && activate) {
            form->show();
            if (!QTest::qWaitForWindowActive(form.get()))
                qWarning("the form did not become active");
        }
        return form;
    }
    std::unique_ptr<frmPrinter> add(bool activate = true)
    {
        std::unique_ptr<frmPrinter> form = frmPrinter::NewPrinterForm(page.get());
        if (activate) {
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
