#include "qm6printer.h"
#include "qm6aliasstore.h"
#include "qm6connectionprivate.h"
#include "qm6printerrecord.h"
#include "qm6printerstore.h"

QM6Printer::QM6Printer() : d(std::make_unique<QM6PrinterRecord>()) {}
QM6Printer::~QM6Printer() = default;
QM6Printer::QM6Printer(const QM6Printer &other) : d(std::make_unique<QM6PrinterRecord>(*other.d)) {}

QM6Printer &QM6Printer::operator=(const QM6Printer &other)
{
    *d = *other.d;
    return *this;
}

qint32 QM6Printer::PrinterId() const { return d->m_printerId; }
void QM6Printer::SetPrinterId(qint32 v) { d->m_printerId = v; }
QString QM6Printer::PrinterKey() const { return d->m_printerKey; }
QString QM6Printer::Name() const { return d->m_name; }
void QM6Printer::SetName(const QString &v) { d->m_name = v; }
QString QM6Printer::Device() const { return d->m_device; }
void QM6Printer::SetDevice(const QString &v) { d->m_device = v; }
QString QM6Printer::Host() const { return d->m_host; }
void QM6Printer::SetHost(const QString &v) { d->m_host = v; }
QString QM6Printer::Port() const { return d->m_port; }
void QM6Printer::SetPort(const QString &v) { d->m_port = v; }
QString QM6Printer::Model() const { return d->m_model; }
void QM6Printer::SetModel(const QString &v) { d->m_model = v; }
QString QM6Printer::Location() const { return d->m_location; }
void QM6Printer::SetLocation(const QString &v) { d->m_location = v; }
QString QM6Printer::SerialNo() const { return d->m_serialNo; }
void QM6Printer::SetSerialNo(const QString &v) { d->m_serialNo = v; }
QString QM6Printer::AccountNo() const { return d->m_accountNo; }
void QM6Printer::SetAccountNo(const QString &v) { d->m_accountNo = v; }
qint32 QM6Printer::ConnectionType() const { return d->m_connectionType; }
void QM6Printer::SetConnectionType(qint32 v) { d->m_connectionType = v; }
qint32 QM6Printer::DeviceType() const { return d->m_deviceType; }
void QM6Printer::SetDeviceType(qint32 v) { d->m_deviceType = v; }
qint32 QM6Printer::PrintProfileId() const { return d->m_printProfileId; }
void QM6Printer::SetPrintProfileId(qint32 v) { d->m_printProfileId = v; }
bool QM6Printer::IsColor() const { return d->m_isColor; }
void QM6Printer::SetIsColor(bool v) { d->m_isColor = v; }
bool QM6Printer::IsDuplex() const { return d->m_isDuplex; }
void QM6Printer::SetIsDuplex(bool v) { d->m_isDuplex = v; }
bool QM6Printer::PopEarly() const { return d->m_popEarly; }
void QM6Printer::SetPopEarly(bool v) { d->m_popEarly = v; }
bool QM6Printer::DisableColorMode() const { return d->m_disableColorMode; }
void QM6Printer::SetDisableColorMode(bool v) { d->m_disableColorMode = v; }
bool QM6Printer::AutoMerge() const { return d->m_autoMerge; }
void QM6Printer::SetAutoMerge(bool v) { d->m_autoMerge = v; }
QM6AutoMergeRule &QM6Printer::AutoMergeRule() { return d->m_rule; }
const QM6AutoMergeRule &QM6Printer::AutoMergeRule() const { return d->m_rule; }
QString QM6Printer::ModifiedBy() const { return d->m_modifiedBy; }
QDateTime QM6Printer::ModifiedOn() const { return d->m_modifiedOn; }
qint32 QM6Printer::BWTotal() const { return d->m_bwTotal; }
void QM6Printer::SetBWTotal(qint32 v) { d->m_bwTotal = v; }
qint32 QM6Printer::ColorTotal() const { return d->m_colorTotal; }
void QM6Printer::SetColorTotal(qint32 v) { d->m_colorTotal = v; }

QM6Printer::Identity QM6Printer::GetIdentity() const
{
    return {d->m_printerId, d->m_printerKey, d->m_rowVersion, d->m_modifiedBy, d->m_modifiedOn};
}

void QM6Printer::RestoreIdentity(const Identity &identity)
{
    d->m_printerId = identity.printerId;
    d->m_printerKey = identity.printerKey;
    d->m_rowVersion = identity.rowVersion;
    d->m_modifiedBy = identity.modifiedBy;
    d->m_modifiedOn = identity.modifiedOn;
}

// Every call needs the component's own connection; anything else is no connection at all.
#define QM6_CONNECTION_OR_FAIL(connection)                                  \
    QM6ConnectionPrivate *c = QM6ConnectionPrivate::get(connection);        \
    if (!c)                                                                  \
        return QM6NoConnectionError()

QM6ErrorPtr QM6Printer::Load(const QM6ConnectionPtr &connection, qint32 printerId)
{
    QM6_CONNECTION_OR_FAIL(connection);
    return QM6PrinterStore::Load(d.get(), c, printerId);
}

QM6ErrorPtr QM6Printer::Save(const QM6ConnectionPtr &connection)
{
    QM6_CONNECTION_OR_FAIL(connection);
    return QM6PrinterStore::Save(d.get(), c);
}

QM6ErrorPtr QM6Printer::Delete(const QM6ConnectionPtr &connection)
{
    QM6_CONNECTION_OR_FAIL(connection);
    return QM6PrinterStore::Delete(d.get(), c);
}

QM6ErrorPtr QM6Printer::DeleteAlias(const QM6ConnectionPtr &connection, const QString &aliasKey, qint32 &count)
{
    count = 0;
    QM6_CONNECTION_OR_FAIL(connection);
    return QM6AliasStore::DeleteAlias(d.get(), c, aliasKey, count);
}

QM6ErrorPtr QM6Printer::AddAlias(const QM6ConnectionPtr &connection, const QString &key, const QString &device,
                                 const QString &host, const QString &port, qint32 connectionType, bool)
{
    QM6_CONNECTION_OR_FAIL(connection);
    return QM6AliasStore::AddAlias(d.get(), c, key, device, host, port, connectionType);
}

QM6ErrorPtr QM6Printer::MoveAlias(const QM6ConnectionPtr &connection, const QString &aliasKey, qint32 targetPrinterId,
                                  qint32 &count)
{
    count = 0;
    QM6_CONNECTION_OR_FAIL(connection);
    return QM6AliasStore::MoveAlias(c, aliasKey, targetPrinterId, count);
}

QM6ErrorPtr QM6Printer::SaveTotals(const QM6ConnectionPtr &connection, qint32 bwTotal, qint32 colorTotal)
{
    QM6_CONNECTION_OR_FAIL(connection);
    return QM6PrinterStore::SaveTotals(d.get(), c, bwTotal, colorTotal);
}
