// The data connection that the console opens and hands to its pages. It carries the
// signed-in administrator's name, answers permission checks from the database and
// brackets changes in transactions.
#pragma once

#include "hostapi_export.h"
#include "qm6error.h"

#include <QObject>
#include <QString>
#include <memory>

class QM6ConnectionPrivate;

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

    ~QM6Connection();
    QM6Connection(const QM6Connection &) = delete;
    QM6Connection &operator=(const QM6Connection &) = delete;

    QString Url() const;
    QString UserName() const;
    bool IsPostgreSQL() const;

    QM6ErrorPtr CheckPermission(qint32 code);
    // Callers bracket their work with these; they nest, and an opened connection that
    // was lost is opened again.
    QM6ErrorPtr OpenConnection(bool openIt = true);
    void CloseConnection();
    QM6ErrorPtr BeginTransaction();
    QM6ErrorPtr CommitTransaction();
    QM6ErrorPtr RollbackTransaction();
    bool InTransaction() const;

    QM6ConnectionPrivate *d_func() const { return d.get(); }

private:
    QM6Connection();
    std::unique_ptr<QM6ConnectionPrivate> d;
};

using QM6ConnectionPtr = std::shared_ptr<QM6Connection>;
