// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <vector>

#include "container/Descramble.h"

namespace {

TEST(Descramble, KeyAdvancesByStoredByte) {
    // key 0xB1: 0x10 -> 0x10^0xB1 = 0xA1, key 0xC1; 0x20 -> 0x20^0xC1 = 0xE1, key 0xE1.
    std::vector<std::uint8_t> data = {0x10, 0x20, 0xFF};
    std::uint8_t key = 0xB1;
    Descramble(data.data(), data.size(), key);
    EXPECT_EQ(data, (std::vector<std::uint8_t>{0xA1, 0xE1, 0xFF ^ 0xE1}));
    EXPECT_EQ(key, static_cast<std::uint8_t>(0xE1 + 0xFF));
}

TEST(Descramble, PiecesEqualTheWholeWhenTheKeyIsCarried) {
    std::vector<std::uint8_t> whole(300);
    for (std::size_t i = 0; i < whole.size(); ++i)
        whole[i] = static_cast<std::uint8_t>(i * 37 + 11);
    std::vector<std::uint8_t> pieces = whole;

    std::uint8_t k1 = 0xD8;
    Descramble(whole.data(), whole.size(), k1);
    std::uint8_t k2 = 0xD8;
    Descramble(pieces.data(), 7, k2);
    Descramble(pieces.data() + 7, 0, k2);
    Descramble(pieces.data() + 7, pieces.size() - 7, k2);
    EXPECT_EQ(whole, pieces);
    EXPECT_EQ(k1, k2);
}

TEST(Descramble, UndoesScramble) {
    const std::vector<std::uint8_t> plain = {'S', 'c', 'e', 'n', 'e', 0, 0xFF, 0x80};
    std::vector<std::uint8_t> data = plain;
    std::uint8_t key = 0xB1;
    Scramble(data.data(), data.size(), key);
    EXPECT_NE(data, plain);
    key = 0xB1;
    Descramble(data.data(), data.size(), key);
    EXPECT_EQ(data, plain);
}

} // namespace
