// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/SysColors.h"

#include <array>

namespace {

struct TSysColorSource {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Indexed by the Windows COLOR_* number. Index 25 is unused by Windows and has no entry that matters.
constexpr std::array<TSysColorSource, 31> kSysColorSources = {{
    {QPalette::Active, QPalette::Button},          // 0 COLOR_SCROLLBAR
    {QPalette::Active, QPalette::Dark},            // 1 COLOR_BACKGROUND (desktop)
    {QPalette::Active, QPalette::Highlight},       // 2 COLOR_ACTIVECAPTION
    {QPalette::Inactive, QPalette::Highlight},     // 3 COLOR_INACTIVECAPTION
    {QPalette::Active, QPalette::Window},          // 4 COLOR_MENU
    {QPalette::Active, QPalette::Base},            // 5 COLOR_WINDOW
    {QPalette::Active, QPalette::Shadow},          // 6 COLOR_WINDOWFRAME
    {QPalette::Active, QPalette::WindowText},      // 7 COLOR_MENUTEXT
    {QPalette::Active, QPalette::WindowText},      // 8 COLOR_WINDOWTEXT
    {QPalette::Active, QPalette::HighlightedText}, // 9 COLOR_CAPTIONTEXT
    {QPalette::Active, QPalette::Button},          // 10 COLOR_ACTIVEBORDER
    {QPalette::Inactive, QPalette::Button},        // 11 COLOR_INACTIVEBORDER
    {QPalette::Active, QPalette::Mid},             // 12 COLOR_APPWORKSPACE
    {QPalette::Active, QPalette::Highlight},       // 13 COLOR_HIGHLIGHT
    {QPalette::Active, QPalette::HighlightedText}, // 14 COLOR_HIGHLIGHTTEXT
    {QPalette::Active, QPalette::Button},          // 15 COLOR_BTNFACE
    {QPalette::Active, QPalette::Dark},            // 16 COLOR_BTNSHADOW
    {QPalette::Disabled, QPalette::WindowText},    // 17 COLOR_GRAYTEXT
    {QPalette::Active, QPalette::ButtonText},      // 18 COLOR_BTNTEXT
    {QPalette::Inactive, QPalette::WindowText},    // 19 COLOR_INACTIVECAPTIONTEXT
    {QPalette::Active, QPalette::Light},           // 20 COLOR_BTNHIGHLIGHT
    {QPalette::Active, QPalette::Shadow},          // 21 COLOR_3DDKSHADOW
    {QPalette::Active, QPalette::Midlight},        // 22 COLOR_3DLIGHT
    {QPalette::Active, QPalette::ToolTipText},     // 23 COLOR_INFOTEXT
    {QPalette::Active, QPalette::ToolTipBase},     // 24 COLOR_INFOBK
    {QPalette::Active, QPalette::Window},          // 25 (unused)
    {QPalette::Active, QPalette::Link},            // 26 COLOR_HOTLIGHT
    {QPalette::Active, QPalette::Highlight},       // 27 COLOR_GRADIENTACTIVECAPTION
    {QPalette::Inactive, QPalette::Highlight},     // 28 COLOR_GRADIENTINACTIVECAPTION
    {QPalette::Active, QPalette::Highlight},       // 29 COLOR_MENUHILIGHT
    {QPalette::Active, QPalette::Window},          // 30 COLOR_MENUBAR
}};

} // namespace

TColor GetSysColor(int index, const QPalette& palette) {
    if (index < 0 || index >= static_cast<int>(kSysColorSources.size()))
        return clBlack;
    const TSysColorSource& source = kSysColorSources[static_cast<std::size_t>(index)];
    return TColorOf(palette.color(source.group, source.role));
}

TColor ColorToRGB(TColor color, const QPalette& palette) {
    if (IsSystemColor(color))
        return GetSysColor(static_cast<int>(color & 0xFF), palette);
    return color & 0xFFFFFFu;
}

QColor QColorOf(TColor color, const QPalette& palette) {
    const TColor rgb = ColorToRGB(color, palette);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

TColor TColorOf(const QColor& color) {
    const QRgb rgb = color.rgb();
    return RGBColor(static_cast<std::uint8_t>(qRed(rgb)), static_cast<std::uint8_t>(qGreen(rgb)),
                    static_cast<std::uint8_t>(qBlue(rgb)));
}
