#include "printerdata.h"
#include "qm6connectionprivate.h"

#include <QSqlError>

LookupLists &LookupLists::Instance()
{
    thread_local LookupLists instance;
    return instance;
}

QVariant LookupLists::GetList(qint32 listNumber)
{
    const QM6ConnectionPtr c = QM6ConnectionLastOpened();
    if (!c)
        return {};
    QM6ConnectionPrivate *d = c->d_func();
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

void LookupLists::Clear()
{
    if (const QM6ConnectionPtr c = QM6ConnectionLastOpened())
        c->d_func()->lookupCache.clear();
}
