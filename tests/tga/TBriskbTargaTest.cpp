// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "TgaTestSupport.h"

namespace {

// A 24-bit image of the given pixels (blue, green, red bytes each), one row per string of bytes.
TTgaImage trueColour(std::uint16_t width, std::uint16_t height, std::vector<std::uint8_t> data,
                     std::uint8_t depth = 24) {
    TTgaImage image;
    image.width = width;
    image.height = height;
    image.pixelDepth = depth;
    image.data = std::move(data);
    return image;
}

// An 8-bit image of one row of indexes.
TTgaImage indexed(std::vector<std::uint8_t> indexes, std::uint8_t imageType = 3) {
    TTgaImage image;
    image.imageType = imageType;
    image.pixelDepth = 8;
    image.width = static_cast<std::uint16_t>(indexes.size());
    image.data = std::move(indexes);
    return image;
}

std::vector<std::uint32_t> decodedPixels(const TTgaImage& image, std::uint16_t mode = 2) {
    TBitmap bitmap;
    Decode(BuildTga(image), bitmap, mode);
    return PixelValues(bitmap);
}

TEST(TBriskbTarga, GreyRampWithoutColourMap) {
    EXPECT_EQ(
        decodedPixels(indexed({0, 64, 255, 128})),
        (std::vector<std::uint32_t>{Bgr(3, 3, 3), Bgr(63, 63, 63), Bgr(255, 255, 255), Bgr(127, 127, 127)}));
}

TEST(TBriskbTarga, TwentyFourBitColourMapKeepsSixBitsAndSetsTheLowTwo) {
    TTgaImage image = indexed({0, 1, 2}, 1);
    image.colourMapType = 1;
    image.colourMap = {0, 0, 0, 100, 100, 100, 255, 255, 255};
    EXPECT_EQ(decodedPixels(image),
              (std::vector<std::uint32_t>{Bgr(3, 3, 3), Bgr(103, 103, 103), Bgr(255, 255, 255)}));
}

TEST(TBriskbTarga, ColourMapOffsetFillsOnlyItsEntries) {
    TTgaImage image = indexed({15, 16, 19, 20, 0}, 1);
    image.colourMapType = 1;
    image.colourMapFirst = 16;
    image.colourMap = {10, 20, 30, 0, 0, 0, 0, 0, 0, 40, 50, 60};
    const auto black = Bgr(3, 3, 3);
    EXPECT_EQ(decodedPixels(image),
              (std::vector<std::uint32_t>{black, Bgr(11, 23, 31), Bgr(43, 51, 63), black, black}));
}

struct TMapEntryCase {
    const char* name;
    std::uint8_t entrySize;
    std::vector<std::uint8_t> entry; // one colour-map entry as stored
    std::uint32_t colour;            // index 0 decoded in mode 2
};

void PrintTo(const TMapEntryCase& c, std::ostream* os) {
    *os << c.name;
}

class ColourMapEntrySize : public ::testing::TestWithParam<TMapEntryCase> {};

TEST_P(ColourMapEntrySize, EntryReadAndPixelDataFoundAfterTheMap) {
    const TMapEntryCase& c = GetParam();
    // Two entries; index 1 is the second one. The pixel data begin right after them.
    TTgaImage image = indexed({0, 1}, 1);
    image.colourMapType = 1;
    image.colourMapEntrySize = c.entrySize;
    image.colourMap = Joined({c.entry, c.entry});
    EXPECT_EQ(decodedPixels(image), (std::vector<std::uint32_t>{c.colour, c.colour}));
}

INSTANTIATE_TEST_SUITE_P(Sizes, ColourMapEntrySize,
                         ::testing::Values(
                             // x-r5-g5-b5: red 31, green 16, blue 1 -> 62, 32, 2 on the table's scale.
                             TMapEntryCase{"sixteen", 16, {0x01, 0xFE}, Bgr(11, 131, 251)},
                             TMapEntryCase{"fifteen", 15, {0x01, 0x7E}, Bgr(11, 131, 251)},
                             TMapEntryCase{"twentyfour", 24, {8, 16, 32}, Bgr(11, 19, 35)},
                             TMapEntryCase{"thirtytwo", 32, {8, 16, 32, 0xEE}, Bgr(11, 19, 35)},
                             TMapEntryCase{"eight", 8, {0x77}, Bgr(3, 3, 3)},
                             TMapEntryCase{"twelve", 12, {0x77, 0x77}, Bgr(3, 3, 3)},
                             TMapEntryCase{"zero", 0, {}, Bgr(3, 3, 3)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TBriskbTarga, ColourMapEntriesBeyondTheTableAreConsumedAndIgnored) {
    TTgaImage image = indexed({254, 255}, 1);
    image.colourMapType = 1;
    image.colourMapFirst = 254;
    // Entries 254 to 257: the last two have no table entry, but their bytes come before the pixels.
    image.colourMap = {40, 40, 40, 80, 80, 80, 120, 120, 120, 160, 160, 160};
    EXPECT_EQ(decodedPixels(image), (std::vector<std::uint32_t>{Bgr(43, 43, 43), Bgr(83, 83, 83)}));
    image.colourMapFirst = 0xFFFF;
    EXPECT_EQ(decodedPixels(image), (std::vector<std::uint32_t>{Bgr(3, 3, 3), Bgr(3, 3, 3)}));
}

TEST(TBriskbTarga, ImageIdIsSkipped) {
    TTgaImage image = trueColour(1, 1, {1, 2, 3});
    image.imageId = std::vector<std::uint8_t>(255, 0xEE);
    EXPECT_EQ(decodedPixels(image), (std::vector<std::uint32_t>{Bgr(1, 2, 3)}));
}

TEST(TBriskbTarga, SixteenBitChannelsAndIgnoredTopBit) {
    TTgaImage image = trueColour(3, 1, {0xFF, 0xFF, 0x00, 0x80, 0x1F, 0x7C}, 16);
    EXPECT_EQ(decodedPixels(image), (std::vector<std::uint32_t>{Bgr(248, 248, 248), 0, Bgr(248, 0, 248)}));
}

TEST(TBriskbTarga, ThirtyTwoBitDecodesLikeTwentyFour) {
    const std::vector<std::uint8_t> bgr = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const std::vector<std::uint8_t> bgra = {1, 2, 3, 0xFF, 4, 5, 6, 0, 7, 8, 9, 0x80, 10, 11, 12, 1};
    for (const std::uint16_t mode : {0, 1, 2}) {
        TBitmap a;
        TBitmap b;
        Decode(BuildTga(trueColour(2, 2, bgr)), a, mode);
        Decode(BuildTga(trueColour(2, 2, bgra, 32)), b, mode);
        EXPECT_EQ(PixelValues(a), PixelValues(b)) << "mode " << mode;
        EXPECT_EQ(a.PixelFormat(), b.PixelFormat());
        EXPECT_EQ(a.Palette(), b.Palette());
    }
}

TEST(TBriskbTarga, ModeOneGreyOfPureRed) {
    TBitmap bitmap;
    Decode(BuildTga(trueColour(1, 1, {0, 0, 255})), bitmap, 1);
    ASSERT_EQ(bitmap.PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_EQ(PixelValue(bitmap, 0, 0), 75u);
    EXPECT_EQ(bitmap.Palette()[75], (TPaletteEntry{72, 72, 72, 0}));
}

TEST(TBriskbTarga, OtherModeValuesDecodeAsModeTwo) {
    TTgaImage image = indexed({0, 64, 255});
    const auto expected = decodedPixels(image, 2);
    for (const std::uint16_t mode : {3, 7, 0xFFFF}) {
        TBitmap bitmap;
        Decode(BuildTga(image), bitmap, mode);
        EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf24bit) << mode;
        EXPECT_EQ(PixelValues(bitmap), expected) << mode;
    }
}

// ---- run-length packets

struct TPacketCase {
    const char* name;
    std::uint16_t width;
    std::uint16_t height;
    std::uint8_t descriptor;
    std::vector<std::uint8_t> data;     // 8-bit grey packets
    std::vector<std::uint32_t> indexes; // mode 1 result, rows from the top
};

void PrintTo(const TPacketCase& c, std::ostream* os) {
    *os << c.name;
}

class RunLengthPackets : public ::testing::TestWithParam<TPacketCase> {};

TEST_P(RunLengthPackets, PacketsFillRowsInFileOrder) {
    const TPacketCase& c = GetParam();
    TTgaImage image;
    image.imageType = 11;
    image.pixelDepth = 8;
    image.width = c.width;
    image.height = c.height;
    image.descriptor = c.descriptor;
    image.data = c.data;
    TBitmap bitmap;
    Decode(BuildTga(image), bitmap, 1);
    ASSERT_EQ(bitmap.Width(), c.width);
    EXPECT_EQ(PixelValues(bitmap), c.indexes);
}

INSTANTIATE_TEST_SUITE_P(
    Packets, RunLengthPackets,
    ::testing::Values(TPacketCase{"repeat", 3, 1, 0x20, {0x82, 9}, {9, 9, 9}},
                      TPacketCase{"raw", 3, 1, 0x20, {0x02, 1, 2, 3}, {1, 2, 3}},
                      TPacketCase{"mixed", 5, 1, 0x20, {0x01, 1, 2, 0x82, 7}, {1, 2, 7, 7, 7}},
                      TPacketCase{"longest", 128, 1, 0x20, {0xFF, 4}, std::vector<std::uint32_t>(128, 4)},
                      // A packet that runs past the end of a row goes on in the next row.
                      TPacketCase{"repeatAcrossRows", 2, 3, 0x20, {0x84, 5, 0x00, 6}, {5, 5, 5, 5, 5, 6}},
                      TPacketCase{"rawAcrossRows", 2, 2, 0x20, {0x02, 1, 2, 3, 0x00, 4}, {1, 2, 3, 4}},
                      TPacketCase{"acrossRowsBottomUp", 2, 2, 0x00, {0x02, 1, 2, 3, 0x00, 4}, {3, 4, 1, 2}},
                      TPacketCase{"acrossRowsMirrored", 2, 2, 0x30, {0x02, 1, 2, 3, 0x00, 4}, {2, 1, 4, 3}},
                      // What is left of a packet after the last row is never written anywhere.
                      TPacketCase{"pastTheLastRow", 2, 2, 0x20, {0xFF, 8}, {8, 8, 8, 8}},
                      TPacketCase{"rawPastTheLastRow", 1, 1, 0x20, {0x7F, 1}, {1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TBriskbTarga, OnePacketAcrossTheRowsOfAWideImage) {
    // 24-bit, mode 2: a packet of 128 pixels spans rows of 50; the next packet starts mid-row.
    TTgaImage image = trueColour(50, 3, Joined({RepeatPacket(128, {1, 2, 3}), RepeatPacket(22, {4, 5, 6})}));
    image.imageType = 10;
    image.descriptor = 0x20;
    std::vector<std::uint32_t> expected(150, Bgr(1, 2, 3));
    std::fill(expected.begin() + 128, expected.end(), Bgr(4, 5, 6));
    EXPECT_EQ(decodedPixels(image), expected);
}

// ---- rejected headers

struct TRejectCase {
    const char* name;
    std::uint8_t imageType;
    std::uint8_t depth;
    std::uint16_t width;
    std::uint16_t height;
};

void PrintTo(const TRejectCase& c, std::ostream* os) {
    *os << c.name;
}

class RejectedHeader : public ::testing::TestWithParam<TRejectCase> {};

TEST_P(RejectedHeader, BitmapBecomesOnePixelAndKeepsFormatAndPalette) {
    const TRejectCase& c = GetParam();
    TTgaImage image = trueColour(c.width, c.height, std::vector<std::uint8_t>(64, 0x11), c.depth);
    image.imageType = c.imageType;
    TBitmap bitmap = FilledBitmap(4, 3, TPixelFormat::pf8bit, 0x42);
    const TPalette palette = {{1, 2, 3, 0}, {4, 5, 6, 0}};
    bitmap.SetPalette(palette);
    const auto bytes = BuildTga(image);
    for (const std::uint16_t mode : {0, 1, 2}) {
        TBriskbTarga reader;
        reader.DecodeToBitmap(bytes.data(), static_cast<std::uint32_t>(bytes.size()), bitmap, mode);
        EXPECT_TRUE(reader.Invalid());
        EXPECT_EQ(reader.ErrorText(), "Invalid TGA file!");
        ASSERT_EQ(bitmap.Width(), 1);
        ASSERT_EQ(bitmap.Height(), 1);
        EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf8bit);
        EXPECT_EQ(bitmap.Palette(), palette);
        EXPECT_EQ(PixelValue(bitmap, 0, 0), 0x42u) << "the kept corner of the old picture";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Headers, RejectedHeader,
    ::testing::Values(TRejectCase{"type0", 0, 24, 2, 2}, TRejectCase{"type32", 32, 24, 2, 2},
                      TRejectCase{"type4", 4, 24, 2, 2}, TRejectCase{"type8", 8, 24, 2, 2},
                      TRejectCase{"depth15", 2, 15, 2, 2}, TRejectCase{"depth0", 2, 0, 2, 2},
                      TRejectCase{"depth4", 1, 4, 2, 2}, TRejectCase{"depth4rle", 9, 4, 2, 2},
                      TRejectCase{"widthZero", 2, 24, 0, 2}, TRejectCase{"heightZero", 2, 24, 2, 0},
                      TRejectCase{"tooWide", 2, 24, 21846, 1}, TRejectCase{"tooWideMono", 3, 1, 65535, 1},
                      TRejectCase{"tooHigh", 2, 24, 1, 32768}, TRejectCase{"highest", 2, 24, 0xFFFF, 0xFFFF}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TBriskbTarga, LargestAcceptedSizes) {
    for (const auto& [w, h] : {std::pair{21845, 1}, std::pair{1, 32767}}) {
        TBitmap bitmap;
        TBriskbTarga reader;
        const auto bytes =
            BuildTga(trueColour(static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h), {}));
        reader.DecodeToBitmap(bytes.data(), static_cast<std::uint32_t>(bytes.size()), bitmap, 2);
        EXPECT_FALSE(reader.Invalid());
        EXPECT_EQ(bitmap.Width(), w);
        EXPECT_EQ(bitmap.Height(), h);
    }
}

// ---- data that end early

TEST(TBriskbTarga, DataEndingBeforeThePixelsLeaveTheBitmapUntouched) {
    TTgaImage image = indexed({1, 2, 3, 4}, 1);
    image.imageId = {'i', 'd'};
    image.colourMapType = 1;
    image.colourMap = std::vector<std::uint8_t>(3 * 5, 0x99);
    const auto bytes = BuildTga(image);
    const std::size_t pixelsStart = 18 + 2 + 15;
    const TBitmap before = FilledBitmap(3, 2, TPixelFormat::pf24bit, 0x5A);
    for (std::size_t size = 0; size < pixelsStart; ++size) {
        TBitmap bitmap = before;
        bitmap.SetPalette({{9, 9, 9, 0}});
        TBriskbTarga reader;
        reader.DecodeToBitmap(bytes.data(), static_cast<std::uint32_t>(size), bitmap, 2);
        EXPECT_FALSE(reader.Invalid()) << size;
        EXPECT_EQ(reader.ErrorText(), "") << size;
        ASSERT_EQ(bitmap.Width(), 3) << size;
        ASSERT_EQ(bitmap.Height(), 2) << size;
        EXPECT_EQ(PixelValues(bitmap), PixelValues(before)) << size;
        EXPECT_EQ(bitmap.Palette().size(), 1u) << size;
    }
}

TEST(TBriskbTarga, NullDataIsNoData) {
    TBitmap bitmap = FilledBitmap(2, 2, TPixelFormat::pf24bit, 1);
    TBriskbTarga reader;
    reader.DecodeToBitmap(nullptr, 100, bitmap, 2);
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(PixelValue(bitmap, 1, 1), 0x010101u);
}

TEST(TBriskbTarga, HeaderOnlyGivesTheImageSizeAndNoRows) {
    TBitmap bitmap = FilledBitmap(2, 2, TPixelFormat::pf24bit, 0x33);
    Decode(BuildTga(trueColour(4, 3, {})), bitmap, 2);
    ASSERT_EQ(bitmap.Width(), 4);
    ASSERT_EQ(bitmap.Height(), 3);
    EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf24bit);
    // The resize kept the old 2 x 2 corner; everything else is new and 0.
    const auto c = Bgr(0x33, 0x33, 0x33);
    EXPECT_EQ(PixelValues(bitmap), (std::vector<std::uint32_t>{c, c, 0, 0, c, c, 0, 0, 0, 0, 0, 0}));
}

struct TTruncationCase {
    const char* name;
    std::uint8_t imageType;
    std::uint8_t descriptor;
    std::vector<std::uint8_t> data; // 24-bit pixels of a 2 x 3 image, as stored
};

void PrintTo(const TTruncationCase& c, std::ostream* os) {
    *os << c.name;
}

class TruncatedRows : public ::testing::TestWithParam<TTruncationCase> {};

// Cut at every byte of the pixel data: exactly the rows whose data are complete are stored, the rest
// keep the old picture.
TEST_P(TruncatedRows, RowsStoredBeforeTheEndAreKept) {
    const TTruncationCase& c = GetParam();
    TTgaImage image = trueColour(2, 3, c.data);
    image.imageType = c.imageType;
    image.descriptor = c.descriptor;
    const auto bytes = BuildTga(image);
    TBitmap full;
    Decode(bytes, full, 2);
    const auto complete = PixelValues(full);
    const auto old = Bgr(0x77, 0x77, 0x77);

    // The size of the data at which each file row is complete.
    std::vector<std::size_t> rowEnds;
    for (std::size_t size = 18; size <= bytes.size(); ++size) {
        TBitmap bitmap = FilledBitmap(2, 3, TPixelFormat::pf24bit, 0x77);
        Decode({bytes.begin(), bytes.begin() + static_cast<long>(size)}, bitmap, 2);
        int stored = 0;
        for (int fileRow = 0; fileRow < 3; ++fileRow) {
            const int y = c.descriptor & 0x20 ? fileRow : 2 - fileRow;
            const bool kept = PixelValue(bitmap, 0, y) == complete[static_cast<std::size_t>(y * 2)] &&
                              PixelValue(bitmap, 1, y) == complete[static_cast<std::size_t>(y * 2 + 1)];
            const bool untouched = PixelValue(bitmap, 0, y) == old && PixelValue(bitmap, 1, y) == old;
            if (stored == fileRow && kept)
                ++stored;
            else
                EXPECT_TRUE(untouched) << "size " << size << " file row " << fileRow;
        }
        while (rowEnds.size() < static_cast<std::size_t>(stored))
            rowEnds.push_back(size);
    }
    ASSERT_EQ(rowEnds.size(), 3u);
    EXPECT_EQ(rowEnds.back(), bytes.size()) << "the last row needs every byte";
}

INSTANTIATE_TEST_SUITE_P(
    Storage, TruncatedRows,
    ::testing::Values(
        TTruncationCase{"raw", 2, 0x00, {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 6}},
        TTruncationCase{"rawTopDown", 2, 0x20, {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 6}},
        TTruncationCase{"packets", 10, 0x00, {0x81, 1, 1, 1, 0x00, 2, 2, 2, 0x00, 3, 3, 3, 0x81, 4, 4, 4}},
        TTruncationCase{"acrossRows", 10, 0x20, {0x82, 1, 1, 1, 0x02, 2, 2, 2, 3, 3, 3, 4, 4, 4}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TBriskbTarga, TruncatedRowsInANewFormatKeepTheClearedPicture) {
    // The format changes from 24 to 8 bits: rows that were never stored are 0.
    TTgaImage image = indexed({5, 6, 7, 8}, 3);
    image.width = 2;
    image.height = 2;
    image.descriptor = 0x20;
    auto bytes = BuildTga(image);
    bytes.resize(bytes.size() - 1);
    TBitmap bitmap = FilledBitmap(2, 2, TPixelFormat::pf24bit, 0x77);
    Decode(bytes, bitmap, 1);
    EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_EQ(PixelValues(bitmap), (std::vector<std::uint32_t>{5, 6, 0, 0}));
}

// ---- one reader, several images

TEST(TBriskbTarga, NothingCarriesOverFromAnEarlierDecode) {
    TTgaImage mapped = indexed({0}, 1);
    mapped.colourMapType = 1;
    mapped.colourMap = {200, 200, 200};
    TTgaImage packets = indexed({}, 11);
    packets.width = 2;
    packets.data = {0xFF, 9}; // 128 pixels: most are left over after the row
    TTgaImage rejected = indexed({0}, 7);

    TBriskbTarga reader;
    TBitmap bitmap;
    const auto decode = [&](const TTgaImage& image) {
        const auto bytes = BuildTga(image);
        reader.DecodeToBitmap(bytes.data(), static_cast<std::uint32_t>(bytes.size()), bitmap, 2);
    };
    decode(mapped);
    EXPECT_EQ(PixelValue(bitmap, 0, 0), Bgr(203, 203, 203));
    decode(packets);
    decode(rejected);
    EXPECT_TRUE(reader.Invalid());
    decode(indexed({0}));
    EXPECT_FALSE(reader.Invalid());
    EXPECT_EQ(reader.ErrorText(), "");
    EXPECT_EQ(PixelValue(bitmap, 0, 0), Bgr(3, 3, 3)) << "grey ramp, not the earlier colour map";
    packets.data = {0x00, 20, 0x00, 24};
    decode(packets);
    EXPECT_EQ(PixelValues(bitmap), (std::vector<std::uint32_t>{Bgr(19, 19, 19), Bgr(23, 23, 23)}))
        << "a new decode starts with a new packet";
    decode(rejected);
    EXPECT_TRUE(reader.Invalid());
    const std::uint8_t zeros[18] = {};
    reader.DecodeToBitmap(zeros, 17, bitmap, 2);
    EXPECT_FALSE(reader.Invalid()) << "no header read, none rejected";
}

TEST(TBriskbTarga, MonoPixelsAreBlackAndWhiteInEveryMode) {
    TTgaImage image;
    image.imageType = 3;
    image.pixelDepth = 1;
    image.width = 12;
    image.descriptor = 0x10;
    image.data = {0b10110000, 0b0001'1111};
    const std::vector<std::uint32_t> bits = {1, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1};
    std::vector<std::uint32_t> mirrored(bits.rbegin(), bits.rend());
    TBitmap bitmap;
    Decode(BuildTga(image), bitmap, 0);
    EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf1bit);
    EXPECT_EQ(PixelValues(bitmap), mirrored);
    EXPECT_EQ(bitmap.ScanLine(0)[1] & 0x0F, 0) << "no bit beyond the row's pixels is set";
    Decode(BuildTga(image), bitmap, 2);
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(PixelValue(bitmap, x, 0), mirrored[static_cast<std::size_t>(x)] ? 0xFFFFFFu : 0u) << x;
}

} // namespace
