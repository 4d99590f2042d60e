// Compiled string tables (Qt .qm files) checked before Qt sees them. QTranslator trusts every
// length and offset inside a table: one changed byte can make a lookup read far outside it.
// A table passes only when every lookup QTranslator can make stays inside it.
#pragma once

#include <QByteArray>
#include <QString>

class QTranslator;

namespace modStringTable {

// True when QTranslator may load and search the table: every block inside the file, the message
// block a sequence of complete messages, every hash entry pointing at the start of one, the
// context table's lists inside their block, and no dependency on other files. Otherwise false,
// with what is wrong in pstrError.
bool IsValidStringTable(const char *pData, qsizetype lngSize, QString *pstrError = nullptr);

// Checks the table and loads it into the translator. The translator reads the bytes where they
// are: they must outlive it, unchanged.
bool LoadStringTable(QTranslator &translator, const QByteArray &data, QString *pstrError = nullptr);

} // namespace modStringTable
