// Growing a form that is laid out at designed positions when its font grows: every control
// keeps its designed place scaled by the font, no caption is narrower than its text, boxes
// move right of longer captions (French runs longer than English), and the panels that hold
// them grow to take them.
#pragma once

#include <QFont>
#include <QHash>
#include <QList>
#include <QRect>
#include <QSize>

class QLabel;
class QWidget;

namespace formgrowth {

// The designed geometry of a form's placed controls, read once after the form is built so
// that every growth starts again from the design.
class Design {
public:
    void Record(const QList<QWidget *> &controls);
    // Puts every recorded control at its designed place scaled by factor (edges are scaled,
    // so controls that did not overlap in the design do not overlap when scaled).
    void Apply(double factor) const;
    // A designed left edge scaled like Apply scales it.
    static int Scale(int pixels, double factor);

private:
    QHash<QWidget *, QRect> mRects;
};

// How much larger the font is than the one the form was designed for (at least 1).
double FontFactor(const QFont &designFont, const QFont &font);

// No caption cut off: labels and buttons at least as large as their text needs, check boxes
// exactly as wide as their box and caption (their designed widths overlap their neighbours),
// text boxes and lists at least as tall as their font needs.
void FitToText(const QList<QWidget *> &controls);

// A column of captions, each with its row to the right: the row's first widget is the box the
// caption names, the others follow it at their distance. Every row moves right together when
// the longest caption needs more room than the designed left edge of the boxes gives it.
struct CaptionColumn {
    QList<QLabel *> labels;
    QList<QList<QWidget *>> rows;
    int designedBoxLeft = 0;   // pixels at the design font
};
void FitColumn(const CaptionColumn &column, double factor);

// Left to right along a row: each widget starts no sooner than gap pixels after the one before.
void Chain(const QList<QWidget *> &row, int gap);

// The size that holds every widget of the list (their geometry in one parent), plus margin
// pixels to the right and below.
QSize Extent(const QList<QWidget *> &widgets, int margin);

} // namespace formgrowth
