// Rows of a PostgreSQL query read as COPY ... TO STDOUT (FORMAT binary) on the libpq
// connection under Qt's driver: one message per row, values as the server sent them.
#pragma once

#include "qm6rowreader.h"

class QM6PgCopyReader {
public:
    // A reader on the connection's libpq handle; null when the connection is not
    // PostgreSQL or Qt is in the middle of a query on it.
    static std::unique_ptr<QM6RowReader> For(QM6ConnectionPrivate *d, const QString &what);
};
