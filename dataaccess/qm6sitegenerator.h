// Fills a database with a realistic site: printers of every connection type, aliases of
// both merge types, jobs, track profiles and accounts. Used for the demo site and for
// large test and benchmark databases.
#pragma once

#include "qm6connection.h"
#include "qm6error.h"

class QM6SiteGenerator {
public:
    static constexpr double MaxAliasesPerPrinter = 100;
    struct Options {
        qint64 printers = 60;
        double aliasesPerPrinter = 0.5;   // 0 to 100; may be fractional: 0.5 = one alias per two printers
        quint32 seed = 6;
        bool demo = false;                // also users, auto-merge rules and friendlier names
    };
    // Everything is written in one transaction: the site is added whole or not at all. Needs
    // the right to change printers.
    static QM6ErrorPtr Generate(QM6Connection *connection, const Options &options, qint64 *recordsWritten = nullptr);
};
