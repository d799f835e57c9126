// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/TBevelCut.h"
#include "platform/TColor.h"

// The look of a flat glyph button in one situation (pointer over it, pointer elsewhere, pressed).
// Plain stores: changing a field of a button's own style does not repaint the button; the button's
// style setters, which copy a whole style, do.
class TButtonStyle {
public:
    TButtonStyle() = default;
    explicit TButtonStyle(TBevelCut bevel) : m_bevel(bevel) {}

    // Copies Color, Chequered and Bevel from source.
    void Assign(const TButtonStyle& source);

    // Cover the button face with a one-pixel chequer of Color.
    bool Chequered() const { return m_chequered; }
    void SetChequered(bool value) { m_chequered = value; }

    TBevelCut Bevel() const { return m_bevel; }
    void SetBevel(TBevelCut value) { m_bevel = value; }

    // The colour of the chequer; used nowhere else. A new style starts black.
    TColor Color() const { return m_color; }
    void SetColor(TColor value) { m_color = value; }

private:
    bool m_chequered = false;
    TBevelCut m_bevel = bvNone;
    TColor m_color = clBlack;
};
