// Writes the history entries of changes, inside the transaction of the change they record: a
// change that fails or is rolled back takes its entry with it.
#pragma once

#include "qm6history.h"

class QM6ConnectionPrivate;

class QM6HistoryWriter {
public:
    // Records entry (its entryId is ignored; changedBy and changedOn must be set).
    static QM6ErrorPtr Record(QM6ConnectionPrivate *d, const QM6HistoryEntry &entry, const QString &what);
    // An entry of kind for printer (id, key), by the connection's user at msecs (UTC).
    static QM6HistoryEntry Make(QM6ConnectionPrivate *d, QM6HistoryEntry::Kind kind, qint32 printerId, const QString &printerKey,
                                qint64 msecs);
};
