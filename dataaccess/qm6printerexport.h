// A site's printers as a CSV file that qm6data import reads back: every live printer with its
// key and every editable field, texts exactly as stored (no formula guard: this file is for
// importing, not for a spreadsheet).
#pragma once

#include "qm6connection.h"
#include "qm6error.h"

#include <QHash>
#include <QStringList>
#include <functional>

struct QM6PrinterRecord;

class QM6PrinterExport {
public:
    // The header row: "key", then the fields' names in QM6PrinterFields order.
    static QStringList Header();
    // The record of a printer, in the header's order.
    static QStringList Fields(const QM6PrinterRecord &p);
    // Writes the file whole or not at all; count receives the number of printers.
    static QM6ErrorPtr Write(QM6Connection *connection, const QString &path, qint64 *count);
    // Calls each with every live printer, in identifier order.
    static QM6ErrorPtr ForEachPrinter(QM6Connection *connection, const std::function<void(const QM6PrinterRecord &)> &each);
};
