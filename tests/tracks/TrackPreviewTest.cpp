// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ContainerWriter.h"
#include "TempDir.h"
#include "TgaWriter.h"
#include "platform/TBitmap.h"
#include "tracks/TrackPreview.h"

namespace {

// A picture of the given size stored as the preview entry of t.env under "Tag": run-length packets of
// grey, or the header alone for a picture the preview refuses.
struct PictureCase {
    const char* title;
    int width;
    int height;
    bool shown; // decoded, or the placeholder
};

class PreviewLimit : public ::testing::TestWithParam<PictureCase> {};

TEST_P(PreviewLimit, LargePicturesShowThePlaceholder) {
    const PictureCase& c = GetParam();
    TTgaImage image;
    image.imageType = 10;
    image.width = static_cast<std::uint16_t>(c.width);
    image.height = static_cast<std::uint16_t>(c.height);
    const std::size_t pixels = static_cast<std::size_t>(c.width) * static_cast<std::size_t>(c.height);
    for (std::size_t done = 0; c.shown && done < pixels; done += 128) {
        const std::vector<std::uint8_t> packet =
            RepeatPacket(std::min<std::size_t>(128, pixels - done), {9, 9, 9});
        image.data.insert(image.data.end(), packet.begin(), packet.end());
    }
    TTempDir dir;
    WriteFileBytes(dir.file("t.env"), BuildContainer({{"ts.tga", BuildTga(image)}}));

    TBitmap bitmap;
    bitmap.SetSize(285, 139);
    EXPECT_EQ(DecodeTrackPreview(dir.file("t.env"), 5, bitmap) == TPreviewOutcome::Picture, c.shown);
    EXPECT_EQ(bitmap.Width(), c.shown ? c.width : 285);
    EXPECT_EQ(bitmap.Height(), c.shown ? c.height : 139);
    if (c.shown) {
        EXPECT_EQ(bitmap.ScanLine(c.height - 1)[3 * (c.width - 1)], 9) << "the last pixel is decoded";
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, PreviewLimit,
                         ::testing::Values(PictureCase{"Small", 3, 2, true},
                                           PictureCase{"AtTheLimit", 2048, 2048, true},
                                           PictureCase{"OneRowMore", 2048, 2049, false},
                                           PictureCase{"Largest", 21845, 32767, false}),
                         [](const auto& info) { return std::string(info.param.title); });

// The preview decodes into the bitmap shown, a 4 x 2 picture of value 200 here: what a new picture does
// not replace must never show the old one, and what gives no picture must leave it.
struct ShownCase {
    const char* title;
    TTgaImage image;
    bool picture;
    std::uint8_t top;    // the first byte of the top row afterwards
    std::uint8_t bottom; // and of the bottom row
};

class DecodeIntoShown : public ::testing::TestWithParam<ShownCase> {};

TEST_P(DecodeIntoShown, OldRowsNeverShow) {
    const ShownCase& c = GetParam();
    TTempDir dir;
    WriteFileBytes(dir.file("t.env"), BuildContainer({{"ts.tga", BuildTga(c.image)}}));
    TBitmap bitmap;
    bitmap.SetSize(4, 2);
    std::fill(bitmap.Bits(), bitmap.Bits() + bitmap.BytesPerLine() * 2, std::uint8_t{200});

    EXPECT_EQ(DecodeTrackPreview(dir.file("t.env"), 5, bitmap) == TPreviewOutcome::Picture, c.picture);
    EXPECT_EQ(bitmap.ScanLine(0)[0], c.top);
    EXPECT_EQ(bitmap.ScanLine(1)[0], c.bottom);
}

TTgaImage fourByTwo(std::size_t rows, std::uint16_t colourMapLength = 0) {
    TTgaImage image;
    image.width = 4;
    image.height = 2;
    image.data.assign(rows * 12, 9);
    if (colourMapLength > 0) {
        image.colourMapType = 1;
        image.colourMapLength = colourMapLength;
        image.colourMap.assign(3, 0);
    }
    return image;
}

INSTANTIATE_TEST_SUITE_P(Cases, DecodeIntoShown,
                         ::testing::Values(ShownCase{"Whole", fourByTwo(2), true, 9, 9},
                                           // stored bottom-up: the first row is the bottom one
                                           ShownCase{"EndsAfterOneRow", fourByTwo(1), true, 0, 9},
                                           ShownCase{"ColourMapCutShort", fourByTwo(0, 5), false, 200, 200}),
                         [](const auto& info) { return std::string(info.param.title); });

} // namespace
