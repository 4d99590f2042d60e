// The printer editor as the user meets it: opening it, what each tab shows, how the boxes
// react, the changed state, Cancel, the read-only view and the form at every console font.
// The real form over a real SQLite site; only the two entry-point tests run its modal loop.
#include "editortest.h"
#include "modalhook.h"
#include "olecolor.h"
#include "pageglobals.h"
#include "formgrowth.h"
#include "modfonts.h"

#include <QFontDatabase>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTabBar>
#include <QTreeWidget>

namespace {
// A control array's names: name_0 ... name_(n-1).
QStringList array(const QString &name, int n)
{
    QStringList names;
    for (int i = 0; i < n; ++i)
        names << QStringLiteral("%1_%2").arg(name).arg(i);
    return names;
}
const QStringList kMacRow = QStringList{"lblMACAddress"} + array("txtMAC", 6) + array("lblHyphen", 5);
const QStringList kIpRow = QStringList{"lblIPAddress", "lblColon", "txtIPPort"} + array("txtIPAddress", 4) + array("lblIPDot", 3);
const QStringList kHostRow{"lblHost", "txtHost"}, kPortRow{"lblPort", "txtPort"}, kDeviceRow{"lblDevice", "txtDevice"};

QStringList shownConnectionControls(const QWidget *form)
{
    QStringList shown;
    for (const QString &name : kMacRow + kIpRow + kHostRow + kPortRow + kDeviceRow)
        if (!control(form, name)->isHidden())
            shown << name;
    shown.sort();
    return shown;
}
// The controls the form places: those of the form itself, of each tab page and of the frame.
QList<QWidget *> placedControls(QWidget *form)
{
    QList<QWidget *> panels{form, control(form, QStringLiteral("fraCounts"))};
    auto *tabWidget = control<QTabWidget>(form, QStringLiteral("tabPrinters"));
    for (int i = 0; i < tabWidget->count(); ++i)
        panels << tabWidget->widget(i);
    QList<QWidget *> controls;
    for (QWidget *panel : panels)
        controls += panel->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    return controls;
}

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}
} // namespace

class tst_frmPrinter : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { editorTestCaseSetUp(mRegistry.path()); }
    void init() { QVERIFY((f = std::make_unique<EditorFixture>())->setUp()); }
    void cleanup()
    {
        f.reset();
        PageConsoleFont() = nullptr;
    }

    void addPrinterEntryPointRunsTheModalForm()
    {
        ModalHook hook([this](frmPrinter *form) {
            QCOMPARE(form->windowTitle(), L(157));
            QCOMPARE(button(form, "cmdSave")->text(), L(156));
            QVERIFY(form->isModal());
            box(form, "txtName")->setText(QStringLiteral("Reception Zebra"));
            pick(list(form, "cmbProfile"), qint32(f->site.profiles[1]));
            box(form, "txtPort")->setText(QStringLiteral("USB002"));
            button(form, "cmdSave")->click();
        });
        QVERIFY(frmPrinter::AddPrinter(f->page.get()));
        QVERIFY(hook.acted);
        QVERIFY(!hook.watchdogFired);
        QCOMPARE(f->site.scalar(QStringLiteral("SELECT COUNT(*) FROM printers WHERE name = 'Reception Zebra' AND port = 'USB002'"
                                               " AND connection_type = 3 AND profile_id = %1").arg(f->site.profiles[1])), 1);
        QVERIFY(f->services->messages.isEmpty());
    }

    void editPrinterEntryPointRunsTheModalForm()
    {
        ModalHook hook([](frmPrinter *form) {
            QCOMPARE(form->windowTitle(), L(159).replace(QStringLiteral("%s"), QStringLiteral("Local")));
            QCOMPARE(button(form, "cmdSave")->text(), L(158));
            tabs(form)->setCurrentIndex(1);
            QLineEdit *model = box(form, "txtModel");
            model->setFocus();
            model->setText(QStringLiteral("DeskJet 2755"));
            QTest::keyClick(model, Qt::Key_Return);   // Enter presses Save
        });
        QVERIFY(frmPrinter::EditPrinter(f->page.get(), f->site.ids[QStringLiteral("Local")]));
        QVERIFY(hook.acted);
        QVERIFY(!hook.watchdogFired);
        QCOMPARE(f->site.load(QStringLiteral("Local"))->Model(), QStringLiteral("DeskJet 2755"));
    }

    void unknownPrinterIsReportedAndNoFormOpens()
    {
        QVERIFY(!frmPrinter::PrinterForm(f->page.get(), 4711));
        QCOMPARE(f->services->messages.size(), 1);
        const QString text = f->services->messages.first();
        QVERIFY2(text.startsWith(f->services->GetAppTitle()), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Printer 4711 does not exist.")), qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("%s")));
        QVERIFY(f->displayed.isEmpty());
    }

    void newPrinterStartsLocalAndUnchanged()
    {
        const auto form = f->add();
        QCOMPARE(tabs(form.get())->currentIndex(), 0);
        QCOMPARE(list(form.get(), "cmbConnection")->currentData().toInt(), 3);
        QCOMPARE(sorted(shownConnectionControls(form.get())), sorted(kHostRow + kPortRow + kDeviceRow));
        QVERIFY(box(form.get(), "txtName")->text().isEmpty());
        QCOMPARE(list(form.get(), "cmbProfile")->currentIndex(), -1);
        QCOMPARE(box(form.get(), "txtBWTotal")->text(), QStringLiteral("0"));
        QCOMPARE(box(form.get(), "txtColorTotal")->text(), QStringLiteral("0"));
        QVERIFY(control<QLabel>(form.get(), "lblWhenModified")->text().isEmpty());
        QVERIFY(looksUnchanged(form.get()));
        QVERIFY(!form->Saved());
    }

    void captions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("id");
        const std::pair<const char *, int> table[] = {
            {"chkDisableColorMode", 106}, {"chkPopEarly", 107},   {"lblCaption_13", 108},   {"lblCaption_12", 109},
            {"lblCaption_7", 110},        {"lblCaption_6", 111},  {"chkConnection_2", 112}, {"chkConnection_1", 113},
            {"chkConnection_3", 114},     {"lblMatch_3", 115},    {"lblMatch_2", 116},      {"lblCaption_11", 117},
            {"lblMatch_0", 118},          {"lblMatch_1", 119},    {"chkIsDuplex", 120},     {"chkIsColor", 121},
            {"lblCaption_2", 122},        {"lblCaption_3", 123},  {"lblCaption_5", 124},    {"lblCaption_1", 125},
            {"lblCaption_10", 126},       {"lblMACAddress", 128}, {"lblPort", 137},         {"lblCaption_9", 138},
            {"lblHost", 139},             {"lblIPAddress", 140},  {"lblDevice", 141},       {"lblCaption_4", 144},
            {"lblCaption_8", 145},        {"lblCaption_0", 146},  {"fraCounts", 163},       {"lblCaption_14", 164},
            {"lblCaption_15", 165},
        };
        for (const auto &[name, id] : table)
            QTest::newRow(name) << QString::fromLatin1(name) << id;
        for (int tab = 0; tab < 5; ++tab)
            QTest::newRow(qPrintable(QStringLiteral("tab %1").arg(tab + 1))) << QStringLiteral("tab %1").arg(tab) << 101 + tab;
    }

    void captions()
    {
        QFETCH(QString, name);
        QFETCH(int, id);
        const auto form = f->edit(QStringLiteral("Local"), false);
        QString text;
        if (name.startsWith(QLatin1String("tab ")))
            text = tabs(form.get())->tabText(name.mid(4).toInt());
        else if (auto *frame = qobject_cast<QGroupBox *>(control(form.get(), name)))
            text = frame->title();
        else
            text = control(form.get(), name)->property("text").toString();
        QVERIFY(!L(id).isEmpty());
        QCOMPARE(text, L(id));
    }

    void withoutStringTablesCaptionsAreEmptyAndCloseAlwaysCloses()
    {
        QTemporaryDir empty;
        qputenv("QM6_LANG_DIR", empty.path().toUtf8());
        modLanguage::UnloadLanguageLibrary();
        modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet"));
        const auto restore = qScopeGuard([] {
            qunsetenv("QM6_LANG_DIR");
            modLanguage::UnloadLanguageLibrary();
            modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet"));
        });
        const auto form = f->edit(QStringLiteral("MacIP"));

        for (const char *name : {"lblCaption_0", "lblCaption_9", "lblHost", "chkIsColor", "chkConnection_1", "lblMatch_2"})
            QVERIFY2(control(form.get(), name)->property("text").toString().isEmpty(), name);
        QVERIFY(control<QGroupBox>(form.get(), "fraCounts")->title().isEmpty());
        QVERIFY(tabs(form.get())->tabText(4).isEmpty());
        QCOMPARE(control<QLabel>(form.get(), "lblIPDot_0")->text(), QStringLiteral("."));
        QCOMPARE(control<QLabel>(form.get(), "lblColon")->text(), QStringLiteral(":"));
        QCOMPARE(control<QLabel>(form.get(), "lblHyphen_4")->text(), QStringLiteral("--"));

        // Strings 161 and 162 are the same (both empty): Close closes even with changes.
        box(form.get(), "txtName")->setText(QStringLiteral("Renamed"));
        QVERIFY(button(form.get(), "cmdSave")->isEnabled());
        button(form.get(), "cmdClose")->click();
        QVERIFY(!form->isVisible());
        QVERIFY(!form->Saved());
        QCOMPARE(f->site.load(QStringLiteral("MacIP"))->Name(), QStringLiteral("MacIP"));
    }

    void listsComeFromTheLookupLists()
    {
        const auto form = f->add(false);
        QComboBox *types = list(form.get(), "cmbConnection");
        QCOMPARE(types->count(), 3);   // list 6 without its code 0
        for (int i = 0; i < 3; ++i)
            QCOMPARE(types->itemData(i).toInt(), i + 1);
        QCOMPARE(types->itemText(1), QStringLiteral("Direct IP"));
        QComboBox *devices = list(form.get(), "cmbDeviceType");
        QCOMPARE(devices->count(), 6);   // every row of list 5, its code 0 too
        QCOMPARE(devices->itemData(0).toInt(), 0);
        QCOMPARE(devices->itemText(5), QStringLiteral("Label printer"));
        QComboBox *profiles = list(form.get(), "cmbProfile");
        QCOMPARE(profiles->count(), 5);
        QCOMPARE(profiles->itemText(0), QStringLiteral("Colour restricted"));   // by name
        QCOMPARE(profiles->itemData(0).toLongLong(), f->site.profiles[1]);
    }

    void storedPrinterFillsEveryTab()
    {
        const auto form = f->edit(QStringLiteral("Local"));
        const QM6PrinterPtr stored = f->site.load(QStringLiteral("Local"));
        const frmPrinter *w = form.get();
        QCOMPARE(box(w, "txtName")->text(), QStringLiteral("Local"));
        QCOMPARE(list(w, "cmbProfile")->currentData().toLongLong(), f->site.profiles[0]);
        QCOMPARE(box(w, "txtAccountNo")->text(), QStringLiteral("ACC-1010"));
        QVERIFY(check(w, "chkIsColor")->isChecked());
        QVERIFY(!check(w, "chkIsDuplex")->isChecked());
        QCOMPARE(list(w, "cmbDeviceType")->currentData().toInt(), 1);
        QCOMPARE(box(w, "txtModel")->text(), QStringLiteral("DeskJet 2720"));
        QCOMPARE(box(w, "txtSerialNo")->text(), QStringLiteral("SN0042"));
        QCOMPARE(box(w, "txtLocation")->text(), QStringLiteral("Lab, floor 2"));
        QVERIFY(check(w, "chkPopEarly")->isChecked());
        QVERIFY(!check(w, "chkDisableColorMode")->isChecked());
        // Nine digits: an eight-character box would have cut it.
        QCOMPARE(box(w, "txtBWTotal")->text(), QStringLiteral("150000000"));
        QCOMPARE(box(w, "txtColorTotal")->text(), QStringLiteral("12"));
        QCOMPARE(control<QLabel>(w, "lblWhoModified")->text(), QM6Connection::OperatingSystemUser());   // who saved it
        const QString when = control<QLabel>(w, "lblWhenModified")->text();
        QCOMPARE(when, QLocale(QLocale::English).toString(stored->ModifiedOn(), QStringLiteral("MMM dd, yyyy HH:mm:ss")));
        QVERIFY2(QRegularExpression(QStringLiteral("^[A-Z][a-z]{2} \\d\\d, \\d{4} \\d\\d:\\d\\d:\\d\\d$")).match(when).hasMatch(), qPrintable(when));
        QCOMPARE(tabs(w)->currentIndex(), 0);
        QVERIFY(looksUnchanged(w));
    }

    void unmatchedCodesSelectNothing()
    {
        const auto form = f->edit(QStringLiteral("NoProfile"), false);
        QCOMPARE(list(form.get(), "cmbProfile")->currentIndex(), -1);     // profile 0
        QCOMPARE(list(form.get(), "cmbDeviceType")->currentIndex(), -1);  // device type 99
    }

    void connectionTab_data()
    {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QVariantMap>("texts");
        QTest::addColumn<bool>("hostEnabled");
        QTest::addColumn<int>("hostCaptionRole");   // colour role of lblHost: grey or button text
        const int grey = QPalette::Text, button = QPalette::ButtonText;
        QTest::newRow("share: host from the path") << QStringLiteral("Share") << kHostRow + kPortRow
                                                   << QVariantMap{{"txtHost", "srv01"}, {"txtPort", "\\\\srv01\\hp4050"}} << false << grey;
        QTest::newRow("share without a path: stored host") << QStringLiteral("ShareLpt") << kHostRow + kPortRow
                                                           << QVariantMap{{"txtHost", "srv07"}, {"txtPort", "LPT1:"}} << false << grey;
        QTest::newRow("direct IP by MAC") << QStringLiteral("MacIP") << kMacRow + kIpRow
                                          << QVariantMap{{"txtMAC_0", "00"}, {"txtMAC_1", "1B"}, {"txtMAC_2", "78"}, {"txtMAC_3", "A0"},
                                                         {"txtMAC_4", "3C"}, {"txtMAC_5", "5F"}, {"txtIPAddress_0", "192"},
                                                         {"txtIPAddress_1", "168"}, {"txtIPAddress_2", "1"}, {"txtIPAddress_3", "20"},
                                                         {"txtIPPort", "9100"}}
                                          << true << button;
        QTest::newRow("direct IP by host") << QStringLiteral("HostIP") << kHostRow + kIpRow
                                           << QVariantMap{{"txtHost", "prn-lab"}, {"txtIPAddress_0", "192"}, {"txtIPAddress_3", "21"}, {"txtIPPort", "9100"}}
                                           << true << button;
        QTest::newRow("direct IP, host name as port") << QStringLiteral("NamePortIP") << kHostRow + kIpRow
                                                      << QVariantMap{{"txtHost", "prn-lab2"}, {"txtIPAddress_0", ""}, {"txtIPAddress_1", ""},
                                                                     {"txtIPAddress_2", ""}, {"txtIPAddress_3", ""}, {"txtIPPort", "9100"}}
                                                      << true << button;
        QTest::newRow("local") << QStringLiteral("Local") << kHostRow + kPortRow + kDeviceRow
                               << QVariantMap{{"txtHost", "WS-0100"}, {"txtPort", "LPT1:"}, {"txtDevice", "HP DeskJet"}} << true << button;
    }

    void connectionTab()
    {
        QFETCH(QString, printer);
        QFETCH(QStringList, shown);
        QFETCH(QVariantMap, texts);
        QFETCH(bool, hostEnabled);
        QFETCH(int, hostCaptionRole);
        const auto form = f->edit(printer, false);
        QCOMPARE(shownConnectionControls(form.get()), sorted(shown));
        for (auto it = texts.cbegin(); it != texts.cend(); ++it)
            QCOMPARE(box(form.get(), it.key())->text(), it.value().toString());
        QCOMPARE(box(form.get(), "txtHost")->isEnabled(), hostEnabled);
        // Grey is the grid's readable grey; the button text is the palette's own.
        const QColor expected = hostCaptionRole == QPalette::Text
                                    ? OleColorToQColor(OleGrayText, QApplication::palette())
                                    : QApplication::palette().color(QPalette::Active, QPalette::ColorRole(hostCaptionRole));
        QCOMPARE(control<QLabel>(form.get(), "lblHost")->palette().color(QPalette::WindowText), expected);
        QVERIFY(looksUnchanged(form.get()));
    }

    void switchingTypeDiscardsTypedChangesAndMarksChanged()
    {
        const auto form = f->edit(QStringLiteral("Local"));
        QComboBox *types = list(form.get(), "cmbConnection");
        box(form.get(), "txtHost")->setText(QStringLiteral("typed host"));
        box(form.get(), "txtDevice")->setText(QStringLiteral("typed device"));
        pick(types, 2);
        QCOMPARE(shownConnectionControls(form.get()), sorted(kHostRow + kIpRow));
        QCOMPARE(box(form.get(), "txtHost")->text(), QStringLiteral("WS-0100"));   // the stored host, not the typed one
        pick(types, 3);
        QCOMPARE(box(form.get(), "txtHost")->text(), QStringLiteral("WS-0100"));
        QCOMPARE(box(form.get(), "txtDevice")->text(), QStringLiteral("HP DeskJet"));
        QCOMPARE(box(form.get(), "txtPort")->text(), QStringLiteral("LPT1:"));

        // Any selection of a type, also one made by code after a reset, marks the editor changed.
        button(form.get(), "cmdClose")->click();
        QVERIFY(looksUnchanged(form.get()));
        pick(types, 1);
        QVERIFY(looksChanged(form.get()));
    }

    void addressBoxesAdvanceWhenFull_data()
    {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("focusAfter");
        QTest::newRow("IP 192") << QStringLiteral("HostIP") << QStringLiteral("txtIPAddress_0") << QStringLiteral("192") << QStringLiteral("txtIPAddress_1");
        QTest::newRow("IP 1 stays") << QStringLiteral("HostIP") << QStringLiteral("txtIPAddress_1") << QStringLiteral("1") << QStringLiteral("txtIPAddress_1");
        QTest::newRow("last IP box to the port") << QStringLiteral("HostIP") << QStringLiteral("txtIPAddress_3") << QStringLiteral("254") << QStringLiteral("txtIPPort");
        QTest::newRow("port keeps the focus") << QStringLiteral("HostIP") << QStringLiteral("txtIPPort") << QStringLiteral("91000") << QStringLiteral("txtIPPort");
        QTest::newRow("MAC ab") << QStringLiteral("MacIP") << QStringLiteral("txtMAC_0") << QStringLiteral("ab") << QStringLiteral("txtMAC_1");
        QTest::newRow("MAC 4 to 5") << QStringLiteral("MacIP") << QStringLiteral("txtMAC_4") << QStringLiteral("0f") << QStringLiteral("txtMAC_5");
        QTest::newRow("last MAC box stays") << QStringLiteral("MacIP") << QStringLiteral("txtMAC_5") << QStringLiteral("ab") << QStringLiteral("txtMAC_5");
    }

    void addressBoxesAdvanceWhenFull()
    {
        QFETCH(QString, printer);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, focusAfter);
        const auto form = f->edit(printer);
        QLineEdit *start = ::box(form.get(), box);
        start->setFocus();
        QTest::keyClicks(start, typed);   // replaces the selected text
        QCOMPARE(start->text(), focusAfter == box ? typed : typed.toUpper());   // a MAC box left behind is upper-cased
        QCOMPARE(QApplication::focusWidget()->objectName(), focusAfter);
        QVERIFY(looksChanged(form.get()));
    }

    void digitBoxesSwallowOtherKeys_data()
    {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("tab");
        QTest::newRow("first address box") << QStringLiteral("HostIP") << QStringLiteral("txtIPAddress_0") << 0;
        QTest::newRow("last address box") << QStringLiteral("HostIP") << QStringLiteral("txtIPAddress_3") << 0;
        QTest::newRow("IP port") << QStringLiteral("HostIP") << QStringLiteral("txtIPPort") << 0;
        QTest::newRow("b/w total") << QStringLiteral("Local") << QStringLiteral("txtBWTotal") << 3;
        QTest::newRow("colour total") << QStringLiteral("Local") << QStringLiteral("txtColorTotal") << 3;
    }

    void digitBoxesSwallowOtherKeys()
    {
        QFETCH(QString, printer);
        QFETCH(QString, box);
        QFETCH(int, tab);
        const auto form = f->edit(printer);
        tabs(form.get())->setCurrentIndex(tab);
        QLineEdit *txt = ::box(form.get(), box);
        txt->setFocus();
        txt->clear();
        // A letter, ".", "-", the decimal comma, an exponent and a sign are swallowed (with a beep).
        QTest::keyClicks(txt, QStringLiteral("1a.-,e+2"));
        QCOMPARE(txt->text(), QStringLiteral("12"));
        QTest::keyClick(txt, Qt::Key_Backspace);
        QCOMPARE(txt->text(), QStringLiteral("1"));
    }

    void macBoxesUpperCaseWithoutMarkingAgain()
    {
        // Upper-casing is not a change: a stored lower-case address stays unchanged when its boxes
        // are entered and left.
        QM6PrinterPtr stored = f->site.load(QStringLiteral("MacIP"));
        stored->SetHost(QStringLiteral("00-1b-78-a0-3c-5f"));
        QVERIFY(!stored->Save(f->site.admin));
        const auto form = f->edit(QStringLiteral("MacIP"));
        QLineEdit *mac1 = box(form.get(), "txtMAC_1");
        QCOMPARE(mac1->text(), QStringLiteral("1b"));
        mac1->setFocus();
        box(form.get(), "txtMAC_3")->setFocus();
        QCOMPARE(mac1->text(), QStringLiteral("1B"));
        QCOMPARE(QApplication::focusWidget(), box(form.get(), "txtMAC_3"));
        QVERIFY(looksUnchanged(form.get()));
    }

    void enteringABoxSelectsItsText_data()
    {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("selects");
        QTest::newRow("name") << QStringLiteral("Local") << QStringLiteral("txtName") << true;
        QTest::newRow("account") << QStringLiteral("Local") << QStringLiteral("txtAccountNo") << true;
        QTest::newRow("host") << QStringLiteral("Local") << QStringLiteral("txtHost") << true;
        QTest::newRow("port") << QStringLiteral("Local") << QStringLiteral("txtPort") << true;
        QTest::newRow("IP address") << QStringLiteral("HostIP") << QStringLiteral("txtIPAddress_1") << true;
        QTest::newRow("IP port") << QStringLiteral("HostIP") << QStringLiteral("txtIPPort") << true;
        QTest::newRow("MAC") << QStringLiteral("MacIP") << QStringLiteral("txtMAC_2") << true;
        QTest::newRow("device: plain") << QStringLiteral("Local") << QStringLiteral("txtDevice") << false;
    }

    void enteringABoxSelectsItsText()
    {
        QFETCH(QString, printer);
        QFETCH(QString, box);
        QFETCH(bool, selects);
        const auto form = f->edit(printer);
        QLineEdit *txt = ::box(form.get(), box);
        QVERIFY(!txt->text().isEmpty());
        txt->setFocus(Qt::OtherFocusReason);   // not the Tab key, which selects by itself
        QCOMPARE(txt->selectedText() == txt->text(), selects);
    }

    void portBoxGivesTheShareHost_data()
    {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("host");
        QTest::newRow("share path") << QStringLiteral("Share") << QStringLiteral("\\\\srv02\\lab") << QStringLiteral("srv02");
        QTest::newRow("share, no path yet") << QStringLiteral("Share") << QStringLiteral("\\\\srv02") << QStringLiteral("srv01");
        QTest::newRow("local printer") << QStringLiteral("Local") << QStringLiteral("\\\\srv02\\lab") << QStringLiteral("WS-0100");
    }

    void portBoxGivesTheShareHost()
    {
        QFETCH(QString, printer);
        QFETCH(QString, typed);
        QFETCH(QString, host);
        const auto form = f->edit(printer);
        QLineEdit *port = box(form.get(), "txtPort");
        port->setFocus();
        QTest::keyClicks(port, typed);
        QCOMPARE(box(form.get(), "txtHost")->text(), host);
        QVERIFY(looksChanged(form.get()));
    }

    void fillingTheTabNeverMovesTheFocus()
    {
        const auto form = f->edit(QStringLiteral("MacIP"));
        QComboBox *types = list(form.get(), "cmbConnection");
        types->setFocus();
        for (const qint32 code : {3, 2, 1, 2}) {
            pick(types, code);
            QCOMPARE(QApplication::focusWidget(), types);
        }
        QTest::keyClick(types, Qt::Key_Escape);   // Cancel refills every box as well
        QVERIFY(form->isVisible());
        QCOMPARE(QApplication::focusWidget(), types);
    }

    void everyEditMarksChanged_data()
    {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("value");   // text for a box, item data for a list, state for a check box
        QTest::newRow("name") << QStringLiteral("Local") << QStringLiteral("txtName") << QVariant(QStringLiteral("x"));
        QTest::newRow("account") << QStringLiteral("Local") << QStringLiteral("txtAccountNo") << QVariant(QStringLiteral("x"));
        QTest::newRow("profile") << QStringLiteral("Local") << QStringLiteral("cmbProfile") << QVariant(int(3));
        QTest::newRow("device") << QStringLiteral("Local") << QStringLiteral("txtDevice") << QVariant(QStringLiteral("x"));
        QTest::newRow("host") << QStringLiteral("Local") << QStringLiteral("txtHost") << QVariant(QStringLiteral("x"));
        QTest::newRow("port") << QStringLiteral("Local") << QStringLiteral("txtPort") << QVariant(QStringLiteral("x"));
        QTest::newRow("IP address") << QStringLiteral("HostIP") << QStringLiteral("txtIPAddress_2") << QVariant(QStringLiteral("7"));
        QTest::newRow("IP port") << QStringLiteral("HostIP") << QStringLiteral("txtIPPort") << QVariant(QStringLiteral("515"));
        QTest::newRow("MAC") << QStringLiteral("MacIP") << QStringLiteral("txtMAC_3") << QVariant(QStringLiteral("a1"));
        QTest::newRow("color") << QStringLiteral("Local") << QStringLiteral("chkIsColor") << QVariant(false);
        QTest::newRow("duplex") << QStringLiteral("Local") << QStringLiteral("chkIsDuplex") << QVariant(true);
        QTest::newRow("device type") << QStringLiteral("Local") << QStringLiteral("cmbDeviceType") << QVariant(int(4));
        QTest::newRow("model") << QStringLiteral("Local") << QStringLiteral("txtModel") << QVariant(QStringLiteral("x"));
        QTest::newRow("serial") << QStringLiteral("Local") << QStringLiteral("txtSerialNo") << QVariant(QStringLiteral("x"));
        QTest::newRow("location") << QStringLiteral("Local") << QStringLiteral("txtLocation") << QVariant(QStringLiteral("x"));
        QTest::newRow("rule type") << QStringLiteral("Local") << QStringLiteral("chkConnection_3") << QVariant(true);
        QTest::newRow("device match") << QStringLiteral("Rule") << QStringLiteral("txtDeviceMatch") << QVariant(QStringLiteral("x"));
        QTest::newRow("host match") << QStringLiteral("Rule") << QStringLiteral("txtHostMatch") << QVariant(QStringLiteral("x"));
        QTest::newRow("port match") << QStringLiteral("Rule") << QStringLiteral("txtPortMatch") << QVariant(QStringLiteral("x"));
        QTest::newRow("model match") << QStringLiteral("Rule") << QStringLiteral("txtModelMatch") << QVariant(QStringLiteral("x"));
        QTest::newRow("popup") << QStringLiteral("Local") << QStringLiteral("chkPopEarly") << QVariant(false);
        QTest::newRow("colour mode") << QStringLiteral("Local") << QStringLiteral("chkDisableColorMode") << QVariant(true);
        QTest::newRow("b/w total") << QStringLiteral("Local") << QStringLiteral("txtBWTotal") << QVariant(QStringLiteral("1"));
        QTest::newRow("colour total") << QStringLiteral("Local") << QStringLiteral("txtColorTotal") << QVariant(QStringLiteral("1"));
        QTest::newRow("connection type") << QStringLiteral("Local") << QStringLiteral("cmbConnection") << QVariant(int(1));
    }

    void everyEditMarksChanged()
    {
        QFETCH(QString, printer);
        QFETCH(QString, name);
        QFETCH(QVariant, value);
        const auto form = f->edit(printer, false);
        QVERIFY(looksUnchanged(form.get()));
        QWidget *w = control(form.get(), name);
        if (auto *txt = qobject_cast<QLineEdit *>(w))
            txt->setText(value.toString());
        else if (auto *combo = qobject_cast<QComboBox *>(w))
            pick(combo, value.toInt());
        else if (auto *chk = qobject_cast<QCheckBox *>(w))
            chk->setChecked(value.toBool());
        QVERIFY(looksChanged(form.get()));
    }

    void cancelShowsThePrinterObjectAgain_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::newRow("stored printer") << true;
        QTest::newRow("new printer") << false;
    }

    void cancelShowsThePrinterObjectAgain()
    {
        QFETCH(bool, stored);
        const auto form = stored ? f->edit(QStringLiteral("Local")) : f->add();
        const QString name = stored ? QStringLiteral("Local") : QString();
        box(form.get(), "txtName")->setText(QStringLiteral("Typed name"));
        pick(list(form.get(), "cmbConnection"), 2);
        box(form.get(), "txtIPAddress_0")->setText(QStringLiteral("10"));
        check(form.get(), "chkIsDuplex")->setChecked(true);
        box(form.get(), "txtColorTotal")->setText(QStringLiteral("99"));
        tabs(form.get())->setCurrentIndex(3);
        QPushButton *close = button(form.get(), "cmdClose");
        QCOMPARE(close->text(), L(162));
        close->click();
        QVERIFY(form->isVisible());
        QVERIFY(looksUnchanged(form.get()));
        QCOMPARE(box(form.get(), "txtName")->text(), name);
        QCOMPARE(list(form.get(), "cmbConnection")->currentData().toInt(), 3);
        QCOMPARE(box(form.get(), "txtHost")->text(), stored ? QStringLiteral("WS-0100") : QString());
        QVERIFY(!check(form.get(), "chkIsDuplex")->isChecked());
        QCOMPARE(box(form.get(), "txtColorTotal")->text(), stored ? QStringLiteral("12") : QStringLiteral("0"));
        QCOMPARE(tabs(form.get())->currentIndex(), 0);
        // The same type stays selected: its boxes are filled again all the same.
        box(form.get(), "txtHost")->setText(QStringLiteral("typed host"));
        close->click();
        QCOMPARE(box(form.get(), "txtHost")->text(), stored ? QStringLiteral("WS-0100") : QString());
        QVERIFY(looksUnchanged(form.get()));
        // Unchanged again: Close now closes.
        close->click();
        QVERIFY(!form->isVisible());
        QVERIFY(!form->Saved());
        QCOMPARE(f->site.scalar(QStringLiteral("SELECT COUNT(*) FROM printers WHERE name = 'Typed name'")), 0);
    }

    void escapeCancelsThenCloses()
    {
        const auto form = f->edit(QStringLiteral("Local"));
        QLineEdit *name = box(form.get(), "txtName");
        name->setFocus();
        QTest::keyClicks(name, QStringLiteral("Changed"));
        QTest::keyClick(name, Qt::Key_Escape);
        QVERIFY(form->isVisible());
        QCOMPARE(name->text(), QStringLiteral("Local"));
        QTest::keyClick(name, Qt::Key_Escape);
        QVERIFY(!form->isVisible());
        QVERIFY(!form->Saved());
    }

    void readOnlyViewShowsEverythingAndChangesNothing()
    {
        f->page->SetConnection(f->site.open(QStringLiteral("auditor")));
        const auto form = f->edit(QStringLiteral("Rule"));
        QCOMPARE(box(form.get(), "txtName")->text(), QStringLiteral("Rule"));
        QCOMPARE(box(form.get(), "txtDeviceMatch")->text(), QStringLiteral("dev*"));
        int controls = 0;
        for (QWidget *w : placedControls(form.get())) {
            if (qobject_cast<QLabel *>(w) || w->objectName() == QLatin1String("cmdClose") || w == tabs(form.get()) ||
                w->objectName() == QLatin1String("lstHistory"))
                continue;
            ++controls;
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        }
        QCOMPARE(controls, 37);
        QVERIFY(button(form.get(), "cmdClose")->isEnabled());
        QVERIFY(tabs(form.get())->isEnabled());
        QVERIFY(control(form.get(), "lstHistory")->isEnabled());   // it scrolls
        tabs(form.get())->setCurrentIndex(4);
        QCOMPARE(tabs(form.get())->currentIndex(), 4);
        // A change made anyway (by code) cannot be saved.
        box(form.get(), "txtName")->setText(QStringLiteral("x"));
        QCOMPARE(button(form.get(), "cmdClose")->text(), L(162));
        QVERIFY(!button(form.get(), "cmdSave")->isEnabled());
    }

    void autoMergeTab()
    {
        const QStringList matchBoxes{"txtDeviceMatch", "txtHostMatch", "txtPortMatch", "txtModelMatch"};
        const QStringList matchLabels{"lblMatch_0", "lblMatch_1", "lblMatch_2", "lblMatch_3"};
        auto matchState = [&](const QWidget *form) {
            QList<bool> enabled;
            for (const QString &name : matchBoxes + matchLabels)
                enabled << control(form, name)->isEnabled();
            return enabled;
        };
        const QList<bool> allOn(8, true), allOff(8, false);
        const QColor grey = OleColorToQColor(OleGrayText, QApplication::palette());

        // Without a rule: nothing ticked, greyed boxes holding the printer's own connection.
        const auto plain = f->edit(QStringLiteral("Share"), false);
        for (const char *name : {"chkConnection_1", "chkConnection_2", "chkConnection_3"})
            QVERIFY(!check(plain.get(), name)->isChecked());
        QCOMPARE(matchState(plain.get()), allOff);
        QCOMPARE(box(plain.get(), "txtDeviceMatch")->text(), QStringLiteral("\\\\srv01\\hp4050"));
        QCOMPARE(box(plain.get(), "txtHostMatch")->text(), QStringLiteral("oldhost"));
        QCOMPARE(box(plain.get(), "txtPortMatch")->text(), QStringLiteral("\\\\srv01\\hp4050"));
        QCOMPARE(box(plain.get(), "txtModelMatch")->text(), QStringLiteral("HP LaserJet 4050"));
        QCOMPARE(box(plain.get(), "txtHostMatch")->palette().color(QPalette::Text), grey);
        // Ticking Local takes them in and marks the editor changed; unticking greys them, texts kept.
        check(plain.get(), "chkConnection_3")->setChecked(true);
        QCOMPARE(matchState(plain.get()), allOn);
        QVERIFY(looksChanged(plain.get()));
        QVERIFY(box(plain.get(), "txtHostMatch")->palette().color(QPalette::Text) != grey);
        check(plain.get(), "chkConnection_3")->setChecked(false);
        QCOMPARE(matchState(plain.get()), allOff);
        QCOMPARE(box(plain.get(), "txtHostMatch")->text(), QStringLiteral("oldhost"));

        // A rule for network shares and direct IP.
        const auto ruled = f->edit(QStringLiteral("Rule"), false);
        QVERIFY(check(ruled.get(), "chkConnection_1")->isChecked());
        QVERIFY(check(ruled.get(), "chkConnection_2")->isChecked());
        QVERIFY(!check(ruled.get(), "chkConnection_3")->isChecked());
        QCOMPARE(matchState(ruled.get()), allOn);
        QCOMPARE(box(ruled.get(), "txtDeviceMatch")->text(), QStringLiteral("dev*"));
        QCOMPARE(box(ruled.get(), "txtPortMatch")->text(), QStringLiteral("port*"));
        for (const QString &name : matchBoxes)
            QCOMPARE(box(ruled.get(), name)->maxLength(), 32767);   // no maximum
        QVERIFY(looksUnchanged(ruled.get()));
    }

    // The console's face cannot show the console's character set: the controls, drawn in the
    // form's own font, take the console's size and a face that can show it.
    void consoleFaceWithoutItsCharacterSetIsReplaced()
    {
        const qint16 ansi = 0;
        QString face;
        for (const QString &family : QFontDatabase::families())
            if (!QFontDatabase::isPrivateFamily(family) && !family.contains(u'[') && !modFonts::FaceSupportsCharset(QFont(family), ansi))
                face = family;
        if (face.isEmpty())
            QSKIP("every installed face shows Latin letters");
        PageConsoleFont() = std::make_shared<QM6Font>(face, 14, ansi);
        const auto form = f->edit(QStringLiteral("MacIP"));
        for (QWidget *w : placedControls(form.get())) {
            QVERIFY2(modFonts::FaceSupportsCharset(w->font(), ansi), qPrintable(w->objectName() + u' ' + w->font().family()));
            QCOMPARE(w->font().pointSizeF(), 14.0);
        }
    }

    void noCaptionIsCutAtAnyFont_data()
    {
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("french");
        for (const double points : {8.0, 12.0, 20.0})
            for (const bool french : {false, true})
                QTest::newRow(qPrintable(QStringLiteral("%1 pt %2").arg(points).arg(french ? "fr" : "en"))) << points << french;
    }

    void noCaptionIsCutAtAnyFont()
    {
        QFETCH(double, points);
        QFETCH(bool, french);
        const auto designed = f->edit(QStringLiteral("MacIP"), false);
        if (french) {
            QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
            modLanguage::UnloadLanguageLibrary();
            modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet"));
        }
        const auto restore = qScopeGuard([] { editorTestCaseSetUp(qEnvironmentVariable("QM6_REGISTRY_DIR")); });
        QCOMPARE(L(101), french ? QStringLiteral("Connexion") : QStringLiteral("Connection"));
        PageConsoleFont() = std::make_shared<QM6Font>(QApplication::font().family(), points, 0);
        const auto form = f->edit(QStringLiteral("MacIP"));
        QVERIFY(form->font().pointSizeF() == points);
        if (points >= 12) {
            QVERIFY(form->width() > designed->width());
            QVERIFY(form->height() > designed->height());
        }
        QTabWidget *tabWidget = tabs(form.get());
        QTabBar *bar = tabWidget->tabBar();
        QVERIFY(bar->geometry().right() < tabWidget->width());
        for (int i = 0; i < bar->count(); ++i)
            QVERIFY2(bar->rect().contains(bar->tabRect(i)), qPrintable(bar->tabText(i)));

        for (const qint32 type : {1, 2, 3}) {
            pick(list(form.get(), "cmbConnection"), type);
            for (QWidget *w : placedControls(form.get())) {
                if (w->isHidden())
                    continue;
                const QString name = w->objectName();
                QWidget *panel = w->parentWidget();
                QVERIFY2(panel->rect().contains(w->geometry()), qPrintable(name + QLatin1String(" lies outside its panel")));
                if (qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w)) {
                    QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(name + QLatin1String(" is cut: ") + w->property("text").toString()));
                    QVERIFY2(w->height() >= w->sizeHint().height(), qPrintable(name + QLatin1String(" is cut in height")));
                }
                if (qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w))
                    QVERIFY2(w->height() >= w->minimumSizeHint().height(), qPrintable(name + QLatin1String(" is too low")));
                for (QWidget *other : panel->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                    if (other != w && !other->isHidden())
                        QVERIFY2(!w->geometry().intersects(other->geometry()), qPrintable(name + QLatin1String(" overlaps ") + other->objectName()));
            }
        }
        // Both buttons hold every caption they show over the form's life.
        QPushButton *save = button(form.get(), "cmdSave"), *close = button(form.get(), "cmdClose");
        for (const auto &[b, ids] : {std::pair{save, QList<int>{143, 156, 158}}, std::pair{close, QList<int>{142, 161, 162}}})
            for (const int id : ids) {
                b->setText(L(id));
                QVERIFY2(b->width() >= b->sizeHint().width(), qPrintable(L(id)));
            }
    }

    void tabOrderAndLengths()
    {
        const auto form = f->edit(QStringLiteral("MacIP"), false);
        QStringList order = QStringList{"txtName", "cmbProfile", "txtAccountNo", "cmdSave", "cmdClose", "tabPrinters", "cmbConnection", "txtHost"}
                            + array("txtMAC", 6) + array("txtIPAddress", 4);
        order << "txtIPPort" << "txtPort" << "txtDevice" << "chkIsColor" << "chkIsDuplex" << "cmbDeviceType" << "txtModel"
              << "txtSerialNo" << "txtLocation" << "chkConnection_3" << "chkConnection_1" << "chkConnection_2" << "txtDeviceMatch"
              << "txtHostMatch" << "txtPortMatch" << "txtModelMatch" << "chkPopEarly" << "chkDisableColorMode" << "txtBWTotal" << "txtColorTotal";
        // The history list is the tab control's own child: it comes right after the tab bar (and is
        // reached only while its tab shows).
        order.insert(6, QStringLiteral("lstHistory"));
        QStringList chain;
        QWidget *w = control(form.get(), "txtName");
        do {
            if (order.contains(w->objectName()) && !chain.contains(w->objectName()))
                chain << w->objectName();
            w = w->nextInFocusChain();
        } while (w != control(form.get(), "txtName"));
        QCOMPARE(chain, order);

        const std::pair<const char *, int> lengths[] = {
            {"txtName", 100}, {"txtAccountNo", 32767}, {"txtHost", 55}, {"txtMAC_5", 2}, {"txtIPAddress_0", 3}, {"txtIPPort", 5},
            {"txtPort", 100}, {"txtDevice", 255}, {"txtModel", 255}, {"txtSerialNo", 255}, {"txtLocation", 255},
            {"txtBWTotal", 10}, {"txtColorTotal", 10}};
        for (const auto &[name, length] : lengths)
            QVERIFY2(box(form.get(), name)->maxLength() == length, name);
    }

    void growthKeepsRowsTogetherAndApart()
    {
        QWidget panel;
        auto *caption = new QLabel(QStringLiteral("A rather long caption:"), &panel);
        auto *shortCaption = new QLabel(QStringLiteral("Port:"), &panel);
        auto *dot = new QLabel(QStringLiteral("."), &panel);
        auto *first = new QLineEdit(&panel), *second = new QLineEdit(&panel), *port = new QLineEdit(&panel);
        caption->setGeometry(8, 8, 40, 13);
        shortCaption->setGeometry(8, 40, 40, 13);
        first->setGeometry(50, 4, 30, 19);
        dot->setGeometry(82, 8, 9, 13);
        second->setGeometry(94, 4, 30, 19);
        port->setGeometry(50, 36, 100, 19);
        // The row moves right of the longest caption as one piece; the other row's box follows.
        formgrowth::FitColumn({{caption, shortCaption}, {{first, dot, second}, {port}}, 50}, 1.0);
        const int left = 8 + caption->sizeHint().width() + 6;
        QCOMPARE(first->x(), left);
        QCOMPARE(port->x(), left);
        QCOMPARE(dot->x() - first->x(), 32);
        QCOMPARE(second->x() - first->x(), 44);
        QVERIFY(caption->width() >= caption->sizeHint().width());
        // A row whose widths grew keeps its order without overlaps.
        dot->resize(40, dot->height());
        formgrowth::Chain({first, dot, second}, 2);
        QCOMPARE(second->x(), dot->geometry().right() + 1 + 2);
        QCOMPARE(formgrowth::Extent({first, dot, second, port}, 8), QSize(second->geometry().right() + 1 + 8, 36 + 19 + 8));
    }

    void historyNewestFirstInTheUsersLanguage_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("points");           // the console's font: the list grows with it
        QTest::addColumn<QStringList>("newest");   // the change column of the three newest entries
        QTest::addColumn<QString>("firstSave");    // part of the first save's (a profile by its name)
        QTest::addColumn<QString>("added");        // the start of the oldest entry
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << 8.0
                                 << QStringList{QStringLiteral("New page totals: B/W total: “150000000” → “150000001”"),
                                                QStringLiteral("Saved: Location: “Room 8” → “Room 9”"),
                                                QStringLiteral("Saved: Location: “Room 7” → “Room 8”")}
                                 << QStringLiteral("Track profile: “Standard” → “Finance”") << QStringLiteral("Added: Name: “Local”");
        QTest::newRow("French, 20 pt") << QLocale(QLocale::French, QLocale::France) << 20.0
                                << QStringList{QStringLiteral("Nouveaux totaux de pages : Total noir et blanc : «\u00A0150000000\u00A0» → «\u00A0150000001\u00A0»"),
                                               QStringLiteral("Enregistrée : Emplacement : «\u00A0Room 8\u00A0» → «\u00A0Room 9\u00A0»"),
                                               QStringLiteral("Enregistrée : Emplacement : «\u00A0Room 7\u00A0» → «\u00A0Room 8\u00A0»")}
                                << QStringLiteral("Profil de suivi : «\u00A0Standard\u00A0» → «\u00A0Finance\u00A0»") << QStringLiteral("Ajoutée : Nom : «\u00A0Local\u00A0»");
    }

    void historyNewestFirstInTheUsersLanguage()
    {
        QFETCH(QLocale, locale);
        QFETCH(double, points);
        QFETCH(QStringList, newest);
        QFETCH(QString, firstSave);
        QFETCH(QString, added);
        const QM6PrinterPtr p = f->site.load(QStringLiteral("Local"));
        p->SetPrintProfileId(qint32(f->site.profiles[2]));
        for (int room = 1; room <= 9; ++room) {
            p->SetLocation(QStringLiteral("Room %1").arg(room));
            QVERIFY(!p->Save(f->site.admin));
        }
        QVERIFY(!p->SaveTotals(f->site.admin, p->BWTotal() + 1, p->ColorTotal()));
        QLocale::setDefault(locale);
        modLanguage::LoadLanguageLibrary(QStringLiteral("devfleet"));
        const auto restore = qScopeGuard([] { editorTestCaseSetUp(qEnvironmentVariable("QM6_REGISTRY_DIR")); });
        PageConsoleFont() = std::make_shared<QM6Font>(QApplication::font().family(), points, 0);

        const auto form = f->edit(QStringLiteral("Local"));
        tabs(form.get())->setCurrentIndex(4);
        auto *history = control<QTreeWidget>(form.get(), QStringLiteral("lstHistory"));
        QCOMPARE(history->topLevelItemCount(), 11);   // added, nine saves, the totals
        for (int i = 0; i < newest.size(); ++i)
            QCOMPARE(history->topLevelItem(i)->text(2), newest[i]);
        QVERIFY2(history->topLevelItem(9)->text(2).contains(firstSave), qPrintable(history->topLevelItem(9)->text(2)));
        QVERIFY(history->topLevelItem(10)->text(2).startsWith(added));
        QCOMPARE(history->topLevelItem(0)->text(1), QM6Connection::OperatingSystemUser());
        QCOMPARE(history->topLevelItem(0)->text(0), control<QLabel>(form.get(), "lblWhenModified")->text());
        // Eight entries show whole without scrolling.
        const QRect viewport = history->viewport()->rect();
        QVERIFY(viewport.contains(history->visualItemRect(history->topLevelItem(7))));
    }

private:
    QTemporaryDir mRegistry;
    std::unique_ptr<EditorFixture> f;
};

QTEST_MAIN(tst_frmPrinter)
#include "tst_frmprinter.moc"
