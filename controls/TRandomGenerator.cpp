// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TRandomGenerator.h"

namespace {

constexpr std::uint32_t kMultiplier = 134775813; // 0x08088405

} // namespace

std::uint32_t TRandomGenerator::Random(std::uint32_t range) {
    m_state = m_state * kMultiplier + 1;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(m_state) * range) >> 32);
}

TRandomGenerator& ProgramRandom() {
    static TRandomGenerator generator;
    return generator;
}
