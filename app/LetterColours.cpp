// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LetterColours.h"

#include <cmath>

namespace {

constexpr double MinimumContrast = 4.5;

double linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& c) {
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

// wanted moved by t (0 to 1) towards target.
QColor mixed(const QColor& wanted, const QColor& target, double t) {
    const auto channel = [t](int from, int to) {
        return static_cast<int>(std::lround(from + (to - from) * t));
    };
    return QColor(channel(wanted.red(), target.red()), channel(wanted.green(), target.green()),
                  channel(wanted.blue(), target.blue()));
}

} // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableOn(const QColor& wanted, const QColor& background) {
    if (ContrastRatio(wanted, background) >= MinimumContrast)
        return wanted;
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    const bool lighter = ContrastRatio(white, background) >= MinimumContrast &&
                         ContrastRatio(black, background) < MinimumContrast;
    const QColor target = lighter ? white : black;
    // The smallest step towards the target that reads; the target itself when none does.
    double low = 0;
    double high = 1;
    for (int i = 0; i < 16; ++i) {
        const double mid = (low + high) / 2;
        if (ContrastRatio(mixed(wanted, target, mid), background) >= MinimumContrast)
            high = mid;
        else
            low = mid;
    }
    return mixed(wanted, target, high);
}
