// SPDX-License-Identifier: GPL-3.0-or-later
#include "tga/TBriskbTarga.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "platform/Exceptions.h"
#include "platform/ScopeExit.h"

namespace {

const char* const InvalidText = "Invalid TGA file!";

constexpr std::uint8_t RightToLeft = 0x10;
constexpr std::uint8_t TopToBottom = 0x20;
constexpr std::size_t RowSlack = 32;

bool acceptedImageType(std::uint8_t type) {
    return type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11;
}

// NOTE: a pixel depth of 4 is rejected with the other unreadable headers: the reader has no rule for
// how such pixels are packed, placed or coloured, and will not make one up.
bool acceptedPixelDepth(std::uint8_t depth) {
    return depth == 1 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
}

// Stores the three bytes of bgr (blue in the low byte) at to.
inline void storeBgr(std::uint8_t* to, std::uint32_t bgr) {
    to[0] = static_cast<std::uint8_t>(bgr);
    to[1] = static_cast<std::uint8_t>(bgr >> 8);
    to[2] = static_cast<std::uint8_t>(bgr >> 16);
}

// The 5-5-5 word as blue, green, red bytes, each channel shifted up by 3. Bit 15 is ignored.
inline std::uint32_t wordAsBgr(std::uint16_t w) {
    return (w << 3 & 0xF8u) | (w << 6 & 0xF800u) | (static_cast<std::uint32_t>(w) << 9 & 0xF80000u);
}

inline std::uint8_t greyOfBgr(std::uint32_t bgr) {
    return TBriskbTarga::GreyLevel(static_cast<std::uint8_t>(bgr >> 16), static_cast<std::uint8_t>(bgr >> 8),
                                   static_cast<std::uint8_t>(bgr));
}

// The pixel kinds of DecodeRow: In input bytes per unit, and convert(), which writes exactly count units of
// the bitmap's pixels (the bytes out per unit are named beside In). They are template arguments, so each
// row loop has its conversion inlined and no per-pixel decision is left in it.

struct TCopy1 {                          // packed 1-bit bytes, and 8-bit indexes in modes 0 and 1
    static constexpr std::size_t In = 1; // 1 out
    static constexpr bool Copies = true;
    static void convert(const std::uint8_t* from, std::size_t count, std::uint8_t* to, const std::uint32_t*) {
        std::memcpy(to, from, count);
    }
};

struct TCopy3 {                          // 24-bit pixels in modes 0 and 2
    static constexpr std::size_t In = 3; // 3 out
    static constexpr bool Copies = true;
    static void convert(const std::uint8_t* from, std::size_t count, std::uint8_t* to, const std::uint32_t*) {
        std::memcpy(to, from, count * 3);
    }
};

struct TIndexToBgr {                     // 8-bit indexes in mode 2, through the colour table
    static constexpr std::size_t In = 1; // 3 out
    static constexpr bool Copies = false;
    static void convert(const std::uint8_t* from, std::size_t count, std::uint8_t* to,
                        const std::uint32_t* lookup) {
        // Two pixels at a time with one 8-byte store, whose last two bytes the next pair overwrites;
        // the last pixels exactly, so that nothing is written past the row.
        std::size_t i = 0;
        if constexpr (std::endian::native == std::endian::little) {
            for (; i + 3 <= count; i += 2) {
                const std::uint64_t pair = lookup[from[i]] | std::uint64_t{lookup[from[i + 1]]} << 24;
                std::memcpy(to + 3 * i, &pair, 8);
            }
        }
        for (; i < count; ++i)
            storeBgr(to + 3 * i, lookup[from[i]]);
    }
};

// The loops below store each output byte on its own: in that form the compiler turns them into
// vector shuffles (see convertRow).

struct TWordToBgr {                      // 16-bit pixels in modes 0 and 2
    static constexpr std::size_t In = 2; // 3 out
    static constexpr bool Copies = false;
    static void convert(const std::uint8_t* from, std::size_t count, std::uint8_t* to, const std::uint32_t*) {
        for (std::size_t i = 0; i < count; ++i) {
            const unsigned w = from[2 * i] | from[2 * i + 1] << 8;
            to[3 * i] = static_cast<std::uint8_t>(w << 3 & 0xF8u);
            to[3 * i + 1] = static_cast<std::uint8_t>(w >> 2 & 0xF8u);
            to[3 * i + 2] = static_cast<std::uint8_t>(w >> 7 & 0xF8u);
        }
    }
};

struct TWordToGrey {                     // 16-bit pixels in mode 1
    static constexpr std::size_t In = 2; // 1 out
    static constexpr bool Copies = false;
    static void convert(const std::uint8_t* from, std::size_t count, std::uint8_t* to, const std::uint32_t*) {
        for (std::size_t i = 0; i < count; ++i)
            to[i] = greyOfBgr(wordAsBgr(LittleEndian16(from + 2 * i)));
    }
};

struct TBgrToGrey {                      // 24-bit pixels in mode 1
    static constexpr std::size_t In = 3; // 1 out
    static constexpr bool Copies = false;
    static void convert(const std::uint8_t* from, std::size_t count, std::uint8_t* to, const std::uint32_t*) {
        for (std::size_t i = 0; i < count; ++i, from += 3)
            to[i] = TBriskbTarga::GreyLevel(from[2], from[1], from[0]);
    }
};

// NOTE: the fourth byte of a 32-bit pixel (alpha or attribute bits) is read and dropped.
struct TBgraToBgr {                      // 32-bit pixels in modes 0 and 2
    static constexpr std::size_t In = 4; // 3 out
    static constexpr bool Copies = false;
    static void convert(const std::uint8_t* from, std::size_t count, std::uint8_t* to, const std::uint32_t*) {
        for (std::size_t i = 0; i < count; ++i) {
            to[3 * i] = from[4 * i];
            to[3 * i + 1] = from[4 * i + 1];
            to[3 * i + 2] = from[4 * i + 2];
        }
    }
};

struct TBgraToGrey {                     // 32-bit pixels in mode 1
    static constexpr std::size_t In = 4; // 1 out
    static constexpr bool Copies = false;
    static void convert(const std::uint8_t* from, std::size_t count, std::uint8_t* to, const std::uint32_t*) {
        for (std::size_t i = 0; i < count; ++i, from += 4)
            to[i] = TBriskbTarga::GreyLevel(from[2], from[1], from[0]);
    }
};

// 1-bit pixels, expanded to one byte (0 or 1) each, as black and white 24-bit pixels.
struct TMonoToBgr {
    static void convert(const std::uint8_t* from, std::size_t count, std::uint8_t* to, const std::uint32_t*) {
        for (std::size_t i = 0; i < count; ++i) {
            const auto level = static_cast<std::uint8_t>(0u - from[i]);
            to[3 * i] = level;
            to[3 * i + 1] = level;
            to[3 * i + 2] = level;
        }
    }
};

// The eight pixels of each packed byte as bytes 0 and 1, the most significant bit first.
constexpr auto MonoPixels = [] {
    std::array<std::array<std::uint8_t, 8>, 256> table{};
    for (std::size_t b = 0; b < 256; ++b)
        for (std::size_t i = 0; i < 8; ++i)
            table[b][i] = static_cast<std::uint8_t>(b >> (7 - i) & 1);
    return table;
}();

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
// The same conversions compiled for processors with SSSE3, whose byte shuffles the vectorised loops
// need; the program's baseline (SSE2) has none.
template <class TKind>
__attribute__((target("ssse3"))) void convertWithShuffles(const std::uint8_t* from, std::size_t count,
                                                          std::uint8_t* to, const std::uint32_t* lookup) {
    TKind::convert(from, count, to, lookup);
}

bool hasShuffles() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}
#else
template <class TKind>
void convertWithShuffles(const std::uint8_t* from, std::size_t count, std::uint8_t* to,
                         const std::uint32_t* lookup) {
    TKind::convert(from, count, to, lookup);
}

bool hasShuffles() {
    return false;
}
#endif

// Converts a row of count pixel values at from into the output at to.
template <class TKind>
inline void convertRow(const std::uint8_t* from, std::size_t count, std::uint8_t* to,
                       const std::uint32_t* lookup) {
    if (hasShuffles())
        convertWithShuffles<TKind>(from, count, to, lookup);
    else
        TKind::convert(from, count, to, lookup);
}

// Writes count copies of the N-byte unit at to, 8 bytes at a time: up to 23 bytes after the last unit
// may be written too, which the caller's buffer has as slack.
template <std::size_t N>
inline void fillUnits(std::uint8_t* to, std::size_t count, const std::uint8_t* unit) {
    if constexpr (N == 1) {
        // Short runs are the common ones: 16 bytes without a loop.
        const std::uint64_t word = unit[0] * std::uint64_t{0x0101010101010101};
        std::memcpy(to, &word, 8);
        std::memcpy(to + 8, &word, 8);
        for (std::size_t i = 16; i < count; i += 8)
            std::memcpy(to + i, &word, 8);
    } else if constexpr (std::endian::native != std::endian::little) {
        for (std::size_t i = 0; i < count; ++i)
            std::memcpy(to + N * i, unit, N);
    } else if constexpr (N == 3) {
        // Three words hold eight units: b g r b g r b g | r b g r b g r b | g r b g r b g r.
        const std::uint64_t v = unit[0] | unit[1] << 8 | static_cast<std::uint64_t>(unit[2]) << 16;
        const std::uint64_t words[3] = {v | v << 24 | v << 48, v >> 16 | v << 8 | v << 32 | v << 56,
                                        v >> 8 | v << 16 | v << 40};
        for (std::size_t i = 0; i < count; i += 8)
            std::memcpy(to + 3 * i, words, 24);
    } else {
        std::uint64_t word = 0;
        for (std::size_t at = 0; at < 8; at += N)
            std::memcpy(reinterpret_cast<std::uint8_t*>(&word) + at, unit, N);
        for (std::size_t i = 0; i < count * N; i += 8)
            std::memcpy(to + i, &word, 8);
    }
}

// Takes count bytes from in and copies them to to. A short packet's bytes are copied as 16 where the
// input holds that many: up to 15 bytes after them may be written too, into the slack.
inline void copyValues(std::uint8_t* to, TSpanReader& in, std::size_t count) {
    const std::uint8_t* from = in.Take(count);
    if (count <= 16 && in.Left() + count >= 16)
        std::memcpy(to, from, 16);
    else
        std::memcpy(to, from, count);
}

} // namespace

TBriskbTarga::TBriskbTarga() = default;

TBriskbTarga::~TBriskbTarga() = default;

void TBriskbTarga::DecodeToBitmap(const std::uint8_t* imageData, std::uint32_t imageSize, TBitmap& bitmap,
                                  std::uint16_t mode) {
    m_input = TSpanReader(imageData, imageData ? imageSize : 0);
    // The failures a decode expects end it quietly: what the bitmap holds is the outcome. Anything
    // else is a fault of the reader and goes on.
    try {
        DecodeImage(bitmap, mode);
    } catch (const EReadError&) {
        // the data ended early
    } catch (const EOutOfMemory&) {
        // the bitmap could not grow
    } catch (const std::bad_alloc&) {
        // the row buffers could not be made
    }
    m_input = TSpanReader();
}

// ---- input reads

std::uint8_t TBriskbTarga::ReadByte() {
    return m_input.Byte();
}

std::uint16_t TBriskbTarga::ReadWord() {
    return m_input.LittleEndian16();
}

void TBriskbTarga::ReadBlock(void* destination, std::uint16_t count) {
    const std::uint8_t* from = m_input.Take(count);
    if (count > 0)
        std::memcpy(destination, from, count);
}

// ---- header, image ID and colour map

bool TBriskbTarga::ImageSize(const std::uint8_t* data, std::size_t size, int& width, int& height) {
    if (!data || size < 18)
        return false;
    width = LittleEndian16(data + 0x0C);
    height = LittleEndian16(data + 0x0E);
    return true;
}

TBriskbTarga::THeader TBriskbTarga::parseHeader(const std::uint8_t* raw) {
    THeader header;
    header.idLength = raw[0x00];
    header.colourMapType = raw[0x01];
    header.imageType = raw[0x02];
    header.colourMapFirst = LittleEndian16(raw + 0x03);
    header.colourMapLength = LittleEndian16(raw + 0x05);
    header.colourMapEntrySize = raw[0x07];
    header.xOrigin = LittleEndian16(raw + 0x08);
    header.yOrigin = LittleEndian16(raw + 0x0A);
    header.width = LittleEndian16(raw + 0x0C);
    header.height = LittleEndian16(raw + 0x0E);
    header.pixelDepth = raw[0x10];
    header.descriptor = raw[0x11];
    return header;
}

bool TBriskbTarga::accepted(const THeader& header) {
    // An image without pixels is refused like any other unreadable header, and so is one whose rows
    // of 3 bytes per pixel would not fit a 16-bit row size or whose rows a signed 16-bit row number
    // would not reach: the reader's row arithmetic is not made for them.
    const bool sizeOk =
        header.width > 0 && header.height > 0 && header.width <= MaxWidth && header.height <= MaxHeight;
    return acceptedImageType(header.imageType) && acceptedPixelDepth(header.pixelDepth) && sizeOk;
}

std::size_t TBriskbTarga::idAndColourMapSize(const THeader& header) {
    const std::size_t map = header.colourMapType != 0
                                ? std::size_t{header.colourMapLength} * ((header.colourMapEntrySize + 7u) / 8)
                                : 0;
    return header.idLength + map;
}

bool TBriskbTarga::SizesBitmap(const std::uint8_t* data, std::size_t size) {
    if (!data || size < 18)
        return false;
    const THeader header = parseHeader(data);
    return accepted(header) && idAndColourMapSize(header) <= size - 18;
}

void TBriskbTarga::ReadHeader() {
    std::uint8_t raw[18];
    ReadBlock(raw, sizeof raw);
    m_header = parseHeader(raw);
    m_invalid = !accepted(m_header);
    if (m_invalid) {
        m_errorText = InvalidText;
        return;
    }

    if (m_header.idLength != 0)
        ReadBlock(m_imageId, m_header.idLength);

    std::fill(std::begin(m_colourTable), std::end(m_colourTable), TColourTableEntry{});
    if (m_header.colourMapType != 0) {
        readColourMap();
    } else if (m_header.pixelDepth == 8) {
        MakeGreyRamp();
    } else if (m_header.pixelDepth == 1) {
        m_colourTable[0] = {0, 0, 0};
        m_colourTable[1] = {63, 63, 63};
    }
}

void TBriskbTarga::readColourMap() {
    // NOTE: each entry takes (entry size + 7) div 8 bytes. 15-bit entries read like 16-bit ones
    // (x-r5-g5-b5), 32-bit ones as blue, green, red and a dropped byte; entries of any other size are
    // consumed and stay black. Entries whose index would be 256 or more are consumed and ignored.
    const unsigned size = m_header.colourMapEntrySize;
    const std::size_t entryBytes = (size + 7) / 8;
    const std::size_t length = m_header.colourMapLength;
    const std::uint8_t* map = m_input.Take(length * entryBytes);
    for (std::size_t i = 0; i < length; ++i, map += entryBytes) {
        const std::size_t index = m_header.colourMapFirst + i;
        if (index > 255)
            break;
        TColourTableEntry& e = m_colourTable[index];
        if (size == 15 || size == 16) {
            const std::uint16_t w = LittleEndian16(map);
            e.red = static_cast<std::uint8_t>(((w >> 10) & 31) * 2);
            e.green = static_cast<std::uint8_t>(((w >> 5) & 31) * 2);
            e.blue = static_cast<std::uint8_t>((w & 31) * 2);
        } else if (size == 24 || size == 32) {
            e.blue = static_cast<std::uint8_t>(map[0] >> 2);
            e.green = static_cast<std::uint8_t>(map[1] >> 2);
            e.red = static_cast<std::uint8_t>(map[2] >> 2);
        }
    }
}

// ---- palettes and fixed tables

void TBriskbTarga::SetMonoPalette(TBitmap& bitmap) {
    m_logPalette.palVersion = 0x300;
    m_logPalette.palNumEntries = 2;
    m_logPalette.palPalEntry[0] = {0, 0, 0, 0};
    m_logPalette.palPalEntry[1] = {255, 255, 255, 0};
    bitmap.SetPalette(CreatePalette(m_logPalette));
}

void TBriskbTarga::ApplyColourTable(TBitmap& bitmap) {
    m_logPalette.palVersion = 0x300;
    m_logPalette.palNumEntries = 256;
    for (int i = 0; i < 256; ++i) {
        const TColourTableEntry& e = m_colourTable[i];
        m_logPalette.palPalEntry[i] = {static_cast<std::uint8_t>(e.red * 4),
                                       static_cast<std::uint8_t>(e.green * 4),
                                       static_cast<std::uint8_t>(e.blue * 4), 0};
    }
    bitmap.SetPalette(CreatePalette(m_logPalette));
}

void TBriskbTarga::MakeGreyRamp() {
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i * 63 / 255);
        m_colourTable[i] = {v, v, v};
    }
}

void TBriskbTarga::MakeColourCube() {
    for (int r = 0; r < 8; ++r)
        for (int g = 0; g < 8; ++g)
            for (int b = 0; b < 4; ++b)
                m_colourTable[r * 32 + g * 4 + b] = {static_cast<std::uint8_t>(r * 8 + 7),
                                                     static_cast<std::uint8_t>(g * 8 + 7),
                                                     static_cast<std::uint8_t>(b * 16 + 15)};
}

// ---- the decode

void TBriskbTarga::DecodeImage(TBitmap& bitmap, std::uint16_t mode) {
    // Any mode other than 0 and 1 selects 24 bits, as mode 2 does.
    m_native = mode == 0;
    m_targetDepth = mode == 1 ? 8 : 24;
    m_errorText.clear();
    m_invalid = false;
    m_complete = false;

    ReadHeader();
    if (m_invalid) {
        bitmap.SetWidth(1);
        bitmap.SetHeight(1);
        return;
    }

    bitmap.SetHeight(m_header.height);
    bitmap.SetWidth(m_header.width);
    setFormatAndPalette(bitmap);

    // The row buffers live for the rows only, however the decode ends.
    const TScopeExit releaseRows([this] {
        std::vector<std::uint8_t>().swap(m_rowBuffer);
        std::vector<std::uint8_t>().swap(m_scratchRow);
    });
    // Room for one row of output (3 bytes per pixel) and for one row of pixel values (up to 4 bytes
    // each), and the slack that the wide stores of a run take.
    const std::size_t width = m_header.width;
    m_rowBuffer.assign(width * 3 + RowSlack, 0);
    m_scratchRow.assign(width * 4 + RowSlack, 0);
    prepareRows();

    const bool mono = m_header.pixelDepth == 1;
    // A row that takes all its input at once, or that is converted from a row of pixel values only
    // once all its packets were read, fails before writing anything: it can be decoded straight into
    // the bitmap. Run-length rows that need no conversion are built in RowBuffer first: the row that
    // runs out of data must leave the bitmap row as it was.
    const bool copies = m_kind == TPixelKind::Copy1 || m_kind == TPixelKind::Copy3;
    const bool straight = !(m_runLength && copies) && !m_mirror && !(mono && !m_native);
    const int height = m_header.height;
    const bool topDown = (m_header.descriptor & TopToBottom) != 0;
    for (int i = 0; i < height; ++i) {
        std::uint8_t* line = bitmap.ScanLine(topDown ? i : height - 1 - i);
        if (straight) {
            DecodeRow(line);
            continue;
        }
        DecodeRow(m_rowBuffer.data());
        if (mono && !(m_native && !m_mirror)) {
            ExpandMonoRow();
            finishMonoRow(line);
        } else if (m_mirror) {
            MirrorRow(bitmap.PixelFormat(), line);
        } else {
            std::memcpy(line, m_rowBuffer.data(), m_outRowSize);
        }
    }
    m_complete = true;
}

void TBriskbTarga::setFormatAndPalette(TBitmap& bitmap) {
    switch (m_header.pixelDepth) {
    case 1:
        bitmap.SetPixelFormat(TPixelFormat::pf1bit);
        SetMonoPalette(bitmap);
        if (m_native)
            break;
        if (m_targetDepth == 8) {
            bitmap.SetPixelFormat(TPixelFormat::pf8bit);
            ApplyColourTable(bitmap);
        } else {
            bitmap.SetPixelFormat(TPixelFormat::pf24bit);
            MakeColourCube();
            ApplyColourTable(bitmap);
        }
        break;
    case 8:
        bitmap.SetPixelFormat(TPixelFormat::pf8bit);
        ApplyColourTable(bitmap);
        if (m_native)
            break;
        bitmap.SetPixelFormat(m_targetDepth == 8 ? TPixelFormat::pf8bit : TPixelFormat::pf24bit);
        ApplyColourTable(bitmap);
        break;
    default: // 16, 24, 32
        bitmap.SetPixelFormat(TPixelFormat::pf24bit);
        if (!m_native && m_targetDepth == 8) {
            bitmap.SetPixelFormat(TPixelFormat::pf8bit);
            MakeGreyRamp();
        } else {
            MakeColourCube();
        }
        ApplyColourTable(bitmap);
        break;
    }
}

void TBriskbTarga::prepareRows() {
    const std::size_t width = m_header.width;
    const unsigned depth = m_header.pixelDepth;
    const bool grey = !m_native && m_targetDepth == 8;
    m_runLength = m_header.imageType >= 9;
    m_mirror = (m_header.descriptor & RightToLeft) != 0;
    m_packetLeft = 0;
    m_packetRepeats = false;
    m_units = width;

    switch (depth) {
    case 1:
        // Packed bytes of 8 pixels; the most significant bit is the leftmost pixel.
        m_units = (width + 7) / 8;
        m_kind = TPixelKind::Copy1;
        m_outRowSize = m_native ? m_units : grey ? width : width * 3;
        return;
    case 8:
        if (m_native || grey) {
            m_kind = TPixelKind::Copy1;
            break;
        }
        // NOTE: each channel of the table (0..63) comes out as value * 4 + 3, so a 24-bit colour map
        // byte keeps its six high bits and gets its two low bits set.
        for (int i = 0; i < 256; ++i) {
            const TColourTableEntry& e = m_colourTable[i];
            m_lookup[i] = static_cast<std::uint32_t>(e.blue * 4 + 3) |
                          static_cast<std::uint32_t>(e.green * 4 + 3) << 8 |
                          static_cast<std::uint32_t>(e.red * 4 + 3) << 16;
        }
        m_kind = TPixelKind::IndexToBgr;
        break;
    case 16:
        m_kind = grey ? TPixelKind::WordToGrey : TPixelKind::WordToBgr;
        break;
    case 24:
        m_kind = grey ? TPixelKind::BgrToGrey : TPixelKind::Copy3;
        break;
    default: // 32
        m_kind = grey ? TPixelKind::BgraToGrey : TPixelKind::BgraToBgr;
        break;
    }
    m_outRowSize = width * (m_kind == TPixelKind::Copy1 || grey ? 1 : 3);
}

void TBriskbTarga::DecodeRow(std::uint8_t* to) {
    switch (m_kind) {
    case TPixelKind::Copy1:
        return decodeRowAs<TCopy1>(to);
    case TPixelKind::Copy3:
        return decodeRowAs<TCopy3>(to);
    case TPixelKind::IndexToBgr:
        return decodeRowAs<TIndexToBgr>(to);
    case TPixelKind::WordToBgr:
        return decodeRowAs<TWordToBgr>(to);
    case TPixelKind::WordToGrey:
        return decodeRowAs<TWordToGrey>(to);
    case TPixelKind::BgrToGrey:
        return decodeRowAs<TBgrToGrey>(to);
    case TPixelKind::BgraToBgr:
        return decodeRowAs<TBgraToBgr>(to);
    case TPixelKind::BgraToGrey:
        return decodeRowAs<TBgraToGrey>(to);
    }
}

template <class TKind> void TBriskbTarga::decodeRowAs(std::uint8_t* to) {
    if (!m_runLength) {
        convertRow<TKind>(m_input.Take(m_units * TKind::In), m_units, to, m_lookup);
        return;
    }
    // The packets are read in place through a local copy of the input, handed back when the row is
    // done; a take beyond the data ends the decode, so a failed row hands nothing back. They are
    // expanded into a row of pixel values first (straight into the output where that is a copy of
    // them, which then is RowBuffer), and the row is converted as a whole.
    TSpanReader in = m_input;
    std::size_t packetLeft = m_packetLeft;
    bool repeats = m_packetRepeats;
    std::uint8_t* values = TKind::Copies ? to : m_scratchRow.data();

    // NOTE: real files hold packets that run past the end of a row. The rest of such a packet goes on
    // in the next row, so they decode as their writers meant; a row never takes more than its units.
    std::size_t done = 0;
    while (done < m_units) {
        if (packetLeft == 0) {
            const std::uint8_t h = in.Byte();
            packetLeft = (h & 0x7Fu) + 1;
            repeats = (h & 0x80) != 0;
            if (repeats)
                std::memcpy(m_repeatValue, in.Take(TKind::In), TKind::In);
        }
        const std::size_t n = std::min(packetLeft, m_units - done);
        std::uint8_t* at = values + done * TKind::In;
        if (repeats)
            fillUnits<TKind::In>(at, n, m_repeatValue);
        else
            copyValues(at, in, n * TKind::In);
        done += n;
        packetLeft -= n;
    }
    if constexpr (!TKind::Copies)
        convertRow<TKind>(values, m_units, to, m_lookup);
    m_input = in;
    m_packetLeft = packetLeft;
    m_packetRepeats = repeats;
}

void TBriskbTarga::ExpandMonoRow() {
    // Eight pixels at a time: up to seven bytes past the row's width are written, into the slack.
    const std::uint8_t* packed = m_rowBuffer.data();
    std::uint8_t* out = m_scratchRow.data();
    for (std::size_t k = 0; k < m_units; ++k)
        std::memcpy(out + 8 * k, MonoPixels[packed[k]].data(), 8);
}

// A 1-bit row, expanded in ScratchRow to one byte (0 or 1) per pixel, mirrored there when the image
// is stored right to left, and stored in the bitmap's format.
//
// NOTE: 1-bit pixels are black (0) and white (1) in every mode. Mode 1 stores the bytes 0 and 1 under
// the colour table's palette; mode 0 packs them again for the 1-bit bitmap with its black-and-white
// palette; mode 2 writes black and white pixels (the colour table holds the colour cube there, which
// says nothing about this image).
void TBriskbTarga::finishMonoRow(std::uint8_t* line) {
    const std::size_t width = m_header.width;
    std::uint8_t* pixels = m_scratchRow.data();
    if (m_mirror)
        std::reverse(pixels, pixels + width);
    if (m_native) {
        std::memset(line, 0, m_outRowSize);
        for (std::size_t i = 0; i < width; ++i)
            line[i / 8] = static_cast<std::uint8_t>(line[i / 8] | pixels[i] << (7 - i % 8));
    } else if (m_targetDepth == 8) {
        std::memcpy(line, pixels, width);
    } else {
        convertRow<TMonoToBgr>(pixels, width, line, nullptr);
    }
}

// Stores the first output-row-size bytes of RowBuffer in line, reversed from left to right in whole
// pixels of the bitmap's format: 1 byte in 8 bits, 3 in 24 bits; in any other format as they are.
void TBriskbTarga::MirrorRow(TPixelFormat format, std::uint8_t* line) const {
    const std::uint8_t* row = m_rowBuffer.data();
    const std::size_t size = m_outRowSize;
    if (format == TPixelFormat::pf8bit) {
        std::reverse_copy(row, row + size, line);
    } else if (format == TPixelFormat::pf24bit) {
        const std::size_t pixels = size / 3;
        for (std::size_t i = 0; i < pixels; ++i)
            std::memcpy(line + 3 * i, row + 3 * (pixels - 1 - i), 3);
    } else {
        std::memcpy(line, row, size);
    }
}
