#include "qm6importrules.h"
#include "qm6connectionprivate.h"
#include "qm6fieldrules.h"
#include "qm6printerfields.h"
#include "qm6printerrecord.h"
#include "qm6texts.h"

#include <algorithm>

namespace {

using F = QM6PrinterFields;

QString codes(const QSet<qint32> &set)
{
    QList<qint32> sorted(set.begin(), set.end());
    std::sort(sorted.begin(), sorted.end());
    QStringList texts;
    for (const qint32 code : sorted)
        texts << QString::number(code);
    return texts.join(QStringLiteral(", "));
}

QString name(int id)
{
    return QLatin1String(F::Info(id).name);
}

} // namespace

QM6ErrorPtr QM6ImportRules::ReadLists(QM6ConnectionPrivate *d, Lists *lists)
{
    const QString what = QM6Texts::tr("Reading the track profiles and lookup lists");
    QSqlQuery q;
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("SELECT profile_id FROM track_profiles"), what))
        return e;
    if (QM6ErrorPtr e = d->Exec(q, what))
        return e;
    while (q.next())
        lists->profiles.insert(q.value(0).toInt());
    if (QM6ErrorPtr e = d->Prepare(q, QStringLiteral("SELECT list_no, code FROM lookup_entries WHERE list_no IN (5, 6)"), what))
        return e;
    if (QM6ErrorPtr e = d->Exec(q, what))
        return e;
    while (q.next()) {
        const qint32 code = q.value(1).toInt();
        if (q.value(0).toInt() == 5)
            lists->deviceTypes.insert(code);
        else if (code != 0)
            lists->connectionTypes.insert(code);
    }
    return {};
}

QString QM6ImportRules::Check(QM6PrinterRecord *p, const QM6PrinterRecord *before, const Lists &lists)
{
    // Texts are trimmed where the record changed them.
    for (int id = 0; id < F::Count; ++id) {
        if (F::Info(id).kind != F::Text)
            continue;
        const QString now = F::Get(*p, id);
        if (!before || now != F::Get(*before, id))
            F::Set(*p, id, now.trimmed());
    }
    if (QString why = CheckValues(p, before, lists); !why.isEmpty())
        return why;
    // No text longer than the editor's boxes take, after what the rules above tidied.
    for (int id = 0; id < F::Count; ++id) {
        const int max = F::Info(id).maxLength;
        if (F::Info(id).kind != F::Text || max == 0)
            continue;
        const QString text = F::Get(*p, id);
        // Characters, not UTF-16 units: only a text with more units than allowed may be too long.
        if (const qsizetype length = text.size() > max ? text.toUcs4().size() : 0; length > max)
            return QM6Texts::tr("%1 is %2 characters long; at most %3 are allowed").arg(name(id)).arg(length).arg(max);
    }
    return QString();
}

QString QM6ImportRules::CheckValues(QM6PrinterRecord *p, const QM6PrinterRecord *before, const Lists &lists)
{
    if (p->m_name.isEmpty())
        return QM6Texts::tr("name is empty: every printer needs a name");
    if (!lists.profiles.contains(p->m_printProfileId))
        return p->m_printProfileId == 0
                   ? QM6Texts::tr("profile_id is 0: every printer needs a track profile (\"qm6data profiles URL\" lists them)")
                   : QM6Texts::tr("profile_id %1 is not a track profile of this site (\"qm6data profiles URL\" lists them)")
                         .arg(p->m_printProfileId);
    if (!lists.connectionTypes.contains(p->m_connectionType))
        return QM6Texts::tr("connection_type %1 is not a connection type; the connection types are %2")
            .arg(p->m_connectionType).arg(codes(lists.connectionTypes));
    switch (p->m_connectionType) {
    case 1: {
        if (p->m_port.isEmpty())
            return QM6Texts::tr("port is empty: a network share printer needs its share path (\\\\server\\share)");
        // The editor stores the share path as the device too, and its server as the host.
        p->m_device = p->m_port;
        QString server;
        if (ParseUNCPath(p->m_port, server))
            p->m_host = server;
        break;
    }
    case 2: {
        QStringList pieces;
        if (ParseMACAddress(p->m_host, pieces)) {
            // As the editor's six boxes store it: every group of two digits.
            for (QString &group : pieces)
                group = group.rightJustified(2, QLatin1Char('0'));
            p->m_host = pieces.join(QLatin1Char('-'));
        } else if (p->m_host.isEmpty()) {
            return QM6Texts::tr("host is empty: a direct IP printer needs a host name or a MAC address");
        }
        QString ipPort;
        if (!ParseIPAddress(p->m_port, ipPort, pieces) || !fieldrules::IsIPPort(ipPort))
            return QM6Texts::tr("port \"%1\" is not an IP address with an optional port: four numbers from 0 to 255 joined "
                                "by dots, then optionally \":\" and a number from 1 to 65535").arg(p->m_port);
        if (p->m_device.isEmpty())
            p->m_device = pieces.join(QLatin1Char('.'));
        break;
    }
    case 3:
        if (p->m_device.isEmpty() && p->m_host.isEmpty() && p->m_port.isEmpty())
            return QM6Texts::tr("device, host and port are all empty: a local printer needs at least one of them");
        break;
    default:
        break;
    }
    // A device type the list does not hold stays as it is, as in the editor; a new one must be in it.
    if ((!before || before->m_deviceType != p->m_deviceType) && !lists.deviceTypes.contains(p->m_deviceType))
        return QM6Texts::tr("device_type %1 is not a device type; the device types are %2")
            .arg(p->m_deviceType).arg(codes(lists.deviceTypes));
    // The editor's rule applies to the three types it has boxes for.
    const qint32 types = p->m_rule.ConnectionTypes();
    if (types & ~((1 << 1) | (1 << 2) | (1 << 3)))
        return QM6Texts::tr("am_connection_types \"%1\" names a type an auto-merge rule cannot apply to; it may name 1, 2 and 3")
            .arg(F::Get(*p, F::AutoMergeTypes));
    if (p->m_autoMerge && types == 0)
        return QM6Texts::tr("auto_merge is 1 but am_connection_types is empty: an auto-merge rule needs at least one connection type");
    return QString();
}
