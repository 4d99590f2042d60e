// The data component's printer object and its auto-merge rule.
#pragma once

#include "hostapi_export.h"
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

class QM6DATA_EXPORT QM6Printer {
public:
    QM6Printer() = default;

    qint32 PrinterId() const { return m_printerId; }
    void SetPrinterId(qint32 v) { m_printerId = v; }
    QString PrinterKey() const { return m_printerKey; }
    QString Name() const { return m_name; }
    void SetName(const QString &v) { m_name = v; }
    QString Device() const { return m_device; }
    void SetDevice(const QString &v) { m_device = v; }
    QString Host() const { return m_host; }
    void SetHost(const QString &v) { m_host = v; }
    QString Port() const { return m_port; }
    void SetPort(const QString &v) { m_port = v; }
    QString Model() const { return m_model; }
    void SetModel(const QString &v) { m_model = v; }
    QString Location() const { return m_location; }
    void SetLocation(const QString &v) { m_location = v; }
    QString SerialNo() const { return m_serialNo; }
    void SetSerialNo(const QString &v) { m_serialNo = v; }
    QString AccountNo() const { return m_accountNo; }
    void SetAccountNo(const QString &v) { m_accountNo = v; }
    qint32 ConnectionType() const { return m_connectionType; }
    void SetConnectionType(qint32 v) { m_connectionType = v; }
    qint32 DeviceType() const { return m_deviceType; }
    void SetDeviceType(qint32 v) { m_deviceType = v; }
    qint32 PrintProfileId() const { return m_printProfileId; }
    void SetPrintProfileId(qint32 v) { m_printProfileId = v; }
    bool IsColor() const { return m_isColor; }
    void SetIsColor(bool v) { m_isColor = v; }
    bool IsDuplex() const { return m_isDuplex; }
    void SetIsDuplex(bool v) { m_isDuplex = v; }
    bool PopEarly() const { return m_popEarly; }
    void SetPopEarly(bool v) { m_popEarly = v; }
    bool DisableColorMode() const { return m_disableColorMode; }
    void SetDisableColorMode(bool v) { m_disableColorMode = v; }
    bool AutoMerge() const { return m_autoMerge; }
    void SetAutoMerge(bool v) { m_autoMerge = v; }
    QM6AutoMergeRule &AutoMergeRule() { return m_rule; }
    const QM6AutoMergeRule &AutoMergeRule() const { return m_rule; }
    QString ModifiedBy() const { return m_modifiedBy; }
    // Invalid (null) QDateTime = never modified (the "0" date).
    QDateTime ModifiedOn() const { return m_modifiedOn; }
    qint32 BWTotal() const { return m_bwTotal; }
    void SetBWTotal(qint32 v) { m_bwTotal = v; }
    qint32 ColorTotal() const { return m_colorTotal; }
    void SetColorTotal(qint32 v) { m_colorTotal = v; }

    QM6ErrorPtr Load(const QM6ConnectionPtr &connection, qint32 printerId);
    QM6ErrorPtr Save(const QM6ConnectionPtr &connection);
    QM6ErrorPtr Delete(const QM6ConnectionPtr &connection);
    QM6ErrorPtr DeleteAlias(const QM6ConnectionPtr &connection, const QString &aliasKey, qint32 &count);
    QM6ErrorPtr AddAlias(const QM6ConnectionPtr &connection, const QString &key, const QString &device,
                         const QString &host, const QString &port, qint32 connectionType, bool flag);
    QM6ErrorPtr MoveAlias(const QM6ConnectionPtr &connection, const QString &aliasKey, qint32 targetPrinterId,
                          qint32 &count);
    QM6ErrorPtr SaveTotals(const QM6ConnectionPtr &connection, qint32 bwTotal, qint32 colorTotal);

private:
    friend class QM6PrinterStore;
    qint32 m_printerId = -1;
    QString m_printerKey;
    QString m_name, m_device, m_host, m_port, m_model, m_location, m_serialNo, m_accountNo;
    qint32 m_connectionType = 0;
    qint32 m_deviceType = 0;
    qint32 m_printProfileId = 0;
    bool m_isColor = false, m_isDuplex = false, m_popEarly = false, m_disableColorMode = false, m_autoMerge = false;
    QM6AutoMergeRule m_rule;
    QString m_modifiedBy;
    QDateTime m_modifiedOn;
    qint32 m_bwTotal = 0, m_colorTotal = 0;
    qint64 m_rowVersion = 0;   // the version loaded; a save over a newer one is refused
};

using QM6PrinterPtr = std::shared_ptr<QM6Printer>;
