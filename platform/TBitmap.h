// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/Exceptions.h"

// The pixel formats a bitmap can hold: bits per pixel.
enum class TPixelFormat : std::uint8_t { pf1bit = 1, pf4bit = 4, pf8bit = 8, pf24bit = 24 };

// One palette colour as the platform keeps it: red, green, blue, flags.
struct TPaletteEntry {
    std::uint8_t peRed = 0;
    std::uint8_t peGreen = 0;
    std::uint8_t peBlue = 0;
    std::uint8_t peFlags = 0;

    friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};

// The logical-palette record (version 0x300, up to 256 entries), in which a palette is built before
// CreatePalette turns it into a palette a bitmap can take.
struct TLogPalette {
    std::uint16_t palVersion = 0x300;
    std::uint16_t palNumEntries = 0;
    TPaletteEntry palPalEntry[256] = {};
};

// A palette as a bitmap holds it: its entries in index order.
using TPalette = std::vector<TPaletteEntry>;

// The palette of a logical-palette record: its first palNumEntries entries (at most 256).
TPalette CreatePalette(const TLogPalette& record);

// A device-independent bitmap: width, height, pixel format, palette and row memory.
//
// Rows are stored top-down: ScanLine(0) is the top row, and each row starts BytesPerLine() bytes
// after the one above it. A row holds Width() pixels packed at the format's bits per pixel (1- and
// 4-bit pixels from the most significant bit of each byte, 24-bit pixels as blue, green, red) and is
// rounded up to a multiple of 4 bytes, as the platform rounds its bitmap rows. The memory is one
// block, so a view (a painting toolkit's image) can use it in place.
//
// Pixels that a resize or a format change brings in are 0 (black in 24 bits, palette entry 0
// otherwise); rows never read memory they do not own. A bitmap of width or height 0 is empty and has
// no row memory.
class TBitmap {
public:
    // An empty 24-bit bitmap without a palette.
    TBitmap() = default;
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);
    TBitmap(TBitmap&&) noexcept = default;
    TBitmap& operator=(TBitmap&&) noexcept = default;
    ~TBitmap() = default;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool Empty() const { return m_width == 0 || m_height == 0; }

    // Resizing keeps the part of the picture that fits the new size, at the top-left corner. A
    // negative value counts as 0. Throws EOutOfMemory when the row memory cannot be had (the bitmap is
    // then unchanged); no bitmap may hold more than MaxBytes of row memory.
    void SetWidth(int width);
    void SetHeight(int height);
    void SetSize(int width, int height);

    TPixelFormat PixelFormat() const { return m_format; }
    // Changing the format keeps the size and the palette and clears the picture to pixel value 0;
    // setting the format the bitmap has already changes nothing. Throws EOutOfMemory as SetWidth.
    void SetPixelFormat(TPixelFormat format);

    // The palette, as the bitmap took it over. In 1-, 4- and 8-bit bitmaps its entries are the colours
    // of the pixel values; a 24-bit bitmap only carries it along.
    const TPalette& Palette() const { return m_palette; }
    void SetPalette(TPalette palette) { m_palette = std::move(palette); }

    // Bytes from the start of one row to the start of the next: the packed row rounded up to 4 bytes.
    std::size_t BytesPerLine() const { return BytesPerLine(m_width, m_format); }
    static std::size_t BytesPerLine(int width, TPixelFormat format);

    // The memory of row y (0 is the top row). Throws EInvalidGraphicOperation ("Scan line index out of
    // range") for a row the bitmap does not have.
    std::uint8_t* ScanLine(int y);
    const std::uint8_t* ScanLine(int y) const;

    // The whole row memory, top row first; null when the bitmap is empty.
    std::uint8_t* Bits() { return m_bits.get(); }
    const std::uint8_t* Bits() const { return m_bits.get(); }

    // The largest row memory a bitmap takes: 2 GiB - 1 bytes.
    static constexpr std::size_t MaxBytes = 0x7FFFFFFF;

private:
    struct TFree {
        void operator()(std::uint8_t* p) const { std::free(p); }
    };
    using TBits = std::unique_ptr<std::uint8_t[], TFree>;

    // Zeroed memory for a bitmap of that shape; null for an empty one. Throws EOutOfMemory.
    static TBits allocate(int width, int height, TPixelFormat format);
    void resize(int width, int height);

    int m_width = 0;
    int m_height = 0;
    TPixelFormat m_format = TPixelFormat::pf24bit;
    TPalette m_palette;
    TBits m_bits;
};
