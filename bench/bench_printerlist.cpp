// The printer list on a generated site of 100,000 printers and 50,000 aliases, side by side:
//  - a match-text refill ("jet") and a type-only refill of the page's grid, against the same
//    rows in a QStandardItemModel behind a QSortFilterProxyModel, and against a plain memmem
//    loop over lower-cased UTF-8 copies of name, port and host;
//  - a full LoadPrinterList against GetPrinters alone;
//  - heap bytes per record held by the recordset and the grid together.
// Usage: bench_printerlist [--printers N] [--keep DIR]
#include "ctlfleet.h"
#include "flexgrid.h"
#include "printerdata.h"
#include "printergrid.h"
#include "qm6connection.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTreeView>
#include <algorithm>
#include <cstring>
#include <functional>
#include <malloc.h>
#include <string>
#include <vector>

namespace {

double medianMs(int runs, const std::function<void()> &fn)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        fn();
        t.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

size_t heapInUse() { return mallinfo2().uordblks; }

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int printers = 100000;
    QString keep;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--printers") && i + 1 < argc)
            printers = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--keep") && i + 1 < argc)
            keep = QString::fromLocal8Bit(argv[++i]);
    }
    QTemporaryDir tmp;
    const QString dir = keep.isEmpty() ? tmp.path() : keep;
    const QString url = QStringLiteral("sqlite:%1/bench-list-%2.db").arg(dir).arg(printers);
    if (!QFile::exists(url.mid(7))) {
        std::printf("Generating %d printers with one alias per two printers...\n", printers);
        const int rc = QProcess::execute(QStringLiteral(QM6DATA_TOOL),
                                         {QStringLiteral("generate"), url, QStringLiteral("--printers"), QString::number(printers),
                                          QStringLiteral("--aliases-per-printer"), QStringLiteral("0.5")});
        if (rc != 0) {
            std::fprintf(stderr, "qm6data generate failed (%d)\n", rc);
            return 1;
        }
    }
    QM6ConnectionPtr conn;
    if (QM6ErrorPtr e = QM6Connection::Open(url, QStringLiteral("admin"), &conn)) {
        std::fprintf(stderr, "%s\n", qPrintable(e->Description()));
        return 1;
    }

    // Heap held by the recordset and the grid, measured first, while no spare buffers exist.
    const size_t heapBefore = heapInUse();
    auto *page = new ctlFleet();
    page->resize(1200, 800);
    page->SetConnectionAndLicense(conn, nullptr);
    const size_t heapAfter = heapInUse();
    const qsizetype records = page->PrinterRecordset()->RecordCount();

    // GetPrinters alone, and the full list load.
    const double getPrinters = medianMs(5, [&] {
        QM6RecordsetPtr rs;
        PrinterData::Instance().GetPrinters(conn, &rs, true);
    });
    const double load = medianMs(5, [&] { page->LoadPrinterList(1); });

    // Refills of the page's grid.
    QLineEdit *match = page->findChild<QLineEdit *>(QStringLiteral("txtMatches"));
    QComboBox *types = page->findChild<QComboBox *>(QStringLiteral("cmbPrinterTypes"));
    int jetRows = 0;
    const double refillJet = medianMs(11, [&] {
        match->setText(QStringLiteral("jet"));
        page->FillPrinterGrid();
        jetRows = page->PrinterCount();
    });
    match->clear();
    const double refillAll = medianMs(5, [&] { page->FillPrinterGrid(); });
    const double refillType = medianMs(11, [&] {
        types->blockSignals(true);
        types->setCurrentIndex(2);
        types->blockSignals(false);
        page->FillPrinterGrid();
    });

    // Where a "jet" refill spends its time.
    FlexGrid *grid = page->findChild<FlexGrid *>(QStringLiteral("grdPrinters"));
    printerlist::FillFilter jet;
    jet.matchText = QStringLiteral("jet");
    double tRows = 0, tSize = 0, tFiller = 0, tOutline = 0, tShow = 0;
    for (int i = 0; i < 11; ++i) {
        QElapsedTimer t;
        t.start();
        grid->SetRedraw(false);
        const qint32 n = printerlist::FillRows(*grid, page->PrinterRecordset(), jet);
        tRows += t.nsecsElapsed() / 1e6;
        t.restart();
        printerlist::SizeColumns(*grid, n, grid->width() * 15);
        tSize += t.nsecsElapsed() / 1e6;
        t.restart();
        grid->SetRow(0);
        const int data = grid->Rows();
        grid->SetRows(data + printerlist::FillerRows);
        for (int r = data; r < grid->Rows(); ++r)
            grid->SetIsSubtotal(r, true);
        tFiller += t.nsecsElapsed() / 1e6;
        t.restart();
        grid->Outline(0);
        tOutline += t.nsecsElapsed() / 1e6;
        t.restart();
        grid->SetRedraw(true);
        tShow += t.nsecsElapsed() / 1e6;
    }
    std::printf("\n\"jet\" refill, mean of 11: rows %.2f ms, column sizes %.2f ms, empty rows %.2f ms, fold %.2f ms, show %.2f ms\n",
                tRows / 11, tSize / 11, tFiller / 11, tOutline / 11, tShow / 11);

    {
        grid->SetRedraw(false);
        printerlist::MatchIndex idx;
        printerlist::FillFilter none;
        none.matchText = QStringLiteral("zzqq");
        printerlist::FillRows(*grid, page->PrinterRecordset(), none, &idx);
        const double scanIndexed = medianMs(11, [&] { printerlist::FillRows(*grid, page->PrinterRecordset(), none, &idx); });
        const double scanPlain = medianMs(11, [&] { printerlist::FillRows(*grid, page->PrinterRecordset(), none, nullptr); });
        std::printf("match test alone (no row matches): lower-cased index %.2f ms, byte scan of the fields %.2f ms\n", scanIndexed, scanPlain);
        grid->SetRedraw(true);
    }
    // The same rows in a standard item model behind a filter proxy, shown in a tree view.
    QM6Recordset *rs = page->PrinterRecordset();
    QStandardItemModel model;
    model.setColumnCount(8);
    QElapsedTimer loadModel;
    loadModel.start();
    {
        const int f[] = {rs->FieldIndex("PrinterId"), rs->FieldIndex("PrinterKey"), rs->FieldIndex("Name"), rs->FieldIndex("Port"),
                         rs->FieldIndex("Host"), rs->FieldIndex("ProfileName"), rs->FieldIndex("ConnectionType"), rs->FieldIndex("AccountNo")};
        const int aliasKey = rs->FieldIndex("AliasPrinterKey"), aliasDev = rs->FieldIndex("AliasDeviceName");
        QStandardItem *root = model.invisibleRootItem();
        QStandardItem *printer = nullptr;
        qint64 last = 0;
        for (qsizetype r = 0; r < records; ++r) {
            const qint64 id = rs->IntAt(f[0], r);
            if (id != last || !printer) {
                QList<QStandardItem *> cells;
                for (int c = 0; c < 8; ++c)
                    cells << new QStandardItem(rs->ValueAt(f[c], r).toString());
                root->appendRow(cells);
                printer = cells.first();
                last = id;
            }
            if (!rs->IsNullAt(aliasKey, r)) {
                QList<QStandardItem *> cells;
                cells << new QStandardItem(QString::number(id)) << new QStandardItem(rs->ValueAt(aliasKey, r).toString())
                      << new QStandardItem(QStringLiteral("     ") + rs->ValueAt(aliasDev, r).toString());
                for (int c = 3; c < 8; ++c)
                    cells << new QStandardItem();
                printer->appendRow(cells);
            }
        }
    }
    const double modelLoad = double(loadModel.nsecsElapsed()) / 1e6;
    // What one writes first: a fixed-string filter over every column, ignoring case.
    QSortFilterProxyModel proxy;
    proxy.setFilterKeyColumn(-1);
    proxy.setFilterCaseSensitivity(Qt::CaseInsensitive);
    proxy.setSourceModel(&model);
    QTreeView view;
    view.setUniformRowHeights(true);
    view.setModel(&proxy);
    view.resize(1200, 600);
    view.show();
    QCoreApplication::processEvents();
    const double proxyJet = medianMs(3, [&] {
        proxy.setFilterFixedString(QStringLiteral("jet"));
        proxy.rowCount();
        QCoreApplication::processEvents();
    });
    proxy.setFilterFixedString(QString());
    std::vector<double> clears;
    for (int i = 0; i < 3; ++i) {
        proxy.setFilterFixedString(QStringLiteral("jet"));
        QCoreApplication::processEvents();
        QElapsedTimer t;
        t.start();
        proxy.setFilterFixedString(QString());
        proxy.rowCount();
        QCoreApplication::processEvents();
        clears.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(clears.begin(), clears.end());
    const double proxyClear = clears[1];

    // The match test alone over lower-cased UTF-8 copies.
    std::vector<std::string> lowered;
    lowered.reserve(size_t(records) * 3);
    for (qsizetype r = 0; r < records; ++r)
        for (const char *name : {"Name", "Port", "Host"}) {
            const QUtf8StringView v = rs->TextAt(rs->FieldIndex(QString::fromLatin1(name)), r);
            std::string s(v.data(), size_t(v.size()));
            std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
            lowered.push_back(std::move(s));
        }
    int loopMatches = 0;
    const double memmemLoop = medianMs(11, [&] {
        loopMatches = 0;
        for (size_t i = 0; i < lowered.size(); i += 3)
            for (size_t k = 0; k < 3; ++k)
                if (memmem(lowered[i + k].data(), lowered[i + k].size(), "jet", 3)) {
                    ++loopMatches;
                    break;
                }
    });

    std::printf("\nsite: %lld records (%d printers)\n", static_cast<long long>(records), printers);
    std::printf("GetPrinters alone                 %8.1f ms\n", getPrinters);
    std::printf("LoadPrinterList                   %8.1f ms   (%.2f x GetPrinters; target <= 1.5)\n", load, load / getPrinters);
    std::printf("refill, match \"jet\" (%d rows)    %8.1f ms   (target <= 20 ms)\n", jetRows, refillJet);
    std::printf("refill, type filter only          %8.1f ms\n", refillType);
    std::printf("refill, no filter                 %8.1f ms\n", refillAll);
    std::printf("QStandardItemModel load           %8.1f ms\n", modelLoad);
    std::printf("proxy filter \"jet\"                %8.1f ms   (page %.1f x faster; target >= 20)\n", proxyJet, proxyJet / refillJet);
    std::printf("proxy filter cleared              %8.1f ms\n", proxyClear);
    std::printf("memmem loop (%d printers match)  %8.1f ms   (page %.2f x the loop; target <= 3)\n", loopMatches, memmemLoop, refillJet / memmemLoop);
    std::printf("recordset + grid heap             %8.1f bytes per record (target <= 400)\n",
                double(heapAfter - heapBefore) / double(records));
    page->Release();
    return 0;
}
