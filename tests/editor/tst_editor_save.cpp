// Saving in the printer editor: the checks in their order with one message each, the
// questions, what is written where, and storing in one transaction that can fail and be
// tried again. The real form over a real SQLite site, without its modal loop.
#include "editortest.h"

namespace {

// Puts values into the form as a user would leave them: text for a box (pasting bypasses the
// key filters), item data for a list (-1: nothing selected), a state for a check box.
void fill(QWidget *form, const QVariantMap &values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        QWidget *w = control(form, it.key());
        if (auto *txt = qobject_cast<QLineEdit *>(w))
            txt->setText(it.value().toString());
        else if (auto *combo = qobject_cast<QComboBox *>(w))
            combo->setCurrentIndex(it.value().toInt() < 0 ? -1 : combo->findData(it.value().toInt()));
        else if (auto *chk = qobject_cast<QCheckBox *>(w))
            chk->setChecked(it.value().toBool());
    }
}

const QStringList kColumns{"name", "device", "host", "port", "model", "location", "serial_no", "account_no", "connection_type",
                           "device_type", "profile_id", "bw_total", "color_total", "auto_merge", "am_device", "am_connection_types",
                           "row_version"};

QString repeated(int n)
{
    return QString(n, QLatin1Char('a'));
}

} // namespace

class tst_EditorSave : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { editorTestCaseSetUp(mRegistry.path()); }
    void init() { QVERIFY((f = std::make_unique<EditorFixture>())->setUp()); }
    void cleanup() { f.reset(); }

    void checksRefuseInOrder_data()
    {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QVariantMap>("values");
        QTest::addColumn<int>("message");
        QTest::addColumn<int>("tab");   // the tab in front afterwards (the save starts on tab 3)
        QTest::addColumn<QString>("focus");
        const QString local = QStringLiteral("Local"), ip = QStringLiteral("HostIP"), mac = QStringLiteral("MacIP");
        QTest::newRow("no name, and everything else wrong") << local
            << QVariantMap{{"txtName", ""}, {"cmbProfile", -1}, {"txtDevice", ""}, {"txtHost", ""}, {"txtPort", ""}, {"txtBWTotal", "x"}}
            << 147 << 2 << "txtName";
        QTest::newRow("blanks for a name") << local << QVariantMap{{"txtName", "   "}} << 147 << 2 << "txtName";
        QTest::newRow("no track profile") << local << QVariantMap{{"cmbProfile", -1}, {"txtPort", ""}, {"txtDevice", ""}, {"txtHost", ""}}
                                          << 148 << 2 << "cmbProfile";
        QTest::newRow("no connection type") << local << QVariantMap{{"cmbConnection", -1}} << 149 << 0 << "cmbConnection";
        QTest::newRow("local: no device, host or port") << local << QVariantMap{{"txtDevice", " "}, {"txtHost", ""}, {"txtPort", ""}}
                                                        << 150 << 0 << "txtDevice";
        QTest::newRow("share: no path") << QStringLiteral("Share") << QVariantMap{{"txtPort", "  "}} << 151 << 0 << "txtPort";
        QTest::newRow("MAC: not hexadecimal") << mac << QVariantMap{{"txtMAC_2", "7g"}} << 152 << 0 << "txtMAC_0";
        QTest::newRow("MAC: empty group") << mac << QVariantMap{{"txtMAC_5", ""}} << 152 << 0 << "txtMAC_0";
        QTest::newRow("host: empty") << ip << QVariantMap{{"txtHost", " "}, {"txtIPAddress_0", "999"}} << 153 << 0 << "txtHost";
        const std::pair<const char *, QVariantMap> badAddresses[] = {
            {"address 256", {{"txtIPAddress_3", "256"}}},
            {"address piece empty", {{"txtIPAddress_1", ""}}},
            {"address 1e2 pasted", {{"txtIPAddress_2", "1e2"}}},
            {"address +1 pasted", {{"txtIPAddress_2", "+1"}}},
            {"address &H1 pasted", {{"txtIPAddress_2", "&H1"}}},
            {"port 91a", {{"txtIPPort", "91a"}}},
            {"port 0", {{"txtIPPort", "0"}}},
            {"port 65536", {{"txtIPPort", "65536"}}},
            {"port 1e3 pasted", {{"txtIPPort", "1e3"}}},
            {"port +91 pasted", {{"txtIPPort", "+91"}}},
            {"port, before the totals", {{"txtIPPort", "9.1"}, {"txtBWTotal", "x"}}},
        };
        for (const auto &[row, values] : badAddresses)
            QTest::newRow(row) << ip << values << 154 << 0 << "txtIPAddress_0";
        const std::pair<const char *, QString> badTotals[] = {
            {"b/w total empty", ""}, {"b/w total 1e2", "1e2"}, {"b/w total &H10", "&H10"}, {"b/w total -1", "-1"},
            {"b/w total 1.5", "1.5"}, {"b/w total 2147483648", "2147483648"}, {"b/w total +5", "+5"}};
        for (const auto &[row, text] : badTotals)
            QTest::newRow(row) << local << QVariantMap{{"txtBWTotal", text}, {"txtColorTotal", "x"}} << 166 << 3 << "txtBWTotal";
        QTest::newRow("colour total 1.5") << local << QVariantMap{{"txtColorTotal", "1.5"}} << 167 << 3 << "txtColorTotal";
        QTest::newRow("colour total 99999999999") << local << QVariantMap{{"txtColorTotal", "9999999999"}} << 167 << 3 << "txtColorTotal";
    }

    void checksRefuseInOrder()
    {
        QFETCH(QString, printer);
        QFETCH(QVariantMap, values);
        QFETCH(int, message);
        QFETCH(int, tab);
        QFETCH(QString, focus);
        const qint32 id = f->site.ids[printer];
        const QVariantMap before = f->site.row(id, kColumns);
        const auto form = f->edit(printer);
        fill(form.get(), values);
        box(form.get(), "txtModel")->setText(QStringLiteral("changed"));
        tabs(form.get())->setCurrentIndex(2);
        f->services->answers = {QM6_ANSWER_YES, QM6_ANSWER_YES};
        button(form.get(), "cmdSave")->click();

        QCOMPARE(f->services->messages, QStringList{L(message)});
        QVERIFY(f->services->questions.isEmpty());
        QCOMPARE(tabs(form.get())->currentIndex(), tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QVERIFY(form->isVisible());
        QVERIFY(!form->Saved());
        QVERIFY(looksChanged(form.get()));
        QCOMPARE(f->site.row(id, kColumns), before);
        QCOMPARE(box(form.get(), "txtModel")->text(), QStringLiteral("changed"));
    }

    void writesTheFormIntoThePrinter_data()
    {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QVariantMap>("values");
        QTest::addColumn<QVariantMap>("stored");
        QTest::newRow("MAC groups as typed")
            << QStringLiteral("MacIP")
            << QVariantMap{{"txtMAC_0", "0"}, {"txtMAC_1", "1b"}, {"txtMAC_2", "78"}, {"txtMAC_3", "a0"}, {"txtMAC_4", "3c"}, {"txtMAC_5", "5f"}}
            << QVariantMap{{"host", "00-1b-78-a0-3c-5f"}, {"port", "192.168.1.20:9100"}, {"device", "192.168.1.20"}};
        QTest::newRow("address and port; an empty device takes the address")
            << QStringLiteral("HostIP")
            << QVariantMap{{"txtIPAddress_0", "10"}, {"txtIPAddress_1", "0"}, {"txtIPAddress_2", "0"}, {"txtIPAddress_3", "5"}, {"txtIPPort", " 9100"}}
            << QVariantMap{{"host", "prn-lab"}, {"port", "10.0.0.5:9100"}, {"device", "10.0.0.5"}, {"connection_type", "2"}};
        QTest::newRow("address without a port")
            << QStringLiteral("HostIP") << QVariantMap{{"txtIPPort", ""}} << QVariantMap{{"port", "192.168.1.21"}};
        QTest::newRow("a device text stays") << QStringLiteral("MacIP") << QVariantMap{{"txtIPAddress_3", "21"}}
                                             << QVariantMap{{"port", "192.168.1.21:9100"}, {"device", "192.168.1.20"}};
        QTest::newRow("share path is device and port")
            << QStringLiteral("Share") << QVariantMap{{"txtPort", "\\\\srv09\\lab"}}
            << QVariantMap{{"port", "\\\\srv09\\lab"}, {"device", "\\\\srv09\\lab"}, {"host", "srv09"}};
        QTest::newRow("local with only a port")
            << QStringLiteral("Local") << QVariantMap{{"txtDevice", ""}, {"txtHost", ""}, {"txtPort", "COM3:"}}
            << QVariantMap{{"port", "COM3:"}, {"device", ""}, {"host", ""}};
        QTest::newRow("direct IP becomes local")
            << QStringLiteral("HostIP") << QVariantMap{{"cmbConnection", 3}, {"txtDevice", "dev"}}
            << QVariantMap{{"connection_type", "3"}, {"device", "dev"}, {"host", "prn-lab"}, {"port", "192.168.1.21:9100"}};
        QTest::newRow("texts trimmed, account cut to 255")
            << QStringLiteral("Local")
            << QVariantMap{{"txtName", "  Padded  "}, {"txtModel", " M "}, {"txtAccountNo", repeated(300)}, {"txtLocation", "\tL "}}
            << QVariantMap{{"name", "Padded"}, {"model", "M"}, {"account_no", repeated(255)}, {"location", "L"}};
        QTest::newRow("every other field")
            << QStringLiteral("Local")
            << QVariantMap{{"cmbProfile", 4}, {"cmbDeviceType", 5}, {"txtSerialNo", "S9"}, {"chkIsDuplex", true}}
            << QVariantMap{{"profile_id", "4"}, {"device_type", "5"}, {"serial_no", "S9"}};
        QTest::newRow("no device type selected keeps it")
            << QStringLiteral("NoProfile") << QVariantMap{{"cmbProfile", 2}} << QVariantMap{{"device_type", "99"}, {"profile_id", "2"}};
        QTest::newRow("blanks around a total") << QStringLiteral("Local") << QVariantMap{{"txtColorTotal", " 13 "}}
                                               << QVariantMap{{"color_total", "13"}, {"bw_total", "150000000"}};
    }

    void writesTheFormIntoThePrinter()
    {
        QFETCH(QString, printer);
        QFETCH(QVariantMap, values);
        QFETCH(QVariantMap, stored);
        // Not active: the boxes are filled in place, without a MAC box being left (and upper-cased).
        const auto form = f->edit(printer, false);
        fill(form.get(), values);
        check(form.get(), "chkPopEarly")->toggle();   // some change, in case the values are the stored ones
        f->services->answers = {QM6_ANSWER_YES};
        button(form.get(), "cmdSave")->click();
        QVERIFY2(f->services->messages.isEmpty(), qPrintable(f->services->messages.join(u'\n')));
        QVERIFY2(f->displayed.isEmpty(), qPrintable(f->displayed.join(u'\n')));
        QVERIFY(form->Saved());
        QVERIFY(!form->isVisible());
        const QVariantMap row = f->site.row(f->site.ids[printer], stored.keys());
        for (auto it = stored.cbegin(); it != stored.cend(); ++it)
            QCOMPARE(row.value(it.key()).toString(), it.value().toString());
    }

    void totalsAskOnlyWhenChanged()
    {
        // Totals as loaded, even above eight digits, are not a change.
        {
            const auto form = f->edit(QStringLiteral("Local"));
            box(form.get(), "txtModel")->setText(QStringLiteral("M2"));
            button(form.get(), "cmdSave")->click();
            QVERIFY(form->Saved());
            QVERIFY(f->services->questions.isEmpty());
            QCOMPARE(f->site.row(f->site.ids[QStringLiteral("Local")], {"bw_total"}).value("bw_total").toString(), QStringLiteral("150000000"));
        }
        // 0 to 10: asked; no keeps the form open with 10; yes stores it.
        const qint32 id = f->site.ids[QStringLiteral("Share")];
        const auto form = f->edit(QStringLiteral("Share"));
        box(form.get(), "txtBWTotal")->setText(QStringLiteral("10"));
        f->services->answers = {QM6_ANSWER_NO};
        button(form.get(), "cmdSave")->click();
        QCOMPARE(f->services->questions, QStringList{L(168)});
        QVERIFY(f->services->messages.isEmpty());
        QVERIFY(form->isVisible());
        QCOMPARE(box(form.get(), "txtBWTotal")->text(), QStringLiteral("10"));
        QCOMPARE(f->site.row(id, {"bw_total", "row_version"}), (QVariantMap{{"bw_total", "0"}, {"row_version", "1"}}));
        f->services->answers = {QM6_ANSWER_YES};
        button(form.get(), "cmdSave")->click();
        QVERIFY(form->Saved());
        QCOMPARE(f->site.row(id, {"bw_total", "color_total"}), (QVariantMap{{"bw_total", "10"}, {"color_total", "0"}}));
    }

    void autoMergeRuleIsConfirmedAndStored()
    {
        const qint32 share = f->site.ids[QStringLiteral("Share")], ruled = f->site.ids[QStringLiteral("Rule")];
        const QStringList rule{"auto_merge", "am_device", "am_host", "am_port", "am_model", "am_connection_types"};
        // Ticking a type asks; no writes nothing and keeps the form as it is.
        const auto form = f->edit(QStringLiteral("Share"));
        check(form.get(), "chkConnection_3")->setChecked(true);
        box(form.get(), "txtDeviceMatch")->setText(QStringLiteral("  HP*  "));
        f->services->answers = {QM6_ANSWER_NO};
        button(form.get(), "cmdSave")->click();
        QCOMPARE(f->services->questions, QStringList{L(155)});
        QVERIFY(form->isVisible());
        QVERIFY(looksChanged(form.get()));
        QCOMPARE(f->site.row(share, {"auto_merge", "row_version"}), (QVariantMap{{"auto_merge", "0"}, {"row_version", "1"}}));
        // Yes stores the rule: the ticked type and the trimmed texts.
        f->services->answers = {QM6_ANSWER_YES};
        button(form.get(), "cmdSave")->click();
        QVERIFY(form->Saved());
        QCOMPARE(f->site.row(share, rule), (QVariantMap{{"auto_merge", "1"}, {"am_device", "HP*"}, {"am_host", "oldhost"},
                                                        {"am_port", "\\\\srv01\\hp4050"}, {"am_model", "HP LaserJet 4050"},
                                                        {"am_connection_types", QString::number(1 << 3)}}));

        // A rule is confirmed at every save, changed or not.
        f->services->questions.clear();
        const auto again = f->edit(QStringLiteral("Rule"));
        box(again.get(), "txtName")->setText(QStringLiteral("Rule 2"));
        f->services->answers = {QM6_ANSWER_YES};
        button(again.get(), "cmdSave")->click();
        QCOMPARE(f->services->questions, QStringList{L(155)});
        QVERIFY(again->Saved());
        // Every type cleared: no question, the flag off, the rule's texts left as they were.
        f->services->questions.clear();
        const auto cleared = f->edit(QStringLiteral("Rule"));
        check(cleared.get(), "chkConnection_1")->setChecked(false);
        check(cleared.get(), "chkConnection_2")->setChecked(false);
        box(cleared.get(), "txtHostMatch")->setText(QStringLiteral("ignored"));
        button(cleared.get(), "cmdSave")->click();
        QVERIFY(cleared->Saved());
        QVERIFY(f->services->questions.isEmpty());
        QCOMPARE(f->site.row(ruled, rule), (QVariantMap{{"auto_merge", "0"}, {"am_device", "dev*"}, {"am_host", "host*"}, {"am_port", "port*"},
                                                        {"am_model", "model*"}, {"am_connection_types", QString::number((1 << 1) | (1 << 2))}}));
    }

    void failedSaveCanBeCorrectedAndSavedAgain_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::newRow("stored printer") << true;
        QTest::newRow("new printer") << false;
    }

    void failedSaveCanBeCorrectedAndSavedAgain()
    {
        QFETCH(bool, stored);
        // The database refuses one total, after the printer's own statement has gone through.
        QVERIFY(f->site.exec(QStringLiteral("CREATE TRIGGER refuse13 BEFORE UPDATE OF bw_total ON printers WHEN NEW.bw_total = 13"
                                            " BEGIN SELECT RAISE(ABORT, 'thirteen is refused'); END")));
        const auto form = stored ? f->edit(QStringLiteral("Local")) : f->add();
        if (!stored)
            fill(form.get(), {{"txtName", "Fresh"}, {"cmbProfile", qint32(f->site.profiles[0])}, {"txtPort", "USB003"}});
        box(form.get(), "txtModel")->setText(QStringLiteral("Retried"));
        box(form.get(), "txtBWTotal")->setText(QStringLiteral("13"));
        f->services->answers = {QM6_ANSWER_YES, QM6_ANSWER_YES};
        button(form.get(), "cmdSave")->click();
        QCOMPARE(f->displayed.size(), 1);
        QVERIFY2(f->displayed.first().contains(QStringLiteral("thirteen is refused")), qPrintable(f->displayed.first()));
        QVERIFY(form->isVisible());
        QVERIFY(!form->Saved());
        const QString name = stored ? QStringLiteral("Local") : QStringLiteral("Fresh");
        QCOMPARE(f->site.scalar(QStringLiteral("SELECT COUNT(*) FROM printers WHERE model = 'Retried'")), 0);
        QCOMPARE(f->site.scalar(QStringLiteral("SELECT COUNT(*) FROM printers WHERE name = '%1'").arg(name)), stored ? 1 : 0);

        // Corrected, the same form saves: one printer, the version moved on from the loaded one.
        box(form.get(), "txtBWTotal")->setText(QStringLiteral("14"));
        button(form.get(), "cmdSave")->click();
        QVERIFY2(f->displayed.size() == 1, qPrintable(f->displayed.join(u'\n')));
        QVERIFY(form->Saved());
        QCOMPARE(f->site.scalar(QStringLiteral("SELECT COUNT(*) FROM printers WHERE name = '%1'").arg(name)), 1);
        QCOMPARE(f->site.scalar(QStringLiteral("SELECT bw_total FROM printers WHERE name = '%1' AND model = 'Retried'").arg(name)), 14);
        QCOMPARE(f->site.scalar(QStringLiteral("SELECT row_version FROM printers WHERE name = '%1'").arg(name)), stored ? 3 : 2);
    }

    void changeByAnotherConsoleIsNotOverwritten()
    {
        const auto form = f->edit(QStringLiteral("Local"));
        // Another console changes the printer after this one loaded it.
        const QM6ConnectionPtr other = f->site.open(QStringLiteral("admin"));
        QM6Printer theirs;
        QVERIFY(!theirs.Load(other, f->site.ids[QStringLiteral("Local")]));
        theirs.SetModel(QStringLiteral("Their model"));
        QVERIFY(!theirs.Save(other));

        box(form.get(), "txtLocation")->setText(QStringLiteral("Our location"));
        button(form.get(), "cmdSave")->click();
        QCOMPARE(f->displayed.size(), 1);
        const QString message = f->displayed.first();
        QVERIFY2(message.contains(QStringLiteral("changed by %1 on ").arg(QM6Connection::OperatingSystemUser())) && message.contains(QStringLiteral("Your changes were not saved")),
                 qPrintable(message));
        QVERIFY(form->isVisible());
        QVERIFY(!form->Saved());
        QCOMPARE(f->site.row(f->site.ids[QStringLiteral("Local")], {"model", "location"}),
                 (QVariantMap{{"model", "Their model"}, {"location", "Lab, floor 2"}}));
        // After the refusal Cancel shows what this save wrote into the printer object.
        button(form.get(), "cmdClose")->click();
        tabs(form.get())->setCurrentIndex(1);
        QCOMPARE(box(form.get(), "txtLocation")->text(), QStringLiteral("Our location"));
        QCOMPARE(box(form.get(), "txtModel")->text(), QStringLiteral("DeskJet 2720"));
    }

private:
    QTemporaryDir mRegistry;
    std::unique_ptr<EditorFixture> f;
};

QTEST_MAIN(tst_EditorSave)
#include "tst_editor_save.moc"
