// SPDX-License-Identifier: GPL-3.0-or-later
// Every accepted pixel depth in every mode, each origin, stored raw and run-length encoded: the whole
// bitmap is compared with what the pixel rules say, computed here from the picture's own values.
#include <gtest/gtest.h>

#include <tuple>

#include "TgaTestSupport.h"

namespace {

constexpr int H = 3;

enum class TStorage { Raw, RunLength, RunLengthAcrossRows };

void PrintTo(TStorage s, std::ostream* os) {
    *os << (s == TStorage::Raw ? "raw" : s == TStorage::RunLength ? "run-length" : "run-length across rows");
}

// Values with runs of equal neighbours, so run-length rows hold both kinds of packets: runs of 3 in a
// narrow picture, of 19 in a wide one (longer than the converters' vector steps and block stores).
std::uint8_t mix(int row, int col, int salt, int run) {
    return static_cast<std::uint8_t>((row * 7 + (col / run) * 13 + salt * 29 + 5) * 37);
}

std::uint8_t grey(unsigned r, unsigned g, unsigned b) {
    return static_cast<std::uint8_t>((32 * r + 64 * g + 12 * b) / 108);
}

// Entry i of the test colour map (24-bit entries: blue, green, red).
std::vector<std::uint8_t> mapEntry(int i) {
    return {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
            static_cast<std::uint8_t>(i * 7)};
}

struct TPicture {
    TTgaImage image;
    // The expected stored value of each bitmap pixel, row by row from the top.
    std::vector<std::uint32_t> expected;
    TPixelFormat format = TPixelFormat::pf24bit;
};

TPicture makePicture(int depth, int mode, std::uint8_t descriptor, TStorage storage, int width = 10) {
    TPicture p;
    p.image.width = width;
    p.image.height = H;
    p.image.pixelDepth = static_cast<std::uint8_t>(depth);
    p.image.descriptor = descriptor;
    const bool runLength = storage != TStorage::Raw;
    const std::uint8_t baseType = depth == 8 ? 1 : depth == 1 ? 3 : 2;
    p.image.imageType = static_cast<std::uint8_t>(baseType + (runLength ? 8 : 0));
    if (depth == 8) {
        p.image.colourMapType = 1;
        for (int i = 0; i < 256; ++i) {
            const auto e = mapEntry(i);
            p.image.colourMap.insert(p.image.colourMap.end(), e.begin(), e.end());
        }
    }

    // values[fileRow][fileCol] in file order; expectedAt computes the bitmap value of one of them.
    const std::size_t valueSize = depth == 1 ? 1 : static_cast<std::size_t>(depth / 8);
    const int units = depth == 1 ? (width + 7) / 8 : width;
    std::vector<std::uint8_t> data;
    for (int r = 0; r < H; ++r)
        for (int u = 0; u < units; ++u)
            for (std::size_t k = 0; k < valueSize; ++k)
                data.push_back(mix(r, u, static_cast<int>(k), width > 16 ? 19 : 3));

    const auto valueOf = [&](int fileRow, int fileCol) -> std::uint32_t {
        const std::uint8_t* v = data.data() + (static_cast<std::size_t>(fileRow * units) * valueSize);
        switch (depth) {
        case 1: {
            const unsigned bit = (v[fileCol / 8] >> (7 - fileCol % 8)) & 1u;
            return mode == 0 || mode == 1 ? bit : bit ? 0xFFFFFFu : 0u;
        }
        case 8: {
            const std::uint8_t index = v[fileCol];
            if (mode == 0 || mode == 1)
                return index;
            const auto e = mapEntry(index);
            return Bgr(e[0] | 3, e[1] | 3, e[2] | 3);
        }
        case 16: {
            const unsigned w = v[2 * fileCol] | v[2 * fileCol + 1] << 8;
            const unsigned b = (w & 31) << 3, g = ((w >> 5) & 31) << 3, r = ((w >> 10) & 31) << 3;
            return mode == 1 ? grey(r, g, b)
                             : Bgr(static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g),
                                   static_cast<std::uint8_t>(r));
        }
        default: {
            const std::uint8_t* px = v + static_cast<std::size_t>(fileCol) * valueSize;
            return mode == 1 ? grey(px[2], px[1], px[0]) : Bgr(px[0], px[1], px[2]);
        }
        }
    };

    const bool topDown = descriptor & 0x20;
    const bool rightToLeft = descriptor & 0x10;
    p.expected.resize(width * H);
    for (int r = 0; r < H; ++r)
        for (int c = 0; c < width; ++c) {
            const int y = topDown ? r : H - 1 - r;
            const int x = rightToLeft ? width - 1 - c : c;
            p.expected[static_cast<std::size_t>(y * width + x)] = valueOf(r, c);
        }

    if (storage == TStorage::Raw)
        p.image.data = data;
    else
        p.image.data = EncodeRunLength(data, valueSize, storage == TStorage::RunLength ? units : 0);

    if (mode == 1)
        p.format = TPixelFormat::pf8bit;
    else if (mode == 0 && depth == 1)
        p.format = TPixelFormat::pf1bit;
    else if (mode == 0 && depth == 8)
        p.format = TPixelFormat::pf8bit;
    return p;
}

using TLayoutParam = std::tuple<int, int, int, TStorage, int>;

class PixelLayout : public ::testing::TestWithParam<TLayoutParam> {};

TEST_P(PixelLayout, BitmapHoldsEveryPixelWhereTheOriginPutsIt) {
    const auto [depth, mode, descriptor, storage, width] = GetParam();
    const TPicture p = makePicture(depth, mode, static_cast<std::uint8_t>(descriptor), storage, width);
    // The bitmap held another picture of another size and format before.
    TBitmap bitmap = FilledBitmap(7, 5, depth == 24 ? TPixelFormat::pf8bit : TPixelFormat::pf24bit, 0xA5);
    Decode(BuildTga(p.image), bitmap, static_cast<std::uint16_t>(mode));

    ASSERT_EQ(bitmap.Width(), width);
    ASSERT_EQ(bitmap.Height(), H);
    ASSERT_EQ(bitmap.PixelFormat(), p.format);
    EXPECT_EQ(PixelValues(bitmap), p.expected);
}

INSTANTIATE_TEST_SUITE_P(AllKinds, PixelLayout,
                         ::testing::Combine(::testing::Values(1, 8, 16, 24, 32), ::testing::Values(0, 1, 2),
                                            ::testing::Values(0x00, 0x10, 0x20, 0x30),
                                            ::testing::Values(TStorage::Raw, TStorage::RunLength,
                                                              TStorage::RunLengthAcrossRows),
                                            ::testing::Values(10, 77)));

// The palette each depth and mode leaves in the bitmap, by a few telling entries.
struct TPaletteCase {
    int depth;
    int mode;
    std::size_t entries;
    std::size_t index;
    TPaletteEntry entry;
};

void PrintTo(const TPaletteCase& c, std::ostream* os) {
    *os << "depth " << c.depth << " mode " << c.mode << " entry " << c.index;
}

class PaletteByMode : public ::testing::TestWithParam<TPaletteCase> {};

TEST_P(PaletteByMode, BitmapTakesTheTablePalette) {
    const TPaletteCase& c = GetParam();
    const TPicture p = makePicture(c.depth, c.mode, 0, TStorage::Raw);
    TBitmap bitmap;
    Decode(BuildTga(p.image), bitmap, static_cast<std::uint16_t>(c.mode));
    ASSERT_EQ(bitmap.Palette().size(), c.entries);
    EXPECT_EQ(bitmap.Palette()[c.index], c.entry);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, PaletteByMode,
    ::testing::Values(
        // 1 bit: black and white natively; the 0..63 table (0 and 63) times 4 in mode 1; the cube in mode 2.
        TPaletteCase{1, 0, 2, 1, {255, 255, 255, 0}}, TPaletteCase{1, 1, 256, 1, {252, 252, 252, 0}},
        TPaletteCase{1, 1, 256, 2, {0, 0, 0, 0}}, TPaletteCase{1, 2, 256, 0, {28, 28, 60, 0}},
        // 8 bits: the colour map's six high bits, in every mode.
        TPaletteCase{8, 0, 256, 100, {188, 152, 100, 0}}, TPaletteCase{8, 1, 256, 100, {188, 152, 100, 0}},
        TPaletteCase{8, 2, 256, 255, {248, 0, 252, 0}},
        // True colour: the 3-3-2 cube (entry r*32 + g*4 + b) in modes 0 and 2, the grey ramp in mode 1.
        TPaletteCase{24, 0, 256, 7 * 32 + 7 * 4 + 3, {252, 252, 252, 0}},
        TPaletteCase{16, 2, 256, 1 * 32 + 2 * 4 + 3, {60, 92, 252, 0}},
        TPaletteCase{32, 1, 256, 255, {252, 252, 252, 0}},
        TPaletteCase{24, 1, 256, 128, {124, 124, 124, 0}}));

} // namespace
