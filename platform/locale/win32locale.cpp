#include "win32locale.h"

#include <QByteArray>

#include <cstring>

namespace qm6loc {

namespace {

struct Entry {
    LCID lcid;
    const char *name;
};

// The ids in use by the product's string tables and the locales people commonly run.
constexpr Entry kTable[] = {
    {1025, "ar_SA"}, {1026, "bg_BG"}, {1027, "ca_ES"}, {1028, "zh_TW"}, {1029, "cs_CZ"}, {1030, "da_DK"},
    {1031, "de_DE"}, {1032, "el_GR"}, {1033, "en_US"}, {1035, "fi_FI"}, {1036, "fr_FR"}, {1037, "he_IL"},
    {1038, "hu_HU"}, {1039, "is_IS"}, {1040, "it_IT"}, {1041, "ja_JP"}, {1042, "ko_KR"}, {1043, "nl_NL"},
    {1044, "nb_NO"}, {1045, "pl_PL"}, {1046, "pt_BR"}, {1048, "ro_RO"}, {1049, "ru_RU"}, {1050, "hr_HR"},
    {1051, "sk_SK"}, {1053, "sv_SE"}, {1054, "th_TH"}, {1055, "tr_TR"}, {1057, "id_ID"}, {1058, "uk_UA"},
    {1060, "sl_SI"}, {1061, "et_EE"}, {1062, "lv_LV"}, {1063, "lt_LT"}, {1066, "vi_VN"}, {1081, "hi_IN"},
    {2052, "zh_CN"}, {2055, "de_CH"}, {2057, "en_GB"}, {2058, "es_MX"}, {2060, "fr_BE"}, {2064, "it_CH"},
    {2067, "nl_BE"}, {2070, "pt_PT"}, {3076, "zh_HK"}, {3079, "de_AT"}, {3081, "en_AU"}, {3082, "es_ES"},
    {3084, "fr_CA"}, {4100, "zh_SG"}, {4105, "en_CA"}, {4108, "fr_CH"}, {5129, "en_NZ"}, {6153, "en_IE"},
    {7177, "en_ZA"}, {16393, "en_IN"},
};

// Sublanguage 1 is the language's home variant (en-US, de-DE, ...), the one to fall back on;
// Spanish and Chinese have theirs elsewhere.
bool isHomeVariant(LCID lcid) { return (lcid >> 10) == 1 || lcid == 3082 || lcid == 2052; }

QString itemText(const QLocale &l, LCID lcid, LCTYPE item)
{
    switch (item) {
    case LOCALE_ILANGUAGE:
        return QStringLiteral("%1").arg(lcid, 4, 16, QLatin1Char('0'));
    case LOCALE_SENGLANGUAGE:
        return QLocale::languageToString(l.language());
    case LOCALE_SENGCOUNTRY:
        return QLocale::territoryToString(l.territory());
    case LOCALE_SNATIVELANGNAME:
        return l.nativeLanguageName();
    case LOCALE_SDECIMAL:
        return l.decimalPoint();
    case LOCALE_STHOUSAND:
        return l.groupSeparator();
    case LOCALE_SPOSITIVESIGN:
        return l.positiveSign();
    case LOCALE_SNEGATIVESIGN:
        return l.negativeSign();
    case LOCALE_SISO639LANGNAME:
        return l.name().section(QLatin1Char('_'), 0, 0);
    case LOCALE_SISO3166CTRYNAME:
        return l.name().section(QLatin1Char('_'), 1, 1);
    case LOCALE_SNAME:
        return l.name().replace(QLatin1Char('_'), QLatin1Char('-'));
    default:
        return QString();
    }
}

} // namespace

LCID LocaleToLCID(const QLocale &locale)
{
    LCID fallback = 0;
    for (const Entry &e : kTable) {
        const QLocale candidate(QLatin1String(e.name));
        if (candidate.language() != locale.language())
            continue;
        if (candidate.territory() == locale.territory())
            return e.lcid;
        if (!fallback || (isHomeVariant(e.lcid) && !isHomeVariant(fallback)))
            fallback = e.lcid;
    }
    return fallback ? fallback : 1033;
}

QLocale LCIDToLocale(LCID lcid, bool *ok)
{
    if (ok)
        *ok = true;
    if (lcid == LOCALE_USER_DEFAULT || lcid == LOCALE_SYSTEM_DEFAULT)
        return QLocale();
    for (const Entry &e : kTable) {
        if (e.lcid == lcid)
            return QLocale(QLatin1String(e.name));
    }
    if (ok)
        *ok = false;
    return QLocale::c();
}

bool IsKnownLCID(LCID lcid)
{
    bool ok = false;
    LCIDToLocale(lcid, &ok);
    return ok;
}

LCID GetUserDefaultLCID() { return LocaleToLCID(QLocale()); }

LCID GetSystemDefaultLCID() { return LocaleToLCID(QLocale::system()); }

int GetLocaleInfoA(LCID Locale, LCTYPE LCType, char *lpLCData, int cchData)
{
    bool ok = false;
    const QLocale l = LCIDToLocale(Locale, &ok);
    if (!ok || cchData < 0)
        return 0;
    const LCID effective = (Locale == LOCALE_USER_DEFAULT || Locale == LOCALE_SYSTEM_DEFAULT) ? LocaleToLCID(l) : Locale;
    // LOCALE_NOUSEROVERRIDE and friends change nothing here.
    const QString text = itemText(l, effective, LCType & 0x0FFFFFFFu);
    if (text.isNull())
        return 0;
    const QByteArray utf8 = text.toUtf8();
    const int needed = int(utf8.size()) + 1;
    if (cchData == 0)
        return needed;
    if (!lpLCData || cchData < needed)
        return 0;
    std::memcpy(lpLCData, utf8.constData(), size_t(needed));
    return needed;
}

} // namespace qm6loc
