// SPDX-License-Identifier: GPL-3.0-or-later
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

TBriskButton::TBriskButton(QWidget* parent) : TSpeedButton(parent) {
    resize(35, 35);
    // Not opaque: the parent paints its background first and shows wherever the button paints nothing.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAttribute(Qt::WA_NoSystemBackground, false);
    setAutoFillBackground(false);
    // Movement without a pressed mouse button tells the button that the pointer is over it.
    setMouseTracking(true);
}

void TBriskButton::SetMargin(int value) {
    m_margin = value;
    update();
}

void TBriskButton::SetMaskColor(TColor value) {
    if (value == m_maskColor)
        return;
    m_maskColor = value;
    update();
}

void TBriskButton::SetOverStyle(const TButtonStyle& value) {
    m_overStyle.Assign(value);
    update();
}

void TBriskButton::SetNotOverStyle(const TButtonStyle& value) {
    m_notOverStyle.Assign(value);
    update();
}

void TBriskButton::SetDownStyle(const TButtonStyle& value) {
    m_downStyle.Assign(value);
    update();
}

void TBriskButton::SetCanLatch(bool value) {
    if (value == m_canLatch)
        return;
    m_canLatch = value;
    if (!value)
        SetLatched(false);
}

void TBriskButton::SetLatched(bool value) {
    if (value == m_latched)
        return;
    m_latched = value;
    m_pressedLook = value;
    update();
    LatchChanged(value);
}

void TBriskButton::SetMouseOver(bool value) {
    if (value == m_mouseOver)
        return;
    m_mouseOver = value;
    update();
}

TColor TBriskButton::ShadeColor(TColor colour, bool lighter) const {
    return ShadeColor(colour, lighter, m_shadowStrength, palette());
}

TColor TBriskButton::ShadeColor(TColor colour, bool lighter, std::uint8_t strength, const QPalette& palette) {
    const TColor rgb = ColorToRGB(colour, palette);
    const auto shade = [&](std::uint8_t channel) {
        const int value = lighter ? std::min(channel + strength, 255) : std::max(channel - strength, 0);
        return static_cast<std::uint8_t>(value);
    };
    return RGBColor(shade(RedOf(rgb)), shade(GreenOf(rgb)), shade(BlueOf(rgb)));
}

QPoint TBriskButton::GlyphOrigin(int buttonWidth, int buttonHeight, int margin, int lineHeight, QSize glyph) {
    return {(buttonWidth - glyph.width()) / 2,
            margin + (buttonHeight - 2 * margin - lineHeight - glyph.height()) / 2};
}

QRect TBriskButton::CaptionRect(int buttonWidth, int buttonHeight, int margin, int textHeight) {
    // NOTE: the right edge is buttonWidth - 2 * margin, not buttonWidth - margin: the caption is laid
    // out in a rectangle one margin narrower than it was measured in.
    const int bottom = buttonHeight - 2 * margin;
    return {QPoint(margin, bottom - textHeight), QPoint(buttonWidth - 2 * margin - 1, bottom - 1)};
}

void TBriskButton::CursorOver() {
    if (OnCursorOver)
        OnCursorOver(this);
}

void TBriskButton::CursorLeft() {
    if (OnCursorLeft)
        OnCursorLeft(this);
}

void TBriskButton::LatchChanged(bool latch) {
    if (OnLatchChanged)
        OnLatchChanged(this, latch);
}

bool TBriskButton::LatchChanging() {
    bool allow = true;
    if (OnLatchChanging)
        OnLatchChanging(this, allow);
    return allow;
}

void TBriskButton::SetHovering(bool value) {
    if (value == m_hovering)
        return;
    if (value)
        CursorOver();
    else
        CursorLeft();
    m_hovering = value;
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

void TBriskButton::Paint(QPainter& canvas) {
    workOutColors();
    TButtonStyle style;
    if (m_pressedLook)
        style.Assign(m_downStyle);
    else if (m_hovering || m_mouseOver)
        style.Assign(m_overStyle);
    else
        style.Assign(m_notOverStyle);
    if (style.Chequered() && isEnabled())
        DrawChequer(canvas, style.Color());
    if (isEnabled())
        DrawBevel(canvas, style.Bevel());
    canvas.setFont(font());
    DrawCaption(canvas, kCaptionFlags);
    DrawGlyph(canvas);
}

void TBriskButton::DrawChequer(QPainter& canvas, TColor colour) {
    if (width() <= 0 || height() <= 0)
        return;
    QImage chequer(width(), height(), QImage::Format_RGB32);
    chequer.fill(Qt::white);
    const QRgb andColour = QColorOf(colour, palette()).rgb();
    for (int y = 0; y < chequer.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(chequer.scanLine(y));
        for (int x = 1 - y % 2; x < chequer.width(); x += 2)
            row[x] = andColour;
    }
    const QPainter::CompositionMode mode = canvas.compositionMode();
    canvas.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    canvas.drawImage(0, 0, chequer);
    canvas.setCompositionMode(mode);
}

void TBriskButton::DrawBevel(QPainter& canvas, TBevelCut bevel) {
    if (bevel == bvNone)
        return;
    const bool raised = bevel == bvRaised;
    const QColor topLeft = QColorOf(raised ? m_highlightColor : m_shadowColor, palette());
    const QColor bottomRight = QColorOf(raised ? m_shadowColor : m_highlightColor, palette());
    // Lines 2 pixels wide centred on the outer edge (L, T, R, B with R and B exclusive): the half
    // outside the button is clipped away. Bottom and right first, then top and left over them, so
    // the top-right and bottom-left corner pixels take the top-and-left colour.
    const int l = 0;
    const int t = 0;
    const int r = width();
    const int b = height();
    canvas.fillRect(QRect(r - 1, t - 1, 2, b - t + 2), bottomRight);
    canvas.fillRect(QRect(l - 1, b - 1, r - l + 2, 2), bottomRight);
    canvas.fillRect(QRect(l - 1, t - 1, 2, b - t + 2), topLeft);
    canvas.fillRect(QRect(l - 1, t - 1, r - l + 2, 2), topLeft);
}

void TBriskButton::DrawCaption(QPainter& canvas, int flags) {
    const QString text = Caption().left(kMaxCaptionLength);
    canvas.setFont(font());
    canvas.setBrush(Qt::NoBrush);
    const QRect measured =
        canvas.fontMetrics().boundingRect(QRect(0, 0, width() - 2 * m_margin, 0), kCaptionFlags, text);
    QRect rect = CaptionRect(width(), height(), m_margin, measured.height());
    if (m_pressedLook)
        rect.translate(kPressedShift, kPressedShift);
    if (isEnabled()) {
        canvas.setPen(QColorOf(FontColor(), palette()));
        canvas.drawText(rect, flags, text);
        return;
    }
    canvas.setPen(QColorOf(m_useParentColor ? m_highlightColor : clBtnHighlight, palette()));
    canvas.drawText(rect.translated(1, 1), flags, text);
    canvas.setPen(QColorOf(m_useParentColor ? m_shadowColor : clBtnShadow, palette()));
    canvas.drawText(rect, flags, text);
}

void TBriskButton::DrawGlyph(QPainter& canvas) {
    if (Glyph().isNull())
        return;
    const QPoint origin =
        GlyphOrigin(width(), height(), m_margin, canvas.fontMetrics().height(), Glyph().size());
    if (isEnabled()) {
        const int shift = m_pressedLook ? kPressedShift : 0;
        DrawMaskedGlyph(canvas, origin.x() + shift, origin.y() + shift, Glyph());
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
        DrawGrayedGlyph(canvas, origin.x(), origin.y(), Glyph(), ColorToRGB(face, colours),
                        ColorToRGB(highlight, colours), ColorToRGB(shadow, colours));
    } else {
        DrawMaskedGlyph(canvas, origin.x(), origin.y(), Glyph());
    }
}

void TBriskButton::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    m_latchRefused = false;
    if (button == Qt::LeftButton) {
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
    } else if (button == Qt::RightButton && m_canDrag) {
        BeginDrag();
        SetHovering(false);
    }
    // A press that leaves the button up (an unlatching one, or a right press) is not the base's
    // business: no OnMouseDown, and its release fires no click.
    if (m_pressedLook)
        TSpeedButton::MouseDown(button, shift, x, y);
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

void TBriskButton::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    if (button == Qt::LeftButton)
        endPressedLook();
    TSpeedButton::MouseUp(button, shift, x, y);
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

void TBriskButton::MouseMove(Qt::KeyboardModifiers shift, int x, int y) {
    // NOTE: column 0 and row 0 count as outside.
    const bool inside = x > 0 && x < width() && y > 0 && y < height();
    if (inside)
        SetHovering(true);
    else
        pointerLeft();
    TSpeedButton::MouseMove(shift, x, y);
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

void TBriskButton::leaveEvent(QEvent* event) {
    // The pointer left without a movement on the button's edge (Qt tracks movement only over the
    // button, or while a mouse button is held): the same as a movement outside.
    pointerLeft();
    TSpeedButton::leaveEvent(event);
}
