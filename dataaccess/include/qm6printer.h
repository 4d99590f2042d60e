// The data component's printer object and its auto-merge rule.
#pragma once

#include "qm6dataaccess_export.h"
#include "qm6connection.h"
#include "qm6error.h"

#include <QDateTime>
#include <QString>
#include <memory>

class QM6DATA_EXPORT QM6AutoMergeRule {
public:
    QString DeviceMatch() const { return m_device; }
    void SetDeviceMatch(const QString &v) { m_device = v; }
    QString HostMatch() const { return m_host; }
    void SetHostMatch(const QString &v) { m_host = v; }
    QString PortMatch() const { return m_port; }
    void SetPortMatch(const QString &v) { m_port = v; }
    QString ModelMatch() const { return m_model; }
    void SetModelMatch(const QString &v) { m_model = v; }

    // The set of connection types as a bit mask (bit n = code n); 0 empties it.
    qint32 ConnectionTypes() const { return m_types; }
    void SetConnectionTypes(qint32 mask) { m_types = mask; }
    void AddConnectionType(qint32 code) { if (code >= 0 && code < 31) m_types |= (1 << code); }
    bool IncludesConnectionType(qint32 code) const { return code >= 0 && code < 31 && (m_types & (1 << code)); }

private:
    QString m_device, m_host, m_port, m_model;
    qint32 m_types = 0;
};

struct QM6PrinterRecord;

class QM6DATA_EXPORT QM6Printer {
public:
    QM6Printer();
    ~QM6Printer();
    QM6Printer(const QM6Printer &other);
    QM6Printer &operator=(const QM6Printer &other);

    qint32 PrinterId() const;
    void SetPrinterId(qint32 v);
    QString PrinterKey() const;
    QString Name() const;
    void SetName(const QString &v);
    QString Device() const;
    void SetDevice(const QString &v);
    QString Host() const;
    void SetHost(const QString &v);
    QString Port() const;
    void SetPort(const QString &v);
    QString Model() const;
    void SetModel(const QString &v);
    QString Location() const;
    void SetLocation(const QString &v);
    QString SerialNo() const;
    void SetSerialNo(const QString &v);
    QString AccountNo() const;
    void SetAccountNo(const QString &v);
    qint32 ConnectionType() const;
    void SetConnectionType(qint32 v);
    qint32 DeviceType() const;
    void SetDeviceType(qint32 v);
    qint32 PrintProfileId() const;
    void SetPrintProfileId(qint32 v);
    bool IsColor() const;
    void SetIsColor(bool v);
    bool IsDuplex() const;
    void SetIsDuplex(bool v);
    bool PopEarly() const;
    void SetPopEarly(bool v);
    bool DisableColorMode() const;
    void SetDisableColorMode(bool v);
    bool AutoMerge() const;
    void SetAutoMerge(bool v);
    QM6AutoMergeRule &AutoMergeRule();
    const QM6AutoMergeRule &AutoMergeRule() const;
    QString ModifiedBy() const;
    // Invalid (null) QDateTime = never modified (the "0" date).
    QDateTime ModifiedOn() const;
    qint32 BWTotal() const;
    void SetBWTotal(qint32 v);
    qint32 ColorTotal() const;
    void SetColorTotal(qint32 v);

    QM6ErrorPtr Load(const QM6ConnectionPtr &connection, qint32 printerId);
    QM6ErrorPtr Save(const QM6ConnectionPtr &connection);
    QM6ErrorPtr Delete(const QM6ConnectionPtr &connection);
    QM6ErrorPtr DeleteAlias(const QM6ConnectionPtr &connection, const QString &aliasKey, qint32 &count);
    QM6ErrorPtr AddAlias(const QM6ConnectionPtr &connection, const QString &key, const QString &device,
                         const QString &host, const QString &port, qint32 connectionType, bool flag);
    QM6ErrorPtr MoveAlias(const QM6ConnectionPtr &connection, const QString &aliasKey, qint32 targetPrinterId,
                          qint32 &count);
    QM6ErrorPtr SaveTotals(const QM6ConnectionPtr &connection, qint32 bwTotal, qint32 colorTotal);

    // What Save and SaveTotals set on the object as soon as their statement succeeds: the
    // stored row's identifier, key and version, and who stored it when. A caller whose own
    // transaction around those calls is rolled back puts them back, so that the object
    // describes the stored row again and can be saved once more.
    struct Identity {
        qint32 printerId = -1;
        QString printerKey;
        qint64 rowVersion = 0;
        QString modifiedBy;
        QDateTime modifiedOn;
    };
    Identity GetIdentity() const;
    void RestoreIdentity(const Identity &identity);

private:
    std::unique_ptr<QM6PrinterRecord> d;
};

using QM6PrinterPtr = std::shared_ptr<QM6Printer>;
