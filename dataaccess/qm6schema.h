// Our tables, created and brought up to date by numbered migrations when a connection opens.
#pragma once

#include "qm6error.h"

class QM6ConnectionPrivate;

class QM6Schema {
public:
    static constexpr int CurrentVersion = 2;
    // Column lengths that texts are checked against before they are stored.
    static constexpr int NameLength = 100, PortLength = 100, HostLength = 55, LongTextLength = 255,
                         KeyLength = 255, UserLength = 100;

    static QM6ErrorPtr Migrate(QM6ConnectionPrivate *d);
};
