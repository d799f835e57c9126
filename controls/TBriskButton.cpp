#include "controls/TBriskButton.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>

#include "controls/GlyphDrawing.h"
#include "controls/SysColors.h"

namespace {

// The caption is centred and broken at words; "&" marks the accelerator, which is underlined.
constexpr int kCaptionFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic;
constexpr int kMaxCaptionLength = 255;
// How far the content of a pressed button moves right and down.
constexpr int kPressedShift = 2;

} // namespace

TBriskButton::TBriskButton(QWidget* Parent) : TSpeedButton(Parent) {
    resize(35, 35);
    // Not opaque: the parent paints its background first and shows wherever the button paints nothing.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAttribute(Qt::WA_NoSystemBackground, false);
    setAutoFillBackground(false);
    // Movement without a pressed mouse button tells the button that the pointer is over it.
    setMouseTracking(true);
}

void TBriskButton::SetMargin(int Value) {
    m_margin = Value;
    update();
}

void TBriskButton::SetMaskColor(TColor Value) {
    if (Value == m_maskColor)
        return;
    m_maskColor = Value;
    update();
}

void TBriskButton::SetOverStyle(const TButtonStyle& Value) {
    m_overStyle.Assign(Value);
    update();
}

void TBriskButton::SetNotOverStyle(const TButtonStyle& Value) {
    m_notOverStyle.Assign(Value);
    update();
}

void TBriskButton::SetDownStyle(const TButtonStyle& Value) {
    m_downStyle.Assign(Value);
    update();
}

void TBriskButton::SetCanLatch(bool Value) {
    if (Value == m_canLatch)
        return;
    m_canLatch = Value;
    if (!Value)
        SetLatched(false);
}

void TBriskButton::SetLatched(bool Value) {
    if (Value == m_latched)
        return;
    m_latched = Value;
    m_pressedLook = Value;
    update();
    LatchChanged(Value);
}

void TBriskButton::SetMouseOver(bool Value) {
    if (Value == m_mouseOver)
        return;
    m_mouseOver = Value;
    update();
}

TColor TBriskButton::ShadeColor(TColor Colour, bool Lighter) const {
    return ShadeColor(Colour, Lighter, m_shadowStrength, palette());
}

TColor TBriskButton::ShadeColor(TColor Colour, bool Lighter, std::uint8_t Strength, const QPalette& Palette) {
    const TColor rgb = ColorToRGB(Colour, Palette);
    const auto shade = [&](std::uint8_t channel) {
        const int value = Lighter ? std::min(channel + Strength, 255) : std::max(channel - Strength, 0);
        return static_cast<std::uint8_t>(value);
    };
    return RGBColor(shade(RedOf(rgb)), shade(GreenOf(rgb)), shade(BlueOf(rgb)));
}

QPoint TBriskButton::GlyphOrigin(int Width, int Height, int Margin, int LineHeight, QSize Glyph) {
    return {(Width - Glyph.width()) / 2, Margin + (Height - 2 * Margin - LineHeight - Glyph.height()) / 2};
}

QRect TBriskButton::CaptionRect(int Width, int Height, int Margin, int TextHeight) {
    // NOTE: the right edge is Width - 2 * Margin, not Width - Margin: the caption is laid out in a
    // rectangle one Margin narrower than it was measured in.
    const int bottom = Height - 2 * Margin;
    return {QPoint(Margin, bottom - TextHeight), QPoint(Width - 2 * Margin - 1, bottom - 1)};
}

void TBriskButton::CursorOver() {
    if (OnCursorOver)
        OnCursorOver(this);
}

void TBriskButton::CursorLeft() {
    if (OnCursorLeft)
        OnCursorLeft(this);
}

void TBriskButton::LatchChanged(bool Latch) {
    if (OnLatchChanged)
        OnLatchChanged(this, Latch);
}

bool TBriskButton::LatchChanging() {
    bool allow = true;
    if (OnLatchChanging)
        OnLatchChanging(this, allow);
    return allow;
}

void TBriskButton::SetHovering(bool Value) {
    if (Value == m_hovering)
        return;
    if (Value)
        CursorOver();
    else
        CursorLeft();
    m_hovering = Value;
    update();
}

void TBriskButton::workOutColors() {
    if (!m_colorsPending)
        return;
    if (m_useParentColor && parentWidget()) {
        const TColor parent = parentColor();
        m_highlightColor = ShadeColor(parent, true);
        m_shadowColor = ShadeColor(parent, false);
        m_colorsPending = false;
    } else {
        m_highlightColor = clBtnHighlight;
        m_shadowColor = clBtnShadow;
    }
}

TColor TBriskButton::parentColor() const {
    const QWidget* parent = parentWidget();
    return TColorOf(parent->palette().color(parent->backgroundRole()));
}

void TBriskButton::Paint(QPainter& Canvas) {
    workOutColors();
    TButtonStyle style;
    if (m_pressedLook)
        style.Assign(m_downStyle);
    else if (m_hovering || m_mouseOver)
        style.Assign(m_overStyle);
    else
        style.Assign(m_notOverStyle);
    if (style.Chequered() && isEnabled())
        DrawChequer(Canvas, style.Color());
    if (isEnabled())
        DrawBevel(Canvas, style.Bevel());
    Canvas.setFont(font());
    DrawCaption(Canvas, kCaptionFlags);
    DrawGlyph(Canvas);
}

void TBriskButton::DrawChequer(QPainter& Canvas, TColor Colour) {
    if (width() <= 0 || height() <= 0)
        return;
    QImage chequer(width(), height(), QImage::Format_RGB32);
    chequer.fill(Qt::white);
    const QRgb colour = QColorOf(Colour, palette()).rgb();
    for (int y = 0; y < chequer.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(chequer.scanLine(y));
        for (int x = 1 - y % 2; x < chequer.width(); x += 2)
            row[x] = colour;
    }
    const QPainter::CompositionMode mode = Canvas.compositionMode();
    Canvas.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    Canvas.drawImage(0, 0, chequer);
    Canvas.setCompositionMode(mode);
}

void TBriskButton::DrawBevel(QPainter& Canvas, TBevelCut Bevel) {
    if (Bevel == bvNone)
        return;
    const bool raised = Bevel == bvRaised;
    const QColor topLeft = QColorOf(raised ? m_highlightColor : m_shadowColor, palette());
    const QColor bottomRight = QColorOf(raised ? m_shadowColor : m_highlightColor, palette());
    // Lines 2 pixels wide centred on the outer edge (L, T, R, B with R and B exclusive): the half
    // outside the button is clipped away. Bottom and right first, then top and left over them, so
    // the top-right and bottom-left corner pixels take the top-and-left colour.
    const int l = 0;
    const int t = 0;
    const int r = width();
    const int b = height();
    Canvas.fillRect(QRect(r - 1, t - 1, 2, b - t + 2), bottomRight);
    Canvas.fillRect(QRect(l - 1, b - 1, r - l + 2, 2), bottomRight);
    Canvas.fillRect(QRect(l - 1, t - 1, 2, b - t + 2), topLeft);
    Canvas.fillRect(QRect(l - 1, t - 1, r - l + 2, 2), topLeft);
}

void TBriskButton::DrawCaption(QPainter& Canvas, int Flags) {
    const QString text = Caption().left(kMaxCaptionLength);
    Canvas.setFont(font());
    Canvas.setBrush(Qt::NoBrush);
    const QRect measured =
        Canvas.fontMetrics().boundingRect(QRect(0, 0, width() - 2 * m_margin, 0), kCaptionFlags, text);
    QRect rect = CaptionRect(width(), height(), m_margin, measured.height());
    if (m_pressedLook)
        rect.translate(kPressedShift, kPressedShift);
    if (isEnabled()) {
        Canvas.setPen(QColorOf(FontColor(), palette()));
        Canvas.drawText(rect, Flags, text);
        return;
    }
    Canvas.setPen(QColorOf(m_useParentColor ? m_highlightColor : clBtnHighlight, palette()));
    Canvas.drawText(rect.translated(1, 1), Flags, text);
    Canvas.setPen(QColorOf(m_useParentColor ? m_shadowColor : clBtnShadow, palette()));
    Canvas.drawText(rect, Flags, text);
}

void TBriskButton::DrawGlyph(QPainter& Canvas) {
    if (Glyph().isNull())
        return;
    const QPoint origin =
        GlyphOrigin(width(), height(), m_margin, Canvas.fontMetrics().height(), Glyph().size());
    if (isEnabled()) {
        const int shift = m_pressedLook ? kPressedShift : 0;
        DrawMaskedGlyph(Canvas, origin.x() + shift, origin.y() + shift, Glyph());
    } else if (m_disableGrayed) {
        const QPalette& colours = palette();
        TColor face = clBtnFace;
        TColor highlight = clBtnHighlight;
        TColor shadow = clBtnShadow;
        if (m_useParentColor) {
            face = parentWidget() ? parentColor() : clBtnFace;
            highlight = m_highlightColor;
            shadow = m_shadowColor;
        }
        DrawGrayedGlyph(Canvas, origin.x(), origin.y(), Glyph(), ColorToRGB(face, colours),
                        ColorToRGB(highlight, colours), ColorToRGB(shadow, colours));
    } else {
        DrawMaskedGlyph(Canvas, origin.x(), origin.y(), Glyph());
    }
}

void TBriskButton::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
    m_latchRefused = false;
    if (Button == Qt::LeftButton) {
        if (m_canLatch && LatchChanging()) {
            m_pressedLook = !m_latched;
            SetLatched(!m_latched);
        } else {
            // A refused latch change shows the pressed look only while the button is held.
            m_latchRefused = m_canLatch;
            if (!m_pressedLook) {
                m_pressedLook = true;
                update();
            }
        }
    } else if (Button == Qt::RightButton && m_canDrag) {
        BeginDrag();
        SetHovering(false);
    }
    // A press that leaves the button up (an unlatching one, or a right press) is not the base's
    // business: no OnMouseDown, and its release fires no click.
    if (m_pressedLook)
        TSpeedButton::MouseDown(Button, Shift, X, Y);
}

void TBriskButton::endPressedLook() {
    if (!m_canLatch)
        m_pressedLook = false;
    else if (m_latchRefused)
        m_pressedLook = m_latched;
    m_latchRefused = false;
    SetHovering(false);
    update();
}

void TBriskButton::MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
    if (Button == Qt::LeftButton)
        endPressedLook();
    TSpeedButton::MouseUp(Button, Shift, X, Y);
}

void TBriskButton::pointerLeft() {
    // Leaving a pressed button that is not latched cancels the click: the look comes up and the
    // release that follows fires nothing.
    if (!m_latched && m_pressedLook) {
        endPressedLook();
        CancelClick();
    }
    SetHovering(false);
}

void TBriskButton::MouseMove(Qt::KeyboardModifiers Shift, int X, int Y) {
    // NOTE: column 0 and row 0 count as outside.
    const bool inside = X > 0 && X < width() && Y > 0 && Y < height();
    if (inside)
        SetHovering(true);
    else
        pointerLeft();
    TSpeedButton::MouseMove(Shift, X, Y);
}

bool TBriskButton::DialogChar() {
    const QWidget* parent = parentWidget();
    if (isHidden() || !parent || parent->isHidden())
        return false;
    return TSpeedButton::DialogChar();
}

void TBriskButton::paintEvent(QPaintEvent* /*Event*/) {
    QPainter canvas(this);
    Paint(canvas);
}

void TBriskButton::leaveEvent(QEvent* Event) {
    // The pointer left without a movement on the button's edge (Qt tracks movement only over the
    // button, or while a mouse button is held): the same as a movement outside.
    pointerLeft();
    TSpeedButton::leaveEvent(Event);
}
