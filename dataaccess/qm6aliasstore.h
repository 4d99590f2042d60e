// The SQL behind QM6Printer's merges: a printer or merged printer made a merged printer of
// another printer, one moved to another printer, one removed. Jobs follow the printer they
// count for; no job is ever lost.
#pragma once

#include "qm6error.h"

#include <QString>

class QM6ConnectionPrivate;
struct QM6PrinterRecord;

class QM6AliasStore {
public:
    static QM6ErrorPtr AddAlias(QM6PrinterRecord *p, QM6ConnectionPrivate *d, const QString &key, const QString &device,
                                const QString &host, const QString &port, qint32 connectionType);
    static QM6ErrorPtr MoveAlias(QM6ConnectionPrivate *d, const QString &aliasKey, qint32 targetId, qint32 &count);
    static QM6ErrorPtr DeleteAlias(QM6PrinterRecord *p, QM6ConnectionPrivate *d, const QString &aliasKey, qint32 &count);

private:
    // Moves a merged printer and its jobs to target inside the caller's transaction; the
    // refusals name target as targetName when the caller loaded it.
    static QM6ErrorPtr MoveIn(QM6ConnectionPrivate *d, const QString &aliasKey, qint32 targetId, const QString &targetKey,
                              const QString &targetName, qint32 &count, const QString &what);
    // Makes the live printer source a merged printer of target.
    static QM6ErrorPtr MergePrinter(QM6PrinterRecord *p, QM6ConnectionPrivate *d, qint32 sourceId, const QString &key,
                                    const QString &device, const QString &host, const QString &port, qint32 connectionType,
                                    const QString &what);
};
