// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>
#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "controls/TBriskPanel.h"
#include "controls/TRandomGenerator.h"

namespace {

using TStrip = TBriskPanel::TStrip;

// The strips that a panel with this seed paints.
std::vector<TStrip> stripsFrom(std::uint16_t seed, int randomMin, int randomMax, int clientWidth, int height,
                               QSize glyph) {
    TRandomGenerator random(seed);
    return TBriskPanel::RandomStrips(random, randomMin, randomMax, clientWidth, height, glyph);
}

const QRgb kMagenta = qRgb(255, 0, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kGrey = qRgb(128, 128, 128);
const QRgb kToolBar = qRgb(0x80, 0x9B, 0xBD);

// A picture whose every pixel has its own colour, so that a rendered pixel tells where it came from.
QImage uniquePixels(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(20 + 9 * x, 20 + 9 * y, 200));
    return image;
}

QImage solid(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A panel on a magenta parent; the parent shows wherever the panel paints nothing.
class PanelTest : public ::testing::Test {
protected:
    PanelTest() {
        QPalette colours = parent.palette();
        colours.setColor(QPalette::Window, QColor(kMagenta));
        parent.setPalette(colours);
        parent.setAutoFillBackground(true);
        panel = new TBriskPanel(&parent);
        panel->SetColor(0x00FFFF00); // aqua: red 0, green 255, blue 255
    }
    void resize(int width, int height) {
        parent.resize(width, height);
        panel->setGeometry(0, 0, width, height);
    }
    QImage render() {
        QImage image(parent.size(), QImage::Format_RGB32);
        image.fill(Qt::black);
        parent.render(&image);
        return image;
    }
    static QRgb at(const QImage& image, int x, int y) { return image.pixel(x, y) & RGB_MASK; }

    // The strips drawn whole on a taller surface (20 rows of room above and below): the panel draws only
    // the part inside itself, which must match what the whole strip puts there.
    void expectStrips(const QImage& image, const QImage& glyph, const std::vector<TStrip>& strips) const {
        QImage whole(image.width(), image.height() + 40, QImage::Format_RGB32);
        whole.fill(QColor(aqua));
        {
            QPainter painter(&whole);
            for (const TStrip& strip : strips)
                painter.drawImage(QRect(static_cast<int>(strip.Left), static_cast<int>(strip.Top) + 20,
                                        static_cast<int>(strip.Width), static_cast<int>(strip.Height)),
                                  glyph);
        }
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ASSERT_EQ(at(image, x, y), at(whole, x, y + 20)) << x << "," << y;
    }

    const QRgb aqua = qRgb(0, 255, 255) & RGB_MASK;
    QWidget parent;
    TBriskPanel* panel = nullptr;
};

TEST(TBriskPanel, RoundHalfEvenSendsHalvesToTheEvenNeighbour) {
    const std::vector<std::pair<double, double>> cases = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {7.5, 8}, {2.4, 2}, {2.6, 3}, {0, 0}, {12.0, 12},
    };
    for (const auto& [value, rounded] : cases)
        EXPECT_EQ(TBriskPanel::RoundHalfEven(value), rounded) << value;
}

TEST(TilePlaces, BothBoundsIncludedSoAnExactMultipleGetsAnExtraColumnAndRow) {
    const std::vector<QPoint> exact = TBriskPanel::TilePlaces(QSize(16, 16), QSize(8, 8));
    EXPECT_EQ(exact, (std::vector<QPoint>{
                         {0, 0}, {8, 0}, {16, 0}, {0, 8}, {8, 8}, {16, 8}, {0, 16}, {8, 16}, {16, 16}}))
        << "row by row, left to right";
    EXPECT_EQ(TBriskPanel::TilePlaces(QSize(17, 9), QSize(8, 8)).size(), 6u);
    EXPECT_EQ(TBriskPanel::TilePlaces(QSize(332, 370), QSize(8, 8)).size(), 42u * 47u);
    EXPECT_EQ(TBriskPanel::TilePlaces(QSize(0, 0), QSize(8, 8)), std::vector<QPoint>{QPoint(0, 0)});
    EXPECT_TRUE(TBriskPanel::TilePlaces(QSize(16, 16), QSize(0, 8)).empty()) << "no width: skipped";
    EXPECT_TRUE(TBriskPanel::TilePlaces(QSize(16, 16), QSize(8, 0)).empty()) << "no height: skipped";
}

struct StripCase {
    const char* name;
    std::uint16_t seed;
    int randomMin;
    int randomMax;
    int clientWidth;
    int height;
    QSize glyph;
    std::vector<TStrip> strips;
};

class RandomStrips : public ::testing::TestWithParam<StripCase> {};

TEST_P(RandomStrips, FromTheGenerator) {
    const StripCase& c = GetParam();
    EXPECT_EQ(stripsFrom(c.seed, c.randomMin, c.randomMax, c.clientWidth, c.height, c.glyph), c.strips);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RandomStrips,
    ::testing::Values(StripCase{"ClientTile",
                                13,
                                8,
                                16,
                                40,
                                30,
                                QSize(8, 8),
                                {{0, 28, 11, 11}, {11, -1, 10, 10}, {21, -2, 11, 11}, {32, 30, 10, 10}}},
                      // Heights 2.5 and 7.5 round to 2 and 8.
                      StripCase{"HalvesToEven",
                                7,
                                1,
                                4,
                                12,
                                10,
                                QSize(2, 5),
                                {{0, 9, 1, 2},
                                 {1, 7, 1, 2},
                                 {2, 1, 1, 2},
                                 {3, 6, 1, 2},
                                 {4, -4, 3, 8},
                                 {7, 7, 3, 8},
                                 {10, 3, 2, 5}}},
                      StripCase{"NoWidth", 13, 8, 16, 40, 30, QSize(0, 8), {}},
                      StripCase{"NoClientWidth", 13, 8, 16, 0, 30, QSize(8, 8), {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RandomStripWidths, EqualOrReversedRangeGivesRandomMinWideStrips) {
    for (const auto& [minimum, maximum] : std::vector<std::pair<int, int>>{{5, 5}, {7, 3}, {4, -10}}) {
        const auto strips = stripsFrom(13, minimum, maximum, 50, 20, QSize(8, 8));
        ASSERT_FALSE(strips.empty());
        for (const TStrip& strip : strips)
            EXPECT_EQ(strip.Width, minimum) << minimum << ".." << maximum;
        EXPECT_EQ(strips.size(), static_cast<std::size_t>((50 + minimum - 1) / minimum));
    }
}

TEST(RandomStripWidths, AnEmptiedRangeStillEnds) {
    // A picture without width assigned while designing leaves RandomMin and RandomMax at 0.
    const auto strips = stripsFrom(13, 0, 0, 10, 20, QSize(4, 4));
    ASSERT_EQ(strips.size(), 10u);
    for (const TStrip& strip : strips)
        EXPECT_EQ(strip.Width, 1);
    // The widest range there is: one strip, far beyond any pixel coordinate, and no overflow.
    const auto wide = stripsFrom(1, 1, INT_MAX, 10, 20, QSize(8, 1000));
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_GT(wide[0].Height, std::int64_t{INT_MAX});
}

TEST_F(PanelTest, FreshPanelHasARaisedBevelOfOneAndPaintsItsPictureTopLeft) {
    resize(20, 20);
    panel->SetGlyph(solid(4, 4, kRed));
    const QImage image = render();
    EXPECT_EQ(panel->Canvas(), nullptr) << "a surface only while painting";
    EXPECT_NE(at(image, 0, 0), aqua) << "the bevel's light line";
    EXPECT_NE(at(image, 19, 19), aqua) << "the bevel's dark line";
    EXPECT_EQ(at(image, 1, 1), kRed & RGB_MASK) << "the picture inside the bevel, unmasked";
    EXPECT_EQ(at(image, 4, 4), kRed & RGB_MASK);
    EXPECT_EQ(at(image, 5, 5), aqua);
}

TEST_F(PanelTest, FreshPanelDrawsTheStripsOfSeed13From1To10) {
    resize(40, 30);
    panel->SetBevelOuter(bvNone);
    const QImage glyph = uniquePixels(8, 8);
    panel->SetGlyph(glyph);
    panel->SetShowBitmap(sbRandom);
    expectStrips(render(), glyph, stripsFrom(13, 1, 10, 40, 30, QSize(8, 8)));
}

TEST_F(PanelTest, ToolBarIsAPlainFillOfItsColourAndTellsItsChildrenTheColour) {
    resize(40, 20);
    panel->SetColor(clSkarnBlue);
    panel->SetBevelOuter(bvNone);
    panel->SetMask(clBlack);
    const QImage image = render();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(at(image, x, y), kToolBar & RGB_MASK) << x << "," << y;
    EXPECT_EQ(panel->palette().color(panel->backgroundRole()).rgb() & RGB_MASK, kToolBar & RGB_MASK);
}

TEST_F(PanelTest, TiledCoversEverythingFromTheOriginAndClipsTheLastTiles) {
    const QImage glyph = uniquePixels(8, 8);
    panel->SetBevelOuter(bvNone);
    panel->SetGlyph(glyph);
    panel->SetShowBitmap(sbTiled);
    panel->SetMasked(true); // tiles are never masked: the mask colour (bottom-left) stays
    for (const QSize size : {QSize(20, 13), QSize(16, 16), QSize(5, 3)}) {
        resize(size.width(), size.height());
        const QImage image = render();
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                ASSERT_EQ(at(image, x, y), glyph.pixel(x % 8, y % 8) & RGB_MASK)
                    << size.width() << "x" << size.height() << " at " << x << "," << y;
    }
}

TEST_F(PanelTest, TopLeftLeavesAOnePixelBorder) {
    resize(12, 12);
    panel->SetBevelOuter(bvNone);
    const QImage glyph = uniquePixels(4, 4);
    panel->SetGlyph(glyph);
    const QImage image = render();
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(at(image, i, 0), aqua) << "top row " << i;
        EXPECT_EQ(at(image, 0, i), aqua) << "left column " << i;
    }
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(at(image, 1 + x, 1 + y), glyph.pixel(x, y) & RGB_MASK) << x << "," << y;
    EXPECT_EQ(at(image, 5, 5), aqua);
}

TEST_F(PanelTest, CentredTruncatesTowardZero) {
    panel->SetBevelOuter(bvNone);
    panel->SetShowBitmap(sbCentered);
    const QImage glyph = uniquePixels(8, 8);
    panel->SetGlyph(glyph);
    // Larger than the panel: (5 - 8) div 2 = -1, not -2.
    resize(5, 5);
    QImage image = render();
    EXPECT_EQ(at(image, 0, 0), glyph.pixel(1, 1) & RGB_MASK);
    EXPECT_EQ(at(image, 4, 4), glyph.pixel(5, 5) & RGB_MASK);
    // Smaller: (13 - 8) div 2 = 2 across, (10 - 8) div 2 = 1 down.
    resize(13, 10);
    image = render();
    EXPECT_EQ(at(image, 1, 1), aqua);
    EXPECT_EQ(at(image, 2, 1), glyph.pixel(0, 0) & RGB_MASK);
    EXPECT_EQ(at(image, 9, 8), glyph.pixel(7, 7) & RGB_MASK);
    EXPECT_EQ(at(image, 10, 9), aqua);
}

TEST_F(PanelTest, AutoSizeStretchesOverTheWholePanel) {
    resize(16, 8);
    panel->SetBevelOuter(bvNone);
    panel->SetShowBitmap(sbAutoSize);
    QImage glyph(2, 2, QImage::Format_RGB32);
    glyph.setPixel(0, 0, kRed);
    glyph.setPixel(1, 0, kGreen);
    glyph.setPixel(0, 1, kBlue);
    glyph.setPixel(1, 1, kWhite);
    panel->SetGlyph(glyph);
    const QImage image = render();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(at(image, x, y), glyph.pixel(x / 8, y / 4) & RGB_MASK) << x << "," << y;
}

struct MaskCase {
    const char* name;
    TShowBitmap mode;
    bool masked;
    TColor mask;
    bool blueLeftOut;
};

class Masking : public PanelTest, public ::testing::WithParamInterface<MaskCase> {};

TEST_P(Masking, OnlyTopLeftAndCentredLeaveOutTheMaskColour) {
    const MaskCase& c = GetParam();
    resize(6, 6);
    panel->SetBevelOuter(bvNone);
    // Red with a blue pixel at (1, 0); the bottom-left is red.
    QImage glyph = solid(4, 4, kRed);
    glyph.setPixel(1, 0, kBlue);
    panel->SetGlyph(glyph);
    panel->SetShowBitmap(c.mode);
    panel->SetMask(c.mask);
    panel->SetMasked(c.masked);
    const QImage image = render();
    // Centred puts the picture at (1, 1) too on a 6 x 6 panel.
    EXPECT_EQ(at(image, 2, 1), c.blueLeftOut ? aqua : kBlue & RGB_MASK);
    EXPECT_EQ(at(image, 1, 1), kRed & RGB_MASK);
}

INSTANTIATE_TEST_SUITE_P(Cases, Masking,
                         ::testing::Values(MaskCase{"TopLeft", sbTopLeft, true, 0xFF0000, true},
                                           MaskCase{"PaletteRelativeMask", sbTopLeft, true, 0x02FF0000, true},
                                           MaskCase{"Centred", sbCentered, true, 0x02FF0000, true},
                                           MaskCase{"NotMasked", sbTopLeft, false, 0x02FF0000, false},
                                           MaskCase{"OtherColour", sbTopLeft, true, 0x02FE0000, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PanelTest, RandomPaintsItsStripsTheSameAtEveryRepaint) {
    resize(40, 30);
    panel->SetBevelOuter(bvNone);
    panel->SetGlyph(solid(8, 8, kGreen));
    panel->SetShowBitmap(sbRandom);
    panel->SetRandomMax(16);
    panel->SetRandomMin(8);
    const QImage first = render();
    // The strips of the ClientTile case: (0, 28, 11, 11), (11, -1, 10, 10), (21, -2, 11, 11) and one
    // wholly below the panel at (32, 30).
    EXPECT_EQ(at(first, 5, 29), kGreen & RGB_MASK);
    EXPECT_EQ(at(first, 5, 27), aqua);
    EXPECT_EQ(at(first, 15, 8), kGreen & RGB_MASK);
    EXPECT_EQ(at(first, 15, 9), aqua);
    EXPECT_EQ(at(first, 31, 8), kGreen & RGB_MASK);
    EXPECT_EQ(at(first, 31, 9), aqua);
    EXPECT_EQ(at(first, 35, 29), aqua);

    ProgramRandom().SetState(12345); // whatever else drew numbers in between
    EXPECT_EQ(render(), first);
    panel->SetSeed(14);
    EXPECT_NE(render(), first) << "another seed, another pattern";
}

TEST_F(PanelTest, RandomStripsAreThePictureScaledWhereverTheyAreCut) {
    resize(40, 30);
    panel->SetBevelOuter(bvNone);
    const QImage glyph = uniquePixels(8, 8);
    panel->SetGlyph(glyph);
    panel->SetShowBitmap(sbRandom);
    panel->SetRandomMax(16);
    panel->SetRandomMin(8);
    expectStrips(render(), glyph, stripsFrom(13, 8, 16, 40, 30, QSize(8, 8)));
}

TEST_F(PanelTest, RandomWithAnAbsurdRangeStillPaints) {
    resize(30, 20);
    panel->SetBevelOuter(bvNone);
    panel->SetGlyph(uniquePixels(8, 8));
    panel->SetShowBitmap(sbRandom);
    panel->SetRandomMax(INT_MAX);
    panel->SetRandomMin(INT_MAX); // accepted at run time: strips INT_MAX wide
    EXPECT_EQ(panel->RandomMin(), INT_MAX);
    const QImage image = render();
    EXPECT_EQ(image.size(), QSize(30, 20));
}

struct BevelCase {
    const char* name;
    TBevelCut bevel;
    QRgb topLeft;
    QRgb bottomRight;
};

class Bevels : public PanelTest, public ::testing::WithParamInterface<BevelCase> {};

TEST_P(Bevels, SingleLinesWithoutTheLastPointOfEachPolyline) {
    const BevelCase& c = GetParam();
    constexpr int w = 7;
    constexpr int h = 5;
    resize(w, h);
    panel->SetColor(clBlack);
    panel->SetBevelOuter(c.bevel);
    const QImage image = render();
    const QRgb tl = c.topLeft & RGB_MASK;
    const QRgb br = c.bottomRight & RGB_MASK;
    const QRgb black = qRgb(0, 0, 0) & RGB_MASK;
    for (int x = 0; x < w; ++x) {
        EXPECT_EQ(at(image, x, 0), x == w - 1 ? br : tl) << "top " << x << ": the top-right keeps its colour";
        EXPECT_EQ(at(image, x, h - 1), x == 0 ? tl : br) << "bottom " << x;
    }
    for (int y = 0; y < h; ++y) {
        EXPECT_EQ(at(image, 0, y), tl) << "left " << y;
        EXPECT_EQ(at(image, w - 1, y), br) << "right " << y;
    }
    EXPECT_EQ(at(image, 1, 1), black) << "single lines";
    EXPECT_EQ(at(image, w - 2, h - 2), black);
}

INSTANTIATE_TEST_SUITE_P(Cases, Bevels,
                         ::testing::Values(BevelCase{"Raised", bvRaised, kWhite, kGrey},
                                           BevelCase{"Lowered", bvLowered, kGrey, kWhite},
                                           BevelCase{"Space", bvSpace, kGrey, kWhite}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PanelTest, NoOuterBevelDrawsNoLines) {
    resize(7, 5);
    panel->SetColor(clBlack);
    panel->SetBevelOuter(bvNone);
    const QImage image = render();
    EXPECT_EQ(at(image, 0, 0), qRgb(0, 0, 0) & RGB_MASK);
    EXPECT_EQ(at(image, 6, 4), qRgb(0, 0, 0) & RGB_MASK);
}

TEST_F(PanelTest, OnPaintReplacesAllOfThePanelsPainting) {
    resize(10, 10);
    panel->SetGlyph(solid(4, 4, kRed));
    panel->SetBevelOuter(bvRaised);
    QObject* painted = nullptr;
    bool hadCanvas = false;
    panel->OnPaint = [&](QObject* sender) {
        painted = sender;
        hadCanvas = panel->Canvas() != nullptr;
        panel->Canvas()->fillRect(QRect(4, 4, 2, 2), QColor(kBlue));
    };
    const QImage image = render();
    EXPECT_EQ(painted, panel);
    EXPECT_TRUE(hadCanvas);
    EXPECT_EQ(panel->Canvas(), nullptr);
    EXPECT_EQ(at(image, 0, 0), kMagenta & RGB_MASK) << "no bevel, no colour: the parent shows";
    EXPECT_EQ(at(image, 1, 1), kMagenta & RGB_MASK) << "no picture";
    EXPECT_EQ(at(image, 8, 8), kMagenta & RGB_MASK);
    EXPECT_EQ(at(image, 4, 4), kBlue & RGB_MASK) << "what the handler paints";
}

TEST_F(PanelTest, GlyphSetterCopiesThePictureAndTakesItsTransparentColour) {
    QImage glyph = solid(6, 3, kRed);
    glyph.setPixel(0, 2, qRgb(0xC0, 0xC0, 0xC0));
    panel->SetGlyph(glyph);
    EXPECT_EQ(panel->Mask(), 0x02C0C0C0u) << "bottom-left colour with the palette-relative flag";
    glyph.fill(kBlue);
    EXPECT_EQ(panel->Glyph().pixel(1, 1) & RGB_MASK, kRed & RGB_MASK) << "the caller keeps its own picture";
    EXPECT_EQ(panel->RandomMax(), 10) << "no width range copied at run time";
    EXPECT_EQ(panel->RandomMin(), 1);

    QImage mono(8, 8, QImage::Format_Mono);
    mono.fill(1);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(0, 0, 0)});
    panel->SetGlyph(mono);
    EXPECT_EQ(panel->Mask(), 0x02FFFFFFu) << "a monochrome picture reports white";
}

TEST_F(PanelTest, DesignTimeRules) {
    panel->SetDesigning(true);
    panel->SetGlyph(solid(8, 8, kRed));
    EXPECT_EQ(panel->RandomMax(), 16) << "twice the picture's width";
    EXPECT_EQ(panel->RandomMin(), 8) << "the picture's width";
    panel->SetRandomMin(16);
    EXPECT_EQ(panel->RandomMin(), 8) << "must stay below RandomMax while designing";
    panel->SetRandomMin(15);
    EXPECT_EQ(panel->RandomMin(), 15);
    panel->SetRandomMax(15);
    EXPECT_EQ(panel->RandomMax(), 16) << "must stay above RandomMin";

    panel->SetDesigning(false);
    panel->SetRandomMin(40);
    EXPECT_EQ(panel->RandomMin(), 40) << "a running program may pass RandomMax";
    panel->SetRandomMin(16);
    EXPECT_EQ(panel->RandomMin(), 16) << "and reach it";
    panel->SetRandomMax(16);
    EXPECT_EQ(panel->RandomMax(), 16) << "RandomMax still must lie above RandomMin";
}

// A shown panel that counts its paints.
class TCountingPanel : public TBriskPanel {
public:
    using TBriskPanel::TBriskPanel;
    int paints = 0;

protected:
    void Paint() override {
        ++paints;
        TBriskPanel::Paint();
    }
};

struct SetterCase {
    const char* name;
    std::function<void(TBriskPanel&)> set;
    bool repaints;
    std::function<bool(const TBriskPanel&)> holds;
};

class Setters : public ::testing::TestWithParam<SetterCase> {};

TEST_P(Setters, TakeOrIgnoreAndRepaintOnlyWhenTheyShould) {
    const SetterCase& c = GetParam();
    QWidget window;
    window.resize(40, 40);
    auto* panel = new TCountingPanel(&window);
    panel->setGeometry(0, 0, 40, 40);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::processEvents();
    panel->paints = 0;
    c.set(*panel);
    QApplication::processEvents();
    EXPECT_EQ(panel->paints > 0, c.repaints);
    EXPECT_TRUE(c.holds(*panel));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Setters,
    ::testing::Values(SetterCase{"SameSeed", [](TBriskPanel& p) { p.SetSeed(13); }, false,
                                 [](auto&) { return true; }},
                      SetterCase{"NewSeed", [](TBriskPanel& p) { p.SetSeed(99); }, true,
                                 [](const TBriskPanel& p) { return p.Seed() == 99; }},
                      SetterCase{"SameShowBitmap", [](TBriskPanel& p) { p.SetShowBitmap(sbTopLeft); }, false,
                                 [](auto&) { return true; }},
                      SetterCase{"NewShowBitmap", [](TBriskPanel& p) { p.SetShowBitmap(sbTiled); }, true,
                                 [](const TBriskPanel& p) { return p.ShowBitmap() == sbTiled; }},
                      SetterCase{"RandomMaxTaken", [](TBriskPanel& p) { p.SetRandomMax(20); }, true,
                                 [](const TBriskPanel& p) { return p.RandomMax() == 20; }},
                      SetterCase{"RandomMaxNotAboveMin", [](TBriskPanel& p) { p.SetRandomMax(1); }, false,
                                 [](const TBriskPanel& p) { return p.RandomMax() == 10; }},
                      SetterCase{"RandomMaxZero", [](TBriskPanel& p) { p.SetRandomMax(0); }, false,
                                 [](const TBriskPanel& p) { return p.RandomMax() == 10; }},
                      SetterCase{"RandomMinTaken", [](TBriskPanel& p) { p.SetRandomMin(5); }, true,
                                 [](const TBriskPanel& p) { return p.RandomMin() == 5; }},
                      SetterCase{"RandomMinZero", [](TBriskPanel& p) { p.SetRandomMin(0); }, false,
                                 [](const TBriskPanel& p) { return p.RandomMin() == 1; }},
                      SetterCase{"RandomMinNegative", [](TBriskPanel& p) { p.SetRandomMin(-3); }, false,
                                 [](const TBriskPanel& p) { return p.RandomMin() == 1; }},
                      SetterCase{"SameGlyphStillRepaints", [](TBriskPanel& p) { p.SetGlyph(p.Glyph()); },
                                 true, [](const TBriskPanel& p) { return p.Glyph().isNull(); }},
                      SetterCase{"MaskAlone", [](TBriskPanel& p) { p.SetMask(0x0000FF); }, false,
                                 [](const TBriskPanel& p) { return p.Mask() == 0x0000FFu; }},
                      SetterCase{"MaskedAlone", [](TBriskPanel& p) { p.SetMasked(true); }, false,
                                 [](const TBriskPanel& p) { return p.Masked(); }},
                      SetterCase{"NewColour", [](TBriskPanel& p) { p.SetColor(clSkarnBlue); }, true,
                                 [](const TBriskPanel& p) { return p.Color() == clSkarnBlue; }},
                      SetterCase{"BevelWidthZero", [](TBriskPanel& p) { p.SetBevelWidth(0); }, false,
                                 [](const TBriskPanel& p) { return p.BevelWidth() == 1; }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
