// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QPainter>

#include "controls/BitmapImage.h"

namespace {

TBitmap bitmapOf(TPixelFormat format, int width, int height) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(format);
    bitmap.SetSize(width, height);
    return bitmap;
}

TEST(BitmapImage, TwentyFourBitsAreSharedInBlueGreenRedOrder) {
    TBitmap bitmap = bitmapOf(TPixelFormat::pf24bit, 3, 2);
    std::uint8_t* row = bitmap.ScanLine(1);
    row[3] = 10; // blue
    row[4] = 20; // green
    row[5] = 30; // red
    const TBitmap& shown = bitmap;
    const QImage image = BitmapImage(shown);
    EXPECT_EQ(image.constBits(), bitmap.Bits()) << "no copy";
    EXPECT_EQ(image.bytesPerLine(), static_cast<qsizetype>(bitmap.BytesPerLine()));
    EXPECT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixel(1, 1), qRgb(30, 20, 10));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
}

TEST(BitmapImage, PaintingOnTheWritableViewChangesTheBitmap) {
    TBitmap bitmap = bitmapOf(TPixelFormat::pf24bit, 4, 4);
    {
        QImage image = BitmapImage(bitmap);
        QPainter painter(&image);
        painter.fillRect(QRect(1, 1, 2, 2), QColor(200, 100, 50));
    }
    EXPECT_EQ(bitmap.ScanLine(2)[3 * 2 + 0], 50);
    EXPECT_EQ(bitmap.ScanLine(2)[3 * 2 + 2], 200);
    EXPECT_EQ(bitmap.ScanLine(0)[0], 0);
}

TEST(BitmapImage, IndexedFormatsShowTheirPalette) {
    TBitmap bitmap = bitmapOf(TPixelFormat::pf8bit, 5, 1);
    bitmap.SetPalette({{255, 0, 0, 0}, {0, 255, 0, 0}, {1, 2, 3, 0}});
    std::uint8_t* row = bitmap.ScanLine(0);
    row[1] = 1;
    row[2] = 2;
    row[3] = 200; // beyond the palette
    const TBitmap& shown = bitmap;
    const QImage image = BitmapImage(shown);
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.constBits(), bitmap.Bits()) << "no copy";
    EXPECT_EQ(image.colorCount(), 256);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(2, 0), qRgb(1, 2, 3));
    EXPECT_EQ(image.pixel(3, 0), qRgb(0, 0, 0));
}

TEST(BitmapImage, MonoPixelsMostSignificantBitFirst) {
    TBitmap bitmap = bitmapOf(TPixelFormat::pf1bit, 10, 1);
    bitmap.SetPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
    bitmap.ScanLine(0)[0] = 0b0100'0000;
    bitmap.ScanLine(0)[1] = 0b0100'0000;
    const TBitmap& shown = bitmap;
    const QImage image = BitmapImage(shown);
    EXPECT_EQ(image.constBits(), bitmap.Bits()) << "no copy";
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(image.pixel(x, 0), x == 1 || x == 9 ? qRgb(255, 255, 255) : qRgb(0, 0, 0)) << x;
}

TEST(BitmapImage, FourBitPixelsAreACopyAndBitmapsWithoutPaletteAreGrey) {
    TBitmap bitmap = bitmapOf(TPixelFormat::pf4bit, 3, 1);
    bitmap.ScanLine(0)[0] = 0x0F;
    bitmap.ScanLine(0)[1] = 0x50;
    const QImage image = BitmapImage(bitmap);
    EXPECT_NE(image.constBits(), bitmap.Bits());
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(2, 0), qRgb(85, 85, 85));
}

TEST(BitmapImage, EmptyBitmapGivesNullImage) {
    const TBitmap bitmap;
    EXPECT_TRUE(BitmapImage(bitmap).isNull());
}

} // namespace
