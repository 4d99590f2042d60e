#include "fieldrules.h"

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
