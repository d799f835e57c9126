// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/BitmapImage.h"

#include <QList>

namespace {

QList<QRgb> colourTable(const TBitmap& bitmap, int size) {
    const TPalette& palette = bitmap.Palette();
    QList<QRgb> table(size, qRgb(0, 0, 0));
    for (int i = 0; i < size; ++i) {
        if (palette.empty()) {
            const int level = i * 255 / (size - 1);
            table[i] = qRgb(level, level, level);
        } else if (static_cast<std::size_t>(i) < palette.size()) {
            const TPaletteEntry& e = palette[static_cast<std::size_t>(i)];
            table[i] = qRgb(e.peRed, e.peGreen, e.peBlue);
        }
    }
    return table;
}

// The 4-bit pixels as an 8-bit image of their own.
QImage expandedCopy(const TBitmap& bitmap) {
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_Indexed8);
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* from = bitmap.ScanLine(y);
        uchar* to = image.scanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x)
            to[x] = (from[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
    }
    image.setColorTable(colourTable(bitmap, 16));
    return image;
}

QImage view(const TBitmap& bitmap, uchar* writable) {
    if (bitmap.Empty())
        return {};
    const auto bytesPerLine = static_cast<qsizetype>(bitmap.BytesPerLine());
    const auto make = [&](QImage::Format format) {
        return writable ? QImage(writable, bitmap.Width(), bitmap.Height(), bytesPerLine, format)
                        : QImage(bitmap.Bits(), bitmap.Width(), bitmap.Height(), bytesPerLine, format);
    };
    switch (bitmap.PixelFormat()) {
    case TPixelFormat::pf1bit: {
        QImage image = make(QImage::Format_Mono);
        image.setColorTable(colourTable(bitmap, 2));
        return image;
    }
    case TPixelFormat::pf4bit:
        return expandedCopy(bitmap);
    case TPixelFormat::pf8bit: {
        QImage image = make(QImage::Format_Indexed8);
        image.setColorTable(colourTable(bitmap, 256));
        return image;
    }
    case TPixelFormat::pf24bit:
        break;
    }
    return make(QImage::Format_BGR888);
}

} // namespace

QImage BitmapImage(const TBitmap& bitmap) {
    return view(bitmap, nullptr);
}

QImage BitmapImage(TBitmap& bitmap) {
    return view(bitmap, bitmap.Bits());
}
