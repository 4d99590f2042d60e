// The editable fields of a printer by name and as text: the one vocabulary of the change
// history, of printer list exports and of imports, so that a value reads the same in all three.
#pragma once

#include "qm6history.h"

#include <QList>
#include <QString>

struct QM6PrinterRecord;

class QM6PrinterFields {
public:
    // In the order of an export's columns (after the key).
    enum Id : int {
        Name, ProfileId, AccountNo, ConnectionType, Host, Port, Device, DeviceType, Model, SerialNo, Location,
        IsColor, IsDuplex, PopEarly, DisableColorMode, BWTotal, ColorTotal,
        AutoMerge, AutoMergeTypes, AutoMergeDevice, AutoMergeHost, AutoMergePort, AutoMergeModel,
        Count
    };
    enum Kind { Text, Number, Flag, TypeSet };
    struct Field {
        const char *name;
        Kind kind;
        int maxLength;   // characters of a text; 0 for no limit
    };

    static const Field &Info(int id);
    static QString Get(const QM6PrinterRecord &p, int id);
    // false, leaving p as it was, when text is not a value of the field's kind: numbers are
    // plain ASCII digits (at most 2,147,483,647), flags 0 or 1, type sets codes from 0 to 30
    // separated by spaces. Texts are taken as they are.
    static bool Set(QM6PrinterRecord &p, int id, const QString &text);
    // The fields whose texts differ between before and after, in field order; the totals only
    // when withTotals.
    static QList<QM6HistoryChange> Diff(const QM6PrinterRecord &before, const QM6PrinterRecord &after, bool withTotals);
    // The values a new printer was stored with: every field that is not empty or 0.
    static QList<QM6HistoryChange> Values(const QM6PrinterRecord &p);
};
