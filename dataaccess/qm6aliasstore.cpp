#include "qm6aliasstore.h"
#include "qm6connectionprivate.h"
#include "qm6historywriter.h"
#include "qm6printerrecord.h"
#include "qm6printerstore.h"
#include "qm6rowlocks.h"
#include "qm6schema.h"
#include "qm6texts.h"

#include <limits>

namespace {

QVariant optional(const QString &v)
{
    return v.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(v);
}

const QString kNothingMerged = QM6Texts::tr("Nothing was merged: reload the list and try again.");
const QString kNothingMoved = QM6Texts::tr("Nothing was moved: reload the list and try again.");
const QString kNothingRemoved = QM6Texts::tr("Nothing was removed: reload the list and try again.");

// Runs one statement of a change; expected >= 0 is the number of rows it must change.
QM6ErrorPtr step(QM6ConnectionPrivate *d, const QString &sql, const QVariantHash &values, const QString &what,
                 int expected = -1, int *changed = nullptr)
{
    QM6KeptStatement q;
    if (QM6ErrorPtr e = d->Prepare(q, sql, what))
        return e;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        if (sql.contains(it.key()))
            q->bindValue(it.key(), it.value());
    if (QM6ErrorPtr e = d->Exec(*q, what))
        return e;
    if (changed)
        *changed = q->numRowsAffected();
    if (expected >= 0 && q->numRowsAffected() != expected)
        return MakeQM6Error(QM6Texts::tr("%1 failed: a row changed under it although it was locked (%2 rows instead of %3). "
                                           "Nothing was changed.").arg(what).arg(q->numRowsAffected()).arg(expected),
                            QM6Error::ErrConflict);
    return {};
}

} // namespace

QM6ErrorPtr QM6AliasStore::AddAlias(QM6PrinterRecord *p, QM6ConnectionPrivate *d, const QString &key, const QString &device,
                                    const QString &host, const QString &port, qint32 connectionType)
{
    const struct { const char *field; const QString &v; int max; } checks[] = {
        {"key", key, QM6Schema::KeyLength}, {"device", device, QM6Schema::LongTextLength},
        {"host", host, QM6Schema::HostLength}, {"port", port, QM6Schema::PortLength}};
    for (const auto &ch : checks)
        if (qsizetype n = ch.v.toUcs4().size(); n > ch.max)
            return MakeQM6Error(QM6Texts::tr("The merged printer's %1 is %2 characters long; at most %3 are allowed. Nothing was stored.")
                                    .arg(QLatin1String(ch.field)).arg(n).arg(ch.max),
                                QM6Error::ErrTooLong);
    const QString what = QM6Texts::tr("Merging \"%1\" into %2").arg(key, QM6PrinterStore::Label(p));
    QM6WriteScope scope(d);
    if (QM6ErrorPtr e = scope.Begin())
        return e;
    auto run = [&]() -> QM6ErrorPtr {
        if (QM6ErrorPtr e = d->RequireChangeRight(what))
            return e;
        qint32 source = -1;
        if (QM6ErrorPtr e = QM6RowLocks::LivePrinterByKey(d, key, &source, what))
            return e;
        if (source >= 0)
            return MergePrinter(p, d, source, key, device, host, port, connectionType, what);
        // Not a printer: a merged printer of some printer is moved here instead.
        qint32 owner = -1;
        if (QM6ErrorPtr e = QM6RowLocks::AliasOwner(d, key, false, &owner, what))
            return e;
        if (owner < 0)
            return MakeQM6Error(QM6Texts::tr("There is no printer or merged printer with the key \"%1\".").arg(key),
                                QM6Error::ErrNotFound);
        qint32 moved = 0;
        return MoveIn(d, key, p->m_printerId, p->m_printerKey, p->m_storedName, moved, what);
    };
    return scope.End(run());
}

QM6ErrorPtr QM6AliasStore::MergePrinter(QM6PrinterRecord *p, QM6ConnectionPrivate *d, qint32 source, const QString &key,
                                        const QString &device, const QString &host, const QString &port,
                                        qint32 connectionType, const QString &what)
{
    const qint32 target = p->m_printerId;
    if (source == target)
        return MakeQM6Error(QM6Texts::tr("A printer cannot be merged into itself (key \"%1\").").arg(key), QM6Error::ErrInvalid);
    QHash<qint32, QM6LockedPrinter> rows;
    if (QM6ErrorPtr e = QM6RowLocks::LockPrinters(d, {target, source}, &rows, what))
        return e;
    d->AfterLocks();
    const auto t = rows.constFind(target), s = rows.constFind(source);
    if (t == rows.constEnd() || t->deleted)
        return QM6RowLocks::Changed(d, t == rows.constEnd() ? nullptr : &*t, target, p->m_printerKey, p->m_storedName, kNothingMerged);
    if (s == rows.constEnd() || s->deleted)
        return QM6RowLocks::Changed(d, s == rows.constEnd() ? nullptr : &*s, source, key, QString(), kNothingMerged);
    const qint64 bw = t->bw + s->bw, color = t->color + s->color;
    if (bw > std::numeric_limits<qint32>::max() || color > std::numeric_limits<qint32>::max())
        return MakeQM6Error(QM6Texts::tr("The merged page totals would exceed %1; nothing was merged.")
                                .arg(std::numeric_limits<qint32>::max()), QM6Error::ErrInvalid);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const QVariantHash values{{":target", target}, {":source", source}, {":bw", s->bw}, {":cl", s->color},
                              {":by", d->identity}, {":on", now}, {":key", key}, {":device", optional(device)},
                              {":host", optional(host)}, {":port", optional(port)}, {":ctype", connectionType}};
    // The source's merged printers and jobs come along; its own key becomes a merged printer.
    const struct { const char *sql; int expected; } steps[] = {
        {"UPDATE merged_printers SET owner_id = :target WHERE owner_id = :source", -1},
        {"UPDATE print_jobs SET printer_id = :target WHERE printer_id = :source", -1},
        {"UPDATE printers SET bw_total = bw_total + :bw, color_total = color_total + :cl, row_version = row_version + 1,"
         " modified_by = :by, modified_on = :on WHERE printer_id = :target AND deleted = 0", 1},
        {"DELETE FROM printers WHERE printer_id = :source AND deleted = 0", 1},
        {"INSERT INTO merged_printers (alias_key, device_name, host, port, connection_type, merge_type, owner_id)"
         " VALUES (:key, :device, :host, :port, :ctype, 1, :target)", 1},
    };
    for (const auto &st : steps)
        if (QM6ErrorPtr e = step(d, QString::fromLatin1(st.sql), values, what, st.expected))
            return e;
    // The source's history ends here; the target's tells what it took in.
    QM6HistoryEntry merged = QM6HistoryWriter::Make(d, QM6HistoryEntry::MergedInto, source, s->key, now);
    merged.otherId = target;
    merged.otherKey = t->key;
    merged.otherName = t->name;
    QM6HistoryEntry received = QM6HistoryWriter::Make(d, QM6HistoryEntry::MergeReceived, target, t->key, now);
    received.otherId = source;
    received.otherKey = s->key;
    received.otherName = s->name;
    const struct { const char *field; qint64 was, is; } totals[] = {{"bw_total", t->bw, bw}, {"color_total", t->color, color}};
    for (const auto &v : totals)
        if (v.was != v.is)
            received.changes.append({QLatin1String(v.field), QString::number(v.was), QString::number(v.is)});
    for (const QM6HistoryEntry &entry : {merged, received})
        if (QM6ErrorPtr e = QM6HistoryWriter::Record(d, entry, what))
            return e;
    p->m_bwTotal = qint32(bw);
    p->m_colorTotal = qint32(color);
    // The caller's copy stays current only if nobody else changed the printer since it was loaded.
    if (p->m_rowVersion == t->version)
        p->m_rowVersion = t->version + 1;
    p->m_modifiedBy = d->identity;
    p->m_modifiedOn = QDateTime::fromMSecsSinceEpoch(now);
    return {};
}

QM6ErrorPtr QM6AliasStore::MoveIn(QM6ConnectionPrivate *d, const QString &aliasKey, qint32 targetId, const QString &targetKey,
                                  const QString &targetName, qint32 &count, const QString &what)
{
    qint32 owner = -1;
    QHash<qint32, QM6LockedPrinter> rows;
    if (QM6ErrorPtr e = QM6RowLocks::LockAlias(d, aliasKey, {targetId}, &owner, &rows, what))
        return e;
    if (owner < 0)
        return MakeQM6Error(QM6Texts::tr("The merged printer \"%1\" does not exist.").arg(aliasKey), QM6Error::ErrNotFound);
    const auto t = rows.constFind(targetId);
    if (t == rows.constEnd() || t->deleted)
        return QM6RowLocks::Changed(d, t == rows.constEnd() ? nullptr : &*t, targetId, targetKey, targetName, kNothingMoved);
    const QVariantHash values{{":target", targetId}, {":key", aliasKey}, {":owner", owner}};
    int moved = 0;
    if (QM6ErrorPtr e = step(d, QStringLiteral("UPDATE print_jobs SET printer_id = :target WHERE seen_on_key = :key AND printer_id = :owner"),
                             values, what, -1, &moved))
        return e;
    if (QM6ErrorPtr e = step(d, QStringLiteral("UPDATE merged_printers SET owner_id = :target, merge_type = 1"
                                               " WHERE alias_key = :key AND owner_id = :owner"), values, what, 1))
        return e;
    count = moved;
    const auto o = rows.constFind(owner);
    if (owner == targetId || o == rows.constEnd())
        return {};   // it stays where it was
    // Both printers tell where the merged printer and its jobs went.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QM6HistoryEntry out = QM6HistoryWriter::Make(d, QM6HistoryEntry::AliasMovedOut, owner, o->key, now);
    out.otherId = targetId;
    out.otherKey = t->key;
    out.otherName = t->name;
    out.aliasKey = aliasKey;
    QM6HistoryEntry in = QM6HistoryWriter::Make(d, QM6HistoryEntry::AliasMovedIn, targetId, t->key, now);
    in.otherId = owner;
    in.otherKey = o->key;
    in.otherName = o->name;
    in.aliasKey = aliasKey;
    for (const QM6HistoryEntry &entry : {out, in})
        if (QM6ErrorPtr e = QM6HistoryWriter::Record(d, entry, what))
            return e;
    return {};
}

QM6ErrorPtr QM6AliasStore::MoveAlias(QM6ConnectionPrivate *d, const QString &aliasKey, qint32 targetId, qint32 &count)
{
    count = 0;
    const QString what = QM6Texts::tr("Moving merged printer \"%1\"").arg(aliasKey);
    QM6WriteScope scope(d);
    if (QM6ErrorPtr e = scope.Begin())
        return e;
    qint32 moved = 0;
    auto run = [&]() -> QM6ErrorPtr {
        if (QM6ErrorPtr e = d->RequireChangeRight(what))
            return e;
        return MoveIn(d, aliasKey, targetId, QString(), QString(), moved, what);
    };
    QM6ErrorPtr e = scope.End(run());
    if (!e)
        count = moved;
    return e;
}

QM6ErrorPtr QM6AliasStore::DeleteAlias(QM6PrinterRecord *p, QM6ConnectionPrivate *d, const QString &aliasKey, qint32 &count)
{
    count = 0;
    const QString what = QM6Texts::tr("Removing merged printer \"%1\"").arg(aliasKey);
    QM6WriteScope scope(d);
    if (QM6ErrorPtr e = scope.Begin())
        return e;
    qint32 jobs = 0;
    auto run = [&]() -> QM6ErrorPtr {
        if (QM6ErrorPtr e = d->RequireChangeRight(what))
            return e;
        auto gone = [&] {
            return MakeQM6Error(QM6Texts::tr("The merged printer \"%1\" no longer exists; it was removed already.").arg(aliasKey),
                                QM6Error::ErrNotFound, QM6Error::SeverityIgnorable);
        };
        qint32 owner = -1;
        QHash<qint32, QM6LockedPrinter> rows;
        if (QM6ErrorPtr e = QM6RowLocks::LockAlias(d, aliasKey, {}, &owner, &rows, what))
            return e;
        if (owner < 0)
            return gone();
        if (p->m_printerId > 0 && owner != p->m_printerId)
            return MakeQM6Error(QM6Texts::tr("The merged printer \"%1\" now belongs to %2, not to %3. %4")
                                    .arg(aliasKey, QM6RowLocks::Label(d, owner), QM6PrinterStore::Label(p), kNothingRemoved),
                                QM6Error::ErrConflict);
        // Its jobs stay recorded and keep counting for the printer they were merged into.
        QSqlQuery q;
        if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("SELECT COUNT(*) FROM print_jobs WHERE seen_on_key = :key AND printer_id = :owner"), what))
            return e;
        q.bindValue(QStringLiteral(":key"), aliasKey);
        q.bindValue(QStringLiteral(":owner"), owner);
        if (QM6ErrorPtr e = d->Exec(q, what))
            return e;
        jobs = q.next() ? q.value(0).toInt() : 0;
        if (QM6ErrorPtr e = step(d, QStringLiteral("DELETE FROM merged_printers WHERE alias_key = :key AND owner_id = :owner"),
                                 {{":key", aliasKey}, {":owner", owner}}, what, 1))
            return e;
        const auto o = rows.constFind(owner);
        QM6HistoryEntry removed = QM6HistoryWriter::Make(d, QM6HistoryEntry::AliasRemoved, owner,
                                                         o == rows.constEnd() ? QString() : o->key,
                                                         QDateTime::currentMSecsSinceEpoch());
        removed.aliasKey = aliasKey;
        return QM6HistoryWriter::Record(d, removed, what);
    };
    QM6ErrorPtr e = scope.End(run());
    if (!e)
        count = jobs;
    return e;
}
