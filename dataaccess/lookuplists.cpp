#include "printerdata.h"
#include "qm6connectionprivate.h"
#include "qm6texts.h"

#include <QSqlError>

LookupLists &LookupLists::Instance()
{
    thread_local LookupLists instance;
    return instance;
}

QVariant LookupLists::GetList(const QM6ConnectionPtr &connection, qint32 listNumber)
{
    QM6ConnectionPrivate *d = QM6ConnectionPrivate::get(connection);
    if (!d)
        return {};
    const qint32 language = QM6Connection::Language();
    const QPair<qint32, qint32> key(listNumber, language);
    if (auto it = d->lookupCache.constFind(key); it != d->lookupCache.constEnd())
        return *it;
    QSqlQuery q;
    if (d->Prepare(q, QStringLiteral(
            // The entry in the language asked for, else the English one every list has.
            "SELECT e.code, COALESCE(t.text, e.text) FROM lookup_entries e"
            " LEFT JOIN lookup_texts t ON t.list_no = e.list_no AND t.code = e.code AND t.locale_id = :language"
            " WHERE e.list_no = :list ORDER BY e.code"),
                   QM6Texts::tr("Reading a lookup list")))
        return {};
    q.bindValue(QStringLiteral(":list"), listNumber);
    q.bindValue(QStringLiteral(":language"), language);
    if (d->Exec(q, QM6Texts::tr("Reading a lookup list")))
        return {};
    QVariantList rows;
    while (q.next())
        rows << QVariant(QVariantList{q.value(0).toInt(), q.value(1).toString()});
    if (rows.isEmpty())
        return {};
    d->lookupCache.insert(key, rows);
    return rows;
}

void LookupLists::Clear(const QM6ConnectionPtr &connection)
{
    if (QM6ConnectionPrivate *d = QM6ConnectionPrivate::get(connection))
        d->lookupCache.clear();
}
