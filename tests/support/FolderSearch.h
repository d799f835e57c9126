// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/TSearchRec.h"

// What a folder search found of one name: its attribute bits and size.
struct TFound {
    int attr;
    std::int64_t size;
    bool operator==(const TFound&) const = default;
};

// Every name that FindFirst and FindNext give for pattern and mask, the search closed again. firstResult,
// when given, receives FindFirst's result.
inline std::map<std::string, TFound> SearchAll(const std::string& pattern, int mask,
                                               int* firstResult = nullptr) {
    std::map<std::string, TFound> found;
    TSearchRec rec;
    const int result = FindFirst(pattern, mask, rec);
    if (firstResult)
        *firstResult = result;
    if (result != 0)
        return found;
    do {
        found[rec.Name] = {rec.Attr(), rec.Size()};
    } while (FindNext(rec) == 0);
    FindClose(rec);
    return found;
}
