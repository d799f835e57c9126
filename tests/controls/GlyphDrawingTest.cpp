// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <map>
#include <string>
#include <vector>

#include "controls/GlyphDrawing.h"
#include "controls/SysColors.h"

namespace {

// Pictures are written as rows of letters, one letter per pixel.
const std::map<char, QRgb> kInk = {
    {'.', qRgb(0, 0, 255)}, // the usual surround
    {'W', qRgb(255, 255, 255)}, {'K', qRgb(0, 0, 0)},     {'R', qRgb(255, 0, 0)},
    {'G', qRgb(0, 128, 0)},     {'Y', qRgb(255, 255, 0)},
};

QImage picture(const std::vector<std::string>& rows) {
    QImage image(static_cast<int>(rows.at(0).size()), static_cast<int>(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, kInk.at(rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]));
    return image;
}

// A layer written back as letters: '-' for a pixel left out (alpha 0), else the ink's letter.
std::vector<std::string> letters(const QImage& layer, const std::map<char, QRgb>& ink) {
    std::vector<std::string> rows;
    for (int y = 0; y < layer.height(); ++y) {
        std::string row;
        for (int x = 0; x < layer.width(); ++x) {
            const QRgb pixel = layer.pixel(x, y);
            char letter = '?';
            if (qAlpha(pixel) == 0)
                letter = '-';
            for (const auto& [name, rgb] : ink)
                if (qAlpha(pixel) == 255 && (pixel & RGB_MASK) == (rgb & RGB_MASK))
                    letter = name;
            row += letter;
        }
        rows.push_back(row);
    }
    return rows;
}

// ---------------------------------------------------------------------------------------------------
// The transparent colour

TEST(GlyphTransparentColor, IsTheBottomLeftPixelWithThePaletteRelativeFlag) {
    const QImage glyph = picture({"RRR", "RRR", "GRR"});
    EXPECT_EQ(GlyphTransparentColor(glyph), RGBColor(0, 128, 0) | clPaletteRelative);
}

TEST(GlyphTransparentColor, IsWhiteForAOneBitPicture) {
    QImage mono(4, 2, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(0); // all black, bottom-left included
    EXPECT_EQ(GlyphTransparentColor(mono), clWhite | clPaletteRelative);
}

TEST(GlyphTransparentColor, OfAPaletteImageIsItsColourNotItsIndex) {
    QImage indexed(2, 2, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(10, 20, 30), qRgb(192, 220, 192)});
    indexed.fill(0);
    indexed.setPixel(0, 1, 1);
    EXPECT_EQ(GlyphTransparentColor(indexed), RGBColor(192, 220, 192) | clPaletteRelative);
}

// ---------------------------------------------------------------------------------------------------
// Masked drawing

struct MaskedCase {
    const char* name;
    std::vector<std::string> glyph;
    std::vector<std::string> expected; // '-' left out
};

class Masked : public ::testing::TestWithParam<MaskedCase> {};

TEST_P(Masked, LeavesOutThePixelsOfTheBottomLeftColour) {
    EXPECT_EQ(letters(MaskedGlyph(picture(GetParam().glyph)), kInk), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Glyphs, Masked,
    ::testing::Values(
        MaskedCase{"SingleOpaquePixel", {"...", ".R.", "..."}, {"---", "-R-", "---"}},
        // The Start picture: white side columns around a black body with coloured discs. Black is
        // kept although the button's MaskColor is black; the white columns go.
        MaskedCase{"WhiteColumnsVanishBlackBodyStays",
                   {"WKKKW", "WKRKW", "WKGKW", "WKYKW", "WKKKW"},
                   {"-KKK-", "-KRK-", "-KGK-", "-KYK-", "-KKK-"}},
        // Bottom-left has the colour of the main shape: only the other colours are drawn.
        MaskedCase{"BottomLeftColourOfTheMainShape", {"RRR.", "RYR.", "RRRR"}, {"---.", "-Y-.", "----"}},
        MaskedCase{"FrameInTheBottomLeftColour", {"RRRR", "RKYR", "RRRR"}, {"----", "-KY-", "----"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Masked, ImageWithAlphaLeavesOutItsFullyTransparentPixels) {
    QImage glyph(3, 2, QImage::Format_ARGB32);
    glyph.fill(qRgba(0, 0, 255, 255));           // the transparent colour
    glyph.setPixel(1, 0, qRgba(0, 0, 0, 0));     // black, but fully transparent
    glyph.setPixel(2, 0, qRgba(255, 0, 0, 128)); // drawn opaque
    EXPECT_EQ(letters(MaskedGlyph(glyph), kInk), (std::vector<std::string>{"--R", "---"}));
}

TEST(Masked, OneBitPictureKeepsItsBlackPixels) {
    QImage mono(3, 2, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(1);
    mono.setPixel(0, 1, 0); // bottom-left black: white is still the transparent colour
    mono.setPixel(2, 0, 0);
    EXPECT_EQ(letters(MaskedGlyph(mono), kInk), (std::vector<std::string>{"--K", "K--"}));
}

TEST(Masked, EmptyGlyphDrawsNothing) {
    EXPECT_TRUE(MaskedGlyph(QImage()).isNull());
    QImage target(4, 4, QImage::Format_RGB32);
    target.fill(qRgb(1, 2, 3));
    const QImage before = target.copy();
    {
        QPainter painter(&target);
        DrawMaskedGlyph(painter, 1, 1, QImage());
    }
    EXPECT_EQ(target, before);
}

TEST(Masked, DrawsAtItsPlaceAndKeepsTheTargetUnderTransparentPixels) {
    QImage target(5, 4, QImage::Format_RGB32);
    target.fill(qRgb(9, 9, 9));
    {
        QPainter painter(&target);
        painter.setCompositionMode(QPainter::CompositionMode_Xor);
        DrawMaskedGlyph(painter, 2, 1, picture({"R.", "KY", ".W"}));
        EXPECT_EQ(painter.compositionMode(), QPainter::CompositionMode_Xor) << "restored";
    }
    const std::map<char, QRgb> ink = {{'o', qRgb(9, 9, 9)},
                                      {'R', qRgb(255, 0, 0)},
                                      {'K', qRgb(0, 0, 0)},
                                      {'Y', qRgb(255, 255, 0)},
                                      {'W', qRgb(255, 255, 255)}};
    EXPECT_EQ(letters(target, ink), (std::vector<std::string>{"ooooo", "ooRoo", "ooKYo", "oooWo"}));
}

TEST(Masked, GlyphReachingPastTheTargetIsClipped) {
    QImage target(2, 2, QImage::Format_RGB32);
    target.fill(qRgb(9, 9, 9));
    {
        QPainter painter(&target);
        DrawMaskedGlyph(painter, -1, -1, picture({"RRR", "RKR", ".RR"}));
    }
    const std::map<char, QRgb> ink = {{'o', qRgb(9, 9, 9)}, {'R', qRgb(255, 0, 0)}, {'K', qRgb(0, 0, 0)}};
    EXPECT_EQ(letters(target, ink), (std::vector<std::string>{"KR", "RR"}));
}

// ---------------------------------------------------------------------------------------------------
// Engraved drawing

const TColor kFace = RGBColor(200, 200, 200);
const TColor kHighlight = RGBColor(250, 250, 250);
const TColor kShadow = RGBColor(90, 90, 90);
const std::map<char, QRgb> kEngraved = {
    {'F', qRgb(200, 200, 200)}, {'H', qRgb(250, 250, 250)}, {'S', qRgb(90, 90, 90)}};

struct EngravedCase {
    const char* name;
    std::vector<std::string> glyph;
    std::vector<std::string> expected; // F face, H highlight, S shadow, '-' unchanged
};

class Engraved : public ::testing::TestWithParam<EngravedCase> {};

TEST_P(Engraved, FollowsEachPixelAndItsDiagonalNeighbour) {
    const QImage layer = GrayedGlyph(picture(GetParam().glyph), kFace, kHighlight, kShadow);
    EXPECT_EQ(letters(layer, kEngraved), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Glyphs, Engraved,
    ::testing::Values(
        // One highlight pixel with one shadow pixel up and left of it.
        EngravedCase{"SingleOpaquePixel", {"...", ".R.", "..."}, {"S--", "-H-", "---"}},
        // The shadow would lie outside the glyph: only the highlight shows.
        EngravedCase{"SingleOpaquePixelInTheCorner", {"R..", "...", "..."}, {"H--", "---", "---"}},
        EngravedCase{"Block", {"....", ".RR.", ".RR.", "...."}, {"SS--", "SFH-", "-HH-", "----"}},
        // Opaque pixels of the last column and the bottom row are always highlight.
        EngravedCase{"LastColumn", {"..R", "..K", "..Y"}, {"-SH", "-SH", "--H"}},
        EngravedCase{"BottomRow", {"...", "...", ".RR"}, {"---", "SS-", "-HH"}},
        // Colour does not matter, only whether a pixel is opaque.
        EngravedCase{"MixedColours", {"RKY", "GWR", ".KK"}, {"FFH", "FFH", "-HH"}},
        EngravedCase{"BottomLeftColourOfTheMainShape", {"RRR", "RYR", "RRR"}, {"S--", "-H-", "---"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Engraved, EmptyGlyphDrawsNothing) {
    EXPECT_TRUE(GrayedGlyph(QImage(), kFace, kHighlight, kShadow).isNull());
}

TEST(Engraved, UsesOnlyRedGreenAndBlueOfTheColours) {
    const QImage layer = GrayedGlyph(picture({"R.", ".."}), kFace, kHighlight | clPaletteRelative, kShadow);
    EXPECT_EQ(layer.pixel(0, 0), qRgb(250, 250, 250));
}

TEST(Engraved, LeavesTheTargetUnchangedWhereBothPixelsAreTransparent) {
    QImage target(4, 4, QImage::Format_RGB32);
    target.fill(qRgb(9, 9, 9));
    {
        QPainter painter(&target);
        DrawGrayedGlyph(painter, 1, 1, picture({"...", ".R.", "..."}), kFace, kHighlight, kShadow);
    }
    std::map<char, QRgb> ink = kEngraved;
    ink['o'] = qRgb(9, 9, 9);
    EXPECT_EQ(letters(target, ink), (std::vector<std::string>{"oooo", "oSoo", "ooHo", "oooo"}));
}

} // namespace
