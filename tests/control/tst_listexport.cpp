// Export List on the page: what the grid shows (filtered, merged printers marked) written as a
// CSV file that Python's csv module reads back whole, hostile texts included; the menu entry's
// state; the progress window and its Cancel on a long list.
#include "fakeforms.h"
#include "pagefixture.h"
#include "qm6sitegenerator.h"

#include <QFile>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>

namespace {

// The file's records as Python's csv module reads them (UTF-8, strict quoting).
QList<QStringList> readWithPython(const QString &path)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty()) {
        qWarning("python3 is missing: scripts/install-deps.sh installs it");
        return {};
    }
    QProcess p;
    p.start(python, {QStringLiteral("-c"), QStringLiteral("import csv, json, sys\n"
                                                          "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                                                          "    print(json.dumps(list(csv.reader(f, strict=True))))\n"),
                     path});
    if (!p.waitForFinished(20000) || p.exitCode() != 0) {
        qWarning("python3: %s", p.readAllStandardError().constData());
        return {};
    }
    QList<QStringList> records;
    for (const QJsonValue &record : QJsonDocument::fromJson(p.readAllStandardOutput()).array()) {
        QStringList fields;
        for (const QJsonValue &field : record.toArray())
            fields << field.toString();
        records << fields;
    }
    return records;
}

} // namespace

class tst_ListExport : public QObject {
    Q_OBJECT
    std::unique_ptr<PageSite> f;
    std::unique_ptr<PageHolder> mPage;
    FakeForms mForms;

    ctlFleet *showPage()
    {
        mPage = std::make_unique<PageHolder>(*f, f->conn, true);
        (*mPage)->SetForms(mForms.Forms());
        return mPage->page;
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init()
    {
        f = std::make_unique<PageSite>();
        QVERIFY(f->conn);
        mForms = FakeForms();
        mForms.exportFile = f->dir.filePath(QStringLiteral("list.csv"));
    }
    void cleanup()
    {
        mPage.reset();
        f.reset();
    }

    // The one run of the real file dialog: a save dialog over the page with the string
    // table's caption and file type, answered by a timer; a watchdog ends it whatever happens.
    void realFileChoiceIsASaveDialogOverThePage()
    {
        showPage();
        QString title, filters, parentName;
        bool saves = false;
        QTimer::singleShot(200, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            title = dialog->windowTitle();
            filters = dialog->nameFilters().join(u';');
            saves = dialog->acceptMode() == QFileDialog::AcceptSave;
            parentName = dialog->parentWidget() ? dialog->parentWidget()->window()->metaObject()->className() : QString();
            // Typed without its suffix: the dialog adds ".csv".
            if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                name->setText(f->dir.filePath(QStringLiteral("chosen")));
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [] {
            if (QWidget *w = QApplication::activeModalWidget())
                w->close();
        });
        watchdog.start(10000);
        const QString chosen = DefaultPageForms().ChooseExportFile(mPage->page);
        QCOMPARE(title, QStringLiteral("Export Printer List"));
        QCOMPARE(filters, QStringLiteral("CSV files (*.csv)"));
        QVERIFY(saves);
        QCOMPARE(parentName, QStringLiteral("ctlFleet"));
        QCOMPARE(chosen, f->dir.filePath(QStringLiteral("chosen.csv")));
    }

    void filteredListWithHostileTextsReadsBackWhole()
    {
        const QString name1 = QStringLiteral("P1, \"big\" printer\r\nsecond line"), name2 = QStringLiteral("P2\ttab\abell é 😀");
        auto p1 = addPrinter(f->conn, name1, QStringLiteral("=1+2"), QStringLiteral("+host"), 3, QStringLiteral("@SUM(A1)"));
        auto p2 = addPrinter(f->conn, name2, QStringLiteral("-LPT1:"), QStringLiteral("host,2"), 1, QStringLiteral("a\"b"));
        auto other = addPrinter(f->conn, QStringLiteral("Other"), QStringLiteral("COM2:"), QStringLiteral("ws"), 3);
        auto merged = addPrinter(f->conn, QStringLiteral("P1 old"), QStringLiteral("LPT3:"), QStringLiteral("old"), 3);
        QVERIFY(p1 && p2 && other && merged && mergeInto(f->conn, p1->PrinterId(), merged->PrinterId()));
        ctlFleet *page = showPage();
        mPage->match()->setText(QStringLiteral("p"));
        page->FillPrinterGrid();
        QCOMPARE(page->PrinterCount(), 3);   // "Other" is filtered out

        page->CustomAction(QStringLiteral("QM6CF_ADVANCED_EXPORT"));
        QCOMPARE(mForms.exportAsked, 1);
        QFile file(mForms.exportFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(3) == "\xEF\xBB\xBF");
        const QList<QStringList> expected{
            {"Name", "Port", "Host", "Profile", "Type", "Account", "Key", "Merged into"},
            {name1, "'=1+2", "'+host", "", "Local", "'@SUM(A1)", p1->PrinterKey(), ""},
            {"P1 old", "LPT3:", "old", "", "", "", merged->PrinterKey(), p1->PrinterKey()},
            {name2, "'-LPT1:", "host,2", "", "Network share", "a\"b", p2->PrinterKey(), ""},
        };
        QCOMPARE(readWithPython(mForms.exportFile), expected);
    }

    void entryFollowsTheDataRows()
    {
        QVERIFY(addPrinter(f->conn, QStringLiteral("Only"), QStringLiteral("LPT1:"), QStringLiteral("ws"), 3));
        ctlFleet *page = showPage();
        QCOMPARE(f->console.lastState(QStringLiteral("QM6CF_ADVANCED_EXPORT")), QVariant(true));
        mPage->match()->setText(QStringLiteral("nothing matches this"));
        page->FillPrinterGrid();
        page->UpdateToolbar();
        QCOMPARE(f->console.lastState(QStringLiteral("QM6CF_ADVANCED_EXPORT")), QVariant(false));
        // Called anyway, it asks for no file and writes none.
        page->CustomAction(QStringLiteral("QM6CF_ADVANCED_EXPORT"));
        QCOMPARE(mForms.exportAsked, 0);
        QVERIFY(!QFile::exists(mForms.exportFile));
    }

    void longListShowsProgressAndCancelLeavesNoFile()
    {
        QM6SiteGenerator::Options o;
        o.printers = 2500;
        o.aliasesPerPrinter = 0;
        QVERIFY(!QM6SiteGenerator::Generate(f->conn.get(), o));
        mForms.cancelAfter = 2;
        ctlFleet *page = showPage();
        page->CustomAction(QStringLiteral("QM6CF_ADVANCED_EXPORT"));
        QCOMPARE(mForms.progress.size(), 1);
        QCOMPARE(mForms.progress[0]->max, 3);   // steps of 1000 rows
        QCOMPARE(mForms.progress[0]->increments, 2);
        QVERIFY(mForms.progress[0]->shutDown);
        QVERIFY(!QFile::exists(mForms.exportFile));

        mForms.cancelAfter = -1;
        page->SetForms(mForms.Forms());
        page->CustomAction(QStringLiteral("QM6CF_ADVANCED_EXPORT"));
        QCOMPARE(mForms.progress.last()->increments, 3);
        QCOMPARE(readWithPython(mForms.exportFile).size(), 2501);
    }
};

QTEST_MAIN(tst_ListExport)
#include "tst_listexport.moc"
