#include "qm6printerfields.h"
#include "qm6fieldrules.h"
#include "qm6printerrecord.h"
#include "qm6schema.h"


namespace {

using F = QM6PrinterFields;

const F::Field fields[F::Count] = {
    {"name", F::Text, QM6Schema::NameLength},
    {"profile_id", F::Number, 0},
    {"account_no", F::Text, QM6Schema::LongTextLength},
    {"connection_type", F::Number, 0},
    {"host", F::Text, QM6Schema::HostLength},
    {"port", F::Text, QM6Schema::PortLength},
    {"device", F::Text, QM6Schema::LongTextLength},
    {"device_type", F::Number, 0},
    {"model", F::Text, QM6Schema::LongTextLength},
    {"serial_no", F::Text, QM6Schema::LongTextLength},
    {"location", F::Text, QM6Schema::LongTextLength},
    {"is_color", F::Flag, 0},
    {"is_duplex", F::Flag, 0},
    {"pop_early", F::Flag, 0},
    {"disable_color_mode", F::Flag, 0},
    {"bw_total", F::Number, 0},
    {"color_total", F::Number, 0},
    {"auto_merge", F::Flag, 0},
    {"am_connection_types", F::TypeSet, 0},
    {"am_device", F::Text, 0},
    {"am_host", F::Text, 0},
    {"am_port", F::Text, 0},
    {"am_model", F::Text, 0},
};

QString typeSetText(qint32 mask)
{
    QStringList codes;
    for (int code = 0; code < 31; ++code)
        if (mask & (1 << code))
            codes << QString::number(code);
    return codes.join(QLatin1Char(' '));
}

// Whole numbers are written as the field rules read a page total: 1 to 10 digits, at most
// 2,147,483,647.
bool readNumber(const QString &text, qint32 *value)
{
    return fieldrules::ReadPageTotal(text, *value);
}

bool readTypeSet(const QString &text, qint32 *mask)
{
    qint32 m = 0;
    for (const QString &piece : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        qint32 code = 0;
        if (!readNumber(piece, &code) || code > 30)
            return false;
        m |= 1 << code;
    }
    *mask = m;
    return true;
}

QString *textMember(QM6PrinterRecord &p, int id)
{
    switch (id) {
    case F::Name: return &p.m_name;
    case F::AccountNo: return &p.m_accountNo;
    case F::Host: return &p.m_host;
    case F::Port: return &p.m_port;
    case F::Device: return &p.m_device;
    case F::Model: return &p.m_model;
    case F::SerialNo: return &p.m_serialNo;
    case F::Location: return &p.m_location;
    default: return nullptr;
    }
}

qint32 *numberMember(QM6PrinterRecord &p, int id)
{
    switch (id) {
    case F::ProfileId: return &p.m_printProfileId;
    case F::ConnectionType: return &p.m_connectionType;
    case F::DeviceType: return &p.m_deviceType;
    case F::BWTotal: return &p.m_bwTotal;
    case F::ColorTotal: return &p.m_colorTotal;
    default: return nullptr;
    }
}

bool *flagMember(QM6PrinterRecord &p, int id)
{
    switch (id) {
    case F::IsColor: return &p.m_isColor;
    case F::IsDuplex: return &p.m_isDuplex;
    case F::PopEarly: return &p.m_popEarly;
    case F::DisableColorMode: return &p.m_disableColorMode;
    case F::AutoMerge: return &p.m_autoMerge;
    default: return nullptr;
    }
}

} // namespace

const QM6PrinterFields::Field &QM6PrinterFields::Info(int id)
{
    return fields[id];
}

QString QM6PrinterFields::Get(const QM6PrinterRecord &p, int id)
{
    auto &r = const_cast<QM6PrinterRecord &>(p);
    if (const QString *t = textMember(r, id))
        return t->isNull() ? QStringLiteral("") : *t;
    if (const qint32 *n = numberMember(r, id))
        return QString::number(*n);
    if (const bool *f = flagMember(r, id))
        return *f ? QStringLiteral("1") : QStringLiteral("0");
    switch (id) {
    case AutoMergeTypes: return typeSetText(p.m_rule.ConnectionTypes());
    case AutoMergeDevice: return p.m_rule.DeviceMatch();
    case AutoMergeHost: return p.m_rule.HostMatch();
    case AutoMergePort: return p.m_rule.PortMatch();
    case AutoMergeModel: return p.m_rule.ModelMatch();
    default: return QString();
    }
}

bool QM6PrinterFields::Set(QM6PrinterRecord &p, int id, const QString &text)
{
    if (QString *t = textMember(p, id)) {
        *t = text;
        return true;
    }
    if (qint32 *n = numberMember(p, id))
        return readNumber(text, n);
    if (bool *f = flagMember(p, id)) {
        if (text != QLatin1String("0") && text != QLatin1String("1"))
            return false;
        *f = text == QLatin1String("1");
        return true;
    }
    switch (id) {
    case AutoMergeTypes: {
        qint32 mask = 0;
        if (!readTypeSet(text, &mask))
            return false;
        p.m_rule.SetConnectionTypes(mask);
        return true;
    }
    case AutoMergeDevice: p.m_rule.SetDeviceMatch(text); return true;
    case AutoMergeHost: p.m_rule.SetHostMatch(text); return true;
    case AutoMergePort: p.m_rule.SetPortMatch(text); return true;
    case AutoMergeModel: p.m_rule.SetModelMatch(text); return true;
    default: return false;
    }
}

QList<QM6HistoryChange> QM6PrinterFields::Diff(const QM6PrinterRecord &before, const QM6PrinterRecord &after, bool withTotals)
{
    QList<QM6HistoryChange> changes;
    for (int id = 0; id < Count; ++id) {
        if (!withTotals && (id == BWTotal || id == ColorTotal))
            continue;
        const QString was = Get(before, id), is = Get(after, id);
        if (was != is)
            changes.append({QString::fromLatin1(fields[id].name), was, is});
    }
    return changes;
}

QList<QM6HistoryChange> QM6PrinterFields::Values(const QM6PrinterRecord &p)
{
    QList<QM6HistoryChange> values;
    for (int id = 0; id < Count; ++id) {
        const QString is = Get(p, id);
        if (!is.isEmpty() && is != QLatin1String("0"))
            values.append({QString::fromLatin1(fields[id].name), QString(), is});
    }
    return values;
}
