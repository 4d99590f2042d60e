// The SQL behind QM6Printer: load, save with optimistic concurrency, delete, merges.
#pragma once

#include "qm6printer.h"

class QM6PrinterStore {
public:
    static QM6ErrorPtr Load(QM6Printer *p, QM6Connection *c, qint32 id);
    static QM6ErrorPtr Save(QM6Printer *p, QM6Connection *c);
    static QM6ErrorPtr Delete(QM6Printer *p, QM6Connection *c);
    static QM6ErrorPtr DeleteAlias(QM6Printer *p, QM6Connection *c, const QString &aliasKey, qint32 &count);
    static QM6ErrorPtr AddAlias(QM6Printer *p, QM6Connection *c, const QString &key, const QString &device,
                                const QString &host, const QString &port, qint32 connectionType);
    static QM6ErrorPtr MoveAlias(QM6Printer *p, QM6Connection *c, const QString &aliasKey, qint32 targetId, qint32 &count);
    static QM6ErrorPtr SaveTotals(QM6Printer *p, QM6Connection *c, qint32 bw, qint32 color);

private:
    static QM6ErrorPtr Validate(const QM6Printer *p);
    static QM6ErrorPtr Conflict(QM6Connection *c, qint32 id, const QString &name);
    static QM6ErrorPtr MoveAliasIn(QM6Connection *c, const QString &aliasKey, qint32 targetId, qint32 &count);
};
