#include "fillcombo.h"

#include <QComboBox>

void FillComboFromList(QComboBox *combo, const QVariant &list, qint16 firstRow, bool skipZeroCodes)
{
    if (!combo || list.typeId() != QMetaType::QVariantList)
        return;
    const QVariantList rows = list.toList();
    combo->clear();
    const qsizetype start = firstRow == -1 ? 0 : firstRow;
    for (qsizetype i = start; i < rows.size(); ++i) {
        const QVariantList row = rows.at(i).toList();
        const qint32 code = row.value(0).toInt();
        if (skipZeroCodes && code == 0)
            continue;
        combo->addItem(row.value(1).toString(), code);
    }
}
