// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

// The running-key rule of the game's containers: each plain byte is the stored byte XOR the key,
// then the key advances by the stored byte (not the plain one), modulo 256. Works in place; the
// caller keeps the key between calls when a stream is descrambled in pieces.
inline void Descramble(std::uint8_t* data, std::size_t count, std::uint8_t& key) {
    std::uint8_t k = key;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t stored = data[i];
        data[i] = static_cast<std::uint8_t>(stored ^ k);
        k = static_cast<std::uint8_t>(k + stored);
    }
    key = k;
}

// The scrambling that Descramble undoes; for writers of test fixtures and demo data.
inline void Scramble(std::uint8_t* data, std::size_t count, std::uint8_t& key) {
    std::uint8_t k = key;
    for (std::size_t i = 0; i < count; ++i) {
        const auto stored = static_cast<std::uint8_t>(data[i] ^ k);
        data[i] = stored;
        k = static_cast<std::uint8_t>(k + stored);
    }
    key = k;
}
