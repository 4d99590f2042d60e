#include "qm6importwriter.h"
#include "qm6connectionprivate.h"
#include "qm6printerfields.h"
#include "qm6printerrecord.h"
#include "qm6printerstore.h"
#include "qm6texts.h"

namespace {

using F = QM6PrinterFields;

// The value a printer's column holds for a field, as a save writes it: empty texts and no
// track profile as Null.
QVariant columnValue(const QM6PrinterRecord &p, int id)
{
    const QString text = F::Get(p, id);
    switch (F::Info(id).kind) {
    case F::Text:
        return text.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(text);
    case F::TypeSet:
        return p.m_rule.ConnectionTypes();
    default:
        return id == F::ProfileId && text == QLatin1String("0") ? QVariant(QMetaType(QMetaType::Int)) : QVariant(text.toInt());
    }
}

} // namespace

QM6ImportWriter::QM6ImportWriter(QM6ConnectionPrivate *d)
    : m_d(d), m_history(d), m_what(QM6Texts::tr("Storing an imported printer"))
{
}

QM6ImportWriter::~QM6ImportWriter()
{
    if (m_open)
        m_d->RollbackTransaction();
}

bool QM6ImportWriter::CommitDue() const
{
    return m_open && m_since.elapsed() >= 200;
}

QM6ErrorPtr QM6ImportWriter::Commit()
{
    if (!m_open)
        return {};
    m_open = false;
    return m_d->CommitTransaction();
}

QM6ErrorPtr QM6ImportWriter::Savepoint(Step step)
{
    static const char *const sql[] = {"SAVEPOINT qm6_import", "RELEASE SAVEPOINT qm6_import", "ROLLBACK TO SAVEPOINT qm6_import"};
    // PostgreSQL prepares no SAVEPOINT; SQLite's stay prepared on the connection.
    if (m_d->pg)
        return m_d->ExecSql(QString::fromLatin1(sql[step]), m_what);
    QM6KeptStatement q;
    if (QM6ErrorPtr e = m_d->Prepare(q, QString::fromLatin1(sql[step]), m_what))
        return e;
    return m_d->Exec(*q, m_what);
}

QM6ErrorPtr QM6ImportWriter::Store(QM6PrinterRecord *after, const QM6PrinterRecord *before,
                                   const QList<QM6HistoryChange> &changes)
{
    if (QM6ErrorPtr e = QM6PrinterStore::Validate(after))
        return e;
    const QString &what = m_what;
    if (!m_open) {
        if (!m_d->pg && !m_cacheSized) {
            // The printers and their history index are touched all over: keep more of them at hand.
            m_d->ExecSql(QStringLiteral("PRAGMA cache_size=-65536"), what);
            m_cacheSized = true;
        }
        if (QM6ErrorPtr e = m_d->BeginTransaction())
            return e;
        m_open = true;
        m_since.start();
    }
    if (QM6ErrorPtr e = Savepoint(Begin))
        return e;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QM6ErrorPtr e;
    // The profile must stay while the printer comes to point at it.
    if (!before || before->m_printProfileId != after->m_printProfileId)
        e = QM6PrinterStore::CheckProfile(m_d, after->m_printProfileId, what);
    if (!e)
        e = before ? Update(after, before, changes, now, what) : Insert(after, changes, now, what);
    if (e) {
        // This printer's statements go; the printers before it in the transaction stay.
        if (QM6ErrorPtr undo = Savepoint(Undo))
            return undo;
        m_d->txnFailed = false;
    }
    if (QM6ErrorPtr release = Savepoint(Release))
        return release;
    if (e)
        return e;
    after->m_modifiedBy = m_d->identity;
    after->m_modifiedOn = QDateTime::fromMSecsSinceEpoch(now);
    after->m_storedName = after->m_name;
    return {};
}

QM6ErrorPtr QM6ImportWriter::Insert(QM6PrinterRecord *after, const QList<QM6HistoryChange> &values, qint64 now,
                                    const QString &what)
{
    qint32 id = -1;
    QString key;
    if (QM6ErrorPtr e = QM6PrinterStore::InsertRow(after, m_d, now, what, &id, &key))
        return e;
    QM6HistoryEntry added = QM6HistoryWriter::Make(m_d, QM6HistoryEntry::Added, id, key, now);
    added.changes = values;
    if (QM6ErrorPtr e = m_history.Write(added, what))
        return e;
    after->m_printerId = id;
    after->m_printerKey = key;
    after->m_rowVersion = 1;
    return {};
}

QM6ErrorPtr QM6ImportWriter::Update(QM6PrinterRecord *after, const QM6PrinterRecord *before, const QList<QM6HistoryChange> &changes,
                                    qint64 now, const QString &what)
{
    // As from the editor: a save entry for the fields, a totals entry for the totals.
    QM6HistoryEntry saved = QM6HistoryWriter::Make(m_d, QM6HistoryEntry::Saved, before->m_printerId, before->m_printerKey, now);
    QM6HistoryEntry totalsSaved = QM6HistoryWriter::Make(m_d, QM6HistoryEntry::TotalsSaved, before->m_printerId, before->m_printerKey, now);
    const QLatin1String bw(F::Info(F::BWTotal).name), color(F::Info(F::ColorTotal).name);
    for (const QM6HistoryChange &c : changes)
        (c.field == bw || c.field == color ? totalsSaved : saved).changes.append(c);
    const bool totals = !totalsSaved.changes.isEmpty();
    // Only the columns that change: an index over columns that stay is left alone. The field
    // names are the column names.
    quint32 set = 0;
    for (const QM6HistoryChange &c : changes)
        for (int id = 0; id < F::Count; ++id)
            if (c.field == QLatin1String(F::Info(id).name))
                set |= 1u << id;
    auto it = m_updates.find(set);
    if (it == m_updates.end()) {
        QString sql = QStringLiteral("UPDATE printers SET ");
        for (int id = 0; id < F::Count; ++id)
            if (set & (1u << id))
                sql += QStringLiteral("%1 = :%1, ").arg(QLatin1String(F::Info(id).name));
        sql += QStringLiteral("modified_by = :by, modified_on = :on, row_version = row_version + 1"
                              " WHERE printer_id = :id AND row_version = :ver AND deleted = 0");
        QSqlQuery prepared;
        if (QM6ErrorPtr e = m_d->Prepare(prepared, sql, what))
            return e;
        it = m_updates.insert(set, prepared);
    }
    QSqlQuery &q = *it;
    for (int id = 0; id < F::Count; ++id)
        if (set & (1u << id))
            q.bindValue(QLatin1Char(':') + QLatin1String(F::Info(id).name), columnValue(*after, id));
    q.bindValue(QStringLiteral(":by"), m_d->identity);
    q.bindValue(QStringLiteral(":on"), now);
    q.bindValue(QStringLiteral(":id"), before->m_printerId);
    q.bindValue(QStringLiteral(":ver"), before->m_rowVersion);
    if (QM6ErrorPtr e = m_d->Exec(q, what))
        return e;
    // The version the import read is the one it changes, or nothing is changed.
    if (q.numRowsAffected() != 1)
        return MakeQM6Error(QM6Texts::tr("printer \"%1\" (key %2) was changed or deleted by someone else since the import read it, "
                                         "so nothing was changed for it: export the list again and repeat the change")
                                .arg(before->m_storedName, before->m_printerKey),
                            QM6Error::ErrConflict);
    if (!saved.changes.isEmpty() || !totals)
        if (QM6ErrorPtr e = m_history.Write(saved, what))
            return e;
    if (totals)
        if (QM6ErrorPtr e = m_history.Write(totalsSaved, what))
            return e;
    after->m_rowVersion = before->m_rowVersion + 1;
    return {};
}
