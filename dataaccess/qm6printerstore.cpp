#include "qm6printerstore.h"
#include "qm6connectionprivate.h"
#include "qm6historywriter.h"
#include "qm6printerfields.h"
#include "qm6printerrecord.h"
#include "qm6rowlocks.h"
#include "qm6schema.h"
#include "qm6texts.h"

#include <QUuid>

namespace {

QVariant optional(const QString &v)
{
    return v.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(v);
}

QM6ErrorPtr checkLength(const QString &field, const QString &v, int max)
{
    // Characters, not UTF-16 units: only a text with more units than allowed may be too long.
    if (v.size() <= max)
        return {};
    const qsizetype n = v.toUcs4().size();
    if (n <= max)
        return {};
    return MakeQM6Error(QM6Texts::tr("The %1 is %2 characters long; at most %3 are allowed. Nothing was stored.")
                            .arg(field).arg(n).arg(max),
                        QM6Error::ErrTooLong);
}

QM6ErrorPtr notFound(qint32 id)
{
    return MakeQM6Error(QM6Texts::tr("Printer %1 does not exist.").arg(id), QM6Error::ErrNotFound);
}

const QString kNotSaved = QM6Texts::tr("Your changes were not saved, so that theirs are not overwritten: open the "
                                         "printer again and repeat your changes.");

}

void QM6PrinterStore::BindColumns(QSqlQuery &q, const QM6PrinterRecord *p, const QString &by, qint64 now)
{
    q.bindValue(QStringLiteral(":name"), p->m_name.isNull() ? QStringLiteral("") : p->m_name);
    q.bindValue(QStringLiteral(":device"), optional(p->m_device));
    q.bindValue(QStringLiteral(":host"), optional(p->m_host));
    q.bindValue(QStringLiteral(":port"), optional(p->m_port));
    q.bindValue(QStringLiteral(":model"), optional(p->m_model));
    q.bindValue(QStringLiteral(":location"), optional(p->m_location));
    q.bindValue(QStringLiteral(":serial"), optional(p->m_serialNo));
    q.bindValue(QStringLiteral(":account"), optional(p->m_accountNo));
    q.bindValue(QStringLiteral(":ctype"), p->m_connectionType);
    q.bindValue(QStringLiteral(":dtype"), p->m_deviceType);
    q.bindValue(QStringLiteral(":profile"), p->m_printProfileId ? QVariant(p->m_printProfileId) : QVariant(QMetaType(QMetaType::Int)));
    q.bindValue(QStringLiteral(":color"), int(p->m_isColor));
    q.bindValue(QStringLiteral(":duplex"), int(p->m_isDuplex));
    q.bindValue(QStringLiteral(":pop"), int(p->m_popEarly));
    q.bindValue(QStringLiteral(":nocolor"), int(p->m_disableColorMode));
    q.bindValue(QStringLiteral(":am"), int(p->m_autoMerge));
    q.bindValue(QStringLiteral(":amdevice"), optional(p->m_rule.DeviceMatch()));
    q.bindValue(QStringLiteral(":amhost"), optional(p->m_rule.HostMatch()));
    q.bindValue(QStringLiteral(":amport"), optional(p->m_rule.PortMatch()));
    q.bindValue(QStringLiteral(":ammodel"), optional(p->m_rule.ModelMatch()));
    q.bindValue(QStringLiteral(":amtypes"), p->m_rule.ConnectionTypes());
    q.bindValue(QStringLiteral(":by"), by);
    q.bindValue(QStringLiteral(":on"), now);
}

QString QM6PrinterStore::NewKey()
{
    return QStringLiteral("P-") + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

QString QM6PrinterStore::InsertSql()
{
    return QStringLiteral(
        "INSERT INTO printers (printer_key, name, device, host, port, model, location, serial_no, account_no,"
        " connection_type, device_type, profile_id, is_color, is_duplex, pop_early, disable_color_mode, auto_merge,"
        " am_device, am_host, am_port, am_model, am_connection_types, modified_by, modified_on, bw_total, color_total)"
        " VALUES (:key, :name, :device, :host, :port, :model, :location, :serial, :account, :ctype, :dtype, :profile,"
        " :color, :duplex, :pop, :nocolor, :am, :amdevice, :amhost, :amport, :ammodel, :amtypes, :by, :on, :bw, :cl)"
        " RETURNING printer_id");
}

QString QM6PrinterStore::Label(const QM6PrinterRecord *p)
{
    if (p->m_printerId == -1)
        return QM6Texts::tr("the new printer \"%1\"").arg(p->m_name);
    if (!p->m_storedName.isEmpty())
        return QStringLiteral("printer \"%1\"").arg(p->m_storedName);
    return QM6Texts::tr("printer %1").arg(p->m_printerId);
}

QString QM6PrinterStore::Columns()
{
    return QStringLiteral(
        "printer_key, name, device, host, port, model, location, serial_no, account_no, connection_type,"
        " device_type, profile_id, is_color, is_duplex, pop_early, disable_color_mode, auto_merge, am_device, am_host,"
        " am_port, am_model, am_connection_types, bw_total, color_total, modified_by, modified_on, row_version");
}

void QM6PrinterStore::ReadRow(const QSqlQuery &q, int i, QM6PrinterRecord *p)
{
    p->m_printerKey = q.value(i++).toString();
    p->m_name = q.value(i++).toString();
    p->m_device = q.value(i++).toString();
    p->m_host = q.value(i++).toString();
    p->m_port = q.value(i++).toString();
    p->m_model = q.value(i++).toString();
    p->m_location = q.value(i++).toString();
    p->m_serialNo = q.value(i++).toString();
    p->m_accountNo = q.value(i++).toString();
    p->m_connectionType = q.value(i++).toInt();
    p->m_deviceType = q.value(i++).toInt();
    p->m_printProfileId = q.value(i++).toInt();
    p->m_isColor = q.value(i++).toInt() != 0;
    p->m_isDuplex = q.value(i++).toInt() != 0;
    p->m_popEarly = q.value(i++).toInt() != 0;
    p->m_disableColorMode = q.value(i++).toInt() != 0;
    p->m_autoMerge = q.value(i++).toInt() != 0;
    p->m_rule.SetDeviceMatch(q.value(i++).toString());
    p->m_rule.SetHostMatch(q.value(i++).toString());
    p->m_rule.SetPortMatch(q.value(i++).toString());
    p->m_rule.SetModelMatch(q.value(i++).toString());
    p->m_rule.SetConnectionTypes(q.value(i++).toInt());
    p->m_bwTotal = qint32(q.value(i++).toLongLong());
    p->m_colorTotal = qint32(q.value(i++).toLongLong());
    p->m_modifiedBy = q.value(i++).toString();
    const QVariant on = q.value(i++);
    p->m_modifiedOn = on.isNull() ? QDateTime() : QDateTime::fromMSecsSinceEpoch(on.toLongLong());
    p->m_rowVersion = q.value(i++).toLongLong();
    p->m_storedName = p->m_name;
}

QM6ErrorPtr QM6PrinterStore::Load(QM6PrinterRecord *p, QM6ConnectionPrivate *c, qint32 id)
{
    QM6ConnectionPrivate *d = c;
    const QString what = QM6Texts::tr("Loading printer %1").arg(id);
    static const QString sql = QStringLiteral("SELECT ") + Columns() +
                               QStringLiteral(" FROM printers WHERE printer_id = :id AND deleted = 0");
    QM6KeptStatement q;
    if (QM6ErrorPtr e = d->Prepare(q, sql, what))
        return e;
    q->bindValue(QStringLiteral(":id"), id);
    if (QM6ErrorPtr e = d->Exec(*q, what))
        return e;
    if (!q->next())
        return notFound(id);
    p->m_printerId = id;
    ReadRow(*q, 0, p);
    return {};
}

QM6ErrorPtr QM6PrinterStore::Validate(const QM6PrinterRecord *p)
{
    const struct { const char *field; const QString &v; int max; } checks[] = {
        {"printer name", p->m_name, QM6Schema::NameLength},
        {"port", p->m_port, QM6Schema::PortLength},
        {"host", p->m_host, QM6Schema::HostLength},
        {"device", p->m_device, QM6Schema::LongTextLength},
        {"model", p->m_model, QM6Schema::LongTextLength},
        {"location", p->m_location, QM6Schema::LongTextLength},
        {"serial number", p->m_serialNo, QM6Schema::LongTextLength},
        {"account number", p->m_accountNo, QM6Schema::LongTextLength},
    };
    for (const auto &ch : checks)
        if (QM6ErrorPtr e = checkLength(QString::fromLatin1(ch.field), ch.v, ch.max))
            return e;
    if (p->m_name.trimmed().isEmpty())
        return MakeQM6Error(QM6Texts::tr("The printer has no name. Nothing was stored."), QM6Error::ErrInvalid);
    return {};
}

QM6ErrorPtr QM6PrinterStore::CheckProfile(QM6ConnectionPrivate *d, qint32 profileId, const QString &what)
{
    if (profileId == 0)
        return {};
    QM6KeptStatement q;
    // The profile must stay while the printer comes to point at it.
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("SELECT 1 FROM track_profiles WHERE profile_id = :id") +
                                          (d->pg ? QStringLiteral(" FOR KEY SHARE") : QString()), what))
        return e;
    q->bindValue(QStringLiteral(":id"), profileId);
    if (QM6ErrorPtr e = d->Exec(*q, what))
        return e;
    if (!q->next())
        return MakeQM6Error(QM6Texts::tr("The track profile %1 does not exist; choose another one.").arg(profileId),
                            QM6Error::ErrNotFound);
    return {};
}

// The refusal for a printer whose row a statement found changed, as it is now.
QM6ErrorPtr QM6PrinterStore::ChangedNow(QM6PrinterRecord *p, QM6ConnectionPrivate *d, const QString &after, const QString &what)
{
    QHash<qint32, QM6LockedPrinter> rows;
    if (QM6ErrorPtr e = QM6RowLocks::LockPrinters(d, {p->m_printerId}, &rows, what))
        return e;
    const auto row = rows.constFind(p->m_printerId);
    return QM6RowLocks::Changed(d, row == rows.constEnd() ? nullptr : &*row, p->m_printerId, p->m_printerKey, p->m_storedName, after);
}

QM6ErrorPtr QM6PrinterStore::LockUnchanged(QM6PrinterRecord *p, QM6ConnectionPrivate *d, const QString &what,
                                           QM6LockedPrinter *locked)
{
    QHash<qint32, QM6LockedPrinter> rows;
    if (QM6ErrorPtr e = QM6RowLocks::LockPrinters(d, {p->m_printerId}, &rows, what))
        return e;
    d->AfterLocks();
    const auto row = rows.constFind(p->m_printerId);
    if (row == rows.constEnd())
        return QM6RowLocks::Changed(d, nullptr, p->m_printerId, p->m_printerKey, p->m_storedName, kNotSaved);
    if (row->deleted || row->version != p->m_rowVersion)
        return QM6RowLocks::Changed(d, &*row, p->m_printerId, p->m_printerKey, p->m_storedName, kNotSaved);
    if (locked)
        *locked = *row;
    return {};
}

QM6ErrorPtr QM6PrinterStore::InsertRow(const QM6PrinterRecord *p, QM6ConnectionPrivate *d, qint64 now, const QString &what,
                                       qint32 *id, QString *key)
{
    static const QString sql = InsertSql();
    *key = NewKey();
    QM6KeptStatement q;
    if (QM6ErrorPtr e = d->Prepare(q, sql, what))
        return e;
    BindColumns(*q, p, d->identity, now);
    q->bindValue(QStringLiteral(":key"), *key);
    q->bindValue(QStringLiteral(":bw"), p->m_bwTotal);
    q->bindValue(QStringLiteral(":cl"), p->m_colorTotal);
    if (QM6ErrorPtr e = d->Exec(*q, what))
        return e;
    if (!q->next())
        return d->DbError(what, QM6Texts::tr("the new printer's identifier did not come back"));
    *id = q->value(0).toInt();
    return {};
}

QM6ErrorPtr QM6PrinterStore::Insert(QM6PrinterRecord *p, QM6ConnectionPrivate *d, const QString &what)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    qint32 id = -1;
    QString key;
    if (QM6ErrorPtr e = InsertRow(p, d, now, what, &id, &key))
        return e;
    QM6HistoryEntry added = QM6HistoryWriter::Make(d, QM6HistoryEntry::Added, id, key, now);
    added.changes = QM6PrinterFields::Values(*p);
    if (QM6ErrorPtr e = QM6HistoryWriter::Record(d, added, what))
        return e;
    p->m_printerId = id;
    p->m_printerKey = key;
    p->m_rowVersion = 1;
    p->m_modifiedBy = d->identity;
    p->m_modifiedOn = QDateTime::fromMSecsSinceEpoch(now);
    return {};
}

QM6ErrorPtr QM6PrinterStore::Update(QM6PrinterRecord *p, QM6ConnectionPrivate *d, const QString &what)
{
    if (QM6ErrorPtr e = LockUnchanged(p, d, what))
        return e;
    // The row as stored (it is locked and unchanged since p was loaded), for the history.
    QM6PrinterRecord before;
    if (QM6ErrorPtr e = Load(&before, d, p->m_printerId))
        return e;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QM6KeptStatement q;
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral(
            "UPDATE printers SET name = :name, device = :device, host = :host, port = :port, model = :model,"
            " location = :location, serial_no = :serial, account_no = :account, connection_type = :ctype,"
            " device_type = :dtype, profile_id = :profile, is_color = :color, is_duplex = :duplex, pop_early = :pop,"
            " disable_color_mode = :nocolor, auto_merge = :am, am_device = :amdevice, am_host = :amhost,"
            " am_port = :amport, am_model = :ammodel, am_connection_types = :amtypes, modified_by = :by, modified_on = :on,"
            " row_version = row_version + 1 WHERE printer_id = :id AND row_version = :ver AND deleted = 0"), what))
        return e;
    BindColumns(*q, p, d->identity, now);
    q->bindValue(QStringLiteral(":id"), p->m_printerId);
    q->bindValue(QStringLiteral(":ver"), p->m_rowVersion);
    if (QM6ErrorPtr e = d->Exec(*q, what))
        return e;
    if (q->numRowsAffected() != 1)
        return ChangedNow(p, d, kNotSaved, what);
    QM6HistoryEntry saved = QM6HistoryWriter::Make(d, QM6HistoryEntry::Saved, p->m_printerId, before.m_printerKey, now);
    saved.changes = QM6PrinterFields::Diff(before, *p, false);
    if (QM6ErrorPtr e = QM6HistoryWriter::Record(d, saved, what))
        return e;
    ++p->m_rowVersion;
    p->m_modifiedBy = d->identity;
    p->m_modifiedOn = QDateTime::fromMSecsSinceEpoch(now);
    return {};
}

QM6ErrorPtr QM6PrinterStore::Save(QM6PrinterRecord *p, QM6ConnectionPrivate *c)
{
    if (QM6ErrorPtr e = Validate(p))
        return e;
    QM6ConnectionPrivate *d = c;
    const QString what = QM6Texts::tr("Saving %1").arg(Label(p));
    if (QM6ErrorPtr e = checkLength(QStringLiteral("user name"), d->identity, QM6Schema::UserLength))
        return e;
    QM6WriteScope scope(c);
    if (QM6ErrorPtr e = scope.Begin())
        return e;
    auto run = [&]() -> QM6ErrorPtr {
        if (QM6ErrorPtr e = d->RequireChangeRight(what))
            return e;
        if (QM6ErrorPtr e = CheckProfile(d, p->m_printProfileId, what))
            return e;
        return p->m_printerId == -1 ? Insert(p, d, what) : Update(p, d, what);
    };
    QM6ErrorPtr e = scope.End(run());
    if (!e)
        p->m_storedName = p->m_name;
    return e;
}

QM6ErrorPtr QM6PrinterStore::SaveTotals(QM6PrinterRecord *p, QM6ConnectionPrivate *c, qint32 bw, qint32 color)
{
    if (bw < 0 || color < 0)
        return MakeQM6Error(QM6Texts::tr("Page totals cannot be negative. Nothing was stored."), QM6Error::ErrInvalid);
    if (p->m_printerId == -1)
        return MakeQM6Error(QM6Texts::tr("Save the printer before its page totals."), QM6Error::ErrInvalid);
    QM6ConnectionPrivate *d = c;
    const QString what = QM6Texts::tr("Saving the page totals of %1").arg(Label(p));
    QM6WriteScope scope(c);
    if (QM6ErrorPtr e = scope.Begin())
        return e;
    auto run = [&]() -> QM6ErrorPtr {
        if (QM6ErrorPtr e = d->RequireChangeRight(what))
            return e;
        QM6LockedPrinter row;
        if (QM6ErrorPtr e = LockUnchanged(p, d, what, &row))
            return e;
        QM6KeptStatement q;
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral(
                "UPDATE printers SET bw_total = :bw, color_total = :cl, modified_by = :by, modified_on = :on,"
                " row_version = row_version + 1 WHERE printer_id = :id AND row_version = :ver AND deleted = 0"), what))
            return e;
        q->bindValue(QStringLiteral(":bw"), bw);
        q->bindValue(QStringLiteral(":cl"), color);
        q->bindValue(QStringLiteral(":by"), d->identity);
        q->bindValue(QStringLiteral(":on"), now);
        q->bindValue(QStringLiteral(":id"), p->m_printerId);
        q->bindValue(QStringLiteral(":ver"), p->m_rowVersion);
        if (QM6ErrorPtr e = d->Exec(*q, what))
            return e;
        if (q->numRowsAffected() != 1)
            return ChangedNow(p, d, kNotSaved, what);
        QM6HistoryEntry totals = QM6HistoryWriter::Make(d, QM6HistoryEntry::TotalsSaved, p->m_printerId, row.key, now);
        const struct { const char *field; qint64 was, is; } values[] = {{"bw_total", row.bw, bw}, {"color_total", row.color, color}};
        for (const auto &v : values)
            if (v.was != v.is)
                totals.changes.append({QLatin1String(v.field), QString::number(v.was), QString::number(v.is)});
        if (QM6ErrorPtr e = QM6HistoryWriter::Record(d, totals, what))
            return e;
        ++p->m_rowVersion;
        p->m_bwTotal = bw;
        p->m_colorTotal = color;
        p->m_modifiedBy = d->identity;
        p->m_modifiedOn = QDateTime::fromMSecsSinceEpoch(now);
        return {};
    };
    return scope.End(run());
}

QM6ErrorPtr QM6PrinterStore::Delete(QM6PrinterRecord *p, QM6ConnectionPrivate *c)
{
    QM6ConnectionPrivate *d = c;
    const QString what = QM6Texts::tr("Deleting %1").arg(Label(p));
    QM6WriteScope scope(c);
    if (QM6ErrorPtr e = scope.Begin())
        return e;
    auto run = [&]() -> QM6ErrorPtr {
        if (QM6ErrorPtr e = d->RequireChangeRight(what))
            return e;
        QHash<qint32, QM6LockedPrinter> rows;
        if (QM6ErrorPtr e = QM6RowLocks::LockPrinters(d, {p->m_printerId}, &rows, what))
            return e;
        d->AfterLocks();
        const auto row = rows.constFind(p->m_printerId);
        const QString nothing = QM6Texts::tr("Nothing was deleted.");
        if (row == rows.constEnd())
            return QM6RowLocks::Changed(d, nullptr, p->m_printerId, p->m_printerKey, p->m_storedName, nothing);
        if (row->deleted)
            return QM6RowLocks::Changed(d, &*row, p->m_printerId, p->m_printerKey, p->m_storedName, nothing);
        // The printer only leaves the list: its jobs keep counting for it, so reports
        // over past periods stay right. Its aliases go; their jobs stay too.
        QM6KeptStatement q;
        if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral(
                "UPDATE printers SET deleted = 1, modified_by = :by, modified_on = :on, row_version = row_version + 1"
                " WHERE printer_id = :id AND deleted = 0"), what))
            return e;
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        q->bindValue(QStringLiteral(":by"), d->identity);
        q->bindValue(QStringLiteral(":on"), now);
        q->bindValue(QStringLiteral(":id"), p->m_printerId);
        if (QM6ErrorPtr e = d->Exec(*q, what))
            return e;
        if (q->numRowsAffected() != 1)
            return ChangedNow(p, d, nothing, what);
        if (QM6ErrorPtr e = QM6HistoryWriter::Record(d, QM6HistoryWriter::Make(d, QM6HistoryEntry::Deleted, p->m_printerId, row->key, now), what))
            return e;
        if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("DELETE FROM merged_printers WHERE owner_id = :id"), what))
            return e;
        q->bindValue(QStringLiteral(":id"), p->m_printerId);
        return d->Exec(*q, what);
    };
    return scope.End(run());
}
