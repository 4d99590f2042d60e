// The page's ways into the printer editor: Add (the tip, then the form), Edit with one
// printer, double click and Enter, and the list reloaded after a save. The forms are the
// fakes, except in the round trip, where the real editor is filled and saved without its
// modal loop.
#include "fakeforms.h"
#include "flexgridview.h"
#include "frmprinter.h"
#include "modlanguage.h"
#include "pagefixture.h"
#include "printergrid.h"
#include "qm6sitegenerator.h"

#include <QPushButton>
#include <QSignalSpy>

namespace {

// Records where the tip keeps the user's "do not show again".
class TipServices final : public FakeCommonServices {
public:
    QStringList tipPlaces;
    void ShowTip(const QString &text, const QString &key, const QString &value, qint32 flag, const QString &extra, qint32 reserved,
                 qint32 &result) override
    {
        tipPlaces << key + QLatin1Char('|') + value;
        FakeCommonServices::ShowTip(text, key, value, flag, extra, reserved, result);
    }
};

int rowOf(const PageHolder &page, const QString &name)
{
    for (int r = 1; r <= page->PrinterCount(); ++r)
        if (page.grid()->TextMatrix(r, 2).trimmed() == name)
            return r;
    return -1;
}

void doubleClick(const PageHolder &page, int row)
{
    page.grid()->SetRow(row);
    page.grid()->ShowCell(row, 2);
    FlexGridView *view = page.grid()->View();
    const QPoint centre = view->visualRect(view->currentIndex()).center();
    // A double click arrives as a click followed by the double-click event.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
}

} // namespace

class tst_EditorCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void init()
    {
        auto services = std::make_unique<TipServices>();
        mServices = services.get();
        f = std::make_unique<PageSite>(std::move(services));
        // The demo site's users and track profiles, then three printers with two merged into the first.
        QM6SiteGenerator::Options users;
        users.printers = 0;
        users.demo = true;
        QVERIFY(f->conn && !QM6SiteGenerator::Generate(f->conn.get(), users));
        QVERIFY(buildThreePrinterSite(f->conn));
    }
    void cleanup() { f.reset(); }

    void addShowsTheTipThenTheEditor_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<int>("how");   // 1 the Add action, 2 the add item, 3 a double click on an empty row
        QTest::addColumn<bool>("saved");
        QTest::newRow("add action, saved") << "admin" << 1 << true;
        QTest::newRow("add item, saved") << "admin" << 2 << true;
        QTest::newRow("double click on an empty row, saved") << "admin" << 3 << true;
        QTest::newRow("add action, closed") << "admin" << 1 << false;
        QTest::newRow("read-only user") << "auditor" << 1 << true;
        QTest::newRow("read-only user, empty row") << "auditor" << 3 << true;
    }

    void addShowsTheTipThenTheEditor()
    {
        QFETCH(QString, user);
        QFETCH(int, how);
        QFETCH(bool, saved);
        PageHolder page(*f, user == QLatin1String("admin") ? f->conn : openSite(f->db, user), true);
        FakeForms forms;
        forms.saves = saved;
        page->SetForms(forms.Forms());
        page.grid()->SetRow(4);
        QSignalSpy fills(page.page, &ctlFleet::GridFilled);
        if (how == 1)
            page->StandardAction(QM6_ACTION_ADD);
        else if (how == 2)
            page->AddItemClicked(QStringLiteral("QM6PRINTER_ADDPRINTER"));
        else
            doubleClick(page, page->PrinterCount() + 1);

        const bool mayChange = user == QLatin1String("admin");
        QCOMPARE(forms.added, mayChange ? 1 : 0);
        QCOMPARE(mServices->tips.size(), mayChange ? 1 : 0);
        if (mayChange) {
            QCOMPARE(mServices->tips.first(), modLanguage::GetLangString(205, mServices->GetAppTitle()));
            QVERIFY(mServices->tips.first().startsWith(mServices->GetAppTitle()));
            QCOMPARE(mServices->tipPlaces.first(), QStringLiteral("Software\\Quillmark 6\\admin\\printers|AddPrinter"));
        }
        QCOMPARE(fills.count() > 0, mayChange && saved);
        if (mayChange && saved)
            QCOMPARE(page.grid()->Row(), 1);
        QVERIFY(forms.edited.isEmpty());
    }

    void editOpensTheEditorForOnePrinter_data()
    {
        QTest::addColumn<QList<int>>("rows");   // selected rows, the first current
        QTest::addColumn<int>("how");           // 1 the Edit action, 2 Enter, 3 a double click
        QTest::addColumn<bool>("opens");
        QTest::newRow("edit, one printer") << QList<int>{4} << 1 << true;
        QTest::newRow("enter on a printer") << QList<int>{5} << 2 << true;
        QTest::newRow("double click on a printer") << QList<int>{1} << 3 << true;
        QTest::newRow("edit, only a merged printer") << QList<int>{2} << 1 << false;
        QTest::newRow("enter on a merged printer") << QList<int>{3} << 2 << false;
        QTest::newRow("edit, two printers") << QList<int>{1, 4} << 1 << false;
    }

    void editOpensTheEditorForOnePrinter()
    {
        QFETCH(QList<int>, rows);
        QFETCH(int, how);
        QFETCH(bool, opens);
        for (const bool saved : {true, false}) {
            PageHolder page(*f, f->conn, true);
            FakeForms forms;
            forms.saves = saved;
            page->SetForms(forms.Forms());
            page.select(rows);
            const qint32 id = page.grid()->TextMatrix(rows.first(), printerlist::ColPrinterId).toInt();
            QSignalSpy fills(page.page, &ctlFleet::GridFilled);
            if (how == 1)
                page->StandardAction(QM6_ACTION_EDIT);
            else if (how == 2)
                QTest::keyClick(page.grid()->View(), Qt::Key_Return);
            else
                doubleClick(page, rows.first());
            QCOMPARE(forms.edited, opens ? QList<qint32>{id} : QList<qint32>{});
            QCOMPARE(forms.added, 0);
            QCOMPARE(fills.count() > 0, opens && saved);
            QCOMPARE(page.grid()->Row(), rows.first());   // a reload keeps the row
        }
    }

    void addThenEditThroughThePage()
    {
        PageHolder page(*f, f->conn, true);
        const qint32 profile = 1;   // the first standard track profile of a new site
        // The real editor, filled and saved as a user would, without its modal loop.
        PageForms forms = DefaultPageForms();
        forms.AddPrinter = [profile](IQM6AdminControl *caller) {
            const std::unique_ptr<frmPrinter> form = frmPrinter::NewPrinterForm(caller);
            form->findChild<QLineEdit *>(QStringLiteral("txtName"))->setText(QStringLiteral("Delta Epson"));
            auto *profiles = form->findChild<QComboBox *>(QStringLiteral("cmbProfile"));
            profiles->setCurrentIndex(profiles->findData(profile));
            form->findChild<QLineEdit *>(QStringLiteral("txtPort"))->setText(QStringLiteral("USB004"));
            form->findChild<QPushButton *>(QStringLiteral("cmdSave"))->click();
            return form->Saved();
        };
        forms.EditPrinter = [](IQM6AdminControl *caller, qint32 id) {
            const std::unique_ptr<frmPrinter> form = frmPrinter::PrinterForm(caller, id);
            if (!form)
                return false;
            form->findChild<QLineEdit *>(QStringLiteral("txtName"))->setText(QStringLiteral("Delta Epson L3150"));
            form->findChild<QPushButton *>(QStringLiteral("cmdSave"))->click();
            return form->Saved();
        };
        page->SetForms(forms);
        QCOMPARE(page->PrinterCount(), 5);

        page->StandardAction(QM6_ACTION_ADD);
        QCOMPARE(page->PrinterCount(), 6);
        const int added = rowOf(page, QStringLiteral("Delta Epson"));
        QVERIFY(added > 0);
        QCOMPARE(page.grid()->TextMatrix(added, 3), QStringLiteral("USB004"));
        QCOMPARE(page.grid()->Row(), 1);

        page.grid()->SetRow(added);
        QTest::keyClick(page.grid()->View(), Qt::Key_Return);
        QCOMPARE(page->PrinterCount(), 6);
        QCOMPARE(rowOf(page, QStringLiteral("Delta Epson")), -1);
        QCOMPARE(rowOf(page, QStringLiteral("Delta Epson L3150")), added);
        QCOMPARE(page.grid()->Row(), added);
        QVERIFY(mServices->messages.isEmpty());
    }

private:
    std::unique_ptr<PageSite> f;
    TipServices *mServices = nullptr;
};

QTEST_MAIN(tst_EditorCommands)
#include "tst_editorcommands.moc"
