// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TBriskPanel.h"

#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <limits>

#include "controls/GlyphDrawing.h"
#include "controls/SysColors.h"
#include "controls/TRandomGenerator.h"
#include "platform/ScopeExit.h"

namespace {

constexpr TColor kBevelLight = 0xFFFFFF;
constexpr TColor kBevelDark = 0x808080;

} // namespace

TBriskPanel::TBriskPanel(QWidget* parent) : QWidget(parent) {
    // The parent paints first wherever the panel paints nothing (only with OnPaint assigned).
    setAutoFillBackground(false);
    applyColorToPalette();
}

void TBriskPanel::applyColorToPalette() {
    QPalette colours = palette();
    colours.setColor(backgroundRole(), QColorOf(m_color, colours));
    setPalette(colours);
}

void TBriskPanel::SetColor(TColor value) {
    if (value == m_color)
        return;
    m_color = value;
    applyColorToPalette();
    update();
}

void TBriskPanel::SetBevelOuter(TBevelCut value) {
    if (value == m_bevelOuter)
        return;
    m_bevelOuter = value;
    update();
}

void TBriskPanel::SetBevelWidth(int value) {
    if (value < 1 || value == m_bevelWidth)
        return;
    m_bevelWidth = value;
    update();
}

void TBriskPanel::SetSeed(std::uint16_t value) {
    if (value == m_seed)
        return;
    m_seed = value;
    update();
}

void TBriskPanel::SetRandomMax(int value) {
    if (value <= 0 || value <= m_randomMin)
        return;
    m_randomMax = value;
    update();
}

void TBriskPanel::SetRandomMin(int value) {
    if (value <= 0 || (m_designing && value >= m_randomMax))
        return;
    m_randomMin = value;
    update();
}

void TBriskPanel::SetShowBitmap(TShowBitmap value) {
    if (value == m_showBitmap)
        return;
    m_showBitmap = value;
    update();
}

void TBriskPanel::SetGlyph(const QImage& value) {
    m_glyph = value;
    // Converted once, so that tiling does not convert an indexed picture for every tile.
    m_paintGlyph = value.isNull() ? QImage() : value.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (m_designing) {
        // Written directly, past the setters' checks.
        m_randomMax = 2 * value.width();
        m_randomMin = value.width();
    }
    m_mask = GlyphTransparentColor(value);
    update();
}

std::vector<QPoint> TBriskPanel::TilePlaces(QSize client, QSize glyph) {
    std::vector<QPoint> places;
    if (glyph.width() <= 0 || glyph.height() <= 0 || client.width() < 0 || client.height() < 0)
        return places;
    const int columns = client.width() / glyph.width();
    const int rows = client.height() / glyph.height();
    places.reserve(static_cast<std::size_t>(columns + 1) * static_cast<std::size_t>(rows + 1));
    // NOTE: both bounds are included, so a client size that is an exact multiple of the picture's
    // still gets one more column and row, wholly outside.
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c <= columns; ++c)
            places.emplace_back(c * glyph.width(), r * glyph.height());
    return places;
}

double TBriskPanel::RoundHalfEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5)
        return below + 1;
    if (fraction < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

std::vector<TBriskPanel::TStrip> TBriskPanel::RandomStrips(TRandomGenerator& random, int randomMin,
                                                           int randomMax, int clientWidth, int height,
                                                           QSize glyph) {
    std::vector<TStrip> strips;
    if (glyph.width() <= 0 || glyph.height() <= 0)
        return strips;
    const std::int64_t range = static_cast<std::int64_t>(randomMax) - randomMin;
    // A range that is not positive (randomMin not below randomMax) draws Random(0), which is 0.
    const auto widthRange = static_cast<std::uint32_t>(std::max<std::int64_t>(range, 0));
    constexpr auto maxRange = static_cast<std::int64_t>(std::numeric_limits<std::uint32_t>::max());
    std::int64_t x = 0;
    while (x < clientWidth) {
        const std::int64_t w = std::max<std::int64_t>(randomMin + std::int64_t{random.Random(widthRange)}, 1);
        const auto h = static_cast<std::int64_t>(
            RoundHalfEven(glyph.height() * (static_cast<double>(w) / glyph.width())));
        // Held within the generator's 32-bit range, which only a strip billions of pixels high leaves.
        const std::int64_t verticalRange = std::clamp<std::int64_t>(std::int64_t{height} + h, 0, maxRange);
        const std::int64_t y = std::int64_t{random.Random(static_cast<std::uint32_t>(verticalRange))} - h / 2;
        strips.push_back({x, y, w, h});
        x += w;
    }
    return strips;
}

void TBriskPanel::paintEvent(QPaintEvent* /*Event*/) {
    QPainter canvas(this);
    m_canvas = &canvas;
    const TScopeExit reset([this] { m_canvas = nullptr; });
    Paint();
}

void TBriskPanel::Paint() {
    if (OnPaint) {
        OnPaint(this);
        return;
    }
    m_canvas->fillRect(rect(), QColorOf(m_color, palette()));
    if (!m_glyph.isNull())
        paintPicture();
    if (m_bevelOuter != bvNone)
        PaintBevel(m_bevelOuter);
}

void TBriskPanel::paintPicture() {
    const int gw = m_glyph.width();
    const int gh = m_glyph.height();
    switch (m_showBitmap) {
    case sbCentered:
        PaintGlyphAt((width() - gw) / 2, (height() - gh) / 2);
        break;
    case sbTopLeft:
        PaintGlyphAt(1, 1);
        break;
    case sbTiled: {
        // Tiles outside the region being repainted would be clipped away whole: skip them.
        const QRect visible = m_canvas->hasClipping() ? m_canvas->clipBoundingRect().toAlignedRect() : rect();
        for (const QPoint& place : TilePlaces(size(), m_glyph.size())) {
            if (visible.intersects(QRect(place, m_glyph.size())))
                m_canvas->drawImage(place, m_paintGlyph);
        }
        break;
    }
    case sbRandom: {
        // The same seed gives the same strips at every repaint.
        TRandomGenerator& random = ProgramRandom();
        random.SetState(m_seed);
        for (const TStrip& strip :
             RandomStrips(random, m_randomMin, m_randomMax, width(), height(), m_glyph.size()))
            drawStretched(strip);
        break;
    }
    case sbAutoSize:
        m_canvas->drawImage(rect(), m_paintGlyph);
        break;
    }
}

void TBriskPanel::drawStretched(const TStrip& strip) {
    if (strip.Width <= 0 || strip.Height <= 0)
        return;
    // Only the part inside the panel is drawn, so that a strip far larger than any coordinate stays
    // within the painter's range; the picture's part that lands there is worked out from the strip.
    const std::int64_t left = std::max<std::int64_t>(strip.Left, 0);
    const std::int64_t top = std::max<std::int64_t>(strip.Top, 0);
    const std::int64_t right = std::min<std::int64_t>(strip.Left + strip.Width, width());
    const std::int64_t bottom = std::min<std::int64_t>(strip.Top + strip.Height, height());
    if (right <= left || bottom <= top)
        return;
    const double scaleX = static_cast<double>(m_glyph.width()) / static_cast<double>(strip.Width);
    const double scaleY = static_cast<double>(m_glyph.height()) / static_cast<double>(strip.Height);
    const QRectF source(
        static_cast<double>(left - strip.Left) * scaleX, static_cast<double>(top - strip.Top) * scaleY,
        static_cast<double>(right - left) * scaleX, static_cast<double>(bottom - top) * scaleY);
    const QRectF target(static_cast<double>(left), static_cast<double>(top),
                        static_cast<double>(right - left), static_cast<double>(bottom - top));
    m_canvas->drawImage(target, m_paintGlyph, source);
}

void TBriskPanel::PaintGlyphAt(int x, int y) {
    if (!m_canvas || m_glyph.isNull())
        return;
    if (m_masked)
        DrawMaskedGlyph(*m_canvas, x, y, m_glyph, ColorToRGB(m_mask, palette()));
    else
        m_canvas->drawImage(x, y, m_paintGlyph);
}

void TBriskPanel::PaintBevel(TBevelCut bevel) {
    if (!m_canvas || bevel == bvNone)
        return;
    const bool raised = bevel == bvRaised;
    const QColor topLeft = QColorOf(raised ? kBevelLight : kBevelDark, palette());
    const QColor bottomRight = QColorOf(raised ? kBevelDark : kBevelLight, palette());
    const int l = 0;
    const int t = 0;
    const int r = width();
    const int b = height();
    if (r <= l || b <= t)
        return;
    if (m_bevelWidth == 1) {
        // Single-pixel polylines, each without the last point of the whole line: first (R-1, T) down
        // to (R-1, B-1) and left to (L+1, B-1); then (L, B-1) up to (L, T) and right to (R-2, T). So
        // the top-right corner keeps the bottom-and-right colour and the bottom-left takes the other.
        const auto line = [this](int x, int y, int w, int h, const QColor& colour) {
            if (w > 0 && h > 0)
                m_canvas->fillRect(QRect(x, y, w, h), colour);
        };
        line(r - 1, t, 1, b - t, bottomRight);
        line(l + 1, b - 1, r - 1 - (l + 1), 1, bottomRight);
        line(l, t, 1, b - t, topLeft);
        line(l, t, r - 1 - l, 1, topLeft);
        return;
    }
    // A wider pen is centred on the same lines, with round ends and joins.
    const QPen saved = m_canvas->pen();
    QPen pen(bottomRight, m_bevelWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    m_canvas->setPen(pen);
    const auto centre = [](int x, int y) { return QPointF(x + 0.5, y + 0.5); };
    const QPointF bottomAndRight[] = {centre(r - 1, t), centre(r - 1, b - 1), centre(l, b - 1)};
    m_canvas->drawPolyline(bottomAndRight, 3);
    pen.setColor(topLeft);
    m_canvas->setPen(pen);
    const QPointF topAndLeft[] = {centre(l, b - 1), centre(l, t), centre(r - 1, t)};
    m_canvas->drawPolyline(topAndLeft, 3);
    m_canvas->setPen(saved);
}
