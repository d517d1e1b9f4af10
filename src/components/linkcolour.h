#pragma once

#include <QColor>
#include <QPalette>

// The colour of a link's text on the palette's window colour: the classic link blue where it reads well (a
// light window), else the palette's own link colour, made lighter or darker until it reads as well as body
// text should (a contrast of at least 4.5 to 1).
QColor linkColour(const QPalette &palette);

// The contrast ratio of two colours, from 1 (the same) to 21 (black on white).
double contrastRatio(const QColor &a, const QColor &b);
