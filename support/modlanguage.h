// User-visible texts by number, from the string table that matches the user's locale:
// <language folder>/<LCID>/<module>LangRes.qm, with 1033 (English) as the fallback.
// One string table per process; used from the user-interface thread only.
#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <type_traits>

namespace modLanguage {

// Finds and loads the string table for the module ("devfleet" gives devfleetLangRes.qm).
// Any table loaded before is unloaded first. True when a table is loaded. A damaged table
// counts as missing and is not read again until its size or modification time changes.
bool LoadLanguageLibrary(const QString &pstrModuleName);
void UnloadLanguageLibrary();
bool IsLanguageLibraryLoaded();

// The text with that id, with each "%s" filled by the next argument's text. Empty when no
// table can be loaded or the table has no such id. Loads the remembered module's table on
// demand, so a text appears as soon as its file does.
QString GetLangString(qint32 plngId, const QVariantList &pvntArgs);

namespace detail {
template <typename T>
QVariant ToLangArgument(T &&value)
{
    using V = std::remove_cvref_t<T>;
    // Every integer width becomes one QVariant type (long has no constructor of its own).
    if constexpr (std::is_integral_v<V> && !std::is_same_v<V, bool>)
        return QVariant(qlonglong(value));
    else
        return QVariant(std::forward<T>(value));
}
} // namespace detail

// GetLangString(159, name), GetLangString(1402, value, max): each argument as a QVariant.
template <typename... Args>
    requires(!(sizeof...(Args) == 1 && (std::is_same_v<std::remove_cvref_t<Args>, QVariantList> && ...)))
QString GetLangString(qint32 plngId, Args &&...args)
{
    return GetLangString(plngId, QVariantList{detail::ToLangArgument(std::forward<Args>(args))...});
}

// The folder named by QM6_LANG_DIR when it is set; otherwise the "lang" folder beside the
// binary that holds this code or beside its nearest ancestor folder that has one, computed once
// per process.
QString GetLanguageFolder();
// The locale id configured for the product (HKCU\Software\Quillmark 6, LocaleId), else the user's.
qint32 GetLanguageId();
// The configured locale id, or -1 when none is configured.
QVariant GetConfiguredLocaleId();
// True when a file or folder exists at the path.
bool FileExists(const QString &pstrPath);

} // namespace modLanguage
