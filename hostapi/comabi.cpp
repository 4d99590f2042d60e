#include "comabi.h"

#include <QRegularExpression>

bool GuidFromString(const QString &text, GUID *out)
{
    static const QRegularExpression re(QStringLiteral(
        "^\\{([0-9A-Fa-f]{8})-([0-9A-Fa-f]{4})-([0-9A-Fa-f]{4})-([0-9A-Fa-f]{4})-([0-9A-Fa-f]{12})\\}$"));
    const auto m = re.match(text);
    if (!m.hasMatch() || !out)
        return false;
    GUID g{};
    g.Data1 = m.captured(1).toUInt(nullptr, 16);
    g.Data2 = static_cast<std::uint16_t>(m.captured(2).toUInt(nullptr, 16));
    g.Data3 = static_cast<std::uint16_t>(m.captured(3).toUInt(nullptr, 16));
    const QString tail = m.captured(4) + m.captured(5);
    for (int i = 0; i < 8; ++i)
        g.Data4[i] = static_cast<std::uint8_t>(tail.mid(i * 2, 2).toUInt(nullptr, 16));
    *out = g;
    return true;
}

QString GuidToString(const GUID &g)
{
    QString s = QStringLiteral("{%1-%2-%3-").arg(g.Data1, 8, 16, QLatin1Char('0')).arg(g.Data2, 4, 16, QLatin1Char('0')).arg(g.Data3, 4, 16, QLatin1Char('0'));
    for (int i = 0; i < 8; ++i) {
        if (i == 2)
            s += QLatin1Char('-');
        s += QStringLiteral("%1").arg(g.Data4[i], 2, 16, QLatin1Char('0'));
    }
    s += QLatin1Char('}');
    return s.toUpper();
}
