// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TButtonStyle.h"

void TButtonStyle::Assign(const TButtonStyle& source) {
    m_color = source.m_color;
    m_chequered = source.m_chequered;
    m_bevel = source.m_bevel;
}
