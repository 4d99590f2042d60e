// The printer list: one record per printer and per printer merged into it, read as two
// ordered lists (live printers by name and identifier; merged printers by owner and key)
// that are merged here. Joining them in the database costs a search of the merged
// printers per printer, which on SQLite takes most of the time of the whole list.
#pragma once

#include "qm6error.h"
#include "qm6recordset.h"

class QM6ConnectionPrivate;

class QM6DATA_EXPORT QM6PrinterList {
public:
    // The list's statements, read in one snapshot in this order (benchmarks run them alone);
    // on PostgreSQL the read transaction and its settings come first.
    static const char PgBeginSql[];
    static const char PgSettingsSql[];
    static const char ProfilesSql[];
    static const char AliasesSql[];
    static const char PrintersSql[];

    // An empty recordset with the list's fields.
    static QM6RecordsetPtr NewRecordset();
    // Fills rs (from NewRecordset) with the list.
    static QM6ErrorPtr Read(QM6ConnectionPrivate *d, QM6Recordset *rs);
};
