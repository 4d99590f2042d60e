// The data component's shared objects: the printer queries and the lookup lists.
#pragma once

#include "qm6dataaccess_export.h"
#include "qm6connection.h"
#include "qm6error.h"
#include "qm6recordset.h"

#include <QVariant>

class QM6DATA_EXPORT PrinterData {
public:
    // One per thread, made on first use.
    static PrinterData &Instance();

    // Fields: PrinterId, PrinterKey, Name, Port, Host, ProfileName, ConnectionType, AccountNo,
    // AliasPrinterKey, AliasDeviceName, AliasPort, AliasHost, AliasMergeType; each printer's
    // records consecutive (printers by name, then identifier; its aliases by key).
    QM6ErrorPtr GetPrinters(const QM6ConnectionPtr &connection, QM6RecordsetPtr *recordset, bool flag = true);
    // Fields: PrintProfileId, Name; by name.
    QM6ErrorPtr GetPrintProfiles(const QM6ConnectionPtr &connection, QM6RecordsetPtr *recordset);
};

class QM6DATA_EXPORT LookupLists {
public:
    // One per thread, made on first use.
    static LookupLists &Instance();

    // A QVariantList of rows, each a QVariantList {code (int), text (QString)}, read from the
    // given connection and kept with it; an invalid QVariant when the list cannot be read
    // (no connection, unknown list).
    QVariant GetList(const QM6ConnectionPtr &connection, qint32 listNumber);
    // Forgets the lists kept for the connection.
    void Clear(const QM6ConnectionPtr &connection);
};
