#include "qm6printerstore.h"
#include "qm6connectionprivate.h"
#include "qm6printerrecord.h"
#include "qm6schema.h"

#include <QLocale>
#include <QUuid>

namespace {

QVariant optional(const QString &v)
{
    return v.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(v);
}

QM6ErrorPtr checkLength(const QString &field, const QString &v, int max)
{
    const qsizetype n = v.toUcs4().size();
    if (n <= max)
        return {};
    return MakeQM6Error(QStringLiteral("The %1 is %2 characters long; at most %3 are allowed. Nothing was stored.")
                            .arg(field).arg(n).arg(max),
                        QM6Error::ErrTooLong);
}

QString when(qint64 ms)
{
    return QLocale::system().toString(QDateTime::fromMSecsSinceEpoch(ms), QStringLiteral("MMM dd, yyyy HH:mm:ss"));
}

QM6ErrorPtr notFound(qint32 id)
{
    return MakeQM6Error(QStringLiteral("Printer %1 does not exist.").arg(id), QM6Error::ErrNotFound);
}

// The owner of a live printer: its key, or an error.
QM6ErrorPtr livePrinter(QM6ConnectionPrivate *d, qint32 id, QString *key, const QString &what)
{
    QSqlQuery q;
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("SELECT printer_key FROM printers WHERE printer_id = :id AND deleted = 0"), what))
        return e;
    q.bindValue(QStringLiteral(":id"), id);
    if (QM6ErrorPtr e = d->Exec(q, what))
        return e;
    if (!q.next())
        return notFound(id);
    if (key)
        *key = q.value(0).toString();
    return {};
}
}

QM6ErrorPtr QM6PrinterStore::Load(QM6PrinterRecord *p, QM6ConnectionPrivate *c, qint32 id)
{
    QM6ConnectionPrivate *d = c;
    const QString what = QStringLiteral("Loading printer %1").arg(id);
    QSqlQuery q;
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral(
            "SELECT printer_key, name, device, host, port, model, location, serial_no, account_no, connection_type,"
            " device_type, profile_id, is_color, is_duplex, pop_early, disable_color_mode, auto_merge, am_device, am_host,"
            " am_port, am_model, am_connection_types, bw_total, color_total, modified_by, modified_on, row_version"
            " FROM printers WHERE printer_id = :id AND deleted = 0"), what))
        return e;
    q.bindValue(QStringLiteral(":id"), id);
    if (QM6ErrorPtr e = d->Exec(q, what))
        return e;
    if (!q.next())
        return notFound(id);
    int i = 0;
    p->m_printerId = id;
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
        return MakeQM6Error(QStringLiteral("The printer has no name. Nothing was stored."), QM6Error::ErrInvalid);
    return {};
}

QM6ErrorPtr QM6PrinterStore::Conflict(QM6ConnectionPrivate *c, qint32 id, const QString &name)
{
    QM6ConnectionPrivate *d = c;
    const QString what = QStringLiteral("Checking who changed printer %1").arg(id);
    QSqlQuery q;
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("SELECT modified_by, modified_on, deleted FROM printers WHERE printer_id = :id"), what))
        return e;
    q.bindValue(QStringLiteral(":id"), id);
    if (QM6ErrorPtr e = d->Exec(q, what))
        return e;
    if (!q.next())
        return notFound(id);
    const QString who = q.value(0).toString().isEmpty() ? QStringLiteral("another user") : q.value(0).toString();
    const QString at = q.value(1).isNull() ? QStringLiteral("an unknown time") : when(q.value(1).toLongLong());
    const bool deleted = q.value(2).toInt() != 0;
    return MakeQM6Error(QStringLiteral("Printer \"%1\" was %2 by %3 on %4, after you opened it. Your changes were not "
                                       "saved, so that theirs are not overwritten: open the printer again and repeat "
                                       "your changes.").arg(name, deleted ? QStringLiteral("deleted") : QStringLiteral("changed"), who, at),
                        QM6Error::ErrConflict);
}

QM6ErrorPtr QM6PrinterStore::Save(QM6PrinterRecord *p, QM6ConnectionPrivate *c)
{
    if (QM6ErrorPtr e = Validate(p))
        return e;
    QM6ConnectionPrivate *d = c;
    const QString what = QStringLiteral("Saving printer \"%1\"").arg(p->m_name);
    if (QM6ErrorPtr e = checkLength(QStringLiteral("user name"), d->userName, QM6Schema::UserLength))
        return e;
    QM6WriteScope scope(c);
    if (QM6ErrorPtr e = scope.Begin())
        return e;
    auto run = [&]() -> QM6ErrorPtr {
        if (p->m_printProfileId != 0) {
            QSqlQuery pq;
            if (QM6ErrorPtr e = d->Prepare(pq, QStringLiteral("SELECT 1 FROM track_profiles WHERE profile_id = :id"), what))
                return e;
            pq.bindValue(QStringLiteral(":id"), p->m_printProfileId);
            if (QM6ErrorPtr e = d->Exec(pq, what))
                return e;
            if (!pq.next())
                return MakeQM6Error(QStringLiteral("The track profile %1 does not exist; choose another one.").arg(p->m_printProfileId),
                                    QM6Error::ErrNotFound);
        }
        const bool isNew = p->m_printerId == -1;
        const QString key = isNew ? QStringLiteral("P-") + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() : p->m_printerKey;
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        const QString cols = QStringLiteral(
            "name = :name, device = :device, host = :host, port = :port, model = :model, location = :location,"
            " serial_no = :serial, account_no = :account, connection_type = :ctype, device_type = :dtype,"
            " profile_id = :profile, is_color = :color, is_duplex = :duplex, pop_early = :pop,"
            " disable_color_mode = :nocolor, auto_merge = :am, am_device = :amdevice, am_host = :amhost,"
            " am_port = :amport, am_model = :ammodel, am_connection_types = :amtypes, modified_by = :by, modified_on = :on");
        QSqlQuery q;
        QM6ErrorPtr e;
        if (isNew)
            e = d->Prepare(q, QStringLiteral(
                    "INSERT INTO printers (printer_key, name, device, host, port, model, location, serial_no, account_no,"
                    " connection_type, device_type, profile_id, is_color, is_duplex, pop_early, disable_color_mode, auto_merge,"
                    " am_device, am_host, am_port, am_model, am_connection_types, modified_by, modified_on, bw_total, color_total)"
                    " VALUES (:key, :name, :device, :host, :port, :model, :location, :serial, :account, :ctype, :dtype, :profile,"
                    " :color, :duplex, :pop, :nocolor, :am, :amdevice, :amhost, :amport, :ammodel, :amtypes, :by, :on, :bw, :cl)"
                    " RETURNING printer_id"), what);
        else
            e = d->Prepare(q, QStringLiteral("UPDATE printers SET ") + cols +
                                  QStringLiteral(", row_version = row_version + 1 WHERE printer_id = :id AND row_version = :ver AND deleted = 0"),
                           what);
        if (e)
            return e;
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
        q.bindValue(QStringLiteral(":by"), d->userName);
        q.bindValue(QStringLiteral(":on"), now);
        if (isNew) {
            q.bindValue(QStringLiteral(":key"), key);
            q.bindValue(QStringLiteral(":bw"), p->m_bwTotal);
            q.bindValue(QStringLiteral(":cl"), p->m_colorTotal);
        } else {
            q.bindValue(QStringLiteral(":id"), p->m_printerId);
            q.bindValue(QStringLiteral(":ver"), p->m_rowVersion);
        }
        if ((e = d->Exec(q, what)))
            return e;
        if (isNew) {
            if (!q.next())
                return d->DbError(what, QStringLiteral("the new printer's identifier did not come back"));
            p->m_printerId = q.value(0).toInt();
            p->m_printerKey = key;
            p->m_rowVersion = 1;
        } else {
            if (q.numRowsAffected() != 1)
                return Conflict(c, p->m_printerId, p->m_name);
            ++p->m_rowVersion;
        }
        p->m_modifiedBy = d->userName;
        p->m_modifiedOn = QDateTime::fromMSecsSinceEpoch(now);
        return {};
    };
    return scope.End(run());
}

QM6ErrorPtr QM6PrinterStore::SaveTotals(QM6PrinterRecord *p, QM6ConnectionPrivate *c, qint32 bw, qint32 color)
{
    if (bw < 0 || color < 0)
        return MakeQM6Error(QStringLiteral("Page totals cannot be negative. Nothing was stored."), QM6Error::ErrInvalid);
    if (p->m_printerId == -1)
        return MakeQM6Error(QStringLiteral("Save the printer before its page totals."), QM6Error::ErrInvalid);
    QM6ConnectionPrivate *d = c;
    const QString what = QStringLiteral("Saving the page totals of printer \"%1\"").arg(p->m_name);
    QM6WriteScope scope(c);
    if (QM6ErrorPtr e = scope.Begin())
        return e;
    auto run = [&]() -> QM6ErrorPtr {
        QSqlQuery q;
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral(
                "UPDATE printers SET bw_total = :bw, color_total = :cl, modified_by = :by, modified_on = :on,"
                " row_version = row_version + 1 WHERE printer_id = :id AND row_version = :ver AND deleted = 0"), what))
            return e;
        q.bindValue(QStringLiteral(":bw"), bw);
        q.bindValue(QStringLiteral(":cl"), color);
        q.bindValue(QStringLiteral(":by"), d->userName);
        q.bindValue(QStringLiteral(":on"), now);
        q.bindValue(QStringLiteral(":id"), p->m_printerId);
        q.bindValue(QStringLiteral(":ver"), p->m_rowVersion);
        if (QM6ErrorPtr e = d->Exec(q, what))
            return e;
        if (q.numRowsAffected() != 1)
            return Conflict(c, p->m_printerId, p->m_name);
        ++p->m_rowVersion;
        p->m_bwTotal = bw;
        p->m_colorTotal = color;
        p->m_modifiedBy = d->userName;
        p->m_modifiedOn = QDateTime::fromMSecsSinceEpoch(now);
        return {};
    };
    return scope.End(run());
}

QM6ErrorPtr QM6PrinterStore::Delete(QM6PrinterRecord *p, QM6ConnectionPrivate *c)
{
    QM6ConnectionPrivate *d = c;
    const QString what = QStringLiteral("Deleting printer %1").arg(p->m_printerId);
    QM6WriteScope scope(c);
    if (QM6ErrorPtr e = scope.Begin())
        return e;
    auto run = [&]() -> QM6ErrorPtr {
        // The printer only leaves the list: its jobs keep counting for it, so reports
        // over past periods stay right. Its aliases go; their jobs stay too.
        QSqlQuery q;
        if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral(
                "UPDATE printers SET deleted = 1, modified_by = :by, modified_on = :on, row_version = row_version + 1"
                " WHERE printer_id = :id AND deleted = 0"), what))
            return e;
        q.bindValue(QStringLiteral(":by"), d->userName);
        q.bindValue(QStringLiteral(":on"), QDateTime::currentMSecsSinceEpoch());
        q.bindValue(QStringLiteral(":id"), p->m_printerId);
        if (QM6ErrorPtr e = d->Exec(q, what))
            return e;
        if (q.numRowsAffected() != 1)
            return notFound(p->m_printerId);
        if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("DELETE FROM merged_printers WHERE owner_id = :id"), what))
            return e;
        q.bindValue(QStringLiteral(":id"), p->m_printerId);
        return d->Exec(q, what);
    };
    return scope.End(run());
}

QM6ErrorPtr QM6PrinterStore::DeleteAlias(QM6PrinterRecord *p, QM6ConnectionPrivate *c, const QString &aliasKey, qint32 &count)
{
    count = 0;
    QM6ConnectionPrivate *d = c;
    const QString what = QStringLiteral("Removing merged printer \"%1\"").arg(aliasKey);
    QM6WriteScope scope(c);
    if (QM6ErrorPtr e = scope.Begin())
        return e;
    auto run = [&]() -> QM6ErrorPtr {
        QSqlQuery q;
        if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("SELECT owner_id FROM merged_printers WHERE alias_key = :key"), what))
            return e;
        q.bindValue(QStringLiteral(":key"), aliasKey);
        if (QM6ErrorPtr e = d->Exec(q, what))
            return e;
        if (!q.next())
            return MakeQM6Error(QStringLiteral("The merged printer \"%1\" no longer exists; it was removed already.").arg(aliasKey),
                                QM6Error::ErrNotFound, QM6Error::SeverityIgnorable);
        const qint32 owner = q.value(0).toInt();
        if (p->m_printerId > 0 && owner != p->m_printerId)
            return MakeQM6Error(QStringLiteral("The merged printer \"%1\" now belongs to printer %2, not %3. Reload the list "
                                               "and try again.").arg(aliasKey).arg(owner).arg(p->m_printerId),
                                QM6Error::ErrConflict);
        // Its jobs stay recorded and keep counting for the printer they were merged into.
        if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("SELECT COUNT(*) FROM print_jobs WHERE seen_on_key = :key AND printer_id = :owner"), what))
            return e;
        q.bindValue(QStringLiteral(":key"), aliasKey);
        q.bindValue(QStringLiteral(":owner"), owner);
        if (QM6ErrorPtr e = d->Exec(q, what))
            return e;
        const qint32 jobs = q.next() ? q.value(0).toInt() : 0;
        if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("DELETE FROM merged_printers WHERE alias_key = :key"), what))
            return e;
        q.bindValue(QStringLiteral(":key"), aliasKey);
        if (QM6ErrorPtr e = d->Exec(q, what))
            return e;
        count = jobs;
        return {};
    };
    return scope.End(run());
}

QM6ErrorPtr QM6PrinterStore::MoveAliasIn(QM6ConnectionPrivate *c, const QString &aliasKey, qint32 targetId, qint32 &count)
{
    QM6ConnectionPrivate *d = c;
    const QString what = QStringLiteral("Moving merged printer \"%1\"").arg(aliasKey);
    if (QM6ErrorPtr e = livePrinter(d, targetId, nullptr, what))
        return e;
    QSqlQuery q;
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("SELECT owner_id FROM merged_printers WHERE alias_key = :key"), what))
        return e;
    q.bindValue(QStringLiteral(":key"), aliasKey);
    if (QM6ErrorPtr e = d->Exec(q, what))
        return e;
    if (!q.next())
        return MakeQM6Error(QStringLiteral("The merged printer \"%1\" does not exist.").arg(aliasKey), QM6Error::ErrNotFound);
    const qint32 owner = q.value(0).toInt();
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("UPDATE print_jobs SET printer_id = :target WHERE seen_on_key = :key AND printer_id = :owner"), what))
        return e;
    q.bindValue(QStringLiteral(":target"), targetId);
    q.bindValue(QStringLiteral(":key"), aliasKey);
    q.bindValue(QStringLiteral(":owner"), owner);
    if (QM6ErrorPtr e = d->Exec(q, what))
        return e;
    count = q.numRowsAffected();
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("UPDATE merged_printers SET owner_id = :target, merge_type = 1 WHERE alias_key = :key"), what))
        return e;
    q.bindValue(QStringLiteral(":target"), targetId);
    q.bindValue(QStringLiteral(":key"), aliasKey);
    return d->Exec(q, what);
}

QM6ErrorPtr QM6PrinterStore::MoveAlias(QM6PrinterRecord *, QM6ConnectionPrivate *c, const QString &aliasKey, qint32 targetId, qint32 &count)
{
    count = 0;
    QM6WriteScope scope(c);
    if (QM6ErrorPtr e = scope.Begin())
        return e;
    qint32 moved = 0;
    QM6ErrorPtr e = scope.End(MoveAliasIn(c, aliasKey, targetId, moved));
    if (!e)
        count = moved;
    return e;
}

QM6ErrorPtr QM6PrinterStore::AddAlias(QM6PrinterRecord *p, QM6ConnectionPrivate *c, const QString &key, const QString &device,
                                      const QString &host, const QString &port, qint32 connectionType)
{
    const struct { const char *field; const QString &v; int max; } checks[] = {
        {"key", key, QM6Schema::KeyLength}, {"device", device, QM6Schema::LongTextLength},
        {"host", host, QM6Schema::HostLength}, {"port", port, QM6Schema::PortLength}};
    for (const auto &ch : checks)
        if (QM6ErrorPtr e = checkLength(QStringLiteral("merged printer's ") + QLatin1String(ch.field), ch.v, ch.max))
            return e;
    QM6ConnectionPrivate *d = c;
    const qint32 target = p->m_printerId;
    const QString what = QStringLiteral("Merging \"%1\" into printer %2").arg(key).arg(target);
    QM6WriteScope scope(c);
    if (QM6ErrorPtr e = scope.Begin())
        return e;
    auto run = [&]() -> QM6ErrorPtr {
        QString targetKey;
        if (QM6ErrorPtr e = livePrinter(d, target, &targetKey, what))
            return e;
        QSqlQuery q;
        if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("SELECT printer_id, bw_total, color_total FROM printers WHERE printer_key = :key AND deleted = 0"), what))
            return e;
        q.bindValue(QStringLiteral(":key"), key);
        if (QM6ErrorPtr e = d->Exec(q, what))
            return e;
        if (!q.next()) {
            // Not a printer: an alias of some printer is moved here instead.
            qint32 moved = 0;
            QM6ErrorPtr e = MoveAliasIn(c, key, target, moved);
            if (e && e->Number() == QM6Error::ErrNotFound && !e->Description().startsWith(QLatin1String("Printer")))
                return MakeQM6Error(QStringLiteral("There is no printer or merged printer with the key \"%1\".").arg(key),
                                    QM6Error::ErrNotFound);
            return e;
        }
        const qint32 source = q.value(0).toInt();
        const qint64 bw = q.value(1).toLongLong(), color = q.value(2).toLongLong();
        if (source == target)
            return MakeQM6Error(QStringLiteral("A printer cannot be merged into itself (key \"%1\").").arg(key), QM6Error::ErrInvalid);
        if (qint64(p->m_bwTotal) + bw > std::numeric_limits<qint32>::max() ||
            qint64(p->m_colorTotal) + color > std::numeric_limits<qint32>::max())
            return MakeQM6Error(QStringLiteral("The merged page totals would exceed %1; nothing was merged.")
                                    .arg(std::numeric_limits<qint32>::max()), QM6Error::ErrInvalid);
        const struct { const char *sql; } steps[] = {
            {"UPDATE merged_printers SET owner_id = :target WHERE owner_id = :source"},
            {"UPDATE print_jobs SET printer_id = :target WHERE printer_id = :source"},
            {"UPDATE printers SET bw_total = bw_total + :bw, color_total = color_total + :cl, row_version = row_version + 1"
             " WHERE printer_id = :target"},
            {"DELETE FROM printers WHERE printer_id = :source"},
            {"INSERT INTO merged_printers (alias_key, device_name, host, port, connection_type, merge_type, owner_id)"
             " VALUES (:key, :device, :host, :port, :ctype, 1, :target)"},
        };
        for (const auto &s : steps) {
            const QString sql = QString::fromLatin1(s.sql);
            if (QM6ErrorPtr e = d->Prepare(q, sql, what))
                return e;
            auto bind = [&](const char *name, const QVariant &v) {
                if (sql.contains(QLatin1String(name)))
                    q.bindValue(QLatin1String(name), v);
            };
            bind(":target", target);
            bind(":source", source);
            bind(":bw", bw);
            bind(":cl", color);
            bind(":key", key);
            bind(":device", optional(device));
            bind(":host", optional(host));
            bind(":port", optional(port));
            bind(":ctype", connectionType);
            if (QM6ErrorPtr e = d->Exec(q, what))
                return e;
        }
        p->m_bwTotal += qint32(bw);
        p->m_colorTotal += qint32(color);
        ++p->m_rowVersion;
        return {};
    };
    return scope.End(run());
}
