// Who the user of a connection is, what the user may do, and the site's users and their
// permissions as `qm6data grant|revoke|users` change and list them.
#pragma once

#include "qm6connection.h"
#include "qm6error.h"

#include <QList>
#include <QStringList>

class QM6ConnectionPrivate;

class QM6SiteUsers {
public:
    enum : qint32 { ViewPrinters = 128, ChangePrinters = 129, ViewReports = 130, ChangeUsers = 131 };

    // Sets the connection's identity: the login role on PostgreSQL, the operating-system
    // user on SQLite. A user who cannot be identified is refused.
    static QM6ErrorPtr Identify(QM6ConnectionPrivate *d);
    // Granted when the identity and the user the rights are narrowed to both hold code; the
    // right to change printers also needs a database this connection may write.
    static QM6ErrorPtr Check(QM6ConnectionPrivate *d, qint32 code);
    // Gives the identity every permission; the creator of a site, inside the transaction
    // that creates it.
    static QM6ErrorPtr GrantCreator(QM6ConnectionPrivate *d);

    // Grants or revokes codes (none: every permission). Allowed to users with permission 131
    // and to the site's owner (of the SQLite file, or of the PostgreSQL database).
    static QM6ErrorPtr Grant(QM6Connection *connection, const QString &user, const QList<qint32> &codes);
    static QM6ErrorPtr Revoke(QM6Connection *connection, const QString &user, const QList<qint32> &codes);
    // One line per user: "name: 128 129 ..." or "name: no permissions".
    static QM6ErrorPtr List(QM6Connection *connection, QStringList *lines);

private:
    static QM6ErrorPtr Change(QM6Connection *connection, const QString &user, const QList<qint32> &codes, bool grant);
    static QM6ErrorPtr MayAdminister(QM6ConnectionPrivate *d);
    static QM6ErrorPtr Writable(QM6ConnectionPrivate *d);
};
