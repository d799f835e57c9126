// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>

// What both systems' ReadSmallFile share.

// Appends what read(buffer, size) delivers to text until it reports the end (0); nothing when it
// fails (a negative count) or the text would grow beyond maxBytes.
template <class TRead>
std::optional<std::string> readAll(std::size_t sizeHint, std::size_t maxBytes, TRead read) {
    std::optional<std::string> text(std::in_place);
    text->reserve(std::min(sizeHint, maxBytes));
    char buffer[1 << 14];
    while (true) {
        const long long got = read(buffer, sizeof buffer);
        if (got < 0 || text->size() + static_cast<std::size_t>(got) > maxBytes)
            return std::nullopt;
        if (got == 0)
            return text;
        text->append(buffer, static_cast<std::size_t>(got));
    }
}
