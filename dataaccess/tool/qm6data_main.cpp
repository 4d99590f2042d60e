// qm6data: creates, fills and checks Quillmark printer databases.
#include "qm6connection.h"
#include "qm6sitecheck.h"
#include "qm6sitegenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: qm6data init URL [--demo]\n"
                 "       qm6data generate URL --printers N [--aliases-per-printer X] [--seed S]\n"
                 "       qm6data check URL\n"
                 "URL: sqlite:PATH or postgresql://user@host:port/database\n");
    return 2;
}

void say(const QString &s)
{
    std::fprintf(stdout, "%s\n", s.toLocal8Bit().constData());
}

int fail(const QM6ErrorPtr &e)
{
    std::fprintf(stderr, "qm6data: %s\n", e->Description().toLocal8Bit().constData());
    return 1;
}
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2)
        return usage();
    const QString command = args[0], url = args[1];
    const QStringList opts = args.mid(2);
    auto option = [&](const QString &name, const QString &fallback) {
        const qsizetype i = opts.indexOf(name);
        return i >= 0 && i + 1 < opts.size() ? opts[i + 1] : fallback;
    };

    QM6ConnectionPtr c;
    if (command == QLatin1String("init")) {
        if (url.startsWith(QLatin1String("sqlite:")) && QFileInfo::exists(url.mid(7)) && opts.contains(QLatin1String("--demo"))) {
            std::fprintf(stderr, "qm6data: %s exists already; the demo site goes into a new database only.\n",
                         qPrintable(url.mid(7)));
            return 1;
        }
        if (QM6ErrorPtr e = QM6Connection::Open(url, QStringLiteral("admin"), &c))
            return fail(e);
        if (opts.contains(QLatin1String("--demo"))) {
            QM6SiteGenerator::Options o;
            o.printers = 60;
            o.aliasesPerPrinter = 0.4;
            o.seed = 1033;
            o.demo = true;
            if (QM6ErrorPtr e = QM6SiteGenerator::Generate(c.get(), o))
                return fail(e);
            say(QStringLiteral("%1: demo site written").arg(url));
        } else {
            say(QStringLiteral("%1: schema ready").arg(url));
        }
        return 0;
    }
    if (command == QLatin1String("generate")) {
        bool ok1 = false, ok2 = false, ok3 = false;
        QM6SiteGenerator::Options o;
        o.printers = option(QStringLiteral("--printers"), QString()).toLongLong(&ok1);
        o.aliasesPerPrinter = option(QStringLiteral("--aliases-per-printer"), QStringLiteral("0")).toDouble(&ok2);
        o.seed = option(QStringLiteral("--seed"), QStringLiteral("6")).toUInt(&ok3);
        if (!ok1 || !ok2 || !ok3 || o.printers < 0 || o.aliasesPerPrinter < 0)
            return usage();
        if (QM6ErrorPtr e = QM6Connection::Open(url, QStringLiteral("admin"), &c))
            return fail(e);
        QElapsedTimer t;
        t.start();
        qint64 written = 0;
        if (QM6ErrorPtr e = QM6SiteGenerator::Generate(c.get(), o, &written))
            return fail(e);
        say(QStringLiteral("%1: %2 printers and aliases written in %3 s")
                .arg(url).arg(written).arg(double(t.elapsed()) / 1000.0, 0, 'f', 2));
        return 0;
    }
    if (command == QLatin1String("check")) {
        if (url.startsWith(QLatin1String("sqlite:")) && !QFileInfo::exists(url.mid(7))) {
            std::fprintf(stderr, "qm6data: %s does not exist.\n", qPrintable(url.mid(7)));
            return 1;
        }
        if (QM6ErrorPtr e = QM6Connection::Open(url, QStringLiteral("admin"), &c))
            return fail(e);
        QStringList report;
        bool allHold = false;
        if (QM6ErrorPtr e = QM6SiteCheck::Run(c.get(), &report, &allHold))
            return fail(e);
        for (const QString &line : report)
            say(line);
        say(allHold ? QStringLiteral("%1: all checks hold").arg(url) : QStringLiteral("%1: CHECKS FAILED").arg(url));
        return allHold ? 0 : 1;
    }
    return usage();
}
