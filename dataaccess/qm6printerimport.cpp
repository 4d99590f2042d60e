#include "qm6printerimport.h"
#include "qm6connectionprivate.h"
#include "qm6csv.h"
#include "qm6fieldrules.h"
#include "qm6historytext.h"
#include "qm6importrules.h"
#include "qm6importwriter.h"
#include "qm6printerexport.h"
#include "qm6printerfields.h"
#include "qm6printerrecord.h"
#include "qm6texts.h"

#include <QFile>

namespace {

using F = QM6PrinterFields;

// What the site holds under the keys a file may name.
struct Site {
    QHash<QString, QM6PrinterRecord> printers;   // live printers by key, as they were read
    QHash<QString, qint32> deleted;              // keys of deleted printers
    QHash<QString, qint32> aliasOwners;          // keys of merged printers, with their printer
};

QM6ErrorPtr readSite(QM6Connection *connection, QM6ConnectionPrivate *d, Site *site)
{
    if (QM6ErrorPtr e = QM6PrinterExport::ForEachPrinter(connection, [site](const QM6PrinterRecord &p) {
            site->printers.insert(p.m_printerKey, p);
        }))
        return e;
    const QString what = QM6Texts::tr("Reading the keys of deleted and merged printers");
    const std::pair<const char *, QHash<QString, qint32> *> lists[] = {
        {"SELECT printer_key, printer_id FROM printers WHERE deleted = 1", &site->deleted},
        {"SELECT alias_key, owner_id FROM merged_printers", &site->aliasOwners}};
    for (const auto &[sql, into] : lists) {
        QSqlQuery q;
        if (QM6ErrorPtr e = d->Prepare(q, QString::fromLatin1(sql), what))
            return e;
        q.setForwardOnly(true);
        if (QM6ErrorPtr e = d->Exec(q, what))
            return e;
        while (q.next())
            into->insert(q.value(0).toString(), q.value(1).toInt());
    }
    return {};
}

// Why a key names no printer that a record may change.
QString unknownKey(const Site &site, const QString &key)
{
    if (site.deleted.contains(key))
        return QM6Texts::tr("the printer with the key \"%1\" was deleted; a deleted printer cannot be changed").arg(key);
    if (site.aliasOwners.contains(key))
        return QM6Texts::tr("\"%1\" is the key of a merged printer (merged into printer %2), not of a printer; merged "
                            "printers are not imported").arg(key).arg(site.aliasOwners.value(key));
    return QM6Texts::tr("the site has no printer with the key \"%1\"; to add a printer, leave its key empty").arg(key);
}

// The record's values put into p; why not when one is not a value of its field.
QString readValues(const QStringList &fields, QM6PrinterRecord *p)
{
    for (int id = 0; id < F::Count; ++id) {
        const QString &text = fields[id + 1];
        const QString name = QLatin1String(F::Info(id).name);
        if (id == F::BWTotal || id == F::ColorTotal) {
            qint32 total = 0;
            if (!fieldrules::ReadPageTotal(text, total))
                return QM6Texts::tr("%1 \"%2\" is not a whole number from 0 to 2,147,483,647 written in digits only").arg(name, text);
        }
        if (F::Set(*p, id, text))
            continue;
        switch (F::Info(id).kind) {
        case F::Flag:
            return QM6Texts::tr("%1 \"%2\" is neither 0 nor 1").arg(name, text);
        case F::TypeSet:
            return QM6Texts::tr("%1 \"%2\" is not a list of connection type codes separated by spaces").arg(name, text);
        default:
            return QM6Texts::tr("%1 \"%2\" is not a number written in digits only").arg(name, text);
        }
    }
    return QString();
}

} // namespace

QM6ErrorPtr QM6PrinterImport::Run(QM6Connection *connection, const QString &path, bool dryRun,
                                  const std::function<void(const QString &)> &report, Outcome *outcome)
{
    *outcome = Outcome();
    QM6ConnectionPrivate *d = QM6ConnectionPrivate::get(connection);
    if (!d)
        return QM6NoConnectionError();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return MakeQM6Error(QM6Texts::tr("%1 cannot be read: %2.").arg(path, file.errorString()), QM6Error::ErrInvalid);
    QM6Csv::Reader reader(file.readAll());
    file.close();
    const QStringList header = QM6PrinterExport::Header();
    QM6Csv::Reader::Record record;
    if (!reader.Next(&record) || !record.error.isEmpty() || record.fields != header)
        return MakeQM6Error(QM6Texts::tr("%1 is not a printer list written by \"qm6data export\": its first line must name "
                                         "its columns, %2. Nothing was changed.").arg(path, header.join(QLatin1Char(','))),
                            QM6Error::ErrInvalid);
    const QString what = QM6Texts::tr("Importing %1").arg(path);
    if (!dryRun)
        if (QM6ErrorPtr e = d->RequireChangeRight(what))
            return e;
    QM6ImportRules::Lists lists;
    if (QM6ErrorPtr e = QM6ImportRules::ReadLists(d, &lists))
        return e;
    Site site;
    if (QM6ErrorPtr e = readSite(connection, d, &site))
        return e;

    QM6ImportWriter writer(d);
    // What is said of the printers stored since the last commit waits for the commit, and what
    // is said of the records after them waits with it, so that the report keeps the file's order.
    enum Said { Refused, Changed, Added };
    struct Line {
        QString line, text;
        Said said;
    };
    QList<Line> waiting;
    auto say = [&](const QString &line, const QString &text, Said said) {
        if (waiting.isEmpty() && said == Refused) {
            ++outcome->refused;
            report(text);
        } else {
            waiting.append({line, text, said});
        }
    };
    auto commit = [&] {
        const QM6ErrorPtr e = writer.Commit();
        for (const Line &l : std::as_const(waiting)) {
            const bool lost = e && l.said != Refused;
            report(lost ? QM6Texts::tr("line %1: refused: %2").arg(l.line, e->Description()) : l.text);
            ++(lost || l.said == Refused ? outcome->refused : l.said == Added ? outcome->added : outcome->changed);
        }
        waiting.clear();
    };
    QHash<QString, qint64> seenOn;   // the line each key was first seen on
    while (reader.Next(&record)) {
        if (writer.CommitDue())
            commit();
        const QString line = QString::number(record.line);
        auto refuse = [&](const QString &why) { say(line, QM6Texts::tr("line %1: refused: %2").arg(line, why), Refused); };
        if (!record.error.isEmpty()) {
            refuse(record.error);
            continue;
        }
        if (record.fields.size() != header.size()) {
            refuse(QM6Texts::tr("it has %1 fields; the records of a printer list have %2, one for each column of its first line")
                       .arg(record.fields.size()).arg(header.size()));
            continue;
        }
        const QString key = record.fields[0];
        const QM6PrinterRecord *before = nullptr;
        QM6PrinterRecord after;
        if (!key.isEmpty()) {
            if (seenOn.contains(key)) {
                refuse(QM6Texts::tr("the printer with the key \"%1\" is on line %2 already").arg(key).arg(seenOn.value(key)));
                continue;
            }
            seenOn.insert(key, record.line);
            const auto it = site.printers.constFind(key);
            if (it == site.printers.constEnd()) {
                refuse(unknownKey(site, key));
                continue;
            }
            before = &*it;
            after = *it;
        }
        if (const QString why = readValues(record.fields, &after); !why.isEmpty()) {
            refuse(why);
            continue;
        }
        if (before && F::Diff(*before, after, true).isEmpty()) {
            ++outcome->unchanged;
            continue;
        }
        if (const QString why = QM6ImportRules::Check(&after, before, lists); !why.isEmpty()) {
            refuse(why);
            continue;
        }
        const QList<QM6HistoryChange> changes = before ? F::Diff(*before, after, true) : F::Values(after);
        if (changes.isEmpty()) {   // what differed was only the spaces that the rules trim
            ++outcome->unchanged;
            continue;
        }
        const QString printer = before ? QM6Texts::tr("printer \"%1\" (key %2)").arg(before->m_name, key) : QString();
        if (dryRun) {
            report(before ? QM6Texts::tr("line %1: %2 would change: %3").arg(line, printer, QM6HistoryText::Changes(changes))
                          : QM6Texts::tr("line %1: a new printer would be added: %2").arg(line, QM6HistoryText::Changes(changes, true)));
            ++(before ? outcome->changed : outcome->added);
        } else if (const QM6ErrorPtr e = writer.Store(&after, before, changes)) {
            refuse(e->Description());
        } else {
            say(line,
                before ? QM6Texts::tr("line %1: %2 changed: %3").arg(line, printer, QM6HistoryText::Changes(changes))
                       : QM6Texts::tr("line %1: printer \"%2\" added as number %3 (key %4): %5")
                             .arg(line, after.m_name, QString::number(after.m_printerId), after.m_printerKey,
                                  QM6HistoryText::Changes(changes, true)),
                before ? Changed : Added);
        }
    }
    commit();
    return {};
}
