#include "controls/TButtonStyle.h"

void TButtonStyle::Assign(const TButtonStyle& Source) {
    m_color = Source.m_color;
    m_chequered = Source.m_chequered;
    m_bevel = Source.m_bevel;
}
