// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QPalette>

#include "controls/SysColors.h"
#include "controls/TBriskButton.h"

namespace {

// A palette in which every role of every group has its own colour, so a wrong role or group shows.
QPalette distinctPalette() {
    QPalette palette;
    int n = 1;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (int role = 0; role < QPalette::NColorRoles; ++role, ++n)
            palette.setColor(group, static_cast<QPalette::ColorRole>(role), QColor(n, 2 * n % 256, 100));
    return palette;
}

TColor colourOf(const QPalette& palette, QPalette::ColorGroup group, QPalette::ColorRole role) {
    return TColorOf(palette.color(group, role));
}

TEST(SysColors, ResolveThroughThePalette) {
    const QPalette palette = distinctPalette();
    EXPECT_EQ(ColorToRGB(clBtnFace, palette), colourOf(palette, QPalette::Active, QPalette::Button));
    EXPECT_EQ(ColorToRGB(clBtnShadow, palette), colourOf(palette, QPalette::Active, QPalette::Dark));
    EXPECT_EQ(ColorToRGB(clBtnHighlight, palette), colourOf(palette, QPalette::Active, QPalette::Light));
    EXPECT_EQ(ColorToRGB(clBtnText, palette), colourOf(palette, QPalette::Active, QPalette::ButtonText));
    EXPECT_EQ(ColorToRGB(clWindow, palette), colourOf(palette, QPalette::Active, QPalette::Base));
    EXPECT_EQ(ColorToRGB(clWindowText, palette), colourOf(palette, QPalette::Active, QPalette::WindowText));
    EXPECT_EQ(ColorToRGB(clHighlight, palette), colourOf(palette, QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(ColorToRGB(clHighlightText, palette),
              colourOf(palette, QPalette::Active, QPalette::HighlightedText));
    EXPECT_EQ(ColorToRGB(clSystemColor | 17, palette),
              colourOf(palette, QPalette::Disabled, QPalette::WindowText))
        << "COLOR_GRAYTEXT";
}

TEST(SysColors, UnknownIndexIsBlack) {
    EXPECT_EQ(GetSysColor(31, distinctPalette()), clBlack);
    EXPECT_EQ(GetSysColor(-1, distinctPalette()), clBlack);
    EXPECT_EQ(ColorToRGB(clSystemColor | 0xC8, distinctPalette()), clBlack);
}

TEST(SysColors, PlainColoursKeepTheirChannelsAndLoseTheirHighByte) {
    EXPECT_EQ(ColorToRGB(0x02C0C0C0u, QPalette()), 0xC0C0C0u);
    EXPECT_EQ(ColorToRGB(clSkarnBlue, QPalette()), clSkarnBlue);
}

TEST(SysColors, RedIsTheLowByte) {
    EXPECT_EQ(QColorOf(clSkarnBlue, QPalette()), QColor(0x80, 0x9B, 0xBD));
    EXPECT_EQ(TColorOf(QColor(0x80, 0x9B, 0xBD)), clSkarnBlue);
    EXPECT_EQ(QColorOf(clBtnFace, distinctPalette()),
              distinctPalette().color(QPalette::Active, QPalette::Button));
}

struct ShadeCase {
    const char* name;
    TColor colour;
    bool lighter;
    std::uint8_t strength;
    TColor expected;
};

class Shade : public ::testing::TestWithParam<ShadeCase> {};

TEST_P(Shade, MovesEachChannelByTheStrengthWithin0To255) {
    const ShadeCase& c = GetParam();
    EXPECT_EQ(TBriskButton::ShadeColor(c.colour, c.lighter, c.strength, QPalette()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, Shade,
    ::testing::Values(ShadeCase{"Lighter", RGBColor(100, 20, 250), true, 40, RGBColor(140, 60, 255)},
                      ShadeCase{"Darker", RGBColor(100, 20, 250), false, 40, RGBColor(60, 0, 210)},
                      ShadeCase{"WhiteLightenedStaysWhite", clWhite, true, 40, clWhite},
                      ShadeCase{"BlackDarkenedStaysBlack", clBlack, false, 40, clBlack},
                      ShadeCase{"ToolBarLight", clSkarnBlue, true, 40, RGBColor(0xA8, 0xC3, 0xE5)},
                      ShadeCase{"ToolBarDark", clSkarnBlue, false, 40, RGBColor(0x58, 0x73, 0x95)},
                      ShadeCase{"FullStrength", RGBColor(1, 128, 254), true, 255, clWhite},
                      ShadeCase{"ZeroStrengthDropsTheHighByte", 0x02C0C0C0u, false, 0, 0xC0C0C0u}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Shade, SystemColourIsResolvedFirst) {
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::Button, QColor(10, 200, 240));
    EXPECT_EQ(TBriskButton::ShadeColor(clBtnFace, true, 40, palette), RGBColor(50, 240, 255));
    EXPECT_EQ(TBriskButton::ShadeColor(clBtnFace, false, 40, palette), RGBColor(0, 160, 200));
}

} // namespace
