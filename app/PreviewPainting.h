// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QFont;
class TBitmap;

// What the preview draws itself, on its bitmap: the cleared background at start-up and the
// placeholder of a track without a picture. Both fill the colour 12426112 and outline with the default
// pen (1 pixel, black) one rectangle from (0, 0) to (width, height) of the preview control, clipped to
// the bitmap, whose size is what the last picture (or the start-up) made it. A bitmap that is not
// 24-bit becomes 24-bit first, keeping its size.

// The preview control's size, which the rectangle spans.
constexpr int PreviewWidth = 285;
constexpr int PreviewHeight = 139;

// The window's font ("MS Sans Serif", 11 pixels high, or what the system puts in its place): the
// window and its controls show text in it, and the placeholder is drawn in it.
QFont WindowFont();

void PaintPreviewBackground(TBitmap& bitmap);
// The background, then "No Preview Available" at (15, 15) in font, black on an opaque background of
// the fill colour.
void PaintNoPreview(TBitmap& bitmap, const QFont& font);
