#include "qm6siteusers.h"
#include "qm6connectionprivate.h"
#include "qm6schema.h"
#include "qm6texts.h"

#include <QFile>
#include <QSqlError>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString describe(qint32 code)
{
    switch (code) {
    case QM6SiteUsers::ViewPrinters: return QStringLiteral(" (may view printers)");
    case QM6SiteUsers::ChangePrinters: return QStringLiteral(" (may change printers)");
    case QM6SiteUsers::ViewReports: return QStringLiteral(" (may view reports)");
    case QM6SiteUsers::ChangeUsers: return QStringLiteral(" (may change users)");
    default: return QString();
    }
}

QM6ErrorPtr refuse(const QString &text)
{
    return MakeQM6Error(text, QM6Error::ErrPermission);
}

// Inserts user when missing, then grants code (0: every permission) unless held already.
QM6ErrorPtr grantTo(QM6ConnectionPrivate *d, const QString &user, const QString &fullName, qint32 code, const QString &what)
{
    QSqlQuery q;
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("INSERT INTO users (user_name, full_name) SELECT :u1, :full"
                                                     " WHERE NOT EXISTS (SELECT 1 FROM users WHERE user_name = :u2)"), what))
        return e;
    q.bindValue(QStringLiteral(":u1"), user);
    q.bindValue(QStringLiteral(":u2"), user);
    q.bindValue(QStringLiteral(":full"), fullName);
    if (QM6ErrorPtr e = d->Exec(q, what))
        return e;
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral(
            "INSERT INTO user_permissions (user_id, code) SELECT u.user_id, p.code FROM users u, permissions p"
            " WHERE u.user_name = :u AND (p.code = :code OR :all = 1)"
            " AND NOT EXISTS (SELECT 1 FROM user_permissions x WHERE x.user_id = u.user_id AND x.code = p.code)"), what))
        return e;
    q.bindValue(QStringLiteral(":u"), user);
    q.bindValue(QStringLiteral(":code"), code);
    q.bindValue(QStringLiteral(":all"), code == 0 ? 1 : 0);
    return d->Exec(q, what);
}

} // namespace

QM6ErrorPtr QM6SiteUsers::Identify(QM6ConnectionPrivate *d)
{
    if (d->pg) {
        QSqlQuery q(d->db());
        if (!q.exec(QStringLiteral("SELECT current_user")) || !q.next())
            return d->DbError(QM6Texts::tr("Asking the database who you are"), q.lastError().text());
        d->identity = q.value(0).toString();
    } else {
        d->identity = QM6Connection::OperatingSystemUser();
        if (d->identity.isEmpty())
            return refuse(QM6Texts::tr("This program runs as user id %1, which has no name on this computer, so the site "
                                         "cannot tell who you are. Run it as a user listed in the user database "
                                         "(/etc/passwd).").arg(geteuid()));
    }
    if (d->identity.isEmpty())
        return refuse(QM6Texts::tr("The database did not say who you are; the site cannot be opened."));
    return {};
}

QM6ErrorPtr QM6SiteUsers::Check(QM6ConnectionPrivate *d, qint32 code)
{
    const QString what = QM6Texts::tr("Checking permissions");
    QM6KeptStatement q;
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral(
            "SELECT u.user_name, (SELECT COUNT(*) FROM user_permissions up WHERE up.user_id = u.user_id AND up.code = :code)"
            " FROM users u WHERE u.user_name = :me OR u.user_name = :narrow"), what))
        return e;
    q->bindValue(QStringLiteral(":code"), code);
    q->bindValue(QStringLiteral(":me"), d->identity);
    q->bindValue(QStringLiteral(":narrow"), d->narrowedTo.isEmpty() ? d->identity : d->narrowedTo);
    if (QM6ErrorPtr e = d->Exec(*q, what))
        return e;
    QHash<QString, bool> holds;
    while (q->next())
        holds.insert(q->value(0).toString(), q->value(1).toLongLong() > 0);
    QStringList names{d->identity};
    if (!d->narrowedTo.isEmpty())
        names << d->narrowedTo;
    for (const QString &name : names) {
        const bool narrowing = name != d->identity;
        if (!holds.contains(name))
            return refuse(narrowing ? QM6Texts::tr("The user \"%1\", whose rights you asked to be limited to, is not known to "
                                                     "this database, so no permission is left.").arg(name)
                                    : QM6Texts::tr("The user \"%1\" is not known to this database, so no permission can be "
                                                     "granted. An administrator can add the user with: qm6data grant %2 %1")
                                          .arg(name, d->url));
        if (!holds.value(name))
            return refuse(QM6Texts::tr("The user \"%1\" does not have permission %2%3.%4")
                              .arg(name).arg(code).arg(describe(code),
                                   narrowing ? QStringLiteral(" You (\"%1\") asked to have no more rights than \"%2\".")
                                                   .arg(d->identity, name)
                                             : QString()));
    }
    return code == ChangePrinters ? Writable(d) : QM6ErrorPtr();
}

QM6ErrorPtr QM6SiteUsers::Writable(QM6ConnectionPrivate *d)
{
    if (d->readOnly)
        return refuse(QM6Texts::tr("This connection to %1 only reads.").arg(d->url));
    if (!d->pg) {
        sqlite3 *h = d->SqliteHandle();
        if (h && sqlite3_db_readonly(h, "main") == 1)
            return refuse(QM6Texts::tr("The database file %1 is read-only for \"%2\", so printers can be looked at but "
                                         "not changed.").arg(d->sqlitePath, d->identity));
        return {};
    }
    QSqlQuery q(d->db());
    if (!q.exec(QStringLiteral("SELECT has_table_privilege('printers', 'UPDATE')")) || !q.next())
        return d->DbError(QM6Texts::tr("Checking permissions"), q.lastError().text());
    if (!q.value(0).toBool())
        return refuse(QM6Texts::tr("The database role \"%1\" may only read the site's tables, so printers can be looked at "
                                     "but not changed.").arg(d->identity));
    return {};
}

QM6ErrorPtr QM6SiteUsers::GrantCreator(QM6ConnectionPrivate *d)
{
    return grantTo(d, d->identity, QStringLiteral("Creator of the site"), 0, QM6Texts::tr("Giving the site's creator its rights"));
}

QM6ErrorPtr QM6SiteUsers::MayAdminister(QM6ConnectionPrivate *d)
{
    if (!Check(d, ChangeUsers))
        return {};
    bool owner = false;
    if (d->pg) {
        QSqlQuery q(d->db());
        if (!q.exec(QStringLiteral("SELECT r.rolsuper OR pg_has_role(current_user, db.datdba, 'MEMBER')"
                                   " FROM pg_roles r, pg_database db WHERE r.rolname = current_user AND db.datname = current_database()")))
            return d->DbError(QM6Texts::tr("Asking who owns the database"), q.lastError().text());
        owner = q.next() && q.value(0).toBool();
    } else {
        struct stat st;
        owner = geteuid() == 0 || (::stat(QFile::encodeName(d->sqlitePath).constData(), &st) == 0 && st.st_uid == geteuid());
    }
    if (owner)
        return {};
    return refuse(QM6Texts::tr("Only the site's owner and users with permission %1 (may change users) may grant and revoke "
                                 "permissions; \"%2\" is neither.").arg(ChangeUsers).arg(d->identity));
}

QM6ErrorPtr QM6SiteUsers::Change(QM6Connection *connection, const QString &user, const QList<qint32> &codes, bool grant)
{
    QM6ConnectionPrivate *d = QM6ConnectionPrivate::get(connection);
    if (!d)
        return QM6NoConnectionError();
    const QString what = grant ? QM6Texts::tr("Granting permissions to \"%1\"").arg(user)
                               : QM6Texts::tr("Revoking permissions from \"%1\"").arg(user);
    if (user.trimmed().isEmpty() || user.size() > QM6Schema::UserLength ||
        std::any_of(user.begin(), user.end(), [](QChar ch) { return ch.category() == QChar::Other_Control; }))
        return MakeQM6Error(QStringLiteral("\"%1\" is not a user name: give 1 to %2 characters without control characters.")
                                .arg(user).arg(QM6Schema::UserLength),
                            QM6Error::ErrInvalid);
    QM6WriteScope scope(connection);
    if (QM6ErrorPtr e = scope.Begin())
        return e;
    auto run = [&]() -> QM6ErrorPtr {
        if (QM6ErrorPtr e = MayAdminister(d))
            return e;
        QSqlQuery q;
        for (qint32 code : codes) {
            if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("SELECT COUNT(*) FROM permissions WHERE code = :code"), what))
                return e;
            q.bindValue(QStringLiteral(":code"), code);
            if (QM6ErrorPtr e = d->Exec(q, what))
                return e;
            if (!q.next() || q.value(0).toLongLong() == 0)
                return MakeQM6Error(QM6Texts::tr("There is no permission %1; the permissions are %2, %3, %4 and %5.")
                                        .arg(code).arg(ViewPrinters).arg(ChangePrinters).arg(ViewReports).arg(ChangeUsers),
                                    QM6Error::ErrInvalid);
        }
        if (grant) {
            for (qint32 code : codes.isEmpty() ? QList<qint32>{0} : codes)
                if (QM6ErrorPtr e = grantTo(d, user, QString(), code, what))
                    return e;
            return {};
        }
        if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("SELECT user_id FROM users WHERE user_name = :u"), what))
            return e;
        q.bindValue(QStringLiteral(":u"), user);
        if (QM6ErrorPtr e = d->Exec(q, what))
            return e;
        if (!q.next())
            return MakeQM6Error(QM6Texts::tr("The user \"%1\" is not known to this database.").arg(user), QM6Error::ErrNotFound);
        const qint64 id = q.value(0).toLongLong();
        for (qint32 code : codes.isEmpty() ? QList<qint32>{0} : codes) {
            if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("DELETE FROM user_permissions WHERE user_id = :id AND (code = :code OR :all = 1)"), what))
                return e;
            q.bindValue(QStringLiteral(":id"), id);
            q.bindValue(QStringLiteral(":code"), code);
            q.bindValue(QStringLiteral(":all"), code == 0 ? 1 : 0);
            if (QM6ErrorPtr e = d->Exec(q, what))
                return e;
        }
        return {};
    };
    return scope.End(run());
}

QM6ErrorPtr QM6SiteUsers::Grant(QM6Connection *connection, const QString &user, const QList<qint32> &codes)
{
    return Change(connection, user, codes, true);
}

QM6ErrorPtr QM6SiteUsers::Revoke(QM6Connection *connection, const QString &user, const QList<qint32> &codes)
{
    return Change(connection, user, codes, false);
}

QM6ErrorPtr QM6SiteUsers::List(QM6Connection *connection, QStringList *lines)
{
    QM6ConnectionPrivate *d = QM6ConnectionPrivate::get(connection);
    if (!d)
        return QM6NoConnectionError();
    const QString what = QM6Texts::tr("Listing the site's users");
    QSqlQuery q;
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("SELECT u.user_name, up.code FROM users u LEFT JOIN user_permissions up"
                                                     " ON up.user_id = u.user_id ORDER BY u.user_name, up.code"), what))
        return e;
    if (QM6ErrorPtr e = d->Exec(q, what))
        return e;
    QString current;
    QStringList codes;
    auto flush = [&] {
        if (!current.isNull())
            *lines << QStringLiteral("%1: %2").arg(current, codes.isEmpty() ? QStringLiteral("no permissions") : codes.join(u' '));
    };
    while (q.next()) {
        const QString name = q.value(0).toString();
        if (name != current || current.isNull()) {
            flush();
            current = name;
            codes.clear();
        }
        if (!q.value(1).isNull())
            codes << q.value(1).toString();
    }
    flush();
    return {};
}
