#include "qm6sitegenerator.h"
#include "qm6connectionprivate.h"
#include "qm6schema.h"
#include "qm6trackprofiles.h"

#include <QDateTime>
#include <QSqlError>
#include <cmath>
#include <random>

namespace {


struct Model {
    const char *name;
    const char *share;   // short name used in share and host names
    bool color;
};

// About a quarter of the printers are picked from the first list, whose names hold "jet";
// nothing built from the second list (names, shares, hosts) does.
const Model jetModels[] = {
    {"HP LaserJet 4050", "hp4050", false}, {"HP LaserJet P3015", "hp3015", false},
    {"HP Color LaserJet CP4525", "hpcp4525", true}, {"HP OfficeJet Pro 9015", "hp9015", true},
    {"HP DeskJet 2720", "hp2720", true}, {"HP LaserJet M607", "hpm607", false},
};
const Model otherModels[] = {
    {"Canon iR-ADV C5535", "canon5535", true}, {"Canon imageRUNNER 2520", "canon2520", false},
    {"Brother HL-L2350DW", "brother2350", false}, {"Brother MFC-L8900CDW", "brother8900", true},
    {"Xerox VersaLink C405", "xerox405", true}, {"Xerox WorkCentre 5335", "xerox5335", false},
    {"Kyocera ECOSYS P3145dn", "kyo3145", false}, {"Lexmark MS810", "lex810", false},
    {"Ricoh MP C3004", "ricoh3004", true}, {"Konica Minolta bizhub C258", "bizhub258", true},
    {"Epson WF-C5790", "epson5790", true}, {"Zebra ZT410", "zebra410", false},
};
const char *const departments[] = {"Finance", "Sales", "Reception", "Library", "Warehouse", "Marketing",
                                   "Legal", "Design Studio", "Accounts", "Lab", "Payroll", "Registry"};
const char *const deptShort[] = {"fin", "sal", "rec", "lib", "wh", "mkt", "leg", "des", "acc", "lab", "pay", "reg"};
const char *const servers[] = {"SRV01", "SRV03", "PRINTSRV", "FS-EAST", "FS-WEST", "CORP-PS2"};
const char *const localPorts[] = {"LPT1:", "USB001", "USB002", "COM1:", "DOT4_001"};
const char *const users[] = {"jsmith", "mgarcia", "lchen", "akowalski", "rossi.m", "o.brien", "nakamura"};

class Writer {
public:
    explicit Writer(QM6ConnectionPrivate *d) : d(d) {}
    QM6ErrorPtr Prepare()
    {
        QM6ErrorPtr e;
        if ((e = d->Prepare(printer, QStringLiteral(
                 "INSERT INTO printers (printer_key, name, device, host, port, model, location, serial_no, account_no,"
                 " connection_type, device_type, profile_id, is_color, is_duplex, auto_merge, am_device, am_host, am_port,"
                 " am_model, am_connection_types, bw_total, color_total, modified_by, modified_on)"
                 " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING printer_id"),
                 what)))
            return e;
        if ((e = d->Prepare(alias, QStringLiteral(
                 "INSERT INTO merged_printers (alias_key, device_name, host, port, connection_type, merge_type, owner_id)"
                 " VALUES (?, ?, ?, ?, ?, ?, ?)"), what)))
            return e;
        return d->Prepare(job, QStringLiteral(
            "INSERT INTO print_jobs (seen_on_key, printer_id, pages, color_pages, user_name, printed_on)"
            " VALUES (?, ?, ?, ?, ?, ?)"), what);
    }
    QM6ErrorPtr Exec(QSqlQuery &q) { return d->Exec(q, what); }

    QM6ConnectionPrivate *d;
    QSqlQuery printer, alias, job;
    const QString what = QStringLiteral("Writing the generated site");
};

QString mac(std::mt19937 &rng)
{
    static const quint8 vendors[][3] = {{0x00, 0x1B, 0x78}, {0x00, 0x00, 0x48}, {0x00, 0x80, 0x77}, {0x3C, 0x2A, 0xF4}};
    const auto &v = vendors[rng() % 4];
    return QStringLiteral("%1-%2-%3-%4-%5-%6")
        .arg(v[0], 2, 16, QLatin1Char('0')).arg(v[1], 2, 16, QLatin1Char('0')).arg(v[2], 2, 16, QLatin1Char('0'))
        .arg(rng() % 256, 2, 16, QLatin1Char('0')).arg(rng() % 256, 2, 16, QLatin1Char('0'))
        .arg(rng() % 256, 2, 16, QLatin1Char('0')).toUpper();
}

struct Placement {
    QString host, port, device;
    int type;
};

Placement place(std::mt19937 &rng, const Model &m, int dept, qint64 n)
{
    Placement p;
    p.type = int(rng() % 3) + 1;
    if (p.type == 1) {
        p.host = QString::fromLatin1(servers[rng() % std::size(servers)]);
        p.port = QStringLiteral("\\\\%1\\%2-%3").arg(p.host.toLower(), QLatin1String(m.share), QLatin1String(deptShort[dept]));
        if (n > 1)
            p.port += QString::number(n);
    } else if (p.type == 2) {
        p.port = QStringLiteral("10.%1.%2.%3:9100").arg(rng() % 8 + 1).arg(rng() % 250 + 1).arg(rng() % 250 + 2);
        p.host = rng() % 2 ? mac(rng) : QStringLiteral("prn-%1-%2").arg(QLatin1String(deptShort[dept])).arg(n);
    } else {
        p.host = QStringLiteral("WS-%1").arg(rng() % 9000 + 100, 4, 10, QLatin1Char('0'));
        p.port = QString::fromLatin1(localPorts[rng() % std::size(localPorts)]);
    }
    p.device = QString::fromLatin1(m.name);
    return p;
}
}

QM6ErrorPtr QM6SiteGenerator::Generate(QM6Connection *connection, const Options &o, qint64 *recordsWritten)
{
    QM6ConnectionPrivate *d = QM6ConnectionPrivate::get(connection);
    if (!d)
        return QM6NoConnectionError();
    if (!std::isfinite(o.aliasesPerPrinter) || o.aliasesPerPrinter < 0 || o.aliasesPerPrinter > MaxAliasesPerPrinter)
        return MakeQM6Error(QStringLiteral("The number of merged printers per printer must lie between 0 and %1.")
                                .arg(MaxAliasesPerPrinter),
                            QM6Error::ErrInvalid);
    if (o.printers < 0)
        return MakeQM6Error(QStringLiteral("The number of printers cannot be negative."), QM6Error::ErrInvalid);
    std::mt19937 rng(o.seed);
    if (QM6ErrorPtr e = connection->BeginTransaction())
        return e;
    auto fail = [&](QM6ErrorPtr e) {
        connection->RollbackTransaction();
        return e;
    };
    if (QM6ErrorPtr e = d->RequireChangeRight(QStringLiteral("Writing a generated site")))
        return fail(e);
    // A large site inserts into name indexes in random order: a big page cache keeps
    // that in memory until the commit.
    if (!connection->IsPostgreSQL())
        d->ExecSql(QStringLiteral("PRAGMA cache_size=-131072"), QStringLiteral("Sizing the cache"));
    Writer w(d);
    if (QM6ErrorPtr e = w.Prepare())
        return fail(e);

    // Track profiles: the standard set when the site has none yet.
    QList<qint64> profileIds;
    if (QM6ErrorPtr e = QM6TrackProfiles::EnsureStandard(d, &profileIds))
        return fail(e);
    if (o.demo) {
        // A user who may look but not change, for the console's read-only view. The site's
        // creator holds every right already.
        const char *const auditor[] = {
            "INSERT INTO users (user_name, full_name) SELECT 'auditor', 'Auditor'"
            " WHERE NOT EXISTS (SELECT 1 FROM users WHERE user_name = 'auditor')",
            "INSERT INTO user_permissions (user_id, code) SELECT u.user_id, p.code FROM users u, permissions p"
            " WHERE u.user_name = 'auditor' AND p.code IN (128, 130)"
            " AND NOT EXISTS (SELECT 1 FROM user_permissions x WHERE x.user_id = u.user_id AND x.code = p.code)",
        };
        for (const char *sql : auditor)
            if (QM6ErrorPtr e = d->ExecSql(QString::fromLatin1(sql), w.what))
                return fail(e);
    }

    const QString tag = QString::number(QDateTime::currentMSecsSinceEpoch(), 36).toUpper();
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    qint64 written = 0, aliasNo = 0;
    QList<int> deptCount(std::size(departments), 0);
    for (qint64 i = 0; i < o.printers; ++i) {
        const bool jet = rng() % 4 == 0;
        const Model &m = jet ? jetModels[rng() % std::size(jetModels)] : otherModels[rng() % std::size(otherModels)];
        const int dept = int(rng() % std::size(departments));
        const int n = ++deptCount[dept];
        const Placement p = place(rng, m, dept, n);
        const bool color = m.color;
        const qint64 bw = rng() % 250000, col = color ? rng() % 90000 : 0;
        const bool autoMerge = o.demo ? (i % 25 == 7) : (rng() % 50 == 0);
        const QVariant nullText{QMetaType(QMetaType::QString)};
        int b = 0;
        w.printer.bindValue(b++, o.demo ? QStringLiteral("PRN-%1").arg(i + 1, 4, 10, QLatin1Char('0'))
                                        : QStringLiteral("G%1-%2").arg(tag).arg(i + 1));
        w.printer.bindValue(b++, QStringLiteral("%1 - %2 %3").arg(QLatin1String(m.name), QLatin1String(departments[dept])).arg(n));
        w.printer.bindValue(b++, p.type == 3 ? QVariant(p.device) : nullText);
        w.printer.bindValue(b++, p.host);
        w.printer.bindValue(b++, p.port);
        w.printer.bindValue(b++, QString::fromLatin1(m.name));
        w.printer.bindValue(b++, QStringLiteral("%1, floor %2").arg(QLatin1String(departments[dept])).arg(rng() % 6));
        w.printer.bindValue(b++, QStringLiteral("SN%1").arg(rng() % 100000000, 8, 10, QLatin1Char('0')));
        w.printer.bindValue(b++, rng() % 3 ? QVariant(QStringLiteral("ACC-%1").arg(1000 + dept * 10)) : nullText);
        w.printer.bindValue(b++, p.type);
        w.printer.bindValue(b++, color ? 3 : int(rng() % 2 + 1));
        w.printer.bindValue(b++, rng() % 8 ? QVariant(profileIds[int(rng() % profileIds.size())]) : QVariant(QMetaType(QMetaType::LongLong)));
        w.printer.bindValue(b++, color ? 1 : 0);
        w.printer.bindValue(b++, int(rng() % 2));
        w.printer.bindValue(b++, autoMerge ? 1 : 0);
        w.printer.bindValue(b++, autoMerge ? QVariant(QString::fromLatin1(m.name)) : nullText);
        w.printer.bindValue(b++, autoMerge ? QVariant(p.host) : nullText);
        w.printer.bindValue(b++, autoMerge ? QVariant(QString()) : nullText);
        w.printer.bindValue(b++, autoMerge ? QVariant(QString::fromLatin1(m.name)) : nullText);
        w.printer.bindValue(b++, autoMerge ? (1 << p.type) | (1 << 3) : 0);
        w.printer.bindValue(b++, bw);
        w.printer.bindValue(b++, col);
        w.printer.bindValue(b++, d->identity);
        w.printer.bindValue(b++, (now - qint64(rng() % (86400 * 400))) * 1000);
        if (QM6ErrorPtr e = w.Exec(w.printer))
            return fail(e);
        w.printer.next();
        const qint64 id = w.printer.value(0).toLongLong();
        w.printer.finish();
        ++written;

        auto addJob = [&](const QString &key, qint64 pages) -> QM6ErrorPtr {
            w.job.bindValue(0, key);
            w.job.bindValue(1, id);
            w.job.bindValue(2, pages);
            w.job.bindValue(3, color ? pages / 2 : 0);
            w.job.bindValue(4, QString::fromLatin1(users[rng() % std::size(users)]));
            w.job.bindValue(5, now - qint64(rng() % (86400 * 90)));
            return w.Exec(w.job);
        };
        if (i % 4 == 0)
            if (QM6ErrorPtr e = addJob(w.printer.boundValue(0).toString(), rng() % 20 + 1))
                return fail(e);

        const qint64 aliases = qint64((i + 1) * o.aliasesPerPrinter) - qint64(i * o.aliasesPerPrinter);
        for (qint64 a = 0; a < aliases; ++a) {
            const Placement ap = place(rng, m, dept, n);
            const QString key = o.demo ? QStringLiteral("ALS-%1").arg(++aliasNo, 4, 10, QLatin1Char('0'))
                                       : QStringLiteral("A%1-%2").arg(tag).arg(++aliasNo);
            w.alias.bindValue(0, key);
            w.alias.bindValue(1, QStringLiteral("%1 on %2").arg(QLatin1String(m.name), ap.host));
            w.alias.bindValue(2, ap.host);
            w.alias.bindValue(3, ap.port);
            w.alias.bindValue(4, ap.type);
            w.alias.bindValue(5, rng() % 3 == 0 ? 2 : 1);
            w.alias.bindValue(6, id);
            if (QM6ErrorPtr e = w.Exec(w.alias))
                return fail(e);
            if (QM6ErrorPtr e = addJob(key, rng() % 10 + 1))
                return fail(e);
            ++written;
        }
    }
    w.printer = QSqlQuery();
    w.alias = QSqlQuery();
    w.job = QSqlQuery();
    if (QM6ErrorPtr e = connection->CommitTransaction())
        return e;
    // A bulk load leaves PostgreSQL without statistics and with table pages it has not
    // looked at: the first lists would be planned for an empty table and visit every row.
    QM6Schema::RefreshStatistics(d);
    if (recordsWritten)
        *recordsWritten = written;
    return {};
}
