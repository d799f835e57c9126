// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The program's linear congruential generator: each number advances the state to
// state * 134775813 + 1 (modulo 2^32) and scales the new state into the asked range by taking the upper
// 32 bits of the 64-bit product state * range. The same state always gives the same numbers, which is
// what lets a textured panel repeat its random pattern at every repaint.
class TRandomGenerator {
public:
    explicit TRandomGenerator(std::uint32_t state = 0) : m_state(state) {}

    std::uint32_t State() const { return m_state; }
    void SetState(std::uint32_t value) { m_state = value; }

    // Advances the state and returns a number with 0 <= result < range, or 0 when range is 0.
    std::uint32_t Random(std::uint32_t range);

private:
    std::uint32_t m_state;
};

// The one generator the program draws its random numbers from. It is used on the user-interface
// thread only.
TRandomGenerator& ProgramRandom();
