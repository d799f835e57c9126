// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>

#include "controls/TBevelCut.h"
#include "controls/TButtonStyle.h"
#include "controls/TSpeedButton.h"
#include "platform/TColor.h"

class QPainter;
class QPalette;

// latch is the new latch state; a change the handler makes to it has no effect.
using TLatchEvent = std::function<void(QObject* sender, bool& latch)>;
// allow starts true; the handler clears it to refuse the change.
using TAllowEvent = std::function<void(QObject* sender, bool& allow)>;

// A flat tool-bar button: its Glyph centred above its word-wrapped caption on the parent's background,
// with a frame that depends on whether the pointer is over it (OverStyle), elsewhere (NotOverStyle) or
// the button is pressed or latched (DownStyle). A latching button stays down after a click and comes up
// at the next one, asking OnLatchChanging before each change. A right press starts dragging when
// CanDrag is set. Disabled, it shows its glyph engraved and its caption embossed.
//
// The button is not opaque: wherever it paints nothing, the parent's background shows. The frame and
// the disabled look use a light and a dark colour worked out once, at the first paint with a parent,
// from the parent's background colour (its palette colour of its background role).
class TBriskButton : public TSpeedButton {
    Q_OBJECT

public:
    explicit TBriskButton(QWidget* parent = nullptr);

    // Space between the edges and the caption. Stored when different; repaints in every case.
    int Margin() const { return m_margin; }
    void SetMargin(int value);

    // Stored and repainted when different. It takes no part in the drawing: the glyph's transparent
    // colour always comes from the glyph itself.
    TColor MaskColor() const { return m_maskColor; }
    void SetMaskColor(TColor value);

    // The looks of the three situations. The button owns them: the setters copy the given style in and
    // repaint; changing a field of the returned style directly does not repaint.
    TButtonStyle& OverStyle() { return m_overStyle; }
    void SetOverStyle(const TButtonStyle& value);
    TButtonStyle& NotOverStyle() { return m_notOverStyle; }
    void SetNotOverStyle(const TButtonStyle& value);
    TButtonStyle& DownStyle() { return m_downStyle; }
    void SetDownStyle(const TButtonStyle& value);

    // A right press starts dragging at once. Plain store.
    bool CanDrag() const { return m_canDrag; }
    void SetCanDrag(bool value) { m_canDrag = value; }

    // Disabled, the glyph is drawn engraved (true) or masked as when enabled (false). Plain store.
    bool DisableGrayed() const { return m_disableGrayed; }
    void SetDisableGrayed(bool value) { m_disableGrayed = value; }

    // Whether a left press toggles Latched. Clearing it unlatches the button through SetLatched.
    bool CanLatch() const { return m_canLatch; }
    void SetCanLatch(bool value);

    // When the value differs: stores it, shows the pressed look while latched, repaints and raises
    // OnLatchChanged. A program can latch a button this way even when CanLatch is false;
    // OnLatchChanging is not asked.
    bool Latched() const { return m_latched; }
    void SetLatched(bool value);

    // While true the button shows its hover look. Stored and repainted when different.
    bool MouseOver() const { return m_mouseOver; }
    void SetMouseOver(bool value);

    // Work out the light and dark colours from the parent's colour (true) or use the system's
    // button highlight and shadow (false). Plain store: a colour pair once worked out stays.
    bool UseParentColor() const { return m_useParentColor; }
    void SetUseParentColor(bool value) { m_useParentColor = value; }

    // How far the light and dark colours lie from the parent's colour, per channel. Plain store.
    std::uint8_t ShadowStrength() const { return m_shadowStrength; }
    void SetShadowStrength(std::uint8_t value) { m_shadowStrength = value; }

    TNotifyEvent OnCursorOver;
    TNotifyEvent OnCursorLeft;
    TLatchEvent OnLatchChanged;
    TAllowEvent OnLatchChanging;

    // The pointer is over the button.
    bool Hovering() const { return m_hovering; }
    // The button shows its pressed look: DownStyle, content moved by (2, 2).
    bool PressedLook() const { return m_pressedLook; }
    // The light and dark colours of frames, disabled captions and disabled glyphs; system colours
    // (clBtnHighlight, clBtnShadow) while ColorsPending.
    TColor HighlightColor() const { return m_highlightColor; }
    TColor ShadowColor() const { return m_shadowColor; }
    // The colour pair still has to be worked out from the parent's colour.
    bool ColorsPending() const { return m_colorsPending; }

    // colour lightened or darkened by ShadowStrength in each of red, green and blue, each channel
    // held within 0..255; a system colour is resolved through the button's palette first. The result
    // has a zero high byte.
    TColor ShadeColor(TColor colour, bool lighter) const;
    static TColor ShadeColor(TColor colour, bool lighter, std::uint8_t strength, const QPalette& palette);

    // Where a glyph of size glyph goes on a button of buttonWidth x buttonHeight at rest: centred
    // horizontally, and vertically in the space above one caption line of lineHeight pixels (division
    // truncates toward zero, so a glyph larger than the button gets a negative place).
    static QPoint GlyphOrigin(int buttonWidth, int buttonHeight, int margin, int lineHeight, QSize glyph);
    // The rectangle the caption of textHeight pixels is laid out in on a button at rest: left margin,
    // right buttonWidth - 2 * margin, bottom buttonHeight - 2 * margin, textHeight high.
    static QRect CaptionRect(int buttonWidth, int buttonHeight, int margin, int textHeight);

protected:
    // Raise OnCursorOver, OnCursorLeft and OnLatchChanged when assigned.
    virtual void CursorOver();
    virtual void CursorLeft();
    virtual void LatchChanged(bool latch);
    // Asks OnLatchChanging, when assigned, whether the latch may change; true otherwise.
    virtual bool LatchChanging();

    // When value differs from Hovering: raises OnCursorOver or OnCursorLeft (which still see the old
    // value), stores value and repaints.
    void SetHovering(bool value);

    // Paints the whole button: face, frame, caption, glyph.
    virtual void Paint(QPainter& canvas);
    // ANDs every pixel with x + y odd with colour; the others stay as they are.
    void DrawChequer(QPainter& canvas, TColor colour);
    // A 2-pixel frame centred on the outer edge of the button, so its inner half shows.
    void DrawBevel(QPainter& canvas, TBevelCut bevel);
    // The caption word-wrapped in CaptionRect (moved by (2, 2) while pressed), embossed when disabled.
    // flags are Qt's alignment and text flags.
    void DrawCaption(QPainter& canvas, int flags);
    void DrawGlyph(QPainter& canvas);

    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y) override;
    bool DialogChar() override;

    void paintEvent(QPaintEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void workOutColors();
    TColor parentColor() const;
    void endPressedLook();
    void pointerLeft();

    int m_margin = 1;
    TColor m_maskColor = clBlack;
    TButtonStyle m_overStyle{bvRaised};
    TButtonStyle m_notOverStyle{bvNone};
    TButtonStyle m_downStyle{bvLowered};
    bool m_canDrag = false;
    bool m_disableGrayed = true;
    bool m_canLatch = false;
    bool m_latched = false;
    bool m_mouseOver = false;
    bool m_useParentColor = true;
    std::uint8_t m_shadowStrength = 40;

    bool m_hovering = false;
    bool m_pressedLook = false;
    // The press under way asked to change the latch and was refused: its release restores the look
    // of the latch state.
    bool m_latchRefused = false;
    TColor m_highlightColor = clBtnHighlight;
    TColor m_shadowColor = clBtnShadow;
    bool m_colorsPending = true;
};
