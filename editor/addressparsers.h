// Reading the host, port and device texts a printer is stored with, for the Connection tab
// and for the save's checks. None of them fails loudly: text that does not match gives false.
#pragma once

#include <QString>
#include <QStringList>

// A share path: two backslashes, the server, a backslash and the share. host receives the
// text between the leading backslashes and the next backslash (possibly empty) whenever that
// backslash exists; true only when something follows it.
bool ParseUNCPath(const QString &path, QString &host);

// A dotted IPv4 address, optionally followed by ":" and a port. port receives everything
// after the first ":" in any case (unchecked); parts the four address pieces when the address
// is valid, and is empty otherwise.
bool ParseIPAddress(const QString &address, QString &port, QStringList &parts);

// Six groups of one or two hexadecimal digits joined by "-". parts receives the groups as
// written (case kept) when valid, and is empty otherwise.
bool ParseMACAddress(const QString &address, QStringList &parts);
