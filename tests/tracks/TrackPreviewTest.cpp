#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ContainerWriter.h"
#include "TempDir.h"
#include "TgaWriter.h"
#include "tracks/TrackPreview.h"
#include "platform/TBitmap.h"

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

} // namespace
