#include "qm6printer.h"
#include "qm6printerstore.h"

QM6ErrorPtr QM6Printer::Load(const QM6ConnectionPtr &connection, qint32 printerId)
{
    return QM6PrinterStore::Load(this, connection.get(), printerId);
}

QM6ErrorPtr QM6Printer::Save(const QM6ConnectionPtr &connection)
{
    return QM6PrinterStore::Save(this, connection.get());
}

QM6ErrorPtr QM6Printer::Delete(const QM6ConnectionPtr &connection)
{
    return QM6PrinterStore::Delete(this, connection.get());
}

QM6ErrorPtr QM6Printer::DeleteAlias(const QM6ConnectionPtr &connection, const QString &aliasKey, qint32 &count)
{
    return QM6PrinterStore::DeleteAlias(this, connection.get(), aliasKey, count);
}

QM6ErrorPtr QM6Printer::AddAlias(const QM6ConnectionPtr &connection, const QString &key, const QString &device,
                                 const QString &host, const QString &port, qint32 connectionType, bool)
{
    return QM6PrinterStore::AddAlias(this, connection.get(), key, device, host, port, connectionType);
}

QM6ErrorPtr QM6Printer::MoveAlias(const QM6ConnectionPtr &connection, const QString &aliasKey, qint32 targetPrinterId,
                                  qint32 &count)
{
    return QM6PrinterStore::MoveAlias(this, connection.get(), aliasKey, targetPrinterId, count);
}

QM6ErrorPtr QM6Printer::SaveTotals(const QM6ConnectionPtr &connection, qint32 bwTotal, qint32 colorTotal)
{
    return QM6PrinterStore::SaveTotals(this, connection.get(), bwTotal, colorTotal);
}
