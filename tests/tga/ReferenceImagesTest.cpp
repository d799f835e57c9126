// SPDX-License-Identifier: GPL-3.0-or-later
// The public TGA test images of a peer imaging library (see images/PROVENANCE.md), decoded in
// mode 2 and compared with their PNG references or with what their own bytes say.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ContainerWriter.h"
#include "TgaTestSupport.h"

namespace {

const std::filesystem::path dataDir = std::filesystem::path(TEST_IMAGES_DIR) / "pillow";

std::vector<std::uint8_t> fileBytes(const std::string& name) {
    return ReadFileBytes((dataDir / name).string());
}

TBitmap decodeFile(const std::string& name, std::uint16_t mode = 2) {
    TBitmap bitmap;
    Decode(fileBytes(name), bitmap, mode);
    return bitmap;
}

struct TReferenceCase {
    std::string tga;
    std::string png;
    int tolerance; // per channel
};

void PrintTo(const TReferenceCase& c, std::ostream* os) {
    *os << c.tga;
}

std::string caseName(const TReferenceCase& c) {
    std::string name = std::filesystem::path(c.tga).stem().string();
    std::replace_if(
        name.begin(), name.end(), [](char ch) { return !std::isalnum(static_cast<unsigned char>(ch)); }, '_');
    return name;
}

class ReferenceImage : public ::testing::TestWithParam<TReferenceCase> {};

TEST_P(ReferenceImage, ModeTwoMatchesThePng) {
    const TReferenceCase& c = GetParam();
    int w = 0;
    int h = 0;
    int channels = 0;
    const std::unique_ptr<stbi_uc, void (*)(void*)> png(
        stbi_load((dataDir / c.png).string().c_str(), &w, &h, &channels, 3), stbi_image_free);
    ASSERT_TRUE(png) << c.png << ": " << stbi_failure_reason();

    const TBitmap bitmap = decodeFile(c.tga);
    ASSERT_EQ(bitmap.Width(), w);
    ASSERT_EQ(bitmap.Height(), h);
    ASSERT_EQ(bitmap.PixelFormat(), TPixelFormat::pf24bit);
    int worst = 0;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const stbi_uc* ref = png.get() + (static_cast<std::size_t>(y) * w + x) * 3;
            for (int ch = 0; ch < 3; ++ch) {
                const int diff = std::abs(row[3 * x + 2 - ch] - ref[ch]);
                worst = std::max(worst, diff);
                ASSERT_LE(diff, c.tolerance) << "pixel " << x << ", " << y << " channel " << ch;
            }
        }
    }
    RecordProperty("worst", worst);
}

// Every picture of the common set ({size}_{mode}_{origin}_{compression}.tga beside {size}_{mode}.png),
// then the odd ones. Exact for true colour; grey ramps and colour maps pass through the 0..63 table
// (+3 per channel), and the 16-bit colour map loses a further bit.
std::vector<TReferenceCase> referenceCases() {
    std::vector<TReferenceCase> cases;
    const std::pair<const char*, const char*> sizesAndModes[] = {
        {"1x1", "l"}, {"200x32", "l"}, {"200x32", "p"}, {"200x32", "rgb"}, {"200x32", "rgba"}};
    for (const auto& [size, mode] : sizesAndModes) {
        const std::string stem = std::string("tga/common/") + size + "_" + mode;
        const int tolerance = std::string(mode).starts_with("rgb") ? 0 : 3;
        for (const char* origin : {"bl", "tl"})
            for (const char* compression : {"raw", "rle"})
                cases.push_back({stem + "_" + origin + "_" + compression + ".tga", stem + ".png", tolerance});
    }
    cases.push_back({"200x32_p_bl_raw_origin.tga", "tga/common/200x32_p.png", 3});
    // A packet that runs across the row boundary.
    cases.push_back({"cross_scan_line.tga", "cross_scan_line.png", 3});
    cases.push_back({"p_16.tga", "p_16.png", 4});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Pillow, ReferenceImage, ::testing::ValuesIn(referenceCases()),
                         [](const auto& info) { return caseName(info.param); });

TEST(ReferenceImages, GreyWithAlphaReadsAsFiveFiveFiveColour) {
    // Depth 16 is 5-5-5 colour by the reader's rules, whatever the image type says; the files decode
    // in full, the raw and run-length ones alike.
    for (const char* origin : {"bl", "tl"}) {
        const TBitmap raw = decodeFile(std::string("tga/common/200x32_la_") + origin + "_raw.tga");
        const TBitmap rle = decodeFile(std::string("tga/common/200x32_la_") + origin + "_rle.tga");
        ASSERT_EQ(raw.Width(), 200);
        ASSERT_EQ(raw.Height(), 32);
        EXPECT_EQ(PixelValues(raw), PixelValues(rle)) << origin;
    }
    const TBitmap la = decodeFile("la.tga");
    EXPECT_EQ(la.Width(), 64);
    EXPECT_EQ(la.Height(), 64);
}

TEST(ReferenceImages, OriginsOfTheSamePixels) {
    const TBitmap plain = decodeFile("rgb32rle.tga");
    const TBitmap bottomRight = decodeFile("rgb32rle_bottom_right.tga");
    const TBitmap topRight = decodeFile("rgb32rle_top_right.tga");
    ASSERT_EQ(plain.Width(), 199);
    ASSERT_EQ(plain.Height(), 199);
    for (int y = 0; y < 199; ++y)
        for (int x = 0; x < 199; ++x) {
            ASSERT_EQ(PixelValue(bottomRight, 198 - x, y), PixelValue(plain, x, y)) << x << ", " << y;
            ASSERT_EQ(PixelValue(topRight, 198 - x, 198 - y), PixelValue(plain, x, y)) << x << ", " << y;
        }
}

TEST(ReferenceImages, ImageIdFieldIsSkipped) {
    // 100 x 100, 24 bits, bottom-up, a 6-byte ID: the pixels are the bytes after it, as stored.
    const auto bytes = fileBytes("tga_id_field.tga");
    ASSERT_EQ(bytes[0], 6);
    const TBitmap bitmap = decodeFile("tga_id_field.tga");
    ASSERT_EQ(bitmap.Width(), 100);
    for (int y = 0; y < 100; ++y)
        ASSERT_EQ(std::memcmp(bitmap.ScanLine(99 - y), bytes.data() + 24 + y * 300, 300), 0) << y;
}

TEST(ReferenceImages, SixteenBitPixels) {
    // The words 0x541F and 0x83EA.
    EXPECT_EQ(PixelValues(decodeFile("rgba16.tga")),
              (std::vector<std::uint32_t>{Bgr(248, 0, 168), Bgr(80, 248, 0)}));
}

TEST(ReferenceImages, DataEndingEarly) {
    // The header of p_8.tga announces an image ID and a colour map that never come.
    TBitmap bitmap = FilledBitmap(3, 3, TPixelFormat::pf24bit, 0x44);
    Decode(fileBytes("p_8.tga"), bitmap, 2);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(PixelValue(bitmap, 2, 2), Bgr(0x44, 0x44, 0x44));

    // A 64 x 64 bottom-up image whose last packet (the whole top row) is cut off: 63 rows are there.
    // The top row keeps what the format changes (24 to 8 to 24 bits) left: 0.
    bitmap = FilledBitmap(64, 64, TPixelFormat::pf24bit, 0x44);
    Decode(fileBytes("cross_scan_line_truncated.tga"), bitmap, 2);
    ASSERT_EQ(bitmap.Width(), 64);
    ASSERT_EQ(bitmap.Height(), 64);
    const auto rowIsBlack = [&](int y) {
        const std::uint8_t* row = bitmap.ScanLine(y);
        return std::all_of(row, row + 64 * 3, [](std::uint8_t b) { return b == 0; });
    };
    EXPECT_TRUE(rowIsBlack(0));
    for (int y = 1; y < 64; ++y)
        EXPECT_FALSE(rowIsBlack(y)) << y;
}

} // namespace
