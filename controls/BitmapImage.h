// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

#include "platform/TBitmap.h"

// A QImage over a bitmap's own row memory, for painting it. No pixel is copied for the formats the
// toolkit shares with the bitmap:
//   - 1 bit per pixel: QImage::Format_Mono (most significant bit first), colour table of 2 entries;
//   - 8 bits per pixel: QImage::Format_Indexed8, colour table of 256 entries;
//   - 24 bits per pixel: QImage::Format_BGR888 (blue, green, red bytes, as the bitmap holds them).
// The colour table is the bitmap's palette; values the palette does not cover are black, and a bitmap
// without a palette shows its values as a grey ramp (black and white at 1 bit).
// NOTE: the toolkit has no 4-bit format: a 4-bit bitmap comes out as an 8-bit copy of its pixels.
//
// The view is valid while the bitmap keeps its size, format and memory: any resize or format change
// of the bitmap leaves an earlier view dangling. An empty bitmap gives a null image.
QImage BitmapImage(const TBitmap& bitmap);

// The same view, writable: painting on it (24-bit bitmaps) changes the bitmap's pixels.
QImage BitmapImage(TBitmap& bitmap);
