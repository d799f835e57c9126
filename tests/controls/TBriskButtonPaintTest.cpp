// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QImage>
#include <QPalette>
#include <QTest>
#include <QWidget>
#include <string>
#include <vector>

#include "controls/SysColors.h"
#include "controls/TBriskButton.h"

namespace {

// The tool bar's colour and the frame colours worked out from it with ShadowStrength 40.
const QRgb kToolBar = qRgb(0x80, 0x9B, 0xBD);
const QRgb kLight = qRgb(0xA8, 0xC3, 0xE5);
const QRgb kDark = qRgb(0x58, 0x73, 0x95);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kBlack = qRgb(0, 0, 0);

constexpr int kLeft = 10;
constexpr int kTop = 10;
constexpr int kWidth = 35;
constexpr int kHeight = 36;

// 16 x 16, red everywhere but its bottom-left pixel, which is blue and so transparent.
QImage redSquare() {
    QImage glyph(16, 16, QImage::Format_RGB32);
    glyph.fill(kRed);
    glyph.setPixel(0, 15, kBlue);
    return glyph;
}

// 16 x 16 blue, with a red 6 x 6 block from (5, 5) to (10, 10).
QImage redBlock() {
    QImage glyph(16, 16, QImage::Format_RGB32);
    glyph.fill(kBlue);
    for (int y = 5; y <= 10; ++y)
        for (int x = 5; x <= 10; ++x)
            glyph.setPixel(x, y, kRed);
    return glyph;
}

// A tool bar of colour 0xBD9B80 holding one 35 x 36 button at (10, 10) with an 11-pixel font.
class PaintTest : public ::testing::Test {
protected:
    PaintTest() {
        window.resize(60, 60);
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, QColor(kToolBar));
        window.setPalette(palette);
        window.setAutoFillBackground(true);
        button = new TBriskButton(&window);
        button->setGeometry(kLeft, kTop, kWidth, kHeight);
        QFont font = button->font();
        font.setPixelSize(11);
        button->setFont(font);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // The window rendered; pixel() reads it in the button's coordinates.
    void render() {
        image = QImage(window.size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        window.render(&image);
    }
    QRgb pixel(int x, int y) const { return image.pixel(kLeft + x, kTop + y) & RGB_MASK; }

    // The smallest rectangle, in button coordinates, that holds every pixel matching.
    template <typename Matches> QRect boundsOf(Matches matches) const {
        QRect bounds;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (matches(pixel(x, y)))
                    bounds |= QRect(x, y, 1, 1);
        return bounds;
    }
    int countOf(QRgb colour) const {
        int n = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                n += pixel(x, y) == (colour & RGB_MASK);
        return n;
    }

    int lineHeight() const { return button->fontMetrics().height(); }

    QWidget window;
    TBriskButton* button = nullptr;
    QImage image;
};

TEST(ButtonGeometry, GlyphAndCaptionPlaces) {
    EXPECT_EQ(TBriskButton::GlyphOrigin(35, 36, 1, 13, QSize(16, 16)), QPoint(9, 3));
    const QRect caption = TBriskButton::CaptionRect(35, 36, 1, 13);
    EXPECT_EQ(caption.left(), 1);
    EXPECT_EQ(caption.top(), 21);
    EXPECT_EQ(caption.right() + 1, 33) << "right edge Width - 2 * Margin";
    EXPECT_EQ(caption.bottom() + 1, 34);
    // The Start picture, 11 x 19: centred with truncation.
    EXPECT_EQ(TBriskButton::GlyphOrigin(35, 36, 1, 13, QSize(11, 19)), QPoint(12, 2));
    // Larger than the button: truncation toward zero, not downward.
    EXPECT_EQ(TBriskButton::GlyphOrigin(35, 36, 1, 13, QSize(40, 40)), QPoint(-2, -8));
    EXPECT_EQ(TBriskButton::GlyphOrigin(35, 36, 3, 13, QSize(16, 16)), QPoint(9, 3 + (36 - 6 - 13 - 16) / 2));
}

struct FrameCase {
    const char* name;
    bool mouseOver;
    bool latched;
    QRgb topLeft;
    QRgb bottomRight;
};

class Frames : public PaintTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(Frames, InnerHalfOfA2PixelLineOnTheOuterEdge) {
    const FrameCase& c = GetParam();
    button->SetCaption("Exit");
    button->SetGlyph(redSquare());
    button->SetMouseOver(c.mouseOver);
    button->SetLatched(c.latched);
    render();
    for (int x = 0; x < kWidth; ++x) {
        EXPECT_EQ(pixel(x, 0), c.topLeft & RGB_MASK) << "top, x " << x;
        if (x > 0 && x < kWidth - 1) {
            EXPECT_EQ(pixel(x, 1), kToolBar & RGB_MASK) << "below the top line, x " << x;
        }
        EXPECT_EQ(pixel(x, -1), kToolBar & RGB_MASK) << "the outer half stays outside, x " << x;
        EXPECT_EQ(pixel(x, kHeight), kToolBar & RGB_MASK) << "x " << x;
        if (x > 0) {
            EXPECT_EQ(pixel(x, kHeight - 1), c.bottomRight & RGB_MASK) << "bottom, x " << x;
        }
    }
    for (int y = 0; y < kHeight; ++y) {
        EXPECT_EQ(pixel(0, y), c.topLeft & RGB_MASK) << "left, y " << y;
        EXPECT_EQ(pixel(1, y), y == 0             ? c.topLeft & RGB_MASK
                               : y == kHeight - 1 ? c.bottomRight & RGB_MASK
                                                  : kToolBar & RGB_MASK)
            << "beside the left line, y " << y;
        EXPECT_EQ(pixel(-1, y), kToolBar & RGB_MASK) << "y " << y;
        EXPECT_EQ(pixel(kWidth, y), kToolBar & RGB_MASK) << "y " << y;
        if (y > 0) {
            EXPECT_EQ(pixel(kWidth - 1, y), c.bottomRight & RGB_MASK) << "right, y " << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Looks, Frames,
                         ::testing::Values(FrameCase{"Raised", true, false, kLight, kDark},
                                           FrameCase{"Lowered", false, true, kDark, kLight},
                                           FrameCase{"LoweredWinsOverHover", true, true, kDark, kLight}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PaintTest, AtRestOnlyGlyphAndCaptionShow) {
    button->SetCaption("Exit");
    button->SetGlyph(redSquare());
    render();
    for (int x = -1; x <= kWidth; ++x) {
        EXPECT_EQ(pixel(x, 0), kToolBar & RGB_MASK) << "x " << x;
        EXPECT_EQ(pixel(x, kHeight - 1), kToolBar & RGB_MASK) << "x " << x;
    }
    for (int y = 0; y < kHeight; ++y) {
        EXPECT_EQ(pixel(0, y), kToolBar & RGB_MASK) << "y " << y;
        EXPECT_EQ(pixel(kWidth - 1, y), kToolBar & RGB_MASK) << "y " << y;
    }
}

TEST_F(PaintTest, GlyphIsCentredAboveOneCaptionLineAndMovesWhenPressed) {
    ASSERT_EQ(lineHeight(), 13) << "an 11-pixel DejaVu Sans is 13 pixels high";
    button->SetCaption("Exit");
    button->SetGlyph(redSquare());
    render();
    EXPECT_EQ(boundsOf([](QRgb p) { return p == (kRed & RGB_MASK); }), QRect(9, 3, 16, 16));
    EXPECT_EQ(pixel(9, 18), kToolBar & RGB_MASK) << "the transparent bottom-left pixel";
    button->SetLatched(true);
    render();
    EXPECT_EQ(boundsOf([](QRgb p) { return p == (kRed & RGB_MASK); }), QRect(11, 5, 16, 16));
}

TEST_F(PaintTest, GlyphPlaceReservesOneLineForAnEmptyOrWrappedCaption) {
    button->SetGlyph(redSquare());
    const QPoint origin = TBriskButton::GlyphOrigin(kWidth, kHeight, 1, lineHeight(), QSize(16, 16));
    for (const char* caption : {"", "Delete selected tracks"}) {
        button->SetCaption(caption);
        render();
        EXPECT_EQ(boundsOf([](QRgb p) { return p == (kRed & RGB_MASK); }).topLeft(), origin) << caption;
    }
}

TEST_F(PaintTest, CaptionLiesInItsRectangleAndMovesWhenPressed) {
    button->SetCaption("Exit");
    button->SetFontColor(clBlack);
    render();
    const auto text = [](QRgb p) { return p != (kToolBar & RGB_MASK); };
    const QRect atRest = boundsOf(text);
    ASSERT_FALSE(atRest.isEmpty());
    EXPECT_TRUE(TBriskButton::CaptionRect(kWidth, kHeight, 1, lineHeight()).contains(atRest))
        << "caption at " << atRest.x() << "," << atRest.y() << " " << atRest.width() << "x"
        << atRest.height();
    EXPECT_GT(countOf(kBlack), 0) << "drawn in the font's colour";
    button->SetLatched(true);
    button->SetDownStyle(TButtonStyle(bvNone));
    render();
    EXPECT_EQ(boundsOf(text), atRest.translated(2, 2));
}

TEST_F(PaintTest, WrappedCaptionGrowsUpwardFromTheBottom) {
    button->SetCaption("Make it so");
    render();
    const QRect lines = boundsOf([](QRgb p) { return p != (kToolBar & RGB_MASK); });
    EXPECT_GT(lines.height(), lineHeight()) << "more than one line";
    EXPECT_LE(lines.bottom(), kHeight - 2 - 1);
}

TEST_F(PaintTest, DisabledShowsNoFrameAnEngravedGlyphAndAnEmbossedCaption) {
    button->SetCaption("Exit");
    button->SetFontColor(clBlack);
    button->SetGlyph(redBlock());
    button->SetMouseOver(true);
    button->setEnabled(false);
    render();
    EXPECT_EQ(pixel(0, 0), kToolBar & RGB_MASK) << "no frame";
    EXPECT_EQ(pixel(kWidth - 1, 20), kToolBar & RGB_MASK) << "no frame";
    EXPECT_EQ(countOf(kRed), 0);
    EXPECT_EQ(countOf(kBlack), 0) << "the caption is drawn in the light and dark colours";
    const QPoint g = TBriskButton::GlyphOrigin(kWidth, kHeight, 1, lineHeight(), QSize(16, 16));
    EXPECT_EQ(pixel(g.x() + 4, g.y() + 4), kDark & RGB_MASK) << "shadow up and left of the block";
    EXPECT_EQ(pixel(g.x() + 9, g.y() + 4), kDark & RGB_MASK);
    EXPECT_EQ(pixel(g.x() + 4, g.y() + 9), kDark & RGB_MASK);
    EXPECT_EQ(pixel(g.x() + 10, g.y() + 4), kToolBar & RGB_MASK);
    EXPECT_EQ(pixel(g.x() + 5, g.y() + 5), kToolBar & RGB_MASK) << "face: the parent's colour";
    EXPECT_EQ(pixel(g.x() + 10, g.y() + 10), kLight & RGB_MASK) << "lower-right rim";
    EXPECT_EQ(pixel(g.x() + 10, g.y() + 5), kLight & RGB_MASK);
    EXPECT_EQ(pixel(g.x() + 5, g.y() + 10), kLight & RGB_MASK);
    EXPECT_EQ(pixel(g.x() + 11, g.y() + 11), kToolBar & RGB_MASK);
    // The text is smoothed, so its pixels are blends: the light copy shows as pixels lighter than the
    // tool bar in every channel, the dark one as darker pixels, and nothing is as dark as the font.
    const QRect caption = TBriskButton::CaptionRect(kWidth, kHeight, 1, lineHeight());
    const QRect lighter = boundsOf([](QRgb p) {
        return qRed(p) > qRed(kToolBar) && qGreen(p) > qGreen(kToolBar) && qBlue(p) > qBlue(kToolBar);
    });
    const QRect darker = boundsOf([](QRgb p) {
        return qRed(p) < qRed(kToolBar) && qGreen(p) < qGreen(kToolBar) && qBlue(p) < qBlue(kToolBar);
    });
    EXPECT_TRUE(lighter.intersects(caption)) << "the light copy of the caption";
    EXPECT_TRUE(darker.intersects(caption)) << "the dark copy of the caption";
    const QRect anyText =
        boundsOf([](QRgb p) { return p != (kToolBar & RGB_MASK); }) & caption.adjusted(0, 0, 1, 1);
    EXPECT_EQ(anyText.bottomRight(), lighter.bottomRight()) << "the light copy lies one pixel right and down";
    EXPECT_FALSE(boundsOf([](QRgb p) {
                     return qRed(p) < 0x58 && qGreen(p) < 0x73 && qBlue(p) < 0x95;
                 }).intersects(caption))
        << "nothing darker than the dark colour";
}

TEST_F(PaintTest, DisabledGlyphDoesNotMoveWhenPressed) {
    button->SetGlyph(redSquare());
    button->SetDisableGrayed(false);
    button->SetLatched(true);
    button->setEnabled(false);
    render();
    EXPECT_EQ(boundsOf([](QRgb p) { return p == (kRed & RGB_MASK); }).topLeft(),
              TBriskButton::GlyphOrigin(kWidth, kHeight, 1, lineHeight(), QSize(16, 16)))
        << "masked, as enabled, at the place of rest";
}

TEST_F(PaintTest, MaskColorDoesNotDecideTransparency) {
    button->SetGlyph(redBlock());
    button->SetMaskColor(RGBColor(255, 0, 0));
    render();
    EXPECT_EQ(countOf(kRed), 36);
    EXPECT_EQ(countOf(kBlue), 0);
}

TEST_F(PaintTest, ChequerAndsEveryOtherPixelWithTheStyleColour) {
    TButtonStyle style;
    style.SetChequered(true);
    style.SetColor(RGBColor(255, 0, 0));
    button->SetNotOverStyle(style);
    render();
    EXPECT_EQ(pixel(2, 1), qRgb(0x80, 0, 0) & RGB_MASK) << "x + y odd: 0xBD9B80 AND red";
    EXPECT_EQ(pixel(1, 2), qRgb(0x80, 0, 0) & RGB_MASK);
    EXPECT_EQ(pixel(2, 2), kToolBar & RGB_MASK) << "x + y even: unchanged";
    EXPECT_EQ(pixel(0, 0), kToolBar & RGB_MASK);
    EXPECT_EQ(pixel(-1, 0), kToolBar & RGB_MASK) << "the chequer stays on the button";
    button->setEnabled(false);
    render();
    EXPECT_EQ(pixel(2, 1), kToolBar & RGB_MASK) << "a disabled button is never chequered";
}

TEST_F(PaintTest, StyleIsCopiedAndTheCallerKeepsItsOwn) {
    TButtonStyle style(bvLowered);
    button->SetOverStyle(style);
    style.SetBevel(bvNone);
    style.SetChequered(true);
    button->SetMouseOver(true);
    render();
    EXPECT_EQ(pixel(0, 0), kDark & RGB_MASK) << "lowered under the pointer, as set";
    EXPECT_EQ(pixel(2, 1), kToolBar & RGB_MASK) << "no chequer";
}

TEST_F(PaintTest, ColourPairIsWorkedOutOnceFromTheParent) {
    render();
    EXPECT_FALSE(button->ColorsPending());
    EXPECT_EQ(button->HighlightColor(), RGBColor(0xA8, 0xC3, 0xE5));
    EXPECT_EQ(button->ShadowColor(), RGBColor(0x58, 0x73, 0x95));
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::white);
    window.setPalette(palette);
    button->SetShadowStrength(10);
    button->SetUseParentColor(false);
    button->SetMouseOver(true);
    render();
    EXPECT_EQ(button->HighlightColor(), RGBColor(0xA8, 0xC3, 0xE5));
    EXPECT_EQ(pixel(0, 0), kLight & RGB_MASK);
}

TEST(ButtonWithoutParent, UsesTheSystemColoursUntilItHasAParent) {
    TBriskButton button;
    EXPECT_EQ(button.size(), QSize(35, 35));
    QPalette palette = button.palette();
    palette.setColor(QPalette::Active, QPalette::Light, QColor(1, 2, 3));
    palette.setColor(QPalette::Active, QPalette::Dark, QColor(4, 5, 6));
    button.setPalette(palette);
    button.SetMouseOver(true);
    QImage image(button.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    button.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_TRUE(button.ColorsPending());
    EXPECT_EQ(button.HighlightColor(), clBtnHighlight);
    EXPECT_EQ(image.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(image.pixel(button.width() - 1, 5), qRgb(4, 5, 6));
    EXPECT_EQ(image.pixel(5, 5), qRgb(255, 255, 255)) << "the face is not painted";

    QWidget parent;
    QPalette parentPalette = parent.palette();
    parentPalette.setColor(QPalette::Window, QColor(100, 20, 250));
    parent.setPalette(parentPalette);
    button.setParent(&parent);
    button.render(&image);
    EXPECT_FALSE(button.ColorsPending());
    EXPECT_EQ(button.HighlightColor(), RGBColor(140, 60, 255));
    EXPECT_EQ(button.ShadowColor(), RGBColor(60, 0, 210));
    button.setParent(nullptr);
}

} // namespace
