// Reads a printer list that qm6data export wrote (possibly edited since) and changes the site
// to match it: a record with a printer's key changes that printer, a record with an empty key
// adds a printer. Each printer is changed in a transaction of its own and its history records
// the change. A record that cannot be read, names an unknown key or holds a value the printer
// editor would refuse is refused on its own, naming the line where it starts.
#pragma once

#include "qm6connection.h"
#include "qm6error.h"

#include <functional>

class QM6PrinterImport {
public:
    struct Outcome {
        qint64 changed = 0, added = 0, unchanged = 0, refused = 0;
    };
    // dryRun: reports what the import would do and changes nothing. report receives one line
    // per printer changed or added and per record refused, in the file's order. An error
    // comes back when the file cannot be read as a whole (missing, not such a list) or the
    // site cannot be read; a refused record is not an error.
    static QM6ErrorPtr Run(QM6Connection *connection, const QString &path, bool dryRun,
                           const std::function<void(const QString &)> &report, Outcome *outcome);
};
