// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TgaWriter.h"
#include "platform/TBitmap.h"
#include "tga/TBriskbTarga.h"

// What the tests of the TGA reader share: decoding byte vectors and reading bitmaps pixel by pixel.

// Decodes bytes with a fresh reader into bitmap.
inline void Decode(const std::vector<std::uint8_t>& bytes, TBitmap& bitmap, std::uint16_t mode) {
    TBriskbTarga reader;
    reader.DecodeToBitmap(bytes.data(), static_cast<std::uint32_t>(bytes.size()), bitmap, mode);
}

// The stored value of pixel (x, y): the bit or index in 1- and 8-bit bitmaps, blue | green << 8 |
// red << 16 in 24-bit ones.
inline std::uint32_t PixelValue(const TBitmap& bitmap, int x, int y) {
    const std::uint8_t* row = bitmap.ScanLine(y);
    switch (bitmap.PixelFormat()) {
    case TPixelFormat::pf1bit:
        return (row[x / 8] >> (7 - x % 8)) & 1u;
    case TPixelFormat::pf4bit:
        return (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xFu;
    case TPixelFormat::pf8bit:
        return row[x];
    case TPixelFormat::pf24bit:
        break;
    }
    const std::uint8_t* p = row + 3 * x;
    return p[0] | p[1] << 8 | static_cast<std::uint32_t>(p[2]) << 16;
}

inline std::uint32_t Bgr(std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    return b | g << 8 | static_cast<std::uint32_t>(r) << 16;
}

// Every pixel value of the bitmap, row by row from the top.
inline std::vector<std::uint32_t> PixelValues(const TBitmap& bitmap) {
    std::vector<std::uint32_t> out;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            out.push_back(PixelValue(bitmap, x, y));
    return out;
}

// A bitmap of the given shape whose every byte of row memory is fill.
inline TBitmap FilledBitmap(int width, int height, TPixelFormat format, std::uint8_t fill) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(format);
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        std::fill_n(bitmap.ScanLine(y), bitmap.BytesPerLine(), fill);
    return bitmap;
}
