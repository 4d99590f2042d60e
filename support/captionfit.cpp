#include "captionfit.h"

#include <QLabel>

#include <algorithm>

int FitCaptions(const QList<QLabel *> &labels, const QList<QWidget *> &boxes, int designedBoxLeft, int gap)
{
    if (labels.isEmpty())
        return designedBoxLeft;
    const int labelLeft = labels.first()->x();
    int needed = 0;
    for (const QLabel *label : labels)
        needed = std::max(needed, label->sizeHint().width());
    const int boxLeft = std::max(designedBoxLeft, labelLeft + needed + gap);
    for (QLabel *label : labels)
        label->resize(std::max(label->width(), boxLeft - labelLeft - gap), label->height());
    for (QWidget *box : boxes)
        box->move(boxLeft, box->y());
    return boxLeft;
}
