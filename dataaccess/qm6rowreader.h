// Reading a query's rows as plain cells, without a QVariant per value: the big lists are
// read through these straight into recordsets.
#pragma once

#include "qm6error.h"
#include "qm6recordset.h"

#include <QList>
#include <QString>
#include <memory>

class QM6ConnectionPrivate;

// One value of the current row: UTF-8 text (valid until the next row) or a number.
using QM6Cell = QM6Recordset::Cell;

class QM6RowReader {
public:
    virtual ~QM6RowReader() = default;
    // Runs sql, whose columns are given as recordset field types (Text columns come as
    // text, the others as numbers).
    virtual QM6ErrorPtr Start(const char *sql, const QList<QM6Recordset::FieldType> &types) = 0;
    // The next row into cells (one per column); false at the end or on an error.
    virtual bool Next(QM6Cell *cells) = 0;
    // The error that ended the rows early, if any; the statement is done with.
    virtual QM6ErrorPtr Finish() = 0;

    // The fastest reader the connection offers: the SQLite handle, PostgreSQL's binary copy
    // over libpq, or Qt SQL.
    static std::unique_ptr<QM6RowReader> For(QM6ConnectionPrivate *d, const QString &what);
    // Copies every row into rs (its fields in the query's column order).
    static QM6ErrorPtr Fill(QM6RowReader &reader, const char *sql, QM6Recordset *rs);
};
