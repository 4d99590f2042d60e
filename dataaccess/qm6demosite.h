// The demo site a new default database is filled with.
#pragma once

#include "qm6connection.h"
#include "qm6error.h"

class QM6DemoSite {
public:
    static QM6ErrorPtr Fill(QM6Connection *connection);
};
