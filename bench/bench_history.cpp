// The change history and the printer list's export and import on a large site: one printer's
// history read among a million entries, and qm6data export and import of every printer.
// Usage: bench_history [--url URL] [--printers N] [--entries M] [--reads R]
// Without --url the site is an SQLite file in /tmp/qm6-bench-history, made again on every run.
// A PostgreSQL URL names a database whose public schema the run empties first.
#include "qm6connectionprivate.h"
#include "qm6csv.h"
#include "qm6history.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

QString loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()).section(QLatin1Char(' '), 0, 2) : QStringLiteral("?");
}

bool sql(const QM6ConnectionPtr &c, const QString &statement)
{
    QSqlQuery q(QM6ConnectionPrivate::get(c)->db());
    if (q.exec(statement))
        return true;
    std::fprintf(stderr, "%s\n%s\n", qPrintable(statement), qPrintable(q.lastError().text()));
    return false;
}

qint64 scalar(const QM6ConnectionPtr &c, const QString &statement)
{
    QSqlQuery q(QM6ConnectionPrivate::get(c)->db());
    return q.exec(statement) && q.next() ? q.value(0).toLongLong() : -1;
}

double childCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Runs qm6data; its wall-clock seconds, its last line of output in *last and, when cpu is given,
// the processor time it took there (on a busy machine the two differ). -1 when it failed to run.
double tool(const QStringList &args, QString *last, double *cpu = nullptr)
{
    const double cpuBefore = childCpuSeconds();
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(QStringLiteral(QM6DATA_PATH), args);
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit) {
        std::fprintf(stderr, "qm6data %s did not finish\n", qPrintable(args.join(QLatin1Char(' '))));
        return -1;
    }
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    if (cpu)
        *cpu = childCpuSeconds() - cpuBefore;
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    *last = lines.isEmpty() ? QString::fromUtf8(p.readAllStandardError()).trimmed() : lines.last();
    return seconds;
}

// The export with every printer's location changed, for an import that changes them all; a
// printer without a track profile (which the editor would refuse to save) is given profile.
bool everyLocationChanged(const QString &from, const QString &to, qint64 profile)
{
    QFile in(from), out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return false;
    QM6Csv::Reader reader(in.readAll());
    QM6Csv::Reader::Record record;
    QByteArray data;
    for (bool header = true; reader.Next(&record); header = false) {
        if (!header) {
            record.fields[11] = QStringLiteral("Bench room %1").arg(record.line);   // the location column
            if (record.fields[2] == QLatin1String("0"))                            // the profile column
                record.fields[2] = QString::number(profile);
        }
        data += QM6Csv::Record(record.fields);
    }
    return out.write(data) == data.size();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    auto option = [&](const char *name, const QString &fallback) {
        const qsizetype i = args.indexOf(QLatin1String(name));
        return i > 0 && i + 1 < args.size() ? args[i + 1] : fallback;
    };
    const qint64 printers = option("--printers", QStringLiteral("100000")).toLongLong();
    const qint64 entries = option("--entries", QStringLiteral("1000000")).toLongLong();
    const int reads = option("--reads", QStringLiteral("200")).toInt();
    const QString folder = QStringLiteral("/tmp/qm6-bench-history");
    QDir().mkpath(folder);
    QString url = option("--url", QString());
    if (url.isEmpty()) {
        url = QStringLiteral("sqlite:") + folder + QStringLiteral("/site.db");
        for (const char *suffix : {"", "-wal", "-shm"})
            QFile::remove(folder + QStringLiteral("/site.db") + QLatin1String(suffix));
    }
    const bool pg = url.startsWith(QLatin1String("postgresql:"));
    std::printf("load average before: %s\n", qPrintable(loadAverage()));

    QM6ConnectionPtr c;
    if (pg) {
        if (QM6ErrorPtr e = QM6Connection::CreateSite(url, &c)) {
            std::fprintf(stderr, "%s\n", qPrintable(e->Description()));
            return 1;
        }
        if (!sql(c, QStringLiteral("DROP SCHEMA public CASCADE")) || !sql(c, QStringLiteral("CREATE SCHEMA public")))
            return 1;
        c.reset();
    }
    QString last;
    const double generated = tool({QStringLiteral("generate"), url, QStringLiteral("--printers"), QString::number(printers),
                                   QStringLiteral("--aliases-per-printer"), QStringLiteral("0.5")}, &last);
    std::printf("site: %s (%.1f s)\n", qPrintable(last), generated);
    if (generated < 0 || QM6Connection::Open(url, QString(), &c))
        return 1;

    // A million entries spread over the printers as changes come: one printer's entries lie far apart.
    QElapsedTimer t;
    t.start();
    const qint64 first = scalar(c, QStringLiteral("SELECT MIN(printer_id) FROM printers"));
    const QString series = pg ? QStringLiteral("generate_series(0, %1) AS s(i)").arg(entries - 1)
                              : QStringLiteral("s");
    const QString with = pg ? QString() : QStringLiteral("WITH RECURSIVE s(i) AS (VALUES(0) UNION ALL SELECT i + 1 FROM s WHERE i < %1) ")
                                              .arg(entries - 1);
    if (!sql(c, QStringLiteral("BEGIN")) ||
        !sql(c, QStringLiteral("INSERT INTO printer_history (printer_id, printer_key, changed_on, changed_by, kind, changes) %1"
                               "SELECT p.printer_id, p.printer_key, 1700000000000 + s.i * 1000, 'bench', 2,"
                               " '[[\"location\",\"Room ' || s.i || '\",\"Room ' || (s.i + 1) || '\"]]' FROM %2"
                               " JOIN printers p ON p.printer_id = %3 + s.i % %4 ORDER BY s.i")
                    .arg(with, series).arg(first).arg(printers)) ||
        !sql(c, QStringLiteral("COMMIT")) || !sql(c, QStringLiteral("ANALYZE")))
        return 1;
    std::printf("history: %lld entries with one field each written in %.1f s\n",
                scalar(c, QStringLiteral("SELECT COUNT(*) FROM printer_history")), double(t.elapsed()) / 1000.0);

    // One printer's history, for printers picked at random; the first read warms the cache.
    QRandomGenerator random(14);
    QList<double> ms;
    qint64 rows = 0;
    for (int i = 0; i <= reads; ++i) {
        const qint32 id = qint32(first + random.bounded(printers));
        QList<QM6HistoryEntry> list;
        t.restart();
        if (QM6ErrorPtr e = QM6History::Read(c, id, QDateTime(), &list)) {
            std::fprintf(stderr, "%s\n", qPrintable(e->Description()));
            return 1;
        }
        if (i > 0) {
            ms << double(t.nsecsElapsed()) / 1e6;
            rows += list.size();
        }
    }
    std::sort(ms.begin(), ms.end());
    const double p95 = ms[qsizetype(ms.size() * 0.95)];
    std::printf("one printer's history: median %.2f ms, 95th percentile %.2f ms, max %.2f ms over %d printers (%.1f entries"
                " each); target 10 ms: %s\n",
                ms[ms.size() / 2], p95, ms.last(), reads, double(rows) / reads, p95 <= 10 ? "met" : "MISSED");
    const qint64 profile = scalar(c, QStringLiteral("SELECT MIN(profile_id) FROM track_profiles"));
    c.reset();

    const QString exported = folder + QStringLiteral("/printers.csv"), edited = folder + QStringLiteral("/edited.csv");
    double cpu = 0;
    const double exportSeconds = tool({QStringLiteral("export"), url, exported}, &last, &cpu);
    std::printf("qm6data export: %.2f s, %.2f s of processor time (%s)%s\n", exportSeconds, cpu, qPrintable(last),
                pg ? "" : exportSeconds <= 10 ? "; target 10 s: met" : "; target 10 s: MISSED");
    if (exportSeconds < 0 || !everyLocationChanged(exported, edited, profile))
        return 1;
    const struct { const char *what; QString file; bool dryRun; } imports[] = {
        {"import of the export (nothing to change)", exported, false},
        {"import --dry-run, every location changed (and a profile for those without)", edited, true},
        {"import, every location changed (and a profile for those without)", edited, false},
    };
    for (const auto &run : imports) {
        QStringList a{QStringLiteral("import"), url, run.file};
        if (run.dryRun)
            a << QStringLiteral("--dry-run");
        const double seconds = tool(a, &last, &cpu);
        std::printf("qm6data %s: %.2f s, %.2f s of processor time (%s)%s\n", run.what, seconds, cpu, qPrintable(last),
                    pg ? "" : seconds <= 10 ? "; target 10 s: met" : "; target 10 s: MISSED");
    }
    std::printf("load average after: %s\n", qPrintable(loadAverage()));
    return 0;
}
