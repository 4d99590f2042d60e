// How the editor reads the numbers typed into its boxes. Only plain ASCII digits count: text
// the key filter would have refused, but that pasting lets in (" 12", "1e2", "+1", "1.5",
// "&H10", Arabic-Indic digits), is never a number here.
#pragma once

#include <QString>

namespace fieldrules {

// One piece of a dotted IPv4 address: 1 to 3 digits, 0 to 255.
bool IsAddressPiece(const QString &text);
// The TCP port after an IP address: empty (none), or 1 to 5 digits, 1 to 65535.
bool IsIPPort(const QString &text);
// A page total: 1 to 10 digits, 0 to 2,147,483,647. value receives it when true.
bool ReadPageTotal(const QString &text, qint32 &value);

} // namespace fieldrules
