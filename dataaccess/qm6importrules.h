// The printer editor's rules, held against a printer read from an import file: what the editor
// would refuse to save is refused, and what it tidies is tidied the same way.
#pragma once

#include "qm6error.h"

#include <QSet>
#include <QString>

class QM6ConnectionPrivate;
struct QM6PrinterRecord;

class QM6ImportRules {
public:
    // What the editor offers in its lists: the site's track profiles, the connection types
    // (lookup list 6 without code 0) and the device types (lookup list 5).
    struct Lists {
        QSet<qint32> profiles, connectionTypes, deviceTypes;
    };
    static QM6ErrorPtr ReadLists(QM6ConnectionPrivate *d, Lists *lists);

    // Why after (before changed by a record, or a new printer when before is null) cannot be
    // saved, in words that name the fields as the file does; empty when it can. As the editor
    // does on saving, the texts the record changed are trimmed, and a direct IP printer without
    // a device gets its IP address as its device.
    static QString Check(QM6PrinterRecord *after, const QM6PrinterRecord *before, const Lists &lists);

private:
    // The checks of the fields' values, in the order the editor makes them.
    static QString CheckValues(QM6PrinterRecord *after, const QM6PrinterRecord *before, const Lists &lists);
};
