// The printer list read by PrinterData::GetPrinters on generated sites, SQLite and
// PostgreSQL side by side, against the floor of each backend: on SQLite the list's
// statements stepped alone with the sqlite3 C API, on PostgreSQL psql copying the same
// statements' rows to /dev/null. Also the recordset's bytes per record and the plans.
// Usage: bench_getprinters [--sizes N,N...] [--runs R] [--keep DIR] [--pg-url URL | --no-pg]
#include "printerdata.h"
#include "qm6connectionprivate.h"
#include "qm6printerlist.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <malloc.h>
#include <sqlite3.h>
#include <unistd.h>

namespace {

QString loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(f.readAll()).section(QLatin1Char(' '), 0, 2);
}

// Median of runs, the load average when they ended.
struct Figure {
    double ms = 0;
    QString load;
};

Figure median(int runs, const std::function<void()> &fn)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        fn();
        t.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(t.begin(), t.end());
    return {t[t.size() / 2], loadAverage()};
}

size_t heapBytes()
{
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;   // the heap's blocks and those mapped on their own
}

int run(const QString &program, const QStringList &args, QByteArray *out = nullptr, const QString &stdoutFile = QString())
{
    QProcess p;
    if (!stdoutFile.isEmpty())
        p.setStandardOutputFile(stdoutFile);
    p.start(program, args);
    if (!p.waitForFinished(-1))
        return -1;
    if (out)
        *out = p.readAllStandardOutput();
    if (p.exitCode() != 0)
        std::fprintf(stderr, "%s %s: %s\n", qPrintable(program), qPrintable(args.join(QLatin1Char(' ')).left(200)),
                     p.readAllStandardError().constData());
    return p.exitCode();
}

bool generate(const QString &url, qint64 printers)
{
    std::printf("generating %s with %lld printers and one merged printer per two printers ...\n",
                qPrintable(QM6Connection::DisplayUrl(url)), printers);
    std::fflush(stdout);
    return run(QStringLiteral(QM6DATA_PATH), {QStringLiteral("generate"), url, QStringLiteral("--printers"), QString::number(printers),
                                              QStringLiteral("--aliases-per-printer"), QStringLiteral("0.5")}) == 0;
}

// Steps the list's statements as GetPrinters runs them, in one read transaction, reading
// every value as its type: the floor any SQLite reader pays.
void stepList(sqlite3 *db)
{
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    size_t touch = 0;
    for (const char *sql : {QM6PrinterList::ProfilesSql, QM6PrinterList::AliasesSql, QM6PrinterList::PrintersSql}) {
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
            continue;
        const int cols = sqlite3_column_count(st);
        while (sqlite3_step(st) == SQLITE_ROW)
            for (int i = 0; i < cols; ++i) {
                if (sqlite3_column_type(st, i) == SQLITE_TEXT)
                    touch += size_t(sqlite3_column_bytes(st, i)) + reinterpret_cast<size_t>(sqlite3_column_text(st, i));
                else
                    touch += size_t(sqlite3_column_int64(st, i));
            }
        sqlite3_finalize(st);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    if (touch == 1)
        std::printf(" ");
}

// The single joined query the list was read with before: the database searches the merged
// printers once per printer.
const char joinedSql[] =
    "SELECT p.printer_id, p.printer_key, p.name, p.port, p.host, tp.name, p.connection_type, p.account_no,"
    " m.alias_key, m.device_name, m.port, m.host, m.merge_type"
    " FROM printers p LEFT JOIN track_profiles tp ON tp.profile_id = p.profile_id"
    " LEFT JOIN merged_printers m ON m.owner_id = p.printer_id"
    " WHERE p.deleted = 0 ORDER BY p.name, p.printer_id, m.alias_key";

void stepJoined(sqlite3 *db)
{
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, joinedSql, -1, &st, nullptr) != SQLITE_OK)
        return;
    while (sqlite3_step(st) == SQLITE_ROW)
        for (int i = 0; i < 13; ++i)
            sqlite3_column_text(st, i);
    sqlite3_finalize(st);
}

struct BackendFigures {
    bool ok = false;
    qsizetype records = 0;
    Figure getPrinters, floor, joined;
    double heldPerRecord = 0, heapPerRecord = 0;
    QStringList plan;
};

// The first read of a size is measured for memory. A spare set of buffers that an earlier
// closed list left would be reused and hide the cost: a recordset of the list's fields takes
// it, and dropping that recordset frees it.
void dropSpareBuffers()
{
    QM6PrinterList::NewRecordset().reset();
}

bool measureGetPrinters(const QM6ConnectionPtr &c, int runs, BackendFigures *f)
{
    dropSpareBuffers();
    const size_t before = heapBytes();
    QM6RecordsetPtr held;
    if (QM6ErrorPtr e = PrinterData::Instance().GetPrinters(c, &held, true)) {
        std::fprintf(stderr, "%s\n", qPrintable(e->Description()));
        return false;
    }
    f->records = held->RecordCount();
    f->heapPerRecord = double(heapBytes() - before) / double(std::max<qsizetype>(1, f->records));
    f->heldPerRecord = double(held->HeldBytes()) / double(std::max<qsizetype>(1, f->records));
    held->Close();   // as the page does before it reads the list again
    held.reset();
    f->getPrinters = median(runs, [&] {
        QM6RecordsetPtr rs;
        PrinterData::Instance().GetPrinters(c, &rs, true);
        rs->Close();
    });
    return true;
}

BackendFigures measureSqlite(const QString &dir, qint64 printers, int runs)
{
    BackendFigures f;
    const QString path = QStringLiteral("%1/getprinters-%2.db").arg(dir).arg(printers);
    if (!QFileInfo::exists(path) && !generate(QStringLiteral("sqlite:") + path, printers))
        return f;
    QM6ConnectionPtr c;
    if (QM6ErrorPtr e = QM6Connection::Open(QStringLiteral("sqlite:") + path, QStringLiteral("admin"), &c)) {
        std::fprintf(stderr, "%s\n", qPrintable(e->Description()));
        return f;
    }
    if (!measureGetPrinters(c, runs, &f))
        return f;
    // The same handle, so that both read with the same cache and settings.
    sqlite3 *db = QM6ConnectionPrivate::get(c)->SqliteHandle();
    f.floor = median(runs, [&] { stepList(db); });
    f.joined = median(3, [&] { stepJoined(db); });
    for (const char *sql : {QM6PrinterList::AliasesSql, QM6PrinterList::PrintersSql}) {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db, (QByteArray("EXPLAIN QUERY PLAN ") + sql).constData(), -1, &st, nullptr);
        while (st && sqlite3_step(st) == SQLITE_ROW)
            f.plan << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 3)));
        sqlite3_finalize(st);
    }
    f.ok = true;
    return f;
}

// The server's address with another database: postgresql://user@host:port/DATABASE?options.
QString withDatabase(const QString &url, const QString &database)
{
    const qsizetype authority = url.indexOf(QLatin1String("://"));
    const qsizetype slash = url.indexOf(QLatin1Char('/'), authority < 0 ? 0 : authority + 3);
    const qsizetype query = url.indexOf(QLatin1Char('?'));
    const QString base = slash < 0 ? (query < 0 ? url : url.left(query)) : url.left(slash);
    return base + QLatin1Char('/') + database + (query < 0 ? QString() : url.mid(query));
}

// psql running the list's statements as GetPrinters does, each COPY to /dev/null.
QStringList psqlListArgs(const QString &url)
{
    return {QStringLiteral("-X"), QStringLiteral("-q"), url,
            QStringLiteral("-c"), QString::fromLatin1(QM6PrinterList::PgBeginSql),
            QStringLiteral("-c"), QString::fromLatin1(QM6PrinterList::PgSettingsSql),
            QStringLiteral("-c"), QString::fromLatin1(QM6PrinterList::ProfilesSql),
            QStringLiteral("-c"), QStringLiteral("COPY (%1) TO STDOUT").arg(QString::fromLatin1(QM6PrinterList::AliasesSql)),
            QStringLiteral("-c"), QStringLiteral("COPY (%1) TO STDOUT").arg(QString::fromLatin1(QM6PrinterList::PrintersSql)),
            QStringLiteral("-c"), QStringLiteral("COMMIT")};
}

BackendFigures measurePg(const QString &serverUrl, qint64 printers, int runs)
{
    BackendFigures f;
    // One database per size on the server.
    const QString name = QStringLiteral("qm6bench_%1").arg(printers);
    const QString admin = withDatabase(serverUrl, QStringLiteral("postgres")), siteUrl = withDatabase(serverUrl, name);
    QByteArray out;
    run(QStringLiteral("psql"), {QStringLiteral("-X"), QStringLiteral("-Atq"), admin, QStringLiteral("-c"),
                                 QStringLiteral("SELECT 1 FROM pg_database WHERE datname = '%1'").arg(name)},
        &out);
    if (out.trimmed() != "1" &&
        run(QStringLiteral("psql"), {QStringLiteral("-X"), QStringLiteral("-q"), admin, QStringLiteral("-c"),
                                     QStringLiteral("CREATE DATABASE %1").arg(name)}) != 0)
        return f;
    out.clear();
    run(QStringLiteral("psql"), {QStringLiteral("-X"), QStringLiteral("-Atq"), siteUrl, QStringLiteral("-c"),
                                 QStringLiteral("SELECT COUNT(*) FROM printers")},
        &out);
    if (out.trimmed().toLongLong() != printers && !generate(siteUrl, printers))
        return f;
    QM6ConnectionPtr c;
    if (QM6ErrorPtr e = QM6Connection::Open(siteUrl, QStringLiteral("admin"), &c)) {
        std::fprintf(stderr, "%s\n", qPrintable(e->Description()));
        return f;
    }
    if (!measureGetPrinters(c, runs, &f))
        return f;
    f.floor = median(runs, [&] { run(QStringLiteral("psql"), psqlListArgs(siteUrl), nullptr, QProcess::nullDevice()); });
    QSqlQuery q(QM6ConnectionPrivate::get(c)->db());
    for (const char *sql : {QM6PrinterList::AliasesSql, QM6PrinterList::PrintersSql}) {
        if (!q.exec(QStringLiteral("EXPLAIN (ANALYZE, BUFFERS) ") + QString::fromLatin1(sql))) {
            f.plan << q.lastError().text();
            continue;
        }
        while (q.next())
            f.plan << q.value(0).toString();
    }
    f.ok = true;
    return f;
}

// A PostgreSQL 15 server of the bench's own: its data kept in dir (made there when absent),
// its socket in a short temporary folder. Run as the postgres user when we are root.
class PgServer {
public:
    bool Start(const QString &dataDir)
    {
        m_data = dataDir;
        m_socket = std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/qm6-bench-pg-XXXXXX"));
        const bool root = ::geteuid() == 0;
        auto as = [&](const QString &program, QStringList args) {
            if (root) {
                args.prepend(program);
                args = QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--")} + args;
                return run(QStringLiteral("runuser"), args);
            }
            return run(program, args);
        };
        const QString bin = QStringLiteral("/usr/lib/postgresql/15/bin/");
        if (root) {
            QDir().mkpath(m_data);
            run(QStringLiteral("chown"), {QStringLiteral("postgres"), m_data, m_socket->path()});
        }
        if (!QFileInfo::exists(m_data + QStringLiteral("/PG_VERSION")) &&
            as(bin + QStringLiteral("initdb"), {QStringLiteral("-D"), m_data, QStringLiteral("-A"), QStringLiteral("trust"),
                                                QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("--no-sync")}) != 0)
            return false;
        m_port = 40000 + int(QCoreApplication::applicationPid() % 20000);
        if (as(bin + QStringLiteral("pg_ctl"), {QStringLiteral("-D"), m_data, QStringLiteral("-l"), m_data + QStringLiteral("/server.log"),
                                                QStringLiteral("-w"), QStringLiteral("-o"),
                                                QStringLiteral("-k %1 -c listen_addresses= -p %2 -c fsync=off").arg(m_socket->path()).arg(m_port),
                                                QStringLiteral("start")}) != 0)
            return false;
        m_stop = [this, as, bin] {
            as(bin + QStringLiteral("pg_ctl"), {QStringLiteral("-D"), m_data, QStringLiteral("-m"), QStringLiteral("fast"),
                                                QStringLiteral("-w"), QStringLiteral("stop")});
        };
        return true;
    }
    ~PgServer()
    {
        if (m_stop)
            m_stop();
    }
    QString Url() const
    {
        return QStringLiteral("postgresql://postgres@%1:%2/postgres")
            .arg(QString::fromLatin1(QUrl::toPercentEncoding(m_socket->path())))
            .arg(m_port);
    }

private:
    QString m_data;
    std::unique_ptr<QTemporaryDir> m_socket;
    int m_port = 0;
    std::function<void()> m_stop;
};

void printRow(const char *what, const QString &sqlite, const QString &pg)
{
    std::printf("  %-44s %24s %30s\n", what, qPrintable(sqlite), qPrintable(pg));
}

QString ms(const Figure &f) { return f.ms > 0 ? QStringLiteral("%1 ms (load %2)").arg(f.ms, 0, 'f', 1).arg(f.load) : QStringLiteral("-"); }

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QList<qint64> sizes{100000, 1000000};
    int runs = 7;
    QString keep, pgUrl;
    bool pg = true;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--sizes") && i + 1 < args.size()) {
            sizes.clear();
            for (const QString &s : args[++i].split(QLatin1Char(',')))
                sizes << s.toLongLong();
        } else if (args[i] == QLatin1String("--runs") && i + 1 < args.size()) {
            runs = std::max(1, args[++i].toInt());
        } else if (args[i] == QLatin1String("--keep") && i + 1 < args.size()) {
            keep = QDir(args[++i]).absolutePath();
        } else if (args[i] == QLatin1String("--pg-url") && i + 1 < args.size()) {
            pgUrl = args[++i];
        } else if (args[i] == QLatin1String("--no-pg")) {
            pg = false;
        } else {
            std::fprintf(stderr, "usage: bench_getprinters [--sizes N,N...] [--runs R] [--keep DIR] [--pg-url URL | --no-pg]\n");
            return 2;
        }
    }
    QTemporaryDir tmp;
    const QString dir = keep.isEmpty() ? tmp.path() : keep;
    QDir().mkpath(dir);
    PgServer server;
    if (pg && pgUrl.isEmpty()) {
        if (!server.Start(dir + QStringLiteral("/pg-data"))) {
            std::fprintf(stderr, "The PostgreSQL server did not start; run with --no-pg or give --pg-url.\n");
            return 1;
        }
        pgUrl = server.Url();
    }

    bool targetsHold = true;
    for (qint64 printers : sizes) {
        std::printf("\n== %lld printers, one merged printer per two (%s), medians of %d runs ==\n", printers,
                    printers >= 1000000 ? "targets apply" : "reported only", runs);
        std::fflush(stdout);
        const BackendFigures s = measureSqlite(dir, printers, runs);
        const BackendFigures p = pg ? measurePg(pgUrl, printers, runs) : BackendFigures();
        printRow("", QStringLiteral("SQLite"), QStringLiteral("PostgreSQL 15"));
        printRow("records", QString::number(s.records), p.ok ? QString::number(p.records) : QStringLiteral("-"));
        printRow("GetPrinters", ms(s.getPrinters), ms(p.getPrinters));
        printRow("statements alone (sqlite3_step | psql COPY)", ms(s.floor), ms(p.floor));
        printRow("GetPrinters / statements alone", s.floor.ms > 0 ? QString::number(s.getPrinters.ms / s.floor.ms, 'f', 2) : QString(),
                 p.floor.ms > 0 ? QString::number(p.getPrinters.ms / p.floor.ms, 'f', 2) + QStringLiteral(" (target <= 1.25)") : QString());
        printRow("joined query stepped alone (the old way)", ms(s.joined), QString());
        printRow("recordset bytes per record (held)", QString::number(s.heldPerRecord, 'f', 1),
                 p.ok ? QString::number(p.heldPerRecord, 'f', 1) : QString());
        printRow("heap growth per record (uordblks + hblkhd)", QString::number(s.heapPerRecord, 'f', 1),
                 p.ok ? QString::number(p.heapPerRecord, 'f', 1) : QString());
        std::printf("  SQLite plan:\n");
        for (const QString &line : s.plan)
            std::printf("    %s\n", qPrintable(line));
        if (p.ok) {
            std::printf("  PostgreSQL plan (EXPLAIN ANALYZE):\n");
            for (const QString &line : p.plan)
                std::printf("    %s\n", qPrintable(line));
            const QString plan = p.plan.join(QLatin1Char('\n'));
            const bool noSort = !plan.contains(QLatin1String("Sort")) && !plan.contains(QLatin1String("external"));
            std::printf("  PostgreSQL plan sorts nothing: %s; reads the indexes only: %s\n", noSort ? "yes" : "NO",
                        plan.count(QLatin1String("Index Only Scan")) == 2 ? "yes" : "no");
            if (printers >= 1000000 && (!noSort || p.getPrinters.ms > 1.25 * p.floor.ms))
                targetsHold = false;
        }
        std::fflush(stdout);
    }
    if (!keep.isEmpty())
        std::printf("\nsites kept in %s\n", qPrintable(dir));
    std::printf("PostgreSQL targets at 1,000,000 printers: %s\n", targetsHold ? "hold" : "MISSED");
    return 0;
}
