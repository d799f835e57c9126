// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPalette>

#include "platform/TColor.h"

// The system colours (button face, shadow, highlight, ...) come from the widget's palette, so the
// controls follow the desktop's colour scheme.

// The colour that Windows reports for the system colour index (COLOR_BTNFACE = 15, ...), taken from
// the active group of the palette, as a plain colour with a zero high byte. An index that names no
// system colour gives black, as GetSysColor does.
TColor GetSysColor(int index, const QPalette& palette);

// A system colour resolved through GetSysColor; any other colour with its high byte (the
// palette-relative flag) dropped, so that only red, green and blue remain.
TColor ColorToRGB(TColor color, const QPalette& palette);

// The colour as Qt paints it, system colours resolved through the palette; always opaque.
QColor QColorOf(TColor color, const QPalette& palette);

// The red, green and blue parts of a Qt colour as a plain colour.
TColor TColorOf(const QColor& color);
