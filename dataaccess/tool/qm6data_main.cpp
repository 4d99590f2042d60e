// qm6data: creates, fills and checks Quillmark printer databases, and manages their users.
#include "printerdata.h"
#include "qm6connection.h"
#include "qm6connectionprivate.h"
#include "qm6history.h"
#include "qm6historytext.h"
#include "qm6printerexport.h"
#include "qm6printerimport.h"
#include "qm6sitecheck.h"
#include "qm6sitegenerator.h"
#include "qm6siteusers.h"
#include "qm6trackprofiles.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <cstdio>

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: qm6data init URL [--demo] [--group-readable] [--language LCID]\n"
                 "       qm6data generate URL --printers N [--aliases-per-printer X] [--seed S]\n"
                 "       qm6data check URL\n"
                 "       qm6data users URL\n"
                 "       qm6data grant URL USER [CODE...]\n"
                 "       qm6data revoke URL USER [CODE...]\n"
                 "       qm6data profiles URL [add NAME | rename ID NAME]\n"
                 "       qm6data history URL [--printer ID] [--since YYYY-MM-DD]\n"
                 "       qm6data export URL FILE.csv\n"
                 "       qm6data import URL FILE.csv [--dry-run]\n"
                 "URL: sqlite:PATH or postgresql://user@host:port/database\n"
                 "A new SQLite site is readable by its owner only; --group-readable makes it readable by its group.\n"
                 "Whoever creates a site holds every permission in it. grant and revoke take every permission\n"
                 "without CODEs (128 view printers, 129 change printers, 130 view reports, 131 change users);\n"
                 "USER is a PostgreSQL login role, or on SQLite an operating-system user.\n"
                 "--language 1036 names a new site's standard track profiles in French (default: your locale's\n"
                 "language when there are texts for it, else English).\n"
                 "history prints what happened to a printer (every printer without --printer), newest first.\n"
                 "export writes every printer with its key and editable fields; import reads such a file back: a record\n"
                 "changes the printer with its key, or adds a printer when its key is empty. --dry-run shows what would\n"
                 "change and changes nothing. Records that cannot be imported are refused one by one, by line.\n");
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

int refuse(const QString &text)
{
    std::fprintf(stderr, "qm6data: %s\n", text.toLocal8Bit().constData());
    return 2;
}

QM6SiteGenerator::Options demoOptions()
{
    QM6SiteGenerator::Options o;
    o.printers = 60;
    o.aliasesPerPrinter = 0.4;
    o.seed = 1033;
    o.demo = true;
    return o;
}

// Lists the site's track profiles (number, tab, name, by name), or adds or renames one.
int profiles(const QM6ConnectionPtr &c, const QString &url, const QStringList &opts)
{
    QM6ConnectionPrivate *d = QM6ConnectionPrivate::get(c);
    if (opts.isEmpty()) {
        QM6RecordsetPtr rs;
        if (QM6ErrorPtr e = PrinterData::Instance().GetPrintProfiles(c, &rs))
            return fail(e);
        if (rs->Eof())
            say(QStringLiteral("%1: no track profiles; add one with \"qm6data profiles URL add NAME\"").arg(url));
        for (; !rs->Eof(); rs->MoveNext())
            say(QStringLiteral("%1\t%2").arg(rs->Fields(QStringLiteral("PrintProfileId")).toLongLong())
                    .arg(rs->Fields(QStringLiteral("Name")).toString()));
        return 0;
    }
    if (opts[0] == QLatin1String("add") && opts.size() == 2) {
        qint64 id = 0;
        if (QM6ErrorPtr e = QM6TrackProfiles::Add(d, opts[1], &id))
            return fail(e);
        say(QStringLiteral("%1: track profile %2 \"%3\" added").arg(url, QString::number(id), opts[1].trimmed()));
        return 0;
    }
    if (opts[0] == QLatin1String("rename") && opts.size() == 3) {
        bool ok = false;
        const qint64 id = opts[1].toLongLong(&ok);
        if (!ok)
            return usage();
        if (QM6ErrorPtr e = QM6TrackProfiles::Rename(d, id, opts[2]))
            return fail(e);
        say(QStringLiteral("%1: track profile %2 renamed to \"%3\"").arg(url, QString::number(id), opts[2].trimmed()));
        return 0;
    }
    return usage();
}

// Prints the history of one printer or of all, newest first.
int history(const QM6ConnectionPtr &c, const QString &url, const QStringList &opts)
{
    QString printer, since;
    for (qsizetype i = 0; i < opts.size(); i += 2) {
        if (i + 1 >= opts.size() || (opts[i] != QLatin1String("--printer") && opts[i] != QLatin1String("--since")))
            return usage();
        (opts[i] == QLatin1String("--printer") ? printer : since) = opts[i + 1];
    }
    bool ok = true;
    const qint32 id = printer.isEmpty() ? -1 : printer.toInt(&ok);
    if (!ok || (!printer.isEmpty() && id < 0))
        return refuse(QStringLiteral("--printer takes a printer number, not \"%1\".").arg(printer));
    QDateTime from;
    if (!since.isEmpty()) {
        const QDate day = QDate::fromString(since, QStringLiteral("yyyy-MM-dd"));
        if (!day.isValid())
            return refuse(QStringLiteral("--since takes a date written YYYY-MM-DD, not \"%1\".").arg(since));
        from = day.startOfDay();   // local midnight, as the entries are shown in local time
    }
    QList<QM6HistoryEntry> entries;
    if (QM6ErrorPtr e = QM6History::Read(c, id, from, &entries))
        return fail(e);
    if (entries.isEmpty())
        say(id < 0 ? QStringLiteral("%1: no history").arg(url) : QStringLiteral("%1: printer %2 has no history").arg(url).arg(id));
    for (const QM6HistoryEntry &entry : entries)
        say(id < 0 ? QStringLiteral("printer %1 (%2)  %3").arg(QString::number(entry.printerId), entry.printerKey, QM6HistoryText::Line(entry))
                   : QM6HistoryText::Line(entry));
    return 0;
}
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2)
        return usage();
    const QString command = args[0], url = args[1], shownUrl = QM6Connection::DisplayUrl(url);
    const QStringList opts = args.mid(2);
    auto option = [&](const QString &name, const QString &fallback) {
        const qsizetype i = opts.indexOf(name);
        return i >= 0 && i + 1 < opts.size() ? opts[i + 1] : fallback;
    };

    // The language of what a new site is given to read (its standard profiles' names).
    bool languageOk = true;
    const qint32 language = option(QStringLiteral("--language"),
                                   QString::number(QLocale::system().language() == QLocale::French ? 1036 : 1033))
                                .toInt(&languageOk);
    if (!languageOk || language <= 0)
        return refuse(QStringLiteral("--language takes a Windows locale id such as 1033 (English) or 1036 (French)."));
    QM6Connection::SetLanguage(language);

    QM6ConnectionPtr c;
    QM6OpenOptions open;
    if (command == QLatin1String("init")) {
        open.fillDefaultDemo = false;   // written below, once
        open.createSite = true;
        open.groupReadable = opts.contains(QLatin1String("--group-readable"));
        if (QM6ErrorPtr e = QM6ConnectionPrivate::OpenSite(url, QString(), open, &c))
            return fail(e);
        if (opts.contains(QLatin1String("--demo"))) {
            QM6RecordsetPtr rs;
            if (QM6ErrorPtr e = PrinterData::Instance().GetPrinters(c, &rs, true))
                return fail(e);
            if (rs->RecordCount() > 0)
                return refuse(QStringLiteral("%1 has printers already; the demo site goes into an empty site only.").arg(shownUrl));
            if (QM6ErrorPtr e = QM6SiteGenerator::Generate(c.get(), demoOptions()))
                return fail(e);
            say(QStringLiteral("%1: demo site written").arg(shownUrl));
        } else {
            // The editor refuses a printer without a track profile, so a new site gets the
            // standard ones.
            QList<qint64> ids;
            QM6ErrorPtr e = c->BeginTransaction();
            if (!e) {
                e = QM6TrackProfiles::EnsureStandard(QM6ConnectionPrivate::get(c), &ids);
                if (e)
                    c->RollbackTransaction();
                else
                    e = c->CommitTransaction();
            }
            if (e)
                return fail(e);
            say(QStringLiteral("%1: schema ready, %2 track profiles").arg(shownUrl, QString::number(ids.size())));
        }
        return 0;
    }
    if (command == QLatin1String("generate")) {
        bool ok1 = false, ok2 = false, ok3 = false;
        QM6SiteGenerator::Options o;
        o.printers = option(QStringLiteral("--printers"), QString()).toLongLong(&ok1);
        const QString aliases = option(QStringLiteral("--aliases-per-printer"), QStringLiteral("0"));
        o.aliasesPerPrinter = aliases.toDouble(&ok2);
        o.seed = option(QStringLiteral("--seed"), QStringLiteral("6")).toUInt(&ok3);
        if (!ok1 || !ok3 || o.printers < 0)
            return usage();
        if (!ok2 || !std::isfinite(o.aliasesPerPrinter) || o.aliasesPerPrinter < 0 ||
            o.aliasesPerPrinter > QM6SiteGenerator::MaxAliasesPerPrinter)
            return refuse(QStringLiteral("--aliases-per-printer must be a number from 0 to %1, not \"%2\".")
                              .arg(QM6SiteGenerator::MaxAliasesPerPrinter).arg(aliases));
        if (QM6ErrorPtr e = QM6Connection::CreateSite(url, &c))
            return fail(e);
        QElapsedTimer t;
        t.start();
        qint64 written = 0;
        if (QM6ErrorPtr e = QM6SiteGenerator::Generate(c.get(), o, &written))
            return fail(e);
        say(QStringLiteral("%1: %2 printers and aliases written in %3 s")
                .arg(shownUrl, QString::number(written), QString::number(double(t.elapsed()) / 1000.0, 'f', 2)));
        return 0;
    }
    if (command == QLatin1String("check")) {
        // Looks only: a damaged or foreign file stays exactly as it is.
        open.readOnly = true;
        if (QM6ErrorPtr e = QM6ConnectionPrivate::OpenSite(url, QString(), open, &c))
            return fail(e);
        QStringList report;
        bool allHold = false;
        if (QM6ErrorPtr e = QM6SiteCheck::Run(c.get(), &report, &allHold))
            return fail(e);
        for (const QString &line : report)
            say(line);
        say(allHold ? QStringLiteral("%1: all checks hold").arg(shownUrl) : QStringLiteral("%1: CHECKS FAILED").arg(shownUrl));
        return allHold ? 0 : 1;
    }
    if (command == QLatin1String("users")) {
        open.readOnly = true;
        if (QM6ErrorPtr e = QM6ConnectionPrivate::OpenSite(url, QString(), open, &c))
            return fail(e);
        QStringList lines;
        if (QM6ErrorPtr e = QM6SiteUsers::List(c.get(), &lines))
            return fail(e);
        for (const QString &line : lines)
            say(line);
        return 0;
    }
    if (command == QLatin1String("grant") || command == QLatin1String("revoke")) {
        if (opts.isEmpty())
            return usage();
        QList<qint32> codes;
        for (const QString &text : opts.mid(1)) {
            bool ok = false;
            codes << text.toInt(&ok);
            if (!ok)
                return refuse(QStringLiteral("\"%1\" is not a permission code.").arg(text));
        }
        if (QM6ErrorPtr e = QM6Connection::Open(url, QString(), &c))
            return fail(e);
        const bool grant = command == QLatin1String("grant");
        if (QM6ErrorPtr e = grant ? QM6SiteUsers::Grant(c.get(), opts[0], codes) : QM6SiteUsers::Revoke(c.get(), opts[0], codes))
            return fail(e);
        say(QStringLiteral("%1: %2 %3").arg(shownUrl, grant ? QStringLiteral("granted to") : QStringLiteral("revoked from"), opts[0]));
        return 0;
    }
    if (command == QLatin1String("history")) {
        // Looks only.
        open.readOnly = true;
        if (QM6ErrorPtr e = QM6ConnectionPrivate::OpenSite(url, QString(), open, &c))
            return fail(e);
        return history(c, shownUrl, opts);
    }
    if (command == QLatin1String("export")) {
        if (opts.size() != 1)
            return usage();
        // Looks only.
        open.readOnly = true;
        if (QM6ErrorPtr e = QM6ConnectionPrivate::OpenSite(url, QString(), open, &c))
            return fail(e);
        QElapsedTimer t;
        t.start();
        qint64 count = 0;
        if (QM6ErrorPtr e = QM6PrinterExport::Write(c.get(), opts[0], &count))
            return fail(e);
        say(QStringLiteral("%1: %2 printers written to %3 in %4 s")
                .arg(shownUrl, QString::number(count), opts[0], QString::number(double(t.elapsed()) / 1000.0, 'f', 2)));
        return 0;
    }
    if (command == QLatin1String("import")) {
        const bool dryRun = opts.contains(QLatin1String("--dry-run"));
        const QStringList files = QStringList(opts).filter(QRegularExpression(QStringLiteral("^(?!--)")));
        if (files.size() != 1 || opts.size() != files.size() + (dryRun ? 1 : 0))
            return usage();
        // A dry run looks only; an import opens the site as the console does.
        open.readOnly = dryRun;
        if (QM6ErrorPtr e = dryRun ? QM6ConnectionPrivate::OpenSite(url, QString(), open, &c) : QM6Connection::Open(url, QString(), &c))
            return fail(e);
        QElapsedTimer t;
        t.start();
        QM6PrinterImport::Outcome outcome;
        if (QM6ErrorPtr e = QM6PrinterImport::Run(c.get(), files[0], dryRun, say, &outcome))
            return fail(e);
        say(QStringLiteral("%1: %2 printers %3, %4 %5, %6 unchanged, %7 records refused (%8 s)%9")
                .arg(shownUrl, QString::number(outcome.changed), dryRun ? QStringLiteral("would change") : QStringLiteral("changed"),
                     QString::number(outcome.added), dryRun ? QStringLiteral("would be added") : QStringLiteral("added"),
                     QString::number(outcome.unchanged), QString::number(outcome.refused),
                     QString::number(double(t.elapsed()) / 1000.0, 'f', 2),
                     dryRun ? QStringLiteral("; nothing was changed (dry run)") : QString()));
        return outcome.refused > 0 ? 1 : 0;
    }
    if (command == QLatin1String("profiles")) {
        if (url.startsWith(QLatin1String("sqlite:")) && !QFileInfo::exists(url.mid(7))) {
            std::fprintf(stderr, "qm6data: %s does not exist; make it with \"qm6data init URL\".\n", qPrintable(url.mid(7)));
            return 1;
        }
        if (QM6ErrorPtr e = QM6Connection::Open(url, QString(), &c))
            return fail(e);
        return profiles(c, shownUrl, opts);
    }
    return usage();
}
