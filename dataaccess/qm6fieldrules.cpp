#include "qm6fieldrules.h"

#include <limits>

namespace fieldrules {

namespace {

// The value of text made of minLength to maxLength ASCII digits, when it lies in [low, high].
bool digitsInRange(const QString &text, int minLength, int maxLength, qint64 low, qint64 high, qint64 *value)
{
    if (text.size() < minLength || text.size() > maxLength)
        return false;
    qint64 v = 0;
    for (const QChar ch : text) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return false;
        v = v * 10 + (ch.unicode() - '0');
    }
    if (v < low || v > high)
        return false;
    if (value)
        *value = v;
    return true;
}

} // namespace

bool IsAddressPiece(const QString &text)
{
    return digitsInRange(text, 1, 3, 0, 255, nullptr);
}

bool IsIPPort(const QString &text)
{
    return text.isEmpty() || digitsInRange(text, 1, 5, 1, 65535, nullptr);
}

bool ReadPageTotal(const QString &text, qint32 &value)
{
    qint64 v = 0;
    if (!digitsInRange(text, 1, 10, 0, std::numeric_limits<qint32>::max(), &v))
        return false;
    value = qint32(v);
    return true;
}

} // namespace fieldrules

namespace {

bool isHexDigit(QChar ch)
{
    return (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) || (ch >= QLatin1Char('a') && ch <= QLatin1Char('f')) ||
           (ch >= QLatin1Char('A') && ch <= QLatin1Char('F'));
}

} // namespace

bool ParseUNCPath(const QString &path, QString &host)
{
    host.clear();
    const QChar backslash = QLatin1Char('\\');
    if (path.size() <= 3 || path.at(0) != backslash || path.at(1) != backslash)
        return false;
    const qsizetype p = path.indexOf(backslash, 2);
    if (p < 0)
        return false;
    host = path.mid(2, p - 2);
    return p < path.size() - 1;
}

bool ParseIPAddress(const QString &address, QString &port, QStringList &parts)
{
    parts.clear();
    const qsizetype colon = address.indexOf(QLatin1Char(':'));
    port = colon >= 0 ? address.mid(colon + 1) : QString();
    const QStringList pieces = (colon >= 0 ? address.left(colon) : address).split(QLatin1Char('.'));
    if (pieces.size() != 4)
        return false;
    for (const QString &piece : pieces)
        if (!fieldrules::IsAddressPiece(piece))
            return false;
    parts = pieces;
    return true;
}

bool ParseMACAddress(const QString &address, QStringList &parts)
{
    parts.clear();
    const QStringList pieces = address.split(QLatin1Char('-'));
    if (pieces.size() != 6)
        return false;
    for (const QString &piece : pieces) {
        if (piece.isEmpty() || piece.size() > 2)
            return false;
        for (const QChar ch : piece)
            if (!isHexDigit(ch))
                return false;
    }
    parts = pieces;
    return true;
}
