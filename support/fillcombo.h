// Fills a combo box from one of the data component's lookup lists.
#pragma once

#include <QVariant>

class QComboBox;

// Clears the combo and adds each row of the list ({code, text} rows) from firstRow on (-1:
// the first row): the text as the entry, the code as its item data. With skipZeroCodes a
// row whose code is 0 (a list's "none" entry) is left out. A list that is not one leaves
// the combo as it is.
void FillComboFromList(QComboBox *combo, const QVariant &list, qint16 firstRow, bool skipZeroCodes = false);
