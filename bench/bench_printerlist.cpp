// The printer list on generated sites of 100,000 and 1,000,000 printers (one merged printer per
// two printers), the targets applying to the larger one. Run it under xvfb-run (the refills are
// timed until the grid has painted) and keep the sites between runs with --keep.
//  - refills of the page's grid: match text "jet", no filter, type filter only, each a median of
//    11 runs timed from the filter change until the grid has painted once;
//  - typing a match text one letter at a time: every refill after the first;
//  - the match test alone, against a plain memmem loop over lower-cased copies of name, port and
//    host, and against the same rows in a QStandardItemModel behind a QSortFilterProxyModel;
//  - LoadPrinterList against GetPrinters alone;
//  - memory per record of the recordset, of what the list and grid add, and of the whole,
//    counting the heap and the blocks the allocator maps on their own.
// Every figure is printed with the machine's load average when it was taken.
// Usage: bench_printerlist [--printers N]... [--keep DIR] [--no-proxy] [--shot FILE-PREFIX] [--loop TEXT]
#include "ctlfleet.h"
#include "flexgrid.h"
#include "flexgridmodel.h"
#include "printerdata.h"
#include "printergrid.h"
#include "printerlist.h"
#include "printerrows.h"
#include "qm6connection.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTreeView>
#include <QWindow>
#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstring>
#include <functional>
#include <malloc.h>
#include <string>
#include <thread>
#include <vector>

namespace {

QString loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() >= 3 ? QString::fromLatin1(parts[0] + ' ' + parts[1] + ' ' + parts[2]) : QStringLiteral("?");
}

double median(std::vector<double> t)
{
    std::sort(t.begin(), t.end());
    return t.empty() ? 0 : t[t.size() / 2];
}

// Nearest rank: the smallest value with at least p percent of the values at or below it.
double percentile(std::vector<double> t, double p)
{
    std::sort(t.begin(), t.end());
    if (t.empty())
        return 0;
    const size_t rank = size_t(std::ceil(p / 100.0 * double(t.size())));
    return t[std::clamp<size_t>(rank, 1, t.size()) - 1];
}

double medianMs(int runs, const std::function<void()> &fn, const std::function<void()> &setup = {})
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        if (setup)
            setup();
        QElapsedTimer timer;
        timer.start();
        fn();
        t.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(t);
}

// Heap in use plus blocks mapped on their own (large allocations never enter the heap).
size_t memoryInUse()
{
    const struct mallinfo2 mi = mallinfo2();
    return mi.uordblks + mi.hblkhd;
}

// Notes that a widget was sent a paint event; the paint is done once the event loop returns.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget *w) : m_w(w) { w->installEventFilter(this); }
    ~PaintWatch() override { m_w->removeEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }

private:
    QWidget *m_w;
};

// Processor time of the whole process (every thread) in ms, beside the wall-clock figures: the
// machine is shared, and this part of a figure does not depend on how busy it is.
double processCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double lastCpuMs = 0;   // of the last untilPainted

// From the filter change until the rows have painted once.
double untilPainted(QWidget *rowsArea, const std::function<void()> &change, bool settleFirst = true)
{
    if (settleFirst)
        QCoreApplication::processEvents();   // nothing of an earlier step is left to paint
    PaintWatch watch(rowsArea);
    const double cpu = processCpuMs();
    QElapsedTimer t;
    t.start();
    change();
    while (!watch.painted && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    lastCpuMs = processCpuMs() - cpu;
    return double(t.nsecsElapsed()) / 1e6;
}

struct Line {
    QString what;
    QString value;
    QString target;
    QString verdict;
    QString load;
};

void print(const QList<Line> &lines)
{
    int w0 = 0, w1 = 0, w2 = 0;
    for (const Line &l : lines) {
        w0 = std::max(w0, int(l.what.size()));
        w1 = std::max(w1, int(l.value.size()));
        w2 = std::max(w2, int(l.target.size()));
    }
    for (const Line &l : lines)
        std::printf("  %s  %s  %s  %-4s  load %s\n", qPrintable(l.what.leftJustified(w0)), qPrintable(l.value.rightJustified(w1)),
                    qPrintable(l.target.leftJustified(w2)), qPrintable(l.verdict), qPrintable(l.load));
    std::fflush(stdout);
}

QString ms(double v) { return QString::number(v, 'f', 1) + QStringLiteral(" ms"); }
QString withCpu(double wall, double cpu) { return QStringLiteral("%1 ms (CPU %2 ms)").arg(wall, 0, 'f', 1).arg(cpu, 0, 'f', 1); }
QString count(qint64 n) { return QLocale(QLocale::English).toString(n); }

struct Site {
    int printers = 0;
    bool targets = false;
    bool proxy = true;
    QString dir;
    QString shot;   // where to save a picture of the page after a "jet" refill
    bool looping = false;   // only refill with `loop`, over and over (for a profiler)
    QString loop;
};

int runSite(const Site &site)
{
    const QString url = QStringLiteral("sqlite:%1/bench-list-%2.db").arg(site.dir).arg(site.printers);
    if (!QFile::exists(url.mid(7))) {
        std::printf("Generating %d printers with one merged printer per two printers...\n", site.printers);
        std::fflush(stdout);
        const int rc = QProcess::execute(QStringLiteral(QM6DATA_TOOL),
                                         {QStringLiteral("generate"), url, QStringLiteral("--printers"), QString::number(site.printers),
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
    QList<Line> lines;
    QStringList details;
    auto verdict = [&](double value, double target) {
        return site.targets ? (value <= target ? QStringLiteral("met") : QStringLiteral("MISS")) : QStringLiteral("-");
    };

    // Memory first: the page with its list loaded and shown unfiltered, then a recordset of the
    // same list on its own. A recordset read before and held meanwhile leaves the connection's
    // cache warm and no spare recordset buffers for the page to take.
    QM6RecordsetPtr warm;
    PrinterData::Instance().GetPrinters(conn, &warm, true);
    const size_t before = memoryInUse();
    auto *page = new ctlFleet();
    page->resize(1200, 800);
    page->SetConnectionAndLicense(conn, nullptr);
    page->show();
    for (int i = 0; i < 200 && !(page->windowHandle() && page->windowHandle()->isExposed()); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();   // laid out and painted
    // Filled once more: the first fill has the column fit's tables made on a thread of their own,
    // the second takes them.
    page->FillPrinterGrid();
    QCoreApplication::processEvents();
    const size_t withPage = memoryInUse();
    const qsizetype records = page->PrinterRecordset()->RecordCount();
    FlexGrid *grid = page->findChild<FlexGrid *>(QStringLiteral("grdPrinters"));
    const qsizetype gridRowBytes = grid->Model()->RowBytes();
    qsizetype recordsetBytes = 0;
    {
        const size_t m0 = memoryInUse();
        QM6RecordsetPtr rs;
        PrinterData::Instance().GetPrinters(conn, &rs, true);
        recordsetBytes = qsizetype(memoryInUse() - m0);
    }
    warm.reset();
    const QString memLoad = loadAverage();

    // Refills of the page's grid, each until the rows have painted.
    QLineEdit *match = page->findChild<QLineEdit *>(QStringLiteral("txtMatches"));
    QComboBox *types = page->findChild<QComboBox *>(QStringLiteral("cmbPrinterTypes"));
    QWidget *rowsArea = grid->View()->viewport();
    auto refill = [&](const QString &text) {
        return untilPainted(rowsArea, [&] {
            match->setText(text);
            page->FillPrinterGrid();   // what the match timer does once the user stops typing
        });
    };
    if (site.looping) {
        // For a profiler: the text typed letter by letter, then taken away, over and over, and
        // nothing else measured.
        const QString t = site.loop;
        for (int i = 0; i < 30; ++i) {
            for (qsizetype n = 1; n <= t.size(); ++n)
                refill(t.left(n));
            refill(QString());
        }
        return 0;
    }

    // GetPrinters alone, and the full list load.
    const double getPrinters = medianMs(5, [&] {
        QM6RecordsetPtr rs;
        PrinterData::Instance().GetPrinters(conn, &rs, true);
    });
    lines.append({QStringLiteral("GetPrinters alone (median of 5)"), ms(getPrinters), QString(), QString(), loadAverage()});
    const double load = medianMs(5, [&] { page->LoadPrinterList(1); });
    lines.append({QStringLiteral("LoadPrinterList (median of 5)"), ms(load),
                  QStringLiteral("(%1 x GetPrinters)").arg(load / getPrinters, 0, 'f', 2), QString(), loadAverage()});

    std::vector<double> jets, jetsCpu;
    for (int i = 0; i < 11; ++i) {
        // From the whole list, with a last answer that "jet" does not extend: a full search.
        refill(QStringLiteral("zzqq"));
        refill(QString());
        jets.push_back(refill(QStringLiteral("jet")));
        jetsCpu.push_back(lastCpuMs);
    }
    const double jet = median(jets);
    const qint32 jetRows = page->PrinterCount();
    if (!site.shot.isEmpty())
        page->grab().save(QStringLiteral("%1-%2.png").arg(site.shot).arg(site.printers));
    lines.append({QStringLiteral("refill, match \"jet\" (%1 rows), median of 11").arg(count(jetRows)), withCpu(jet, median(jetsCpu)),
                  QStringLiteral("<= 20 ms"), verdict(jet, 20), loadAverage()});
    std::vector<double> all, allCpu;
    for (int i = 0; i < 11; ++i) {
        refill(QStringLiteral("jet"));
        all.push_back(refill(QString()));
        allCpu.push_back(lastCpuMs);
    }
    const double none = median(all);
    lines.append({QStringLiteral("refill, no filter (%1 rows), median of 11").arg(count(page->PrinterCount())), withCpu(none, median(allCpu)),
                  QStringLiteral("<= 40 ms"), verdict(none, 40), loadAverage()});
    std::vector<double> typed, typedCpu;
    qint32 typeRows = 0;
    for (int i = 0; i < 11; ++i) {
        typed.push_back(untilPainted(rowsArea, [&] { types->setCurrentIndex(2); }));   // the combo refills at once
        typedCpu.push_back(lastCpuMs);
        typeRows = page->PrinterCount();
        untilPainted(rowsArea, [&] { types->setCurrentIndex(0); });
    }
    lines.append({QStringLiteral("refill, type filter only (%1 rows), median of 11").arg(count(typeRows)),
                  withCpu(median(typed), median(typedCpu)), QString(), QString(), loadAverage()});

    // Where a refill's time goes: the page's steps one by one, on a list of its own over the
    // same grid, for "jet" after a text it does not extend, and for the whole list.
    {
        printerlist::PrinterList list(*grid);
        list.Load(conn);
        const std::shared_ptr<printerlist::PrinterRows> rows(std::shared_ptr<printerlist::PrinterRows>(), list.Rows());
        auto steps = [&](const QString &text) {
            std::vector<double> drop, select, append, sizes, after, reset, paint;
            for (int i = 0; i < 11; ++i) {
                printerlist::FillFilter f;
                f.matchText = QStringLiteral("zzqq");
                grid->SetRedraw(false);
                printerlist::FillRows(*grid, rows, f);
                grid->SetRedraw(true);
                QCoreApplication::processEvents();
                f.matchText = text;
                QElapsedTimer t;
                t.start();
                grid->SetRedraw(false);
                grid->SetRows(1);
                drop.push_back(t.nsecsElapsed() / 1e6);
                t.restart();
                std::vector<FlexGridSourceRow> found;
                rows->Select(f, [&](std::span<const FlexGridSourceRow> part) { found.insert(found.end(), part.begin(), part.end()); });
                select.push_back(t.nsecsElapsed() / 1e6);
                t.restart();
                grid->AddSourceRows(rows, found);
                const qint32 n = qint32(found.size());
                append.push_back(t.nsecsElapsed() / 1e6);
                t.restart();
                printerlist::SizeColumns(*grid, n, grid->width() * 15);
                sizes.push_back(t.nsecsElapsed() / 1e6);
                t.restart();
                grid->SetRow(0);
                const int data = grid->Rows();
                grid->SetRows(data + printerlist::FillerRows);
                for (int r = data; r < grid->Rows(); ++r)
                    grid->SetIsSubtotal(r, true);
                grid->Outline(0);
                grid->SetTopRow(1);
                grid->ClearSortIndicator();
                after.push_back(t.nsecsElapsed() / 1e6);
                double resetMs = 0;
                paint.push_back(untilPainted(rowsArea, [&] {
                    t.restart();
                    grid->SetRedraw(true);
                    resetMs = t.nsecsElapsed() / 1e6;
                }, false) - resetMs);
                reset.push_back(resetMs);
            }
            details << QStringLiteral("where a refill goes, %1 (ms, medians of 11, load %9): old rows dropped %2, match and select %3, "
                                      "rows added %4, column fit %5, filler rows and fold %6, model reset and view layout %7, paint %8")
                           .arg(text.isEmpty() ? QStringLiteral("no filter") : QStringLiteral("\"%1\"").arg(text))
                           .arg(median(drop), 0, 'f', 1).arg(median(select), 0, 'f', 1).arg(median(append), 0, 'f', 1)
                           .arg(median(sizes), 0, 'f', 1).arg(median(after), 0, 'f', 1).arg(median(reset), 0, 'f', 1)
                           .arg(median(paint), 0, 'f', 1).arg(loadAverage());
        };
        steps(QStringLiteral("jet"));
        steps(QString());
        steps(QStringLiteral("laserjet 4050"));
        page->LoadPrinterList(1);
    }

    // Typing a match text one letter at a time, each refill as the match timer makes it.
    {
        const QString text = QStringLiteral("laserjet 4050");
        refill(QStringLiteral("zzqq"));
        refill(QString());
        std::vector<double> steps, stepsCpu;
        QStringList detail;
        for (qsizetype n = 1; n <= text.size(); ++n) {
            const double t = refill(text.left(n));
            if (n > 1) {
                steps.push_back(t);
                stepsCpu.push_back(lastCpuMs);
            }
            detail << QStringLiteral("%1 %2 rows %3 ms").arg(text.left(n).trimmed()).arg(count(page->PrinterCount())).arg(t, 0, 'f', 1);
        }
        const double p95 = percentile(steps, 95);
        lines.append({QStringLiteral("typing \"%1\": 95th percentile of the %2 refills after the first").arg(text).arg(steps.size()),
                      withCpu(p95, percentile(stepsCpu, 95)), QStringLiteral("<= 20 ms"), verdict(p95, 20), loadAverage()});
        details << QStringLiteral("letter by letter: ") + detail.join(QStringLiteral("; "));
        refill(QString());
    }

    // The match test alone: the page's (a full scan, and the refinement after one more letter),
    // a plain memmem loop, and a proxy model.
    printerlist::PrinterRows rows(page->PrinterRecordset() ? std::shared_ptr<QM6Recordset>(std::shared_ptr<QM6Recordset>(), page->PrinterRecordset())
                                                          : nullptr);
    printerlist::MatchIndex &index = rows.Matches();
    index.Find(QStringLiteral("zzqq"));   // built once, as the page's is at its first match text
    const qsizetype jetRecords = qsizetype(index.Find(QStringLiteral("jet")).size());
    const double scanJet = medianMs(11, [&] { index.Find(QStringLiteral("jet")); }, [&] { index.Find(QStringLiteral("zzqq")); });
    lines.append({QStringLiteral("match test alone, \"jet\" over every record (%1 records match)").arg(count(jetRecords)), ms(scanJet),
                  QString(), QString(), loadAverage()});
    const double refine = medianMs(11, [&] { index.Find(QStringLiteral("jet")); }, [&] {
        index.Find(QStringLiteral("zzqq"));
        index.Find(QStringLiteral("je"));
    });
    lines.append({QStringLiteral("match test alone, \"je\" then \"jet\" (tests the %1 records of \"je\")").arg(count(index.LastTested())),
                  ms(refine), QString(), QString(), loadAverage()});
    const double scanNone = medianMs(11, [&] { index.Find(QStringLiteral("zzqq")); }, [&] { index.Find(QStringLiteral("jet")); });
    lines.append({QStringLiteral("match test alone, no record matches (\"zzqq\")"), ms(scanNone), QString(), QString(), loadAverage()});

    QM6Recordset *rs = page->PrinterRecordset();
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
    lines.append({QStringLiteral("memmem loop over lower-cased copies (%1 records match)").arg(count(loopMatches)), ms(memmemLoop), QString(),
                  QString(), loadAverage()});
    lowered = {};

    if (site.proxy) {
        // The same rows in a standard item model behind a filter proxy, shown in a tree view.
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
        std::vector<double> proxyJet, proxyClear;
        for (int i = 0; i < 3; ++i) {
            proxyJet.push_back(untilPainted(view.viewport(), [&] {
                proxy.setFilterFixedString(QStringLiteral("jet"));
                proxy.rowCount();
            }));
            proxyClear.push_back(untilPainted(view.viewport(), [&] {
                proxy.setFilterFixedString(QString());
                proxy.rowCount();
            }));
        }
        lines.append({QStringLiteral("QStandardItemModel load"), ms(modelLoad), QString(), QString(), loadAverage()});
        lines.append({QStringLiteral("proxy-model filter \"jet\", median of 3"), ms(median(proxyJet)),
                      QStringLiteral("(%1 x the page's refill)").arg(median(proxyJet) / jet, 0, 'f', 1), QString(), loadAverage()});
        lines.append({QStringLiteral("proxy-model filter cleared, median of 3"), ms(median(proxyClear)), QString(), QString(), loadAverage()});
    }

    // Memory, per record.
    const double perRecord = 1.0 / double(records);
    const double whole = double(withPage - before) * perRecord;
    const double ownRecordset = double(recordsetBytes) * perRecord;
    lines.append({QStringLiteral("memory: recordset alone (heap and mapped blocks)"),
                  QStringLiteral("%1 B/record").arg(ownRecordset, 0, 'f', 1), QString(), QString(), memLoad});
    lines.append({QStringLiteral("memory: what the list, grid and page add (the difference)"),
                  QStringLiteral("%1 B/record").arg(whole - ownRecordset, 0, 'f', 1), QString(), QString(), memLoad});
    lines.append({QStringLiteral("  of which the grid's own row tables"), QStringLiteral("%1 B/record").arg(double(gridRowBytes) * perRecord, 0, 'f', 1),
                  QString(), QString(), memLoad});
    lines.append({QStringLiteral("memory: recordset + grid, whole page loaded and shown"), QStringLiteral("%1 B/record").arg(whole, 0, 'f', 1),
                  QStringLiteral("<= 200 B/record"), verdict(whole, 200), memLoad});
    lines.append({QStringLiteral("memory: match index, once a match text is typed"),
                  QStringLiteral("%1 B/record").arg(double(index.Bytes()) * perRecord, 0, 'f', 1), QString(), QString(), loadAverage()});

    std::printf("\nsite: %s printers, %s records, %s rows unfiltered%s\n", qPrintable(count(site.printers)), qPrintable(count(records)),
                qPrintable(count(qint64(records) + qint64(site.printers / 2))), site.targets ? " (targets apply)" : " (reported only)");
    print(lines);
    for (const QString &d : std::as_const(details))
        std::printf("  %s\n", qPrintable(d));
    std::fflush(stdout);
    page->Release();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QList<int> sizes;
    QString keep;
    bool proxy = true;
    QString shot, loop;
    bool looping = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--printers") && i + 1 < argc)
            sizes << std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--keep") && i + 1 < argc)
            keep = QString::fromLocal8Bit(argv[++i]);
        else if (!std::strcmp(argv[i], "--no-proxy"))
            proxy = false;
        else if (!std::strcmp(argv[i], "--shot") && i + 1 < argc)
            shot = QString::fromLocal8Bit(argv[++i]);
        else if (!std::strcmp(argv[i], "--loop") && i + 1 < argc) {
            looping = true;
            loop = QString::fromLocal8Bit(argv[++i]);
        }
    }
    if (sizes.isEmpty())
        sizes = {100000, 1000000};
    QTemporaryDir tmp;
    std::printf("load average (1, 5, 15 min) at the start: %s; %u cores\n", qPrintable(loadAverage()), std::thread::hardware_concurrency());
    for (int printers : sizes)
        if (const int rc = runSite({printers, printers >= 1000000, proxy, keep.isEmpty() ? tmp.path() : keep, shot, looping, loop}))
            return rc;
    return 0;
}
