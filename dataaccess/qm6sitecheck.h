// Integrity checks over a site's tables, for `qm6data check` and the tests.
#pragma once

#include "qm6connection.h"
#include "qm6error.h"

#include <QStringList>

class QM6SiteCheck {
public:
    // Appends one line per rule to *report ("ok: ..." or "FAILED: ..."); *allHold tells
    // whether every rule held. Every rule runs: one whose query fails is reported as failed.
    // Nothing is written; the connection may be a read-only one.
    static QM6ErrorPtr Run(QM6Connection *connection, QStringList *report, bool *allHold);
};
