// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "platform/TBitmap.h"

namespace {

struct TRowCase {
    TPixelFormat format;
    int width;
    std::size_t bytesPerLine;
};

class RowRounding : public ::testing::TestWithParam<TRowCase> {};

TEST_P(RowRounding, RowsAreRoundedUpToFourBytes) {
    const TRowCase& c = GetParam();
    TBitmap bitmap;
    bitmap.SetPixelFormat(c.format);
    bitmap.SetSize(c.width, 3);
    EXPECT_EQ(bitmap.BytesPerLine(), c.bytesPerLine);
    EXPECT_EQ(bitmap.ScanLine(1) - bitmap.ScanLine(0), static_cast<std::ptrdiff_t>(c.bytesPerLine));
    EXPECT_EQ(bitmap.ScanLine(0), bitmap.Bits()) << "rows are stored top-down";
}

INSTANTIATE_TEST_SUITE_P(
    Formats, RowRounding,
    ::testing::Values(TRowCase{TPixelFormat::pf1bit, 1, 4}, TRowCase{TPixelFormat::pf1bit, 32, 4},
                      TRowCase{TPixelFormat::pf1bit, 33, 8}, TRowCase{TPixelFormat::pf4bit, 8, 4},
                      TRowCase{TPixelFormat::pf4bit, 9, 8}, TRowCase{TPixelFormat::pf8bit, 5, 8},
                      TRowCase{TPixelFormat::pf8bit, 4, 4}, TRowCase{TPixelFormat::pf24bit, 1, 4},
                      TRowCase{TPixelFormat::pf24bit, 3, 12}, TRowCase{TPixelFormat::pf24bit, 285, 856}));

// Row y, byte i holds y * 16 + i + 1 (never 0).
void fillPattern(TBitmap& bitmap) {
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (std::size_t i = 0; i < bitmap.BytesPerLine(); ++i)
            row[i] = static_cast<std::uint8_t>(y * 16 + static_cast<int>(i) + 1);
    }
}

struct TResizeCase {
    TPixelFormat format;
    int width;
    int height;
    int newWidth;
    int newHeight;
};

class Resize : public ::testing::TestWithParam<TResizeCase> {};

TEST_P(Resize, KeepsWhatFitsAndClearsTheRest) {
    const TResizeCase& c = GetParam();
    TBitmap bitmap;
    bitmap.SetPixelFormat(c.format);
    bitmap.SetSize(c.width, c.height);
    fillPattern(bitmap);
    const TBitmap before = bitmap;
    bitmap.SetWidth(c.newWidth);
    bitmap.SetHeight(c.newHeight);
    ASSERT_EQ(bitmap.Width(), c.newWidth);
    ASSERT_EQ(bitmap.Height(), c.newHeight);
    const int bits = static_cast<int>(c.format);
    const auto pixel = [bits](const TBitmap& b, int x, int y) {
        const std::uint8_t* row = b.ScanLine(y);
        unsigned v = 0;
        for (int k = 0; k < bits; ++k) {
            const int bit = x * bits + k;
            v = v << 1 | ((row[bit / 8] >> (7 - bit % 8)) & 1u);
        }
        return v;
    };
    for (int y = 0; y < c.newHeight; ++y)
        for (int x = 0; x < c.newWidth; ++x) {
            const bool kept = x < c.width && y < c.height;
            ASSERT_EQ(pixel(bitmap, x, y), kept ? pixel(before, x, y) : 0u) << x << ", " << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Shapes, Resize,
                         ::testing::Values(TResizeCase{TPixelFormat::pf24bit, 5, 4, 3, 2},
                                           TResizeCase{TPixelFormat::pf24bit, 3, 2, 7, 5},
                                           TResizeCase{TPixelFormat::pf8bit, 6, 3, 9, 1},
                                           TResizeCase{TPixelFormat::pf1bit, 13, 3, 20, 4},
                                           TResizeCase{TPixelFormat::pf1bit, 13, 3, 3, 3},
                                           TResizeCase{TPixelFormat::pf4bit, 5, 2, 8, 2},
                                           TResizeCase{TPixelFormat::pf24bit, 4, 4, 0, 4},
                                           TResizeCase{TPixelFormat::pf8bit, 4, 4, 1, 1}));

TEST(TBitmap, GrowingBackDoesNotBringOldPixelsBack) {
    TBitmap bitmap;
    bitmap.SetSize(4, 4);
    fillPattern(bitmap);
    bitmap.SetSize(1, 1);
    bitmap.SetSize(4, 4);
    const std::uint8_t* row = bitmap.ScanLine(3);
    EXPECT_TRUE(std::all_of(row, row + 12, [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(bitmap.ScanLine(0)[0], 1);
}

TEST(TBitmap, FormatChangeKeepsSizeAndPaletteAndClearsPixels) {
    TBitmap bitmap;
    bitmap.SetSize(3, 2);
    bitmap.SetPalette({{1, 2, 3, 0}});
    fillPattern(bitmap);
    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    EXPECT_EQ(bitmap.ScanLine(1)[2], 16 + 3) << "the same format changes nothing";
    bitmap.SetPixelFormat(TPixelFormat::pf8bit);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(bitmap.BytesPerLine(), 4u);
    EXPECT_EQ(bitmap.Palette(), (TPalette{{1, 2, 3, 0}}));
    EXPECT_EQ(bitmap.ScanLine(1)[2], 0);
}

TEST(TBitmap, EmptyBitmapsHaveNoRows) {
    TBitmap bitmap;
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Bits(), nullptr);
    EXPECT_THROW(bitmap.ScanLine(0), EInvalidGraphicOperation);
    bitmap.SetWidth(5);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_THROW(bitmap.ScanLine(0), EInvalidGraphicOperation);
    bitmap.SetHeight(-3);
    EXPECT_EQ(bitmap.Height(), 0);
    bitmap.SetHeight(2);
    EXPECT_NO_THROW(bitmap.ScanLine(1));
    EXPECT_THROW(bitmap.ScanLine(2), EInvalidGraphicOperation);
    EXPECT_THROW(bitmap.ScanLine(-1), EInvalidGraphicOperation);
    try {
        bitmap.ScanLine(2);
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_STREQ(e.what(), "Scan line index out of range");
    }
}

TEST(TBitmap, RefusesRowMemoryBeyondItsLimitAndStaysAsItWas) {
    TBitmap bitmap;
    bitmap.SetSize(2, 2);
    fillPattern(bitmap);
    // 65536 rows of 32768 bytes: exactly 2 GiB, one byte more than a bitmap takes.
    bitmap.SetPixelFormat(TPixelFormat::pf8bit);
    bitmap.SetSize(32768, 1);
    EXPECT_THROW(bitmap.SetHeight(65536), EOutOfMemory);
    EXPECT_EQ(bitmap.Width(), 32768);
    EXPECT_EQ(bitmap.Height(), 1);
    EXPECT_THROW(bitmap.SetSize(0x7FFFFFFF, 0x7FFFFFFF), EOutOfMemory);
    EXPECT_NO_THROW(bitmap.SetPixelFormat(TPixelFormat::pf24bit));
    EXPECT_EQ(bitmap.BytesPerLine(), 98304u);
}

TEST(TBitmap, CopiesAreIndependent) {
    TBitmap bitmap;
    bitmap.SetSize(2, 2);
    fillPattern(bitmap);
    TBitmap copy = bitmap;
    copy.ScanLine(0)[0] = 0xEE;
    EXPECT_EQ(bitmap.ScanLine(0)[0], 1);
    EXPECT_EQ(copy.ScanLine(1)[5], bitmap.ScanLine(1)[5]);
}

TEST(TBitmap, CreatePaletteTakesTheRecordsEntries) {
    TLogPalette record;
    record.palNumEntries = 3;
    record.palPalEntry[2] = {9, 8, 7, 0};
    const TPalette palette = CreatePalette(record);
    ASSERT_EQ(palette.size(), 3u);
    EXPECT_EQ(palette[2], (TPaletteEntry{9, 8, 7, 0}));
    record.palNumEntries = 1000;
    EXPECT_EQ(CreatePalette(record).size(), 256u);
}

} // namespace
