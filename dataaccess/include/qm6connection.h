// The data connection that the console opens and hands to its pages. It carries the
// signed-in administrator's name, answers permission checks from the database and
// brackets changes in transactions.
#pragma once

#include "qm6dataaccess_export.h"
#include "qm6error.h"

#include <QString>
#include <memory>

class QM6DATA_EXPORT QM6Connection {
public:
    // URL forms: "sqlite:/path/to/file.db" and "postgresql://user@host:port/db" (host may
    // be a Unix socket folder, written percent-encoded or as "host=/dir" query item).
    static QM6ErrorPtr Open(const QString &url, const QString &userName, std::shared_ptr<QM6Connection> *out);
    // "sqlite:$XDG_DATA_HOME/quillmark6/printers.db" (~/.local/share when unset).
    static QString DefaultUrl();
    // The signed-in operating-system user: the console's default administrator, to whom a
    // demo site gives the administrator's rights.
    static QString OperatingSystemUser();

    virtual ~QM6Connection();
    QM6Connection(const QM6Connection &) = delete;
    QM6Connection &operator=(const QM6Connection &) = delete;

    virtual QString Url() const = 0;
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

protected:
    // Connections come from Open; the component's own class behind it holds the database.
    QM6Connection() = default;
};

using QM6ConnectionPtr = std::shared_ptr<QM6Connection>;
