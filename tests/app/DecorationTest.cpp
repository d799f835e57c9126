// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QSet>
#include <QStatusBar>
#include <QTest>
#include <algorithm>
#include <string>

#include "TFormFixture.h"
#include "app/Decoration.h"
#include "app/TPreviewImage.h"
#include "controls/SysColors.h"

namespace {

const QRgb kToolBar = QColorOf(clSkarnBlue, QPalette()).rgb() & RGB_MASK;
// The frame colours worked out from the tool bar's with the buttons' shadow strength.
const QRgb kLight =
    QColorOf(TBriskButton::ShadeColor(clSkarnBlue, true, 40, QPalette()), QPalette()).rgb() & RGB_MASK;
const QRgb kDark =
    QColorOf(TBriskButton::ShadeColor(clSkarnBlue, false, 40, QPalette()), QPalette()).rgb() & RGB_MASK;
const QRgb kSilver = qRgb(0xC0, 0xC0, 0xC0) & RGB_MASK;
const QRgb kWhite = qRgb(0xFF, 0xFF, 0xFF) & RGB_MASK;
const QRgb kGrey = qRgb(0x80, 0x80, 0x80) & RGB_MASK;
const QRgb kBlack = qRgb(0, 0, 0) & RGB_MASK;

QSet<QRgb> coloursOf(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y) & RGB_MASK);
    return colours;
}

// The decorated window on a game without tracks, shown.
class DecorationTest : public TFormFixture {
protected:
    void SetUp() override {
        TFormFixture::SetUp();
        game.emplace(dir.path() / "pfx");
        form.emplace(dialogs);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&*form));
    }
    void TearDown() override {
        form.reset();
        game.reset();
        TFormFixture::TearDown();
    }

    QImage shoot(qreal dpr = 1) {
        QApplication::processEvents();
        QImage image((QSizeF(form->size()) * dpr).toSize(), QImage::Format_RGB32);
        image.setDevicePixelRatio(dpr);
        image.fill(Qt::magenta);
        form->render(&image);
        return image;
    }
    static QRgb at(const QImage& image, int x, int y) { return image.pixel(x, y) & RGB_MASK; }
    static QRgb at(const QImage& image, QPoint p) { return at(image, p.x(), p.y()); }

    // The tile pixel that belongs at (x, y) of the client area.
    QRgb tileAt(int x, int y) const { return form->BriskPanel2->Glyph().pixel(x % 8, y % 8) & RGB_MASK; }

    // Where a button's glyph starts on the window, at rest.
    QPoint glyphOrigin(TBriskButton* button) const {
        const QPoint inButton =
            TBriskButton::GlyphOrigin(button->width(), button->height(), button->Margin(),
                                      button->fontMetrics().height(), button->Glyph().size());
        return button->mapTo(&*form, inButton);
    }

    void sendMouse(TBriskButton* button, QEvent::Type type, Qt::MouseButton which, Qt::MouseButtons held) {
        const QPointF centre = QRectF(button->rect()).center();
        QMouseEvent event(type, centre, button->mapToGlobal(centre), which, held, Qt::NoModifier);
        QApplication::sendEvent(button, &event);
    }

    std::optional<TForm1> form;
};

// How the panels look is in the screenshots below; this is the client's tile picture itself.
TEST_F(DecorationTest, ClientTileIsMostlySilverWithWhiteAndGrey) {
    const QImage& tile = form->BriskPanel2->Glyph();
    ASSERT_EQ(tile.size(), QSize(8, 8));
    EXPECT_EQ(tile.format(), QImage::Format_Indexed8);
    EXPECT_EQ(tile.colorCount(), 256);
    EXPECT_EQ(tile.pixel(0, 7) & RGB_MASK, kSilver) << "bottom-left silver";
    const QSet<QRgb> colours = coloursOf(tile);
    EXPECT_EQ(colours, (QSet<QRgb>{kSilver, kWhite, kGrey}));
    int silver = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            silver += (tile.pixel(x, y) & RGB_MASK) == kSilver;
    EXPECT_GT(silver, 32) << "mostly silver";
}

struct ButtonCase {
    const char* name;
    QSize size;
    int colours;
    QRgb transparent;
    std::vector<QRgb> mainColours;
};

class Buttons : public DecorationTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(Buttons, CarryTheirPicturesAndValues) {
    const ButtonCase& c = GetParam();
    auto* button = form->findChild<TBriskButton*>(c.name);
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->ShowHint());
    // Flat at rest, raised under the pointer, lowered while pressed (not released: that would run the
    // button's operation); the frame is a plain line, no chequer.
    const QRect frame = button->geometry();
    EXPECT_EQ(at(shoot(), frame.topLeft()), kToolBar);
    sendMouse(button, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
    QImage image = shoot();
    EXPECT_EQ(at(image, frame.topLeft()), kLight);
    EXPECT_EQ(at(image, frame.bottomRight()), kDark);
    EXPECT_EQ(at(image, frame.topLeft() + QPoint(2, 1)), kToolBar);
    sendMouse(button, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    image = shoot();
    EXPECT_EQ(at(image, frame.topLeft()), kDark);
    EXPECT_EQ(at(image, frame.bottomRight()), kLight);

    const QImage& glyph = button->Glyph();
    ASSERT_EQ(glyph.size(), c.size);
    EXPECT_EQ(glyph.format(), QImage::Format_Indexed8);
    EXPECT_EQ(glyph.colorCount(), c.colours);
    EXPECT_EQ(glyph.pixel(0, glyph.height() - 1) & RGB_MASK, c.transparent & RGB_MASK);
    const QSet<QRgb> colours = coloursOf(glyph);
    for (const QRgb main : c.mainColours)
        EXPECT_TRUE(colours.contains(main & RGB_MASK)) << std::hex << main;

    // The caption as drawn (the accelerator's "&" only underlines) fits between the margins, with a
    // pixel to spare, so no font cuts it.
    EXPECT_LT(button->fontMetrics().horizontalAdvance(QString(button->Caption()).remove('&')),
              button->width() - 2 * button->Margin())
        << button->Caption().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Buttons,
    ::testing::Values(
        ButtonCase{
            "ExitBtn", {16, 16}, 256, qRgb(0, 0, 255), {qRgb(255, 0, 0), qRgb(0, 0, 0), qRgb(255, 255, 255)}},
        ButtonCase{"ActiveBtn",
                   {11, 19},
                   16,
                   qRgb(255, 255, 255),
                   {qRgb(0, 0, 0), qRgb(128, 0, 0), qRgb(0, 255, 0)}},
        ButtonCase{"InactiveBtn",
                   {11, 19},
                   16,
                   qRgb(255, 255, 255),
                   {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 128, 0)}},
        ButtonCase{"ArchiveBtn",
                   {16, 16},
                   256,
                   qRgb(255, 0, 0),
                   {qRgb(0, 0, 0), qRgb(192, 192, 192), qRgb(128, 128, 0)}},
        ButtonCase{"FetchBtn", {16, 16}, 256, qRgb(255, 0, 0), {qRgb(0, 0, 0), qRgb(192, 192, 192)}},
        ButtonCase{"DeleteBtn", {14, 14}, 256, qRgb(192, 220, 192), {qRgb(128, 0, 0), qRgb(255, 255, 255)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DecorationTest, StopsRedDiscIsBrightWhereStartsIsDark) {
    const QImage& start = form->ActiveBtn->Glyph();
    const QImage& stop = form->InactiveBtn->Glyph();
    const QSet<QRgb> startColours = coloursOf(start);
    const QSet<QRgb> stopColours = coloursOf(stop);
    EXPECT_FALSE(startColours.contains(qRgb(255, 0, 0) & RGB_MASK));
    EXPECT_FALSE(stopColours.contains(qRgb(128, 0, 0) & RGB_MASK));
    // The same shape: the same pixels are black, white or coloured.
    for (int y = 0; y < start.height(); ++y)
        for (int x = 0; x < start.width(); ++x) {
            const auto kind = [&](const QImage& image) {
                const QRgb c = image.pixel(x, y) & RGB_MASK;
                return c == kBlack ? 0 : c == kWhite ? 1 : 2;
            };
            EXPECT_EQ(kind(start), kind(stop)) << x << "," << y;
        }
}

TEST_F(DecorationTest, IconHoldsTwo32PixelPicturesOf16And256Colours) {
    EXPECT_FALSE(form->windowIcon().isNull());
    EXPECT_TRUE(form->windowIcon().availableSizes().contains(QSize(32, 32)));
    QImageReader reader(":/decoration/track-manager.ico");
    ASSERT_EQ(reader.imageCount(), 2);
    std::vector<int> counts;
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage image = reader.read();
        ASSERT_EQ(image.size(), QSize(32, 32)) << i;
        counts.push_back(static_cast<int>(coloursOf(image).size()));
    }
    EXPECT_LE(counts[0], 16 + 1) << "16 colours (and the clear outside)";
    EXPECT_GT(counts[1], 16);
    EXPECT_LE(counts[1], 256 + 1);
}

// The window icon at every size of the desktop's icon theme, each drawn for its size: 16 to 48 pixel by
// pixel (32 is the icon file's 256-colour picture), 64 and up with smooth edges; and never touching the
// canvas edge, the large ones a sixteenth of the size clear on every side.
TEST_F(DecorationTest, WindowIconIsDrawnForEverySize) {
    QImageReader reader(":/decoration/track-manager.ico");
    ASSERT_TRUE(reader.jumpToImage(1));
    const QImage icon = reader.read().convertToFormat(QImage::Format_ARGB32);
    const QIcon window = form->windowIcon();
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const QImage theme = QImage(QString(":/decoration/hicolor/track-manager-%1.png").arg(size))
                                 .convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(theme.size(), QSize(size, size));
        EXPECT_TRUE(window.availableSizes().contains(QSize(size, size)));
        if (size != 32) {
            // Compared premultiplied, as the pixmap keeps it.
            EXPECT_EQ(window.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                      theme.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        }
        const int margin = size <= 48 ? 1 : size / 16;
        int partlyClear = 0;
        int left = size, top = size, right = -1, bottom = -1;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const int alpha = qAlpha(theme.pixel(x, y));
                partlyClear += alpha != 0 && alpha != 255;
                if (alpha != 0) {
                    left = std::min(left, x);
                    top = std::min(top, y);
                    right = std::max(right, x);
                    bottom = std::max(bottom, y);
                }
                if (size == 32 && alpha != 0) {
                    ASSERT_EQ(theme.pixel(x, y), icon.pixel(x, y)) << x << "," << y;
                }
            }
        }
        EXPECT_EQ(partlyClear > 0, size > 48);
        EXPECT_EQ(std::min({left, top, size - 1 - right, size - 1 - bottom}), margin);
    }
}

TEST_F(DecorationTest, ScreenshotAtRest) {
    const QImage image = shoot();
    // The tool bar: a plain fill between and around the buttons.
    for (const QPoint p : {QPoint(0, 0), QPoint(2, 20), QPoint(42, 20), QPoint(118, 2), QPoint(232, 40),
                           QPoint(form->width() - 1, 41), QPoint(form->width() - 3, 5)})
        EXPECT_EQ(at(image, p), kToolBar) << p.x() << "," << p.y();
    // The client area: tiles from its own origin, wherever no control covers them.
    const int top = form->BriskPanel2->y();
    for (int y = 0; y < 130; ++y)
        for (int x = 0; x < 41; ++x)
            ASSERT_EQ(at(image, x, top + y), tileAt(x, y)) << x << "," << y;
    for (int y = 151; y < form->BriskPanel2->height(); ++y)
        for (int x = 0; x < 4; ++x)
            ASSERT_EQ(at(image, x, top + y), tileAt(x, y)) << x << "," << y;
    // Buttons at rest: no frame, the picture without its transparent colour.
    for (TBriskButton* button : {form->ExitBtn, form->ActiveBtn, form->InactiveBtn, form->ArchiveBtn,
                                 form->FetchBtn, form->DeleteBtn}) {
        const QRect frame = button->geometry();
        EXPECT_EQ(at(image, frame.topLeft()), kToolBar) << button->objectName().toStdString();
        EXPECT_EQ(at(image, frame.bottomRight()), kToolBar) << button->objectName().toStdString();
        const QPoint origin = glyphOrigin(button);
        EXPECT_EQ(at(image, origin.x(), origin.y() + button->Glyph().height() - 1), kToolBar)
            << "bottom-left left out: " << button->objectName().toStdString();
    }
    // Start's white side columns vanish, its black body (black is the MaskColor) stays.
    const QPoint start = glyphOrigin(form->ActiveBtn);
    for (int y = 0; y < 19; ++y) {
        EXPECT_EQ(at(image, start.x(), start.y() + y), kToolBar) << y;
        EXPECT_EQ(at(image, start.x() + 10, start.y() + y), kToolBar) << y;
    }
    EXPECT_EQ(at(image, start.x() + 1, start.y() + 7), kBlack);
    EXPECT_EQ(at(image, start + QPoint(5, 16)), qRgb(0, 255, 0) & RGB_MASK) << "the lit green disc";
    // Exit's red door.
    EXPECT_EQ(at(image, glyphOrigin(form->ExitBtn) + QPoint(3, 4)), qRgb(255, 0, 0) & RGB_MASK);
}

TEST_F(DecorationTest, ScreenshotsUnderThePointerAndPressed) {
    TBriskButton* fetch = form->FetchBtn;
    const QRect frame = fetch->geometry();
    sendMouse(fetch, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
    QImage image = shoot();
    EXPECT_EQ(at(image, frame.topLeft()), kLight) << "raised under the pointer";
    EXPECT_EQ(at(image, frame.bottomRight()), kDark);
    EXPECT_EQ(at(image, frame.topLeft() + QPoint(0, 20)), kLight);
    EXPECT_EQ(at(image, frame.topLeft() + QPoint(1, 1)), kToolBar) << "a 2-pixel line, half of it shown";
    EXPECT_EQ(at(image, form->ExitBtn->geometry().topLeft()), kToolBar) << "only the one under the pointer";

    // The arrow's black tip at (7, 0) of the picture, silver arrow at (9, 2).
    const QPoint origin = glyphOrigin(fetch);
    EXPECT_EQ(at(image, origin + QPoint(7, 0)), kBlack);
    EXPECT_EQ(at(image, origin + QPoint(9, 2)), kSilver);
    sendMouse(fetch, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    image = shoot();
    EXPECT_EQ(at(image, frame.topLeft()), kDark) << "lowered while pressed";
    EXPECT_EQ(at(image, frame.bottomRight()), kLight);
    EXPECT_EQ(at(image, origin + QPoint(9, 2)), kBlack) << "the picture moved two pixels right and down";

    sendMouse(fetch, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    image = shoot();
    EXPECT_EQ(at(image, frame.topLeft()), kToolBar) << "flat again after the click";
}

TEST_F(DecorationTest, AtTwiceTheDevicePixelRatioPicturesStayCrisp) {
    const QImage image = shoot(2);
    ASSERT_EQ(image.width(), 2 * form->width());
    const int top = form->BriskPanel2->y();
    // Every tile pixel is a 2 x 2 block of one of the tile's own colours: nothing blurred in between.
    for (int y = 0; y < 130; ++y)
        for (int x = 0; x < 41; ++x) {
            const QRgb expected = tileAt(x, y);
            for (int d = 0; d < 4; ++d)
                ASSERT_EQ(at(image, 2 * x + d % 2, 2 * (top + y) + d / 2), expected) << x << "," << y;
        }
    // So is every pixel of a button picture.
    for (TBriskButton* button : {form->ExitBtn, form->ActiveBtn, form->DeleteBtn}) {
        const QPoint origin = glyphOrigin(button);
        const QImage& glyph = button->Glyph();
        const QRgb clear = glyph.pixel(0, glyph.height() - 1) & RGB_MASK;
        for (int y = 0; y < glyph.height(); ++y)
            for (int x = 0; x < glyph.width(); ++x) {
                const QRgb own = glyph.pixel(x, y) & RGB_MASK;
                const QRgb expected = own == clear ? kToolBar : own;
                for (int d = 0; d < 4; ++d)
                    ASSERT_EQ(at(image, 2 * (origin.x() + x) + d % 2, 2 * (origin.y() + y) + d / 2), expected)
                        << button->objectName().toStdString() << " " << x << "," << y;
            }
    }
}

TEST_F(DecorationTest, LookHoldsAtTheSmallestAndALargerSize) {
    for (const QSize size : {QSize(1, 1), QSize(640, 720)}) {
        form->resize(size);
        const QSize shown = form->size();
        const QImage image = shoot();
        EXPECT_EQ(at(image, shown.width() - 1, 20), kToolBar) << "the tool bar spans the width";
        EXPECT_EQ(at(image, 1, 41), kToolBar);
        const int top = form->BriskPanel2->y();
        const int height = form->BriskPanel2->height();
        EXPECT_EQ(top, 42);
        ASSERT_GT(height, 0);
        // The tiles reach the client area's last row and column.
        for (int y = 0; y < height; ++y)
            ASSERT_EQ(at(image, 1, top + y), tileAt(1, y))
                << shown.width() << "x" << shown.height() << " " << y;
        for (int x = form->Preview->geometry().right() + 1; x < shown.width(); ++x)
            ASSERT_EQ(at(image, x, top + 2), tileAt(x, 2)) << x;
        EXPECT_EQ(at(image, shown.width() - 1, top + height - 1), tileAt(shown.width() - 1, height - 1));
        // The label shows its whole caption.
        EXPECT_GE(form->Label1->width(), form->Label1->fontMetrics().horizontalAdvance(form->Label1->text()));
        EXPECT_LE(form->Label1->geometry().right(), form->Preview->x());
    }
}

// The fonts beside the program are loaded only where none of the faces wanted exists, and then serve
// the application's font when the system's is missing too.
TEST(LoadFallbackFonts, LoadsTheFolderOnlyWhenNoFaceWantedExists) {
    const std::filesystem::path source = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
    if (!std::filesystem::exists(source))
        GTEST_SKIP() << "no " << source << " to load";
    TTempDir dir;
    std::filesystem::copy_file(source, dir.path() / "face.ttf");
    const QString folder = QString::fromStdString(dir.path().string());
    const QFont before = QApplication::font();

    EXPECT_EQ(LoadFallbackFonts({"No Such Face", "DejaVu Sans"}, folder), QStringList());
    EXPECT_EQ(LoadFallbackFonts({"No Such Face"}, folder + "/none"), QStringList());

    QFont missing = before;
    missing.setFamilies({"No Such System Face"});
    QApplication::setFont(missing);
    EXPECT_EQ(LoadFallbackFonts({"No Such Face"}, folder), QStringList{"DejaVu Sans Mono"});
    EXPECT_TRUE(QFontDatabase::hasFamily("DejaVu Sans Mono"));
    EXPECT_EQ(QApplication::font().families(), (QStringList{"No Such Face", "DejaVu Sans Mono"}));
    QApplication::setFont(before);
}

} // namespace
