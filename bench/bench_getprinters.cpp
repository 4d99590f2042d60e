// How much the printer list costs over the bare query, in time and in memory.
#include "printerdata.h"
#include "qm6connectionprivate.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <unistd.h>

namespace {

qint64 rssBytes()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

// Steps the query touching every column's text: the floor any reader pays.
qint64 stepOnly(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
        return -1;
    const int cols = sqlite3_column_count(st);
    qint64 rows = 0;
    size_t touch = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int i = 0; i < cols; ++i)
            touch += reinterpret_cast<size_t>(sqlite3_column_text(st, i));
        ++rows;
    }
    sqlite3_finalize(st);
    return touch ? rows : rows;
}
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString path = app.arguments().value(1);
    if (path.isEmpty()) {
        QDir().mkpath(QStringLiteral("/tmp/qm6-bench"));
        path = QStringLiteral("/tmp/qm6-bench/getprinters.db");
        if (!QFileInfo::exists(path)) {
            std::printf("generating %s ...\n", qPrintable(path));
            QProcess gen;
            gen.setProcessChannelMode(QProcess::ForwardedChannels);
            gen.start(QStringLiteral(QM6DATA_PATH), {QStringLiteral("generate"), QStringLiteral("sqlite:") + path,
                                                     QStringLiteral("--printers"), QStringLiteral("300000"),
                                                     QStringLiteral("--aliases-per-printer"), QStringLiteral("0.5")});
            if (!gen.waitForFinished(-1) || gen.exitCode() != 0)
                return 1;
        }
    }
    const char *sql = QM6PrinterListSql();
    QM6ConnectionPtr c;
    if (QM6ErrorPtr e = QM6Connection::Open(QStringLiteral("sqlite:") + path, QStringLiteral("admin"), &c)) {
        std::fprintf(stderr, "%s\n", qPrintable(e->Description()));
        return 1;
    }

    // Memory first, before earlier runs leave freed blocks behind.
    const qint64 rss0 = rssBytes();
    QM6RecordsetPtr held;
    if (QM6ErrorPtr e = PrinterData::Instance().GetPrinters(c, &held, true)) {
        std::fprintf(stderr, "%s\n", qPrintable(e->Description()));
        return 1;
    }
    const qint64 rss1 = rssBytes();
    const qint64 records = held->RecordCount();
    const qint64 text = held->TextBytes(), overhead = held->OverheadBytes();
    held.reset();

    // The same handle for both, so that both read with the same cache and settings.
    sqlite3 *own = QM6ConnectionPrivate::get(c)->SqliteHandle();

    const int runs = 7;
    QList<double> tList, tStep, tCli;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        QM6RecordsetPtr rs;
        PrinterData::Instance().GetPrinters(c, &rs, true);
        tList << double(t.nsecsElapsed()) / 1e6;
        rs.reset();

        t.restart();
        stepOnly(own, sql);
        tStep << double(t.nsecsElapsed()) / 1e6;

        QProcess cli;
        cli.setStandardOutputFile(QProcess::nullDevice());
        t.restart();
        cli.start(QStringLiteral("sqlite3"), {path, QString::fromUtf8(sql)});
        cli.waitForFinished(-1);
        tCli << double(t.nsecsElapsed()) / 1e6;
    }

    std::printf("database: %s\nrecords: %lld\n", qPrintable(path), records);
    std::printf("median of %d runs (ms): GetPrinters %.1f | sqlite3_step+column_text %.1f | sqlite3 CLI > /dev/null %.1f\n",
                runs, median(tList), median(tStep), median(tCli));
    std::printf("ratio GetPrinters / step-only: %.3f\n", median(tList) / median(tStep));
    std::printf("recordset: text %lld bytes, overhead %lld bytes = %.1f bytes per record beyond text\n", text, overhead,
                double(overhead) / double(records));
    std::printf("process RSS growth while holding it: %lld bytes = %.1f bytes per record (%.1f beyond text)\n",
                rss1 - rss0, double(rss1 - rss0) / double(records), double(rss1 - rss0 - text) / double(records));
    std::printf("query plan:\n");
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(own, (QByteArray("EXPLAIN QUERY PLAN ") + sql).constData(), -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        std::printf("  %s\n", reinterpret_cast<const char *>(sqlite3_column_text(st, 3)));
    sqlite3_finalize(st);
    return 0;
}
