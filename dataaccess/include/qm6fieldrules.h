// The rules the printer editor holds typed values to, kept in the data component so that a
// printer list read from a file (qm6data import) is held to exactly the same rules.
//
// Numbers: only plain ASCII digits count. Text the editor's key filter would have refused but
// that pasting lets in (" 12", "1e2", "+1", "1.5", "&H10", Arabic-Indic digits) is never a
// number here. Addresses: text that does not match gives false; nothing fails loudly.
#pragma once

#include "qm6dataaccess_export.h"

#include <QString>
#include <QStringList>

namespace fieldrules {

// One piece of a dotted IPv4 address: 1 to 3 digits, 0 to 255.
QM6DATA_EXPORT bool IsAddressPiece(const QString &text);
// The TCP port after an IP address: empty (none), or 1 to 5 digits, 1 to 65535.
QM6DATA_EXPORT bool IsIPPort(const QString &text);
// A page total: 1 to 10 digits, 0 to 2,147,483,647. value receives it when true.
QM6DATA_EXPORT bool ReadPageTotal(const QString &text, qint32 &value);

} // namespace fieldrules

// A share path: two backslashes, the server, a backslash and the share. host receives the
// text between the leading backslashes and the next backslash (possibly empty) whenever that
// backslash exists; true only when something follows it.
QM6DATA_EXPORT bool ParseUNCPath(const QString &path, QString &host);

// A dotted IPv4 address, optionally followed by ":" and a port. port receives everything
// after the first ":" in any case (unchecked); parts the four address pieces when the address
// is valid, and is empty otherwise.
QM6DATA_EXPORT bool ParseIPAddress(const QString &address, QString &port, QStringList &parts);

// Six groups of one or two hexadecimal digits joined by "-". parts receives the groups as
// written (case kept) when valid, and is empty otherwise.
QM6DATA_EXPORT bool ParseMACAddress(const QString &address, QStringList &parts);
