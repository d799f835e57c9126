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

TBriskPanel::TBriskPanel(QWidget* Parent) : QWidget(Parent) {
    // The parent paints first wherever the panel paints nothing (only with OnPaint assigned).
    setAutoFillBackground(false);
    applyColorToPalette();
}

void TBriskPanel::applyColorToPalette() {
    QPalette colours = palette();
    colours.setColor(backgroundRole(), QColorOf(m_color, colours));
    setPalette(colours);
}

void TBriskPanel::SetColor(TColor Value) {
    if (Value == m_color)
        return;
    m_color = Value;
    applyColorToPalette();
    update();
}

void TBriskPanel::SetBevelOuter(TBevelCut Value) {
    if (Value == m_bevelOuter)
        return;
    m_bevelOuter = Value;
    update();
}

void TBriskPanel::SetBevelWidth(int Value) {
    if (Value < 1 || Value == m_bevelWidth)
        return;
    m_bevelWidth = Value;
    update();
}

void TBriskPanel::SetSeed(std::uint16_t Value) {
    if (Value == m_seed)
        return;
    m_seed = Value;
    update();
}

void TBriskPanel::SetRandomMax(int Value) {
    if (Value <= 0 || Value <= m_randomMin)
        return;
    m_randomMax = Value;
    update();
}

void TBriskPanel::SetRandomMin(int Value) {
    if (Value <= 0 || (m_designing && Value >= m_randomMax))
        return;
    m_randomMin = Value;
    update();
}

void TBriskPanel::SetShowBitmap(TShowBitmap Value) {
    if (Value == m_showBitmap)
        return;
    m_showBitmap = Value;
    update();
}

void TBriskPanel::SetGlyph(const QImage& Value) {
    m_glyph = Value;
    // Converted once, so that tiling does not convert an indexed picture for every tile.
    m_paintGlyph = Value.isNull() ? QImage() : Value.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (m_designing) {
        // Written directly, past the setters' checks.
        m_randomMax = 2 * Value.width();
        m_randomMin = Value.width();
    }
    m_mask = GlyphTransparentColor(Value);
    update();
}

std::vector<QPoint> TBriskPanel::TilePlaces(QSize Client, QSize Glyph) {
    std::vector<QPoint> places;
    if (Glyph.width() <= 0 || Glyph.height() <= 0 || Client.width() < 0 || Client.height() < 0)
        return places;
    const int columns = Client.width() / Glyph.width();
    const int rows = Client.height() / Glyph.height();
    places.reserve(static_cast<std::size_t>(columns + 1) * static_cast<std::size_t>(rows + 1));
    // NOTE: both bounds are included, so a client size that is an exact multiple of the picture's
    // still gets one more column and row, wholly outside.
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c <= columns; ++c)
            places.emplace_back(c * Glyph.width(), r * Glyph.height());
    return places;
}

double TBriskPanel::RoundHalfEven(double Value) {
    const double below = std::floor(Value);
    const double fraction = Value - below;
    if (fraction > 0.5)
        return below + 1;
    if (fraction < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

std::vector<TBriskPanel::TStrip> TBriskPanel::RandomStrips(TRandomGenerator& Random, int RandomMin,
                                                           int RandomMax, int ClientWidth, int Height,
                                                           QSize Glyph) {
    std::vector<TStrip> strips;
    if (Glyph.width() <= 0 || Glyph.height() <= 0)
        return strips;
    const std::int64_t range = static_cast<std::int64_t>(RandomMax) - RandomMin;
    // A range that is not positive (RandomMin not below RandomMax) draws Random(0), which is 0.
    const auto widthRange = static_cast<std::uint32_t>(std::max<std::int64_t>(range, 0));
    constexpr auto maxRange = static_cast<std::int64_t>(std::numeric_limits<std::uint32_t>::max());
    std::int64_t x = 0;
    while (x < ClientWidth) {
        const std::int64_t w = std::max<std::int64_t>(RandomMin + std::int64_t{Random.Random(widthRange)}, 1);
        const auto h = static_cast<std::int64_t>(
            RoundHalfEven(Glyph.height() * (static_cast<double>(w) / Glyph.width())));
        // Held within the generator's 32-bit range, which only a strip billions of pixels high leaves.
        const std::int64_t verticalRange = std::clamp<std::int64_t>(std::int64_t{Height} + h, 0, maxRange);
        const std::int64_t y = std::int64_t{Random.Random(static_cast<std::uint32_t>(verticalRange))} - h / 2;
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

void TBriskPanel::drawStretched(const TStrip& Strip) {
    if (Strip.Width <= 0 || Strip.Height <= 0)
        return;
    // Only the part inside the panel is drawn, so that a strip far larger than any coordinate stays
    // within the painter's range; the picture's part that lands there is worked out from the strip.
    const std::int64_t left = std::max<std::int64_t>(Strip.Left, 0);
    const std::int64_t top = std::max<std::int64_t>(Strip.Top, 0);
    const std::int64_t right = std::min<std::int64_t>(Strip.Left + Strip.Width, width());
    const std::int64_t bottom = std::min<std::int64_t>(Strip.Top + Strip.Height, height());
    if (right <= left || bottom <= top)
        return;
    const double scaleX = static_cast<double>(m_glyph.width()) / static_cast<double>(Strip.Width);
    const double scaleY = static_cast<double>(m_glyph.height()) / static_cast<double>(Strip.Height);
    const QRectF source(
        static_cast<double>(left - Strip.Left) * scaleX, static_cast<double>(top - Strip.Top) * scaleY,
        static_cast<double>(right - left) * scaleX, static_cast<double>(bottom - top) * scaleY);
    const QRectF target(static_cast<double>(left), static_cast<double>(top),
                        static_cast<double>(right - left), static_cast<double>(bottom - top));
    m_canvas->drawImage(target, m_paintGlyph, source);
}

void TBriskPanel::PaintGlyphAt(int X, int Y) {
    if (!m_canvas || m_glyph.isNull())
        return;
    if (m_masked)
        DrawMaskedGlyph(*m_canvas, X, Y, m_glyph, ColorToRGB(m_mask, palette()));
    else
        m_canvas->drawImage(X, Y, m_paintGlyph);
}

void TBriskPanel::PaintBevel(TBevelCut Bevel) {
    if (!m_canvas || Bevel == bvNone)
        return;
    const bool raised = Bevel == bvRaised;
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
