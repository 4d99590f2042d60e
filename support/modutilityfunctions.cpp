#include "modutilityfunctions.h"

#include "win32locale.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>

namespace modUtilityFunctions {

namespace {

constexpr int kLocaleBuffer = 256;
// QLineEdit's own default, which no form sets on purpose.
constexpr int kNoMaxLength = 32767;

// Element 0: first character of the decimal separator, element 1: of the negative sign; 0 = not read.
quint16 g_intLocaleChars[2] = {0, 0};

class NumericKeyFilter : public QObject {
public:
    NumericKeyFilter(QLineEdit *txt, bool allowNegative, bool allowDecimal)
        : QObject(txt), m_allowNegative(allowNegative), m_allowDecimal(allowDecimal)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto *ke = static_cast<QKeyEvent *>(event);
        if (ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        // Keys without printable text (arrows, Delete, Tab, Backspace, Return ...) are editing.
        for (const QChar ch : ke->text()) {
            if (ch.unicode() < 0x20 || ch.unicode() == 0x7f)
                continue;
            if (FilterNumericKey(ch.unicode(), m_allowNegative, m_allowDecimal) == 0)
                return true;
        }
        return false;
    }

private:
    bool m_allowNegative;
    bool m_allowDecimal;
};

quint16 FirstChar(const QString &strText) { return strText.isEmpty() ? 0 : strText.at(0).unicode(); }

} // namespace

QString GetLocaleText(qint32 locale, qint32 item)
{
    char buffer[kLocaleBuffer] = {};
    const int n = qm6loc::GetLocaleInfoA(qm6loc::LCID(locale), qm6loc::LCTYPE(item), buffer, kLocaleBuffer);
    if (n >= 2)
        return QString::fromUtf8(buffer, n - 1);
    return QString();
}

QString GetDecimalSeparator(qint32 locale) { return GetLocaleText(locale, qint32(qm6loc::LOCALE_SDECIMAL)); }

QString GetNegativeSign(qint32 locale) { return GetLocaleText(locale, qint32(qm6loc::LOCALE_SNEGATIVESIGN)); }

quint16 FilterNumericKey(quint16 key, bool allowNegative, bool allowDecimal)
{
    if (g_intLocaleChars[0] == 0 || g_intLocaleChars[1] == 0) {
        g_intLocaleChars[0] = FirstChar(GetDecimalSeparator());
        g_intLocaleChars[1] = FirstChar(GetNegativeSign());
    }
    bool blnPass;
    if (key != 0 && key == g_intLocaleChars[0])
        blnPass = allowDecimal;
    else if (key != 0 && key == g_intLocaleChars[1])
        blnPass = allowNegative;
    else
        blnPass = (key >= '0' && key <= '9') || key == 8;
    if (blnPass)
        return key;
    QApplication::beep();
    return 0;
}

void ResetNumericKeyCache()
{
    g_intLocaleChars[0] = 0;
    g_intLocaleChars[1] = 0;
}

QObject *InstallNumericKeyFilter(QLineEdit *txt, bool allowNegative, bool allowDecimal)
{
    if (!txt)
        return nullptr;
    auto *filter = new NumericKeyFilter(txt, allowNegative, allowDecimal);
    txt->installEventFilter(filter);
    return filter;
}

bool TrimTextControls(QWidget *form, bool warn)
{
    if (!form)
        return true;
    const QList<QLineEdit *> boxes = form->findChildren<QLineEdit *>();
    for (QLineEdit *txt : boxes) {
        // The editors inside combo and spin boxes belong to those controls, not to the form.
        QWidget *parent = txt->parentWidget();
        if (qobject_cast<QComboBox *>(parent) || qobject_cast<QAbstractSpinBox *>(parent))
            continue;
        QString strText = txt->text().trimmed();
        const int intMax = txt->maxLength() == kNoMaxLength ? 0 : txt->maxLength();
        if (intMax > 0)
            strText.truncate(intMax);
        if (strText != txt->text())
            txt->setText(strText);
        if (intMax == 0 && warn) {
            QMessageBox::warning(form, QCoreApplication::applicationName(),
                                 QStringLiteral("TrimTextControls: Textbox ") + txt->objectName() +
                                     QStringLiteral(" does not have MaxLength specified."));
            return false;
        }
    }
    return true;
}

QString NullToString(const QVariant &value)
{
    if (value.isNull())
        return QString();
    return value.toString();
}

QString TrimSpaces(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

} // namespace modUtilityFunctions
