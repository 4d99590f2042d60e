#include "clsregistry.h"

#include "win32registry.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <QtEndian>

using namespace qm6reg;

namespace {

// Closes the key on every path out of an operation.
class KeyGuard {
public:
    KeyGuard() = default;
    ~KeyGuard()
    {
        if (h)
            RegCloseKey(h);
    }
    KeyGuard(const KeyGuard &) = delete;
    KeyGuard &operator=(const KeyGuard &) = delete;
    HKEY h = 0;
};

QString SystemErrorText(LONG lngCode)
{
    QByteArray buffer(1024, '\0');
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, DWORD(lngCode), 0, buffer.data(),
                                   DWORD(buffer.size()), nullptr);
    if (n < 1)
        return QStringLiteral("Unknown error code ") + QString::number(lngCode);
    buffer.replace('\0', ' ');
    // System texts end in a line break; it has no place inside the caller's sentence.
    return QString::fromUtf8(buffer).trimmed();
}

void SetError(QString *pstrError, const QString &strText)
{
    if (pstrError)
        *pstrError = strText;
}

void ReportUnknownPlatform()
{
    const QString strText = QStringLiteral("clsRegistry::Initialize() - Unknown platform type.");
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    const QString platform = QGuiApplication::platformName();
    const bool blnCanShow = app && QThread::currentThread() == app->thread() &&
                            platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
    if (blnCanShow)
        QMessageBox::critical(nullptr, QCoreApplication::applicationName(), strText);
    else
        qWarning("%s", qPrintable(strText));
}

bool IsDwordVariant(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
        return true;
    default:
        return false;
    }
}

} // namespace

clsRegistry::clsRegistry()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info))
        info.dwPlatformId = 0xFFFFFFFFu;
    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        m_isNT = false;
    } else if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        m_isNT = true;
    } else {
        m_isNT = false;
        ReportUnknownPlatform();
    }
}

bool clsRegistry::KeyExists(QString *pstrError)
{
    HKEY hKey = 0;
    const LONG lngRet = RegOpenKeyExA(HKEY(m_classKey), m_sectionKey.toUtf8().constData(), 0, KEY_QUERY_VALUE, &hKey);
    if (lngRet != ERROR_SUCCESS) {
        SetError(pstrError, SystemErrorText(lngRet));
        return false;
    }
    RegCloseKey(hKey);
    SetError(pstrError, QString());
    return true;
}

QVariant clsRegistry::GetValue(QString *pstrError)
{
    QVariant vntResult;
    KeyGuard key;
    const QByteArray strValue = m_valueKey.toUtf8();
    LONG lngRet = RegOpenKeyExA(HKEY(m_classKey), m_sectionKey.toUtf8().constData(), 0, KEY_QUERY_VALUE, &key.h);
    if (lngRet == ERROR_SUCCESS) {
        DWORD lngType = 0;
        DWORD lngSize = 0;
        lngRet = RegQueryValueExA(key.h, strValue.constData(), nullptr, &lngType, nullptr, &lngSize);
        if (lngRet == ERROR_MORE_DATA)
            lngRet = ERROR_SUCCESS;
        if (lngRet != ERROR_SUCCESS) {
            vntResult = m_default;
        } else {
            m_valueType = qint32(lngType);
            switch (lngType) {
            case REG_SZ:
            case REG_EXPAND_SZ:
            case REG_MULTI_SZ: {
                // The 9x branch sized its string one shorter because the runtime added the
                // terminator; the bytes handed to the query are the same on both.
                QByteArray buffer(qMax<qsizetype>(lngSize, 1), '\0');
                DWORD lngRead = lngSize;
                lngRet = RegQueryValueExA(key.h, strValue.constData(), nullptr, &lngType,
                                          reinterpret_cast<LPBYTE>(buffer.data()), &lngRead);
                if (lngRet != ERROR_SUCCESS)
                    break;
                buffer.truncate(lngRead);
                buffer.replace(QByteArray(1, '\0'), QByteArray());
                QString strText = QString::fromUtf8(buffer).trimmed();
                if (m_valueType == REG_EXPAND_SZ) {
                    const QByteArray source = strText.toUtf8();
                    const DWORD n = ExpandEnvironmentStringsA(source.constData(), nullptr, 0);
                    QByteArray expanded(qsizetype(n), '\0');
                    ExpandEnvironmentStringsA(source.constData(), expanded.data(), n);
                    strText = QString::fromUtf8(expanded.constData(), qsizetype(n) - 1);
                }
                vntResult = strText;
                break;
            }
            case REG_DWORD:
            case REG_DWORD_BIG_ENDIAN: {
                quint32 lngValue = 0;
                DWORD lngRead = sizeof lngValue;
                lngRet = RegQueryValueExA(key.h, strValue.constData(), nullptr, &lngType,
                                          reinterpret_cast<LPBYTE>(&lngValue), &lngRead);
                if (lngRet != ERROR_SUCCESS)
                    break;
                lngValue = qFromLittleEndian(lngValue);
                if (m_valueType == REG_DWORD_BIG_ENDIAN)
                    lngValue = qbswap(lngValue);
                vntResult = qint32(lngValue);
                break;
            }
            default: {
                QByteArray bytes(qsizetype(lngSize), '\0');
                DWORD lngRead = lngSize;
                lngRet = RegQueryValueExA(key.h, strValue.constData(), nullptr, &lngType,
                                          reinterpret_cast<LPBYTE>(bytes.data()), &lngRead);
                if (lngRet != ERROR_SUCCESS)
                    break;
                bytes.truncate(lngRead);
                vntResult = bytes;
                break;
            }
            }
        }
    }
    if (lngRet != ERROR_SUCCESS)
        SetError(pstrError, QStringLiteral("Error retrieving value: ") + SystemErrorText(lngRet));
    else
        SetError(pstrError, QString());
    return vntResult;
}

QVariant clsRegistry::GetValueOrDefault(const QString &pstrKey, const QVariant &pvntDefaultValue, QString *pstrError)
{
    m_valueKey = pstrKey;
    const QVariant vntValue = GetValue(pstrError);
    return vntValue.isNull() ? pvntDefaultValue : vntValue;
}

// ---- changes ----

bool clsRegistry::CreateKey(bool pblnEveryoneAccess, QString *pstrError)
{
    SetError(pstrError, QString());
    SECURITY_DESCRIPTOR sd;
    SECURITY_ATTRIBUTES sa;
    const SECURITY_ATTRIBUTES *psa = nullptr;
    if (pblnEveryoneAccess) {
        if (!InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) ||
            !SetSecurityDescriptorDacl(&sd, 1, nullptr, 0)) {
            SetError(pstrError, QStringLiteral("Unable to CreateKey. Problem creating security descriptor."));
            return false;
        }
        sa.nLength = sizeof sa;
        sa.lpSecurityDescriptor = &sd;
        sa.bInheritHandle = 0;
        psa = &sa;
    }
    KeyGuard key;
    DWORD lngDisposition = 0;
    char strClass[1] = {'\0'};
    const LONG lngRet = RegCreateKeyExA(HKEY(m_classKey), m_sectionKey.toUtf8().constData(), 0, strClass,
                                        REG_OPTION_NON_VOLATILE, KEY_WRITE, psa, &key.h, &lngDisposition);
    if (lngRet != ERROR_SUCCESS) {
        SetError(pstrError, QStringLiteral("Unable to create key: ") + SystemErrorText(lngRet));
        return false;
    }
    return true;
}

bool clsRegistry::DeleteKey(QString *pstrError)
{
    SetError(pstrError, QString());
    LONG lngRet;
    if (m_isNT) {
        KeyGuard key;
        lngRet = RegOpenKeyExA(HKEY(m_classKey), m_sectionKey.toUtf8().constData(), 0, KEY_ALL_ACCESS, &key.h);
        if (lngRet == ERROR_SUCCESS)
            lngRet = SHDeleteKeyA(key.h, "");
    } else {
        lngRet = RegDeleteKeyA(HKEY(m_classKey), m_sectionKey.toUtf8().constData());
    }
    if (lngRet != ERROR_SUCCESS) {
        SetError(pstrError, QStringLiteral("Unable to delete key: ") + SystemErrorText(lngRet));
        return false;
    }
    return true;
}

bool clsRegistry::DeleteValue(QString *pstrError)
{
    SetError(pstrError, QString());
    KeyGuard key;
    LONG lngRet = RegOpenKeyExA(HKEY(m_classKey), m_sectionKey.toUtf8().constData(), 0, KEY_WRITE, &key.h);
    if (lngRet == ERROR_SUCCESS)
        lngRet = RegDeleteValueA(key.h, m_valueKey.toUtf8().constData());
    if (lngRet != ERROR_SUCCESS) {
        SetError(pstrError, SystemErrorText(lngRet));
        return false;
    }
    return true;
}

bool clsRegistry::SetValue(const QVariant &vvntValue, QString *pstrError)
{
    QString strError;
    KeyGuard key;
    const QByteArray strValue = m_valueKey.toUtf8();
    LONG lngRet = RegOpenKeyExA(HKEY(m_classKey), m_sectionKey.toUtf8().constData(), 0, KEY_WRITE, &key.h);
    if (lngRet == ERROR_SUCCESS) {
        switch (m_valueType) {
        case REG_SZ:
        case REG_EXPAND_SZ: {
            const QString strText = vvntValue.toString();
            // A name between two percent signs makes the text expandable; "%%" alone does not.
            const qsizetype lngFirst = strText.indexOf(QLatin1Char('%'));
            const bool blnExpand = lngFirst >= 0 && strText.indexOf(QLatin1Char('%'), lngFirst + 2) >= 0;
            QByteArray data = strText.toUtf8();
            if (!m_isNT)
                data.append('\0');
            lngRet = RegSetValueExA(key.h, strValue.constData(), 0, blnExpand ? REG_EXPAND_SZ : REG_SZ,
                                    reinterpret_cast<const BYTE *>(data.constData()), DWORD(data.size()));
            break;
        }
        case REG_BINARY:
            if (vvntValue.typeId() != QMetaType::QByteArray) {
                strError = QStringLiteral("Could not set value. Invalid value for set type.");
            } else {
                const QByteArray data = vvntValue.toByteArray();
                lngRet = RegSetValueExA(key.h, strValue.constData(), 0, REG_BINARY,
                                        reinterpret_cast<const BYTE *>(data.constData()), DWORD(data.size()));
            }
            break;
        case REG_DWORD:
        case REG_DWORD_BIG_ENDIAN:
            if (!IsDwordVariant(vvntValue)) {
                strError = QStringLiteral("Could not set value. Invalid value for set type.");
            } else {
                // Both are written as a plain little-endian REG_DWORD.
                const quint32 lngValue = qToLittleEndian(vvntValue.typeId() == QMetaType::UInt ||
                                                                 vvntValue.typeId() == QMetaType::UShort
                                                             ? vvntValue.toUInt()
                                                             : quint32(vvntValue.toInt()));
                lngRet = RegSetValueExA(key.h, strValue.constData(), 0, REG_DWORD,
                                        reinterpret_cast<const BYTE *>(&lngValue), sizeof lngValue);
            }
            break;
        default:
            strError = QStringLiteral("Could not set value. Unknown value type.");
            break;
        }
    }
    if (lngRet != ERROR_SUCCESS)
        strError = QStringLiteral("Unable to set value: ") + SystemErrorText(lngRet);
    SetError(pstrError, strError);
    return strError.isEmpty();
}

bool clsRegistry::SetCreateValue(const QString &pstrValueKey, const QVariant &pvntValue, bool pblnEveryoneAccess,
                                 QString *pstrError)
{
    m_valueKey = pstrValueKey;
    bool blnResult = KeyExists(pstrError);
    if (!blnResult)
        blnResult = CreateKey(pblnEveryoneAccess, pstrError);
    if (blnResult)
        blnResult = SetValue(pvntValue, pstrError);
    return blnResult;
}

bool clsRegistry::EnumerateValues(QStringList &names, qint32 &count, QString *pstrError)
{
    names.clear();
    count = 0;
    SetError(pstrError, QString());
    KeyGuard key;
    LONG lngRet = RegOpenKeyExA(HKEY(m_classKey), m_sectionKey.toUtf8().constData(), 0, KEY_QUERY_VALUE, &key.h);
    DWORD lngMaxLen = 0;
    auto queryLongest = [&] {
        return RegQueryInfoKeyA(key.h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &lngMaxLen,
                                nullptr, nullptr, nullptr);
    };
    if (lngRet == ERROR_SUCCESS)
        lngRet = queryLongest();
    int intRetries = 0;
    for (DWORD lngIndex = 0; lngRet == ERROR_SUCCESS;) {
        QByteArray buffer(qMax<qsizetype>(qsizetype(lngMaxLen) + 1, 1), '\0');
        DWORD lngLen = DWORD(buffer.size());
        lngRet = RegEnumValueA(key.h, lngIndex, buffer.data(), &lngLen, nullptr, nullptr, nullptr, nullptr);
        if (lngRet == ERROR_MORE_DATA && intRetries++ < 3) {
            // Another writer added a longer name since the length was read.
            lngRet = queryLongest();
            continue;
        }
        if (lngRet != ERROR_SUCCESS)
            break;
        names.append(QString::fromUtf8(buffer.constData(), qsizetype(lngLen)));
        ++lngIndex;
    }
    if (lngRet != ERROR_NO_MORE_ITEMS) {
        SetError(pstrError, QStringLiteral("Unable to enumerate values: ") + SystemErrorText(lngRet));
        return false;
    }
    count = qint32(names.size());
    return true;
}

bool clsRegistry::EnumerateSections(QStringList &names, qint32 &count, QString *pstrError)
{
    names.clear();
    count = 0;
    SetError(pstrError, QString());
    KeyGuard key;
    LONG lngRet =
        RegOpenKeyExA(HKEY(m_classKey), m_sectionKey.toUtf8().constData(), 0, KEY_ENUMERATE_SUB_KEYS, &key.h);
    // 255 characters of a name can take more than 255 bytes in UTF-8; such a name gets a
    // buffer large enough for any 255-character name instead of failing the enumeration.
    constexpr qsizetype kWideName = 4 * 255 + 1;
    for (DWORD lngIndex = 0; lngRet == ERROR_SUCCESS; ++lngIndex) {
        QByteArray buffer(255, '\0');
        lngRet = RegEnumKeyA(key.h, lngIndex, buffer.data(), DWORD(buffer.size()));
        if (lngRet == ERROR_MORE_DATA) {
            buffer = QByteArray(kWideName, '\0');
            lngRet = RegEnumKeyA(key.h, lngIndex, buffer.data(), DWORD(buffer.size()));
        }
        if (lngRet != ERROR_SUCCESS)
            break;
        const qsizetype lngNul = buffer.indexOf('\0');
        names.append(QString::fromUtf8(lngNul >= 0 ? buffer.left(lngNul) : buffer));
    }
    if (lngRet != ERROR_NO_MORE_ITEMS) {
        SetError(pstrError, QStringLiteral("Unable to enumerate sections: ") + SystemErrorText(lngRet));
        return false;
    }
    count = qint32(names.size());
    return true;
}

bool clsRegistry::CheckSecurity(qint32 plngDesiredAccess)
{
    if (!m_isNT)
        return true;
    KeyGuard key;
    if (RegOpenKeyExA(HKEY(m_classKey), m_sectionKey.toUtf8().constData(), 0, KEY_READ, &key.h) != ERROR_SUCCESS)
        return false;
    const SECURITY_INFORMATION info =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD lngSize = 0;
    if (RegGetKeySecurity(key.h, info, nullptr, &lngSize) != ERROR_INSUFFICIENT_BUFFER)
        return false;
    QByteArray sd(qsizetype(lngSize), '\0');
    if (RegGetKeySecurity(key.h, info, sd.data(), &lngSize) != ERROR_SUCCESS)
        return false;
    // The check runs for the user of this process, which is what impersonating oneself gives.
    const GENERIC_MAPPING mapping{KEY_READ, KEY_WRITE, KEY_EXECUTE, KEY_ALL_ACCESS};
    if (!IsValidSecurityDescriptor(sd.constData()))
        return false;
    ACCESS_MASK lngGranted = 0;
    BOOL blnStatus = 0;
    if (!AccessCheck(sd.constData(), nullptr, MAXIMUM_ALLOWED, &mapping, &lngGranted, &blnStatus) || !blnStatus)
        return false;
    // Generic bits are asked in their mapped form; the granted mask never holds them.
    ACCESS_MASK lngDesired = ACCESS_MASK(plngDesiredAccess);
    MapGenericMask(&lngDesired, &mapping);
    return (lngGranted & lngDesired) == lngDesired;
}
