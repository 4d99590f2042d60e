// The console's language: the same rule as the pages' (the LocaleId the user chose, in
// HKEY_CURRENT_USER\Software\Quillmark 6, else the user's locale), for the console's own texts,
// the data component's messages, Qt's dialogs and the texts the data component keeps per
// language (lookup lists, the names a new site's standard profiles get).
#pragma once

#include <QString>

// Loads the string tables for the language and installs them in the application; tables that
// are missing leave English. Returns the locale id in use.
qint32 ApplyConsoleLanguage();

// Keeps the choice for the user (as LocaleId); false with the reason when it cannot be kept.
bool StoreConsoleLanguage(qint32 localeId, QString *error);
