// One registry value addressed by root, key path and value name, read and written with
// Boolean results and error texts instead of exceptions.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

// The root key and the value type that callers name most, as the numbers clsRegistry takes.
inline constexpr quint32 HKEY_CURRENT_USER_ROOT = 0x80000001u;
inline constexpr qint32 RegDword = 4;

class clsRegistry {
public:
    clsRegistry();

    bool CheckSecurity(qint32 plngDesiredAccess);
    bool KeyExists(QString *pstrError = nullptr);
    bool CreateKey(bool pblnEveryoneAccess, QString *pstrError = nullptr);
    bool DeleteKey(QString *pstrError = nullptr);
    bool DeleteValue(QString *pstrError = nullptr);
    QVariant GetValue(QString *pstrError = nullptr);
    QVariant GetValueOrDefault(const QString &pstrKey, const QVariant &pvntDefaultValue, QString *pstrError = nullptr);
    bool SetCreateValue(const QString &pstrValueKey, const QVariant &pvntValue, bool pblnEveryoneAccess,
                        QString *pstrError = nullptr);
    bool SetValue(const QVariant &vvntValue, QString *pstrError = nullptr);
    // Names in enumeration order; count = names.size().
    bool EnumerateValues(QStringList &names, qint32 &count, QString *pstrError = nullptr);
    bool EnumerateSections(QStringList &names, qint32 &count, QString *pstrError = nullptr);

    qint32 ValueType() const { return m_valueType; }
    void SetValueType(qint32 v) { m_valueType = v; }
    quint32 ClassKey() const { return m_classKey; }
    void SetClassKey(quint32 v) { m_classKey = v; }
    QString SectionKey() const { return m_sectionKey; }
    void SetSectionKey(const QString &v) { m_sectionKey = v; }
    QString ValueKey() const { return m_valueKey; }
    void SetValueKey(const QString &v) { m_valueKey = v; }
    QVariant Default() const { return m_default; }
    void SetDefault(const QVariant &v) { m_default = v; }

    bool IsNT() const { return m_isNT; }

private:
    bool m_isNT = false;
    quint32 m_classKey = 0;
    QString m_sectionKey;
    QString m_valueKey;
    QVariant m_default;
    qint32 m_valueType = 0;
};
