#include "olecolor.h"

#include <cmath>
#include <iterator>

namespace {

struct SystemColour
{
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Indexed by the Windows COLOR_* number. Caption colours become the accent (Highlight) so that
// text drawn in them stands out on the view's base colour, as a caption colour does on Windows.
constexpr SystemColour kSystemColours[] = {
    {QPalette::Active, QPalette::Button},          // 0 scroll bar
    {QPalette::Active, QPalette::Window},          // 1 desktop
    {QPalette::Active, QPalette::Highlight},       // 2 active caption
    {QPalette::Inactive, QPalette::Mid},           // 3 inactive caption
    {QPalette::Active, QPalette::Window},          // 4 menu
    {QPalette::Active, QPalette::Base},            // 5 window
    {QPalette::Active, QPalette::Shadow},          // 6 window frame
    {QPalette::Active, QPalette::WindowText},      // 7 menu text
    {QPalette::Active, QPalette::WindowText},      // 8 window text
    {QPalette::Active, QPalette::HighlightedText}, // 9 caption text
    {QPalette::Active, QPalette::Window},          // 10 active border
    {QPalette::Active, QPalette::Window},          // 11 inactive border
    {QPalette::Active, QPalette::Dark},            // 12 application workspace
    {QPalette::Active, QPalette::Highlight},       // 13 highlight
    {QPalette::Active, QPalette::HighlightedText}, // 14 highlight text
    {QPalette::Active, QPalette::Button},          // 15 button face
    {QPalette::Active, QPalette::Dark},            // 16 button shadow
    {QPalette::Disabled, QPalette::Text},          // 17 grey text (made readable below)
    {QPalette::Active, QPalette::ButtonText},      // 18 button text
    {QPalette::Disabled, QPalette::WindowText},    // 19 inactive caption text
    {QPalette::Active, QPalette::Light},           // 20 button highlight
    {QPalette::Active, QPalette::Shadow},          // 21 3D dark shadow
    {QPalette::Active, QPalette::Midlight},        // 22 3D light
    {QPalette::Active, QPalette::ToolTipText},     // 23 info text
    {QPalette::Active, QPalette::ToolTipBase},     // 24 info background
    {QPalette::Active, QPalette::Button},          // 25 (unused by Windows)
    {QPalette::Active, QPalette::Link},            // 26 hot-tracked item
    {QPalette::Active, QPalette::Highlight},       // 27 gradient active caption
    {QPalette::Inactive, QPalette::Mid},           // 28 gradient inactive caption
    {QPalette::Active, QPalette::Highlight},       // 29 menu highlight
    {QPalette::Active, QPalette::Window},          // 30 menu bar
};

} // namespace

bool OleColorIsSystem(quint32 ole)
{
    return (ole & 0xFF000000u) == 0x80000000u;
}

QColor OleColorToQColor(quint32 ole, const QPalette &pal)
{
    const quint32 kind = ole >> 24;
    if (kind == 0x80) {
        const quint32 index = ole & 0x00FFFFFFu;
        if (index >= std::size(kSystemColours))
            return {};
        // The palette's disabled grey is too faint to read (1.9:1 on white here) for text
        // that is only secondary, not disabled.
        if (ole == OleGrayText)
            return ReadableGrey(pal.color(QPalette::Active, QPalette::Text), pal.color(QPalette::Active, QPalette::Base));
        const SystemColour &s = kSystemColours[index];
        return pal.color(s.group, s.role);
    }
    // 0x00: plain RGB; 0x02: palette-relative RGB, which is still an RGB triple.
    if (kind == 0x00 || kind == 0x02)
        return QColor(int(ole & 0xFF), int((ole >> 8) & 0xFF), int((ole >> 16) & 0xFF));
    // Palette indexes (0x01) and anything else have no meaning without a Windows palette.
    return {};
}

namespace {

double channel(double c)
{
    c /= 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &c)
{
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

QColor blend(const QColor &from, const QColor &to, double t)
{
    return QColor(qRound(from.red() + (to.red() - from.red()) * t), qRound(from.green() + (to.green() - from.green()) * t),
                  qRound(from.blue() + (to.blue() - from.blue()) * t));
}

} // namespace

double ContrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableGrey(const QColor &text, const QColor &background, double minimum)
{
    QColor from = text;
    if (ContrastRatio(from, background) < minimum) {
        // A theme whose own text is too faint here: start from black or white instead.
        const QColor black(Qt::black), white(Qt::white);
        from = ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
        if (ContrastRatio(from, background) < minimum)
            return from;
    }
    const QColor &start = from;
    double lo = 0.0, hi = 1.0;   // lo always keeps the contrast
    for (int i = 0; i < 24; ++i) {
        const double mid = (lo + hi) / 2;
        if (ContrastRatio(blend(start, background, mid), background) >= minimum)
            lo = mid;
        else
            hi = mid;
    }
    return blend(start, background, lo);
}
