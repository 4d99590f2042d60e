// Writes the history entries of changes, inside the transaction of the change they record: a
// change that fails or is rolled back takes its entry with it.
#pragma once

#include "qm6history.h"

#include "qm6connectionprivate.h"

class QM6HistoryWriter {
public:
    // Its statement stays prepared on the connection from one entry to the next.
    explicit QM6HistoryWriter(QM6ConnectionPrivate *d) : m_d(d) {}
    // Records entry (its entryId is ignored; changedBy and changedOn must be set).
    QM6ErrorPtr Write(const QM6HistoryEntry &entry, const QString &what);

    // One entry.
    static QM6ErrorPtr Record(QM6ConnectionPrivate *d, const QM6HistoryEntry &entry, const QString &what);
    // An entry of kind for printer (id, key), by the connection's user at msecs (UTC).
    static QM6HistoryEntry Make(QM6ConnectionPrivate *d, QM6HistoryEntry::Kind kind, qint32 printerId, const QString &printerKey,
                                qint64 msecs);

    // An entry's changes as its row keeps them: [["field", "old", "new"], ...], and back.
    static QString ChangesText(const QList<QM6HistoryChange> &changes);
    static QList<QM6HistoryChange> ReadChanges(const QString &text);

private:
    QM6ConnectionPrivate *m_d;
};
