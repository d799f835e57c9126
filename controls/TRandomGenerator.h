#pragma once

#include <cstdint>

// The program's linear congruential generator: each number advances the state to
// state * 134775813 + 1 (modulo 2^32) and scales the new state into the asked range by taking the upper
// 32 bits of the 64-bit product state * Range. The same state always gives the same numbers, which is
// what lets a textured panel repeat its random pattern at every repaint.
class TRandomGenerator {
public:
    explicit TRandomGenerator(std::uint32_t State = 0) : m_state(State) {}

    std::uint32_t State() const { return m_state; }
    void SetState(std::uint32_t Value) { m_state = Value; }

    // Advances the state and returns a number with 0 <= result < Range, or 0 when Range is 0.
    std::uint32_t Random(std::uint32_t Range);

private:
    std::uint32_t m_state;
};

// The one generator the program draws its random numbers from. It is used on the user-interface
// thread only.
TRandomGenerator& ProgramRandom();
