// The SQL behind QM6Printer: load, save with optimistic concurrency, delete, merges.
#pragma once

#include "qm6error.h"

#include <QString>

class QM6ConnectionPrivate;
struct QM6PrinterRecord;

class QM6PrinterStore {
public:
    static QM6ErrorPtr Load(QM6PrinterRecord *p, QM6ConnectionPrivate *c, qint32 id);
    static QM6ErrorPtr Save(QM6PrinterRecord *p, QM6ConnectionPrivate *c);
    static QM6ErrorPtr Delete(QM6PrinterRecord *p, QM6ConnectionPrivate *c);
    static QM6ErrorPtr DeleteAlias(QM6PrinterRecord *p, QM6ConnectionPrivate *c, const QString &aliasKey, qint32 &count);
    static QM6ErrorPtr AddAlias(QM6PrinterRecord *p, QM6ConnectionPrivate *c, const QString &key, const QString &device,
                                const QString &host, const QString &port, qint32 connectionType);
    static QM6ErrorPtr MoveAlias(QM6PrinterRecord *p, QM6ConnectionPrivate *c, const QString &aliasKey, qint32 targetId,
                                 qint32 &count);
    static QM6ErrorPtr SaveTotals(QM6PrinterRecord *p, QM6ConnectionPrivate *c, qint32 bw, qint32 color);

private:
    static QM6ErrorPtr Validate(const QM6PrinterRecord *p);
    static QM6ErrorPtr Conflict(QM6ConnectionPrivate *c, qint32 id, const QString &name);
    static QM6ErrorPtr MoveAliasIn(QM6ConnectionPrivate *c, const QString &aliasKey, qint32 targetId, qint32 &count);
};
