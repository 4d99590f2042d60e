// Our tables, created and brought up to date by numbered migrations when a connection opens.
#pragma once

#include "qm6error.h"

class QM6ConnectionPrivate;

class QM6Schema {
public:
    static constexpr int CurrentVersion = 5;
    // The first version that keeps the change history of printers.
    static constexpr int HistoryVersion = 5;
    // Column lengths that texts are checked against before they are stored.
    static constexpr int NameLength = 100, PortLength = 100, HostLength = 55, LongTextLength = 255,
                         KeyLength = 255, UserLength = 100;

    // Brings the site up to date. The version is read first: the write lock is taken (and
    // the journal mode set) only when there is something to do, so that users who may only
    // read a site can open it, and opening never waits for another process's change. A site
    // created here gives its creator every permission; *created tells whether it was.
    static QM6ErrorPtr Migrate(QM6ConnectionPrivate *d, bool *created = nullptr);
    // Refuses a database that is not a site, or one of a version this program cannot read.
    static QM6ErrorPtr RequireSite(QM6ConnectionPrivate *d);
    // PostgreSQL: brings the planner's statistics and the visibility map of the tables up to
    // date after a bulk change (outside a transaction; inside one, the statistics only), so
    // that the printer list is read from its indexes in order. Nothing to do on SQLite.
    static void RefreshStatistics(QM6ConnectionPrivate *d);

    // 0 for a database without the site's tables.
    static QM6ErrorPtr ReadVersion(QM6ConnectionPrivate *d, int *version);
};
