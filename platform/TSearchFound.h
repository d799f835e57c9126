// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "TSearchRec.h"

// What each system's search shares: how a found entry is put into its record, and which attributes keep
// an entry out of a search.

// The bits that keep an entry out of a search unless the mask asks for them.
inline constexpr int kSpecialAttr = faHidden | faSysFile | faVolumeID | faDirectory;

// Puts an entry the search found into its record.
struct TSearchFound {
    static void Set(TSearchRec& rec, int attr, std::int64_t size, bool complete,
                    const TListedVersion& listed) {
        rec.m_attr = attr;
        rec.m_listed = listed;
        rec.m_size = size;
        rec.m_complete = complete;
    }
};
