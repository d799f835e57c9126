// SPDX-License-Identifier: GPL-3.0-or-later
#include "WinePrefixes.h"

// Windows runs the game itself: no Wine prefix is chosen, and none is looked for.

std::optional<std::string> ChosenWinePrefix() {
    return std::nullopt;
}

std::string DefaultWinePrefix() {
    return {};
}

std::vector<std::string> WinePrefixCandidates() {
    return {};
}
