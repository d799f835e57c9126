// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TBitmap.h"

#include <algorithm>
#include <cstring>

TPalette CreatePalette(const TLogPalette& record) {
    const std::size_t count = std::min<std::size_t>(record.palNumEntries, 256);
    return TPalette(record.palPalEntry, record.palPalEntry + count);
}

TBitmap::TBitmap(const TBitmap& other)
    : m_width(other.m_width), m_height(other.m_height), m_format(other.m_format), m_palette(other.m_palette),
      m_bits(allocate(other.m_width, other.m_height, other.m_format)) {
    if (m_bits)
        std::memcpy(m_bits.get(), other.m_bits.get(), BytesPerLine() * static_cast<std::size_t>(m_height));
}

TBitmap& TBitmap::operator=(const TBitmap& other) {
    if (this != &other) {
        TBitmap copy(other);
        *this = std::move(copy);
    }
    return *this;
}

std::size_t TBitmap::BytesPerLine(int width, TPixelFormat format) {
    const std::size_t bits = static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(format);
    return (bits + 31) / 32 * 4;
}

TBitmap::TBits TBitmap::allocate(int width, int height, TPixelFormat format) {
    if (width <= 0 || height <= 0)
        return nullptr;
    // Both factors are below 2^31 and the row below 2^31 * 3, so the product needs a check, not a wider
    // type, to stay meaningful.
    const std::size_t row = BytesPerLine(width, format);
    if (row > MaxBytes / static_cast<std::size_t>(height))
        throw EOutOfMemory();
    // calloc hands out fresh pages that are already zero: rows that are never written cost nothing.
    void* p = std::calloc(row * static_cast<std::size_t>(height), 1);
    if (!p)
        throw EOutOfMemory();
    return TBits(static_cast<std::uint8_t*>(p));
}

void TBitmap::resize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == m_width && height == m_height)
        return;
    TBits bits = allocate(width, height, m_format);
    if (bits && m_bits) {
        const std::size_t oldRow = BytesPerLine();
        const std::size_t newRow = BytesPerLine(width, m_format);
        const std::size_t keptBits =
            static_cast<std::size_t>(std::min(width, m_width)) * static_cast<std::size_t>(m_format);
        const std::size_t wholeBytes = keptBits / 8;
        const unsigned partBits = static_cast<unsigned>(keptBits % 8);
        // NOTE: the bits of a last, partly kept byte that belong to pixels beyond the kept width are
        // cleared, so pixels that the resize brings in are 0 like all others.
        const auto partMask = static_cast<std::uint8_t>(0xFF00u >> partBits);
        const int rows = std::min(height, m_height);
        const std::size_t keptBytes = wholeBytes + (partBits != 0 ? 1 : 0);
        for (int y = 0; y < rows; ++y) {
            const std::uint8_t* from = m_bits.get() + static_cast<std::size_t>(y) * oldRow;
            // The new memory is zero already: rows that are zero stay untouched, so growing a bitmap
            // whose rows were never written costs no memory for them.
            if (std::all_of(from, from + keptBytes, [](std::uint8_t b) { return b == 0; }))
                continue;
            std::uint8_t* to = bits.get() + static_cast<std::size_t>(y) * newRow;
            std::memcpy(to, from, wholeBytes);
            if (partBits != 0)
                to[wholeBytes] = from[wholeBytes] & partMask;
        }
    }
    m_bits = std::move(bits);
    m_width = width;
    m_height = height;
}

void TBitmap::SetWidth(int width) {
    resize(width, m_height);
}

void TBitmap::SetHeight(int height) {
    resize(m_width, height);
}

void TBitmap::SetSize(int width, int height) {
    resize(width, height);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == m_format)
        return;
    m_bits = allocate(m_width, m_height, format);
    m_format = format;
}

std::uint8_t* TBitmap::ScanLine(int y) {
    if (y < 0 || y >= m_height || !m_bits)
        throw EInvalidGraphicOperation("Scan line index out of range");
    return m_bits.get() + static_cast<std::size_t>(y) * BytesPerLine();
}

const std::uint8_t* TBitmap::ScanLine(int y) const {
    return const_cast<TBitmap*>(this)->ScanLine(y);
}
