// Windows locale ids (LCIDs) over QLocale: the user default locale is the application's default
// QLocale, so QLocale::setDefault changes what every caller sees.
#pragma once

#include <QLocale>

#include <cstdint>

namespace qm6loc {

using LCID = std::uint32_t;
using LCTYPE = std::uint32_t;

inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;   // 1024
inline constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800; // 2048

inline constexpr LCTYPE LOCALE_ILANGUAGE = 0x0001;        // id as 4 hex digits, "0409"
inline constexpr LCTYPE LOCALE_SENGLANGUAGE = 0x1001;     // "English"
inline constexpr LCTYPE LOCALE_SENGCOUNTRY = 0x1002;      // "United States"
inline constexpr LCTYPE LOCALE_SNATIVELANGNAME = 0x0004;  // "English", "français"
inline constexpr LCTYPE LOCALE_SDECIMAL = 0x000E;         // 14
inline constexpr LCTYPE LOCALE_STHOUSAND = 0x000F;
inline constexpr LCTYPE LOCALE_SPOSITIVESIGN = 0x0050;
inline constexpr LCTYPE LOCALE_SNEGATIVESIGN = 0x0051;    // 81
inline constexpr LCTYPE LOCALE_SISO639LANGNAME = 0x0059;  // "en"
inline constexpr LCTYPE LOCALE_SISO3166CTRYNAME = 0x005A; // "US"
inline constexpr LCTYPE LOCALE_SNAME = 0x005C;            // "en-US"

// The id of a QLocale (nearest known language/territory; 1033 when nothing fits).
LCID LocaleToLCID(const QLocale &locale);
// The QLocale of an id; 1024 and 2048 stand for the default locale. ok = false for unknown ids
// (the C locale is returned then).
QLocale LCIDToLocale(LCID lcid, bool *ok = nullptr);
// Whether the id is one we know (the defaults included).
bool IsKnownLCID(LCID lcid);

LCID GetUserDefaultLCID();
LCID GetSystemDefaultLCID();

// Writes the item as UTF-8 with a terminator and returns the count including it; cchData 0 asks
// for that count only. 0 for an unknown id or item, or a buffer too small.
int GetLocaleInfoA(LCID Locale, LCTYPE LCType, char *lpLCData, int cchData);

} // namespace qm6loc
