// The data connection that the console opens and hands to its pages. It knows who the user
// is, answers permission checks from the database and brackets changes in transactions.
//
// Who the user is comes from what the user cannot simply claim: on PostgreSQL the session's
// login role (the server authenticated it), on SQLite the operating-system user running the
// process (there the file's permissions are the boundary). A user name given to Open can only
// narrow the rights: the rights are those that both the user and the named user have.
#pragma once

#include "qm6dataaccess_export.h"
#include "qm6error.h"

#include <QString>
#include <memory>

class QM6DATA_EXPORT QM6Connection {
public:
    // URL forms: "sqlite:/path/to/file.db" and "postgresql://user@host:port/db" (host may
    // be a Unix socket folder, written percent-encoded or as "host=/dir" query item).
    // narrowToUser: empty, or a user whose rights the connection is limited to (a user may
    // look at a site read-only as "auditor"). A site this call creates gives every
    // permission to the user who created it; a new SQLite file is readable by its owner only.
    static QM6ErrorPtr Open(const QString &url, const QString &narrowToUser, std::shared_ptr<QM6Connection> *out);
    // Opens the site, making it first when there is none (a new file, or the site's tables in
    // an empty database); whoever makes it holds every permission in it. Open itself makes only
    // the default site, on first run: a mistyped address must not quietly become a new site.
    static QM6ErrorPtr CreateSite(const QString &url, std::shared_ptr<QM6Connection> *out);
    // "sqlite:$XDG_DATA_HOME/quillmark6/printers.db" (~/.local/share when unset).
    static QString DefaultUrl();
    // The operating-system user running this process (effective user id); empty when that
    // user has no name on this computer.
    static QString OperatingSystemUser();
    // A database address as it may be shown: without a password.
    static QString DisplayUrl(const QString &url);
    // The language (a Windows locale id: 1033 English, 1036 French ...) of the texts the data
    // component keeps for people: lookup list entries, and the names of the standard track
    // profiles a new site gets. One per process, set by the host at start; 1033 until then.
    // Entries without a text in that language read in English.
    static void SetLanguage(qint32 localeId);
    static qint32 Language();

    virtual ~QM6Connection();
    QM6Connection(const QM6Connection &) = delete;
    QM6Connection &operator=(const QM6Connection &) = delete;

    // The site's address without any password in it.
    virtual QString Url() const = 0;
    // Who the user is (see above); changes are recorded under this name.
    virtual QString UserName() const = 0;
    virtual bool IsPostgreSQL() const = 0;

    virtual QM6ErrorPtr CheckPermission(qint32 code) = 0;
    // Callers bracket their work with these; they nest, and an opened connection that
    // was lost is opened again.
    virtual QM6ErrorPtr OpenConnection(bool openIt = true) = 0;
    virtual void CloseConnection() = 0;
    virtual QM6ErrorPtr BeginTransaction() = 0;
    virtual QM6ErrorPtr CommitTransaction() = 0;
    virtual QM6ErrorPtr RollbackTransaction() = 0;
    virtual bool InTransaction() const = 0;
    // The user name the rights are narrowed to; empty when they are not narrowed.
    virtual QString NarrowedTo() const = 0;

protected:
    // Connections come from Open; the component's own class behind it holds the database.
    QM6Connection() = default;
};

using QM6ConnectionPtr = std::shared_ptr<QM6Connection>;
