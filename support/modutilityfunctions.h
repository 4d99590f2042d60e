// Small helpers shared by the forms: locale texts, a numeric key filter that follows the user's
// locale, and a trim pass over a form's text boxes before saving.
#pragma once

#include <QString>
#include <QVariant>

class QLineEdit;
class QObject;
class QWidget;

namespace modUtilityFunctions {

// Locale information (GetLocaleInfoA); empty when the locale or item is unknown.
QString GetLocaleText(qint32 locale, qint32 item);
// 1024 is the user's default locale (the application's default QLocale).
QString GetDecimalSeparator(qint32 locale = 1024);
QString GetNegativeSign(qint32 locale = 1024);

// The key to let through, or 0 (with a beep) to swallow it: digits and Backspace always pass,
// the locale's decimal separator and negative sign when allowed. The two locale characters are
// read once and kept.
quint16 FilterNumericKey(quint16 key, bool allowNegative, bool allowDecimal);
// Forgets the kept locale characters, so that the next filtered key reads them again.
void ResetNumericKeyCache();
// Filters the typed characters of a line edit through FilterNumericKey; navigation, editing and
// shortcut keys pass untouched. The filter object is a child of the line edit (returned).
QObject *InstallNumericKeyFilter(QLineEdit *txt, bool allowNegative, bool allowDecimal);

// Trims every text box (QLineEdit) of the form and cuts it to its maximum length. A text box
// without a maximum length (Qt's default 32767) is reported with a warning box when warn is
// set, and the pass stops with false.
bool TrimTextControls(QWidget *form, bool warn);

// The text of a value; empty for Null.
QString NullToString(const QVariant &value);
// Trim as the forms' language had it: spaces only, not tabs or line breaks.
QString TrimSpaces(const QString &s);

} // namespace modUtilityFunctions
