// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

#include "platform/TColor.h"

class QPainter;

// The two ways the flat glyph button draws its picture. Both take the transparent colour from the
// picture itself; nothing else decides which pixels are left out.
//
// A pixel of a glyph is transparent when its red, green and blue equal those of the transparent
// colour (GlyphTransparentColor), or when it is fully transparent itself (alpha 0, which only an
// image with an alpha channel can have); every other pixel is opaque and is drawn with its red,
// green and blue at full opacity.

// The glyph's transparent colour: the colour of its bottom-left
// pixel, white for a 1-bit picture, with the palette-relative flag (clPaletteRelative). An empty
// glyph gives white with the flag.
TColor GlyphTransparentColor(const QImage& glyph);

// The glyph as an image of its size in which the transparent pixels have alpha 0 and the opaque ones
// show the glyph's colour at alpha 255. An empty glyph gives an empty image.
QImage MaskedGlyph(const QImage& glyph);
// The same with transparent, compared by its red, green and blue parts, as the transparent colour.
QImage MaskedGlyph(const QImage& glyph, TColor transparent);

// The engraved look of the glyph, an image of its size. With p a glyph pixel and n its diagonal
// neighbour (one right, one down; beyond the glyph's right or bottom edge n counts as transparent):
// p and n opaque give face, p opaque and n transparent highlight, p transparent and n opaque shadow,
// both transparent alpha 0. The colours are used by their red, green and blue parts: resolve system
// colours first (ColorToRGB). An empty glyph gives an empty image.
QImage GrayedGlyph(const QImage& glyph, TColor face, TColor highlight, TColor shadow);

// Paints the glyph's opaque pixels with their top-left corner at (x, y) and leaves the target
// unchanged under the transparent ones. The painter's composition mode is restored afterwards.
void DrawMaskedGlyph(QPainter& target, int x, int y, const QImage& glyph);
// The same with transparent, compared by its red, green and blue parts, as the transparent colour.
void DrawMaskedGlyph(QPainter& target, int x, int y, const QImage& glyph, TColor transparent);

// Paints the engraved look of GrayedGlyph at (x, y); pixels that are transparent there stay
// unchanged. The painter's composition mode is restored afterwards.
void DrawGrayedGlyph(QPainter& target, int x, int y, const QImage& glyph, TColor face, TColor highlight,
                     TColor shadow);
