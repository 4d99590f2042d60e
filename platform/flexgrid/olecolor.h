#pragma once

#include <QColor>
#include <QPalette>

// Automation colour values as the page stores them in cells: 0x00BBGGRR for a plain colour,
// 0x800000NN for Windows system colour NN, resolved against the widget's current palette so
// that a theme change is followed.
QColor OleColorToQColor(quint32 ole, const QPalette &pal);

// True when the value names a system colour (and so depends on the palette).
bool OleColorIsSystem(quint32 ole);

// The contrast ratio of two colours as WCAG defines it: 1 (the same) to 21 (black on white).
double ContrastRatio(const QColor &a, const QColor &b);

// Text blended toward its background as far as it can go while it keeps `minimum` contrast
// against that background: a grey that says "secondary" and stays readable on any palette.
QColor ReadableGrey(const QColor &text, const QColor &background, double minimum = 3.0);

// Windows' "grey text" system colour (COLOR_GRAYTEXT).
inline constexpr quint32 OleGrayText = 0x80000011u;
