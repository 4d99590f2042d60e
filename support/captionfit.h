// Captions set from the string tables can be longer than their designed place (French runs
// longer than English, and the console font can be larger): the boxes beside them move right
// so that no caption is cut off.
#pragma once

#include <QList>

class QLabel;
class QWidget;

// Labels that share a left edge, each with its box to the right. Every box moves to one
// common left edge: its designed left (designedBoxLeft, pixels) or, when the longest caption
// needs more, just past that caption plus gap pixels; every label widens to reach its box.
// Returns the boxes' new left edge.
int FitCaptions(const QList<QLabel *> &labels, const QList<QWidget *> &boxes, int designedBoxLeft, int gap = 6);
