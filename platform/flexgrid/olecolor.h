#pragma once

#include <QColor>
#include <QPalette>

// Automation colour values as the page stores them in cells: 0x00BBGGRR for a plain colour,
// 0x800000NN for Windows system colour NN, resolved against the widget's current palette so
// that a theme change is followed.
QColor OleColorToQColor(quint32 ole, const QPalette &pal);

// True when the value names a system colour (and so depends on the palette).
bool OleColorIsSystem(quint32 ole);
