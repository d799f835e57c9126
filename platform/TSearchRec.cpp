// SPDX-License-Identifier: GPL-3.0-or-later
#include "TSearchRec.h"

TSearchRec::~TSearchRec() {
    FindClose(*this);
}

int TSearchRec::Attr() const {
    complete();
    return m_attr;
}

bool TSearchRec::HasAttr(int bits) const {
    if (bits & faReadOnly)
        complete();
    return (m_attr & bits) != 0;
}

std::int64_t TSearchRec::Size() const {
    complete();
    return m_size;
}
