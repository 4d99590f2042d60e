// The page's commands on many printers, each run through the page itself (with the real
// progress window where the command shows one) on a fresh copy of a generated site, side by
// side with the same change made by plain SQL in one transaction (the floor):
//  - a batch update of 10,000 printers (track profile and model);
//  - a delete of 10,000 printers;
//  - a merge of 1,000 printers into one;
// with the progress window's paints per second and how many steps ran after a Cancel click.
// Usage: bench_listcommands [--printers N] [--keep DIR] [--url postgresql://...] [--only batch|cancel|delete|merge]
// Run it under a display (xvfb-run -a) so that the progress window really paints.
#include "ctlfleet.h"
#include "fakehost.h"
#include "flexgrid.h"
#include "frmprogress.h"
#include "qm6connection.h"
#include "qm6connectionprivate.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QTemporaryDir>
#include <QItemSelectionModel>
#include <QTimer>
#include <cstdio>
#include <cstring>

namespace {

QString gUrl;            // the site every run starts from
QString gSqliteMaster;   // for SQLite: the generated file, copied before each run
QString gDir;
int gRun = 0;

// A fresh site for one run: a copy of the generated SQLite file, or of the PostgreSQL
// database (CREATE DATABASE ... TEMPLATE).
QString freshSite(int)
{
    if (gSqliteMaster.isEmpty()) {
        const QString master = gUrl.section(u'/', -1);
        const QString run = QStringLiteral("%1_run%2").arg(master).arg(++gRun);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("admin"));
            const QString authority = gUrl.section(QStringLiteral("://"), 1).section(u'/', 0, 0);
            db.setUserName(authority.section(u'@', 0, 0));
            const QString hostPort = authority.section(u'@', 1);
            db.setHostName(QUrl::fromPercentEncoding(hostPort.section(u':', 0, 0).toUtf8()));
            db.setPort(hostPort.section(u':', 1).toInt());
            db.setDatabaseName(QStringLiteral("postgres"));
            if (!db.open())
                std::fprintf(stderr, "cannot reach the server: %s\n", qPrintable(db.lastError().text()));
            QSqlQuery q(db);
            q.exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(run));
            if (!q.exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(run, master)))
                std::fprintf(stderr, "cannot copy the site: %s\n", qPrintable(q.lastError().text()));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("admin"));
        return gUrl.section(u'/', 0, -2) + u'/' + run;
    }
    const QString copy = QStringLiteral("%1/run%2.db").arg(gDir).arg(++gRun);
    QFile::remove(copy);
    QFile::copy(gSqliteMaster, copy);
    return QStringLiteral("sqlite:") + copy;
}

struct Counter : QObject {
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

struct Page {
    ctlFleet *page = nullptr;
    FlexGrid *grid = nullptr;
    QM6ConnectionPtr conn;
    Counter paints;
    QPointer<frmProgress> progress;
    QList<int> printerRows;   // rows of printers (not merged ones), in order

    explicit Page(const QString &url, QM6PrinterPtr batchTemplate = nullptr)
    {
        if (QM6ErrorPtr e = QM6Connection::Open(url, QString(), &conn)) {
            std::fprintf(stderr, "%s\n", qPrintable(e->Description()));
            std::exit(1);
        }
        page = new ctlFleet();
        page->resize(1200, 800);
        PageForms forms = page->Forms();
        forms.BatchUpdate = [batchTemplate](IQM6AdminControl *, QM6PrinterPtr &t) {
            t = batchTemplate;
            return true;
        };
        forms.NewProgress = [this] {
            auto w = std::make_unique<frmProgress>();
            progress = w.get();
            w->installEventFilter(&paints);
            for (QWidget *child : w->findChildren<QWidget *>())
                child->installEventFilter(&paints);
            return w;
        };
        page->SetForms(forms);
        page->SetConnectionAndLicense(conn, nullptr);
        page->show();
        grid = page->findChild<FlexGrid *>(QStringLiteral("grdPrinters"));
        for (int r = 1; r <= page->PrinterCount(); ++r)
            if (grid->RowOutlineLevel(r) == 0)
                printerRows << r;
    }
    ~Page() { page->Release(); }

    // The first `count` printers, selected as a click on the first and a Shift+click on the
    // last would select them (the merged printers stay folded under theirs).
    QList<qint32> select(int count)
    {
        QList<qint32> ids;
        grid->SetRow(printerRows[0]);
        QAbstractItemModel *model = grid->View()->model();
        grid->View()->selectionModel()->select(QItemSelection(model->index(0, 0), model->index(count - 1, model->columnCount() - 1)),
                                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
        for (int i = 0; i < count; ++i)
            ids << grid->TextMatrix(printerRows[i], 0).toInt();
        if (grid->SelectedRows() != count)
            std::fprintf(stderr, "selected %d rows, not %d\n", grid->SelectedRows(), count);
        return ids;
    }
};

double ms(const QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e6; }

QString idList(const QList<qint32> &ids)
{
    QStringList s;
    for (qint32 id : ids)
        s << QString::number(id);
    return s.join(u',');
}

// The same change by plain SQL, in one transaction.
double floorRun(const QString &url, const QStringList &statements)
{
    QM6ConnectionPtr c;
    QM6Connection::Open(url, QString(), &c);
    QM6ConnectionPrivate *d = QM6ConnectionPrivate::get(c);
    QElapsedTimer t;
    t.start();
    c->BeginTransaction();
    for (const QString &sql : statements)
        if (QM6ErrorPtr e = d->ExecSql(sql, QStringLiteral("floor")))
            std::fprintf(stderr, "%s\n", qPrintable(e->Description()));
    c->CommitTransaction();
    return ms(t);
}

// paints < 0: the command shows no progress window.
void report(const char *what, double pageMs, double floorMs, int paints, double targetMs)
{
    std::printf("%-34s %9.0f ms   floor %7.0f ms   ratio %6.1f   ", what, pageMs, floorMs, pageMs / std::max(floorMs, 0.001));
    if (paints < 0)
        std::printf("(no progress window)   (target <= %.0f ms)\n", targetMs);
    else
        std::printf("paints/s %6.1f   (target <= %.0f ms, >= 10 paints/s)\n", paints / (pageMs / 1000.0), targetMs);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int printers = 100000;
    QString keep, only;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--printers") && i + 1 < argc)
            printers = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--keep") && i + 1 < argc)
            keep = QString::fromLocal8Bit(argv[++i]);
        else if (!std::strcmp(argv[i], "--url") && i + 1 < argc)
            gUrl = QString::fromLocal8Bit(argv[++i]);
        else if (!std::strcmp(argv[i], "--only") && i + 1 < argc)
            only = QString::fromLocal8Bit(argv[++i]);
    }
    auto wanted = [&](const char *name) { return only.isEmpty() || only == QLatin1String(name); };
    SetCommonServices(std::make_unique<FakeCommonServices>());
    QTemporaryDir tmp;
    gDir = keep.isEmpty() ? tmp.path() : keep;
    if (!QDir().mkpath(gDir)) {
        std::fprintf(stderr, "bench_listcommands: cannot make the folder %s\n", qPrintable(gDir));
        return 1;
    }
    if (!gUrl.isEmpty()) {
        std::printf("Generating %d printers on the PostgreSQL site...\n", printers);
        QProcess::execute(QStringLiteral(QM6DATA_TOOL), {QStringLiteral("generate"), gUrl, QStringLiteral("--printers"),
                                                         QString::number(printers), QStringLiteral("--aliases-per-printer"),
                                                         QStringLiteral("0.5")});
    } else {
        gSqliteMaster = QStringLiteral("%1/bench-commands-%2.db").arg(gDir).arg(printers);
        gUrl = QStringLiteral("sqlite:") + gSqliteMaster;
        if (!QFile::exists(gSqliteMaster)) {
            std::printf("Generating %d printers with one merged printer per two printers...\n", printers);
            if (QProcess::execute(QStringLiteral(QM6DATA_TOOL), {QStringLiteral("init"), gUrl}) != 0
                || QProcess::execute(QStringLiteral(QM6DATA_TOOL), {QStringLiteral("generate"), gUrl, QStringLiteral("--printers"),
                                                                    QString::number(printers), QStringLiteral("--aliases-per-printer"),
                                                                    QStringLiteral("0.5")}) != 0) {
                std::fprintf(stderr, "bench_listcommands: the site could not be made\n");
                return 1;
            }
        }
    }
    const int batchCount = std::min(10000, printers / 2), deleteCount = batchCount, mergeCount = std::min(1000, printers / 4);
    std::printf("site: %s, %d printers\n", qPrintable(gUrl.section(u'@', -1)), printers);

    // Batch update: profile and model.
    if (wanted("batch")) {
        auto t = std::make_shared<QM6Printer>();
        t->SetPrintProfileId(2);
        t->SetModel(QStringLiteral("Bench Model"));
        const QString url = freshSite(printers);
        Page p(url, t);
        const QList<qint32> ids = p.select(batchCount);
        QElapsedTimer timer;
        timer.start();
        p.page->StandardAction(2);
        const double run = ms(timer);
        const double floor = floorRun(freshSite(printers),
                                      {QStringLiteral("UPDATE printers SET profile_id = 2, model = 'Bench Model', row_version = "
                                                      "row_version + 1 WHERE printer_id IN (%1)").arg(idList(ids))});
        report(qPrintable(QStringLiteral("batch update of %1 printers").arg(batchCount)), run, floor, p.paints.paints, 5000);
    }
    // Cancel: clicked a moment into a batch; the steps that run after the click.
    if (wanted("cancel")) {
        auto t = std::make_shared<QM6Printer>();
        t->SetModel(QStringLiteral("Cancelled Model"));
        Page p(freshSite(printers), t);
        p.select(batchCount);
        // A click once 50 printers are done, as a timer sees it between two steps.
        int atClick = -1;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (atClick < 0 && p.progress && p.progress->ProgressValue() > 50) {
                atClick = p.progress->ProgressValue();
                p.progress->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
            }
        });
        poll.start(0);
        p.page->StandardAction(2);
        QSqlQuery q(QM6ConnectionPrivate::get(p.conn)->db());
        q.exec(QStringLiteral("SELECT COUNT(*) FROM printers WHERE model = 'Cancelled Model'"));
        q.next();
        // The bar starts at 1: after n steps it reads n + 1, and n printers were stored.
        std::printf("cancel clicked after %d printers; %lld stored in all: %lld more step(s) ran (target <= 1)\n", atClick - 1,
                    q.value(0).toLongLong(), q.value(0).toLongLong() - (atClick - 1));
    }
    // Delete.
    if (wanted("delete")) {
        const QString url = freshSite(printers);
        Page p(url);
        const QList<qint32> ids = p.select(deleteCount);
        static_cast<FakeCommonServices &>(CommonServices()).answers = {QM6_ANSWER_YES};
        QElapsedTimer timer;
        timer.start();
        p.page->StandardAction(4);
        const double run = ms(timer);
        const QString in = idList(ids);
        const double floor = floorRun(freshSite(printers),
                                      {QStringLiteral("UPDATE printers SET deleted = 1, row_version = row_version + 1 WHERE printer_id IN (%1)").arg(in),
                                       QStringLiteral("DELETE FROM merged_printers WHERE owner_id IN (%1)").arg(in)});
        report(qPrintable(QStringLiteral("delete of %1 printers").arg(deleteCount)), run, floor, -1, 5000);
    }
    // Merge into one.
    if (wanted("merge")) {
        const QString url = freshSite(printers);
        Page p(url);
        const QList<qint32> ids = p.select(mergeCount + 1);
        static_cast<FakeCommonServices &>(CommonServices()).answers = {QM6_ANSWER_YES};
        QElapsedTimer timer;
        timer.start();
        p.page->CustomAction(QStringLiteral("QM6CF_ADVANCED_MERGE"));
        const double run = ms(timer);
        const QString target = QString::number(ids.first()), sources = idList(ids.mid(1));
        const double floor = floorRun(
            freshSite(printers),
            {QStringLiteral("UPDATE merged_printers SET owner_id = %1 WHERE owner_id IN (%2)").arg(target, sources),
             QStringLiteral("UPDATE print_jobs SET printer_id = %1 WHERE printer_id IN (%2)").arg(target, sources),
             QStringLiteral("UPDATE printers SET bw_total = bw_total + (SELECT SUM(bw_total) FROM printers WHERE printer_id IN (%2)),"
                            " color_total = color_total + (SELECT SUM(color_total) FROM printers WHERE printer_id IN (%2))"
                            " WHERE printer_id = %1").arg(target, sources),
             QStringLiteral("INSERT INTO merged_printers (alias_key, device_name, host, port, connection_type, merge_type, owner_id)"
                            " SELECT printer_key, device, host, port, connection_type, 1, %1 FROM printers WHERE printer_id IN (%2)")
                 .arg(target, sources),
             QStringLiteral("DELETE FROM printers WHERE printer_id IN (%1)").arg(sources)});
        report(qPrintable(QStringLiteral("merge of %1 printers into one").arg(mergeCount)), run, floor, p.paints.paints, 5000);
        const auto &messages = static_cast<FakeCommonServices &>(CommonServices()).messages;
        if (!messages.isEmpty())
            std::printf("  message: %s\n", qPrintable(messages.last()));
    }
    SetCommonServices(nullptr);
    return 0;
}
