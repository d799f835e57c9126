// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

// The contrast ratio of two colours, 1 to 21, from their relative luminance (sRGB).
double ContrastRatio(const QColor& a, const QColor& b);

// The colour to draw a small letter in on background: wanted itself when it has a contrast of at least
// 4.5 : 1 there, otherwise wanted darkened or, on a dark background, lightened just far enough, so that
// it keeps its hue. Black or white always reaches 4.5 : 1 on any background, so one of the two does.
QColor ReadableOn(const QColor& wanted, const QColor& background);
