// The site's track profiles as the qm6data tool and the site generator manage them: every
// site starts with the standard set, and an administrator adds and renames profiles. (The
// console only reads them, through PrinterData::GetPrintProfiles.)
#pragma once

#include "qm6error.h"

#include <QList>
#include <QString>

class QM6ConnectionPrivate;

class QM6TrackProfiles {
public:
    // Adds the standard profiles when the site has none (an existing set is left alone), in
    // the caller's transaction. ids, when given, receives every profile's id in id order.
    static QM6ErrorPtr EnsureStandard(QM6ConnectionPrivate *d, QList<qint64> *ids = nullptr);
    // A new profile; its id in *id. Refused when the name is empty, too long or taken.
    static QM6ErrorPtr Add(QM6ConnectionPrivate *d, const QString &name, qint64 *id);
    // Refused when there is no such profile or the new name is empty, too long or taken.
    static QM6ErrorPtr Rename(QM6ConnectionPrivate *d, qint64 id, const QString &name);
};
