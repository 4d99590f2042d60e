// History entries as lines of text, for qm6data (the editor shows them in its own words).
#pragma once

#include "qm6history.h"

class QM6HistoryText {
public:
    // "2024-05-01 14:03:09  admin  saved: location "Lab" -> "Lab 2"", the time local.
    static QString Line(const QM6HistoryEntry &entry);
    // "name "A" -> "B"; port "" -> "LPT1:"", or for a new printer "name "A"; port "LPT1:"".
    static QString Changes(const QList<QM6HistoryChange> &changes, bool valuesOnly = false);
};
