// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// A colour as a 32-bit value: red in bits 0-7, green in 8-15, blue in 16-23
// (12426112 = 0xBD9B80 has red 0x80 and blue 0xBD). A value with the top bit set names a system
// colour by the index in its low byte; a high byte of 0x02 marks a palette-relative colour whose red,
// green and blue parts are used as they are.
using TColor = std::uint32_t;

constexpr TColor clSystemColor = 0x80000000u;
// The high byte that marks a palette-relative colour.
constexpr TColor clPaletteRelative = 0x02000000u;

// System colours (index = the Windows COLOR_* number).
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clBtnHighlight = clSystemColor | 20;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clWhite = 0xFFFFFF;
// The program's own greyish blue: tool bar and preview background.
constexpr TColor clSkarnBlue = 12426112;

constexpr bool IsSystemColor(TColor c) {
    return (c & clSystemColor) != 0;
}
constexpr std::uint8_t RedOf(TColor c) {
    return static_cast<std::uint8_t>(c);
}
constexpr std::uint8_t GreenOf(TColor c) {
    return static_cast<std::uint8_t>(c >> 8);
}
constexpr std::uint8_t BlueOf(TColor c) {
    return static_cast<std::uint8_t>(c >> 16);
}
constexpr TColor RGBColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<TColor>(r) | static_cast<TColor>(g) << 8 | static_cast<TColor>(b) << 16;
}
