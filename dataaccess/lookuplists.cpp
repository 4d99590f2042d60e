#include "printerdata.h"
#include "qm6connectionprivate.h"

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
    if (auto it = d->lookupCache.constFind(listNumber); it != d->lookupCache.constEnd())
        return *it;
    QSqlQuery q;
    if (d->Prepare(q, QStringLiteral("SELECT code, text FROM lookup_entries WHERE list_no = :list ORDER BY code"),
                   QStringLiteral("Reading a lookup list")))
        return {};
    q.bindValue(QStringLiteral(":list"), listNumber);
    if (d->Exec(q, QStringLiteral("Reading a lookup list")))
        return {};
    QVariantList rows;
    while (q.next())
        rows << QVariant(QVariantList{q.value(0).toInt(), q.value(1).toString()});
    if (rows.isEmpty())
        return {};
    d->lookupCache.insert(listNumber, rows);
    return rows;
}

void LookupLists::Clear(const QM6ConnectionPtr &connection)
{
    if (QM6ConnectionPrivate *d = QM6ConnectionPrivate::get(connection))
        d->lookupCache.clear();
}
