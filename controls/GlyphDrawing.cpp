// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/GlyphDrawing.h"

#include <QPainter>
#include <cstddef>
#include <vector>

#include "controls/SysColors.h"

namespace {

constexpr QRgb kClear = 0x00000000u;

QRgb opaqueRgb(TColor c) {
    return qRgb(RedOf(c), GreenOf(c), BlueOf(c));
}

// The glyph's pixels as 32-bit ARGB (not premultiplied) with, for each, whether it is opaque.
struct TGlyphPixels {
    QImage argb;
    std::vector<bool> opaque; // row by row

    bool at(int x, int y) const {
        if (x >= argb.width() || y >= argb.height())
            return false;
        return opaque[static_cast<std::size_t>(y) * static_cast<std::size_t>(argb.width()) +
                      static_cast<std::size_t>(x)];
    }
};

TGlyphPixels glyphPixels(const QImage& glyph, TColor transparentColour) {
    TGlyphPixels result;
    result.argb = glyph.convertToFormat(QImage::Format_ARGB32);
    const int w = result.argb.width();
    const int h = result.argb.height();
    result.opaque.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    const QRgb transparent = opaqueRgb(transparentColour) & RGB_MASK;
    std::size_t i = 0;
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(result.argb.constScanLine(y));
        for (int x = 0; x < w; ++x)
            result.opaque[i++] = qAlpha(row[x]) != 0 && (row[x] & RGB_MASK) != transparent;
    }
    return result;
}

QImage clearLayer(const QImage& glyph) {
    QImage layer(glyph.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(kClear);
    return layer;
}

void drawLayer(QPainter& target, int x, int y, const QImage& layer) {
    if (layer.isNull())
        return;
    const QPainter::CompositionMode mode = target.compositionMode();
    target.setCompositionMode(QPainter::CompositionMode_SourceOver);
    target.drawImage(x, y, layer);
    target.setCompositionMode(mode);
}

} // namespace

TColor GlyphTransparentColor(const QImage& glyph) {
    if (glyph.isNull() || glyph.depth() == 1)
        return clWhite | clPaletteRelative;
    return TColorOf(glyph.pixel(0, glyph.height() - 1)) | clPaletteRelative;
}

QImage MaskedGlyph(const QImage& glyph) {
    return MaskedGlyph(glyph, GlyphTransparentColor(glyph));
}

QImage MaskedGlyph(const QImage& glyph, TColor transparent) {
    if (glyph.isNull())
        return {};
    const TGlyphPixels pixels = glyphPixels(glyph, transparent);
    QImage layer = clearLayer(glyph);
    for (int y = 0; y < layer.height(); ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(pixels.argb.constScanLine(y));
        auto* row = reinterpret_cast<QRgb*>(layer.scanLine(y));
        for (int x = 0; x < layer.width(); ++x) {
            if (pixels.at(x, y))
                row[x] = source[x] | 0xFF000000u;
        }
    }
    return layer;
}

QImage GrayedGlyph(const QImage& glyph, TColor face, TColor highlight, TColor shadow) {
    if (glyph.isNull())
        return {};
    const TGlyphPixels pixels = glyphPixels(glyph, GlyphTransparentColor(glyph));
    const QRgb faceRgb = opaqueRgb(face);
    const QRgb highlightRgb = opaqueRgb(highlight);
    const QRgb shadowRgb = opaqueRgb(shadow);
    QImage layer = clearLayer(glyph);
    for (int y = 0; y < layer.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(layer.scanLine(y));
        for (int x = 0; x < layer.width(); ++x) {
            const bool p = pixels.at(x, y);
            const bool n = pixels.at(x + 1, y + 1);
            if (p)
                row[x] = n ? faceRgb : highlightRgb;
            else if (n)
                row[x] = shadowRgb;
        }
    }
    return layer;
}

void DrawMaskedGlyph(QPainter& target, int x, int y, const QImage& glyph) {
    drawLayer(target, x, y, MaskedGlyph(glyph));
}

void DrawMaskedGlyph(QPainter& target, int x, int y, const QImage& glyph, TColor transparent) {
    drawLayer(target, x, y, MaskedGlyph(glyph, transparent));
}

void DrawGrayedGlyph(QPainter& target, int x, int y, const QImage& glyph, TColor face, TColor highlight,
                     TColor shadow) {
    drawLayer(target, x, y, GrayedGlyph(glyph, face, highlight, shadow));
}
