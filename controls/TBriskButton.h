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

// Latch is the new latch state; a change the handler makes to it has no effect.
using TLatchEvent = std::function<void(QObject* Sender, bool& Latch)>;
// Allow starts true; the handler clears it to refuse the change.
using TAllowEvent = std::function<void(QObject* Sender, bool& Allow)>;

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
    explicit TBriskButton(QWidget* Parent = nullptr);

    // Space between the edges and the caption. Stored when different; repaints in every case.
    int Margin() const { return m_margin; }
    void SetMargin(int Value);

    // Stored and repainted when different. It takes no part in the drawing: the glyph's transparent
    // colour always comes from the glyph itself.
    TColor MaskColor() const { return m_maskColor; }
    void SetMaskColor(TColor Value);

    // The looks of the three situations. The button owns them: the setters copy the given style in and
    // repaint; changing a field of the returned style directly does not repaint.
    TButtonStyle& OverStyle() { return m_overStyle; }
    void SetOverStyle(const TButtonStyle& Value);
    TButtonStyle& NotOverStyle() { return m_notOverStyle; }
    void SetNotOverStyle(const TButtonStyle& Value);
    TButtonStyle& DownStyle() { return m_downStyle; }
    void SetDownStyle(const TButtonStyle& Value);

    // A right press starts dragging at once. Plain store.
    bool CanDrag() const { return m_canDrag; }
    void SetCanDrag(bool Value) { m_canDrag = Value; }

    // Disabled, the glyph is drawn engraved (true) or masked as when enabled (false). Plain store.
    bool DisableGrayed() const { return m_disableGrayed; }
    void SetDisableGrayed(bool Value) { m_disableGrayed = Value; }

    // Whether a left press toggles Latched. Clearing it unlatches the button through SetLatched.
    bool CanLatch() const { return m_canLatch; }
    void SetCanLatch(bool Value);

    // When the value differs: stores it, shows the pressed look while latched, repaints and raises
    // OnLatchChanged. A program can latch a button this way even when CanLatch is false;
    // OnLatchChanging is not asked.
    bool Latched() const { return m_latched; }
    void SetLatched(bool Value);

    // While true the button shows its hover look. Stored and repainted when different.
    bool MouseOver() const { return m_mouseOver; }
    void SetMouseOver(bool Value);

    // Work out the light and dark colours from the parent's colour (true) or use the system's
    // button highlight and shadow (false). Plain store: a colour pair once worked out stays.
    bool UseParentColor() const { return m_useParentColor; }
    void SetUseParentColor(bool Value) { m_useParentColor = Value; }

    // How far the light and dark colours lie from the parent's colour, per channel. Plain store.
    std::uint8_t ShadowStrength() const { return m_shadowStrength; }
    void SetShadowStrength(std::uint8_t Value) { m_shadowStrength = Value; }

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

    // Colour lightened or darkened by ShadowStrength in each of red, green and blue, each channel
    // held within 0..255; a system colour is resolved through the button's palette first. The result
    // has a zero high byte.
    TColor ShadeColor(TColor Colour, bool Lighter) const;
    static TColor ShadeColor(TColor Colour, bool Lighter, std::uint8_t Strength, const QPalette& Palette);

    // Where a glyph of size Glyph goes on a button of Width x Height at rest: centred horizontally,
    // and vertically in the space above one caption line of LineHeight pixels (division truncates
    // toward zero, so a glyph larger than the button gets a negative place).
    static QPoint GlyphOrigin(int Width, int Height, int Margin, int LineHeight, QSize Glyph);
    // The rectangle the caption of TextHeight pixels is laid out in on a button at rest: left Margin,
    // right Width - 2 * Margin, bottom Height - 2 * Margin, TextHeight high.
    static QRect CaptionRect(int Width, int Height, int Margin, int TextHeight);

protected:
    // Raise OnCursorOver, OnCursorLeft and OnLatchChanged when assigned.
    virtual void CursorOver();
    virtual void CursorLeft();
    virtual void LatchChanged(bool Latch);
    // Asks OnLatchChanging, when assigned, whether the latch may change; true otherwise.
    virtual bool LatchChanging();

    // When Value differs from Hovering: raises OnCursorOver or OnCursorLeft (which still see the old
    // value), stores Value and repaints.
    void SetHovering(bool Value);

    // Paints the whole button: face, frame, caption, glyph.
    virtual void Paint(QPainter& Canvas);
    // ANDs every pixel with x + y odd with Colour; the others stay as they are.
    void DrawChequer(QPainter& Canvas, TColor Colour);
    // A 2-pixel frame centred on the outer edge of the button, so its inner half shows.
    void DrawBevel(QPainter& Canvas, TBevelCut Bevel);
    // The caption word-wrapped in CaptionRect (moved by (2, 2) while pressed), embossed when disabled.
    // Flags are Qt's alignment and text flags.
    void DrawCaption(QPainter& Canvas, int Flags);
    void DrawGlyph(QPainter& Canvas);

    void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) override;
    void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) override;
    void MouseMove(Qt::KeyboardModifiers Shift, int X, int Y) override;
    bool DialogChar() override;

    void paintEvent(QPaintEvent* Event) override;
    void leaveEvent(QEvent* Event) override;

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
