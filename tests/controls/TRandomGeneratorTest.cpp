// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "controls/TRandomGenerator.h"

namespace {

TEST(RandomGenerator, FirstNumbersOfASeed) {
    TRandomGenerator random(13);
    std::vector<std::uint32_t> got;
    for (int i = 0; i < 6; ++i)
        got.push_back(random.Random(100));
    EXPECT_EQ(got, (std::vector<std::uint32_t>{40, 81, 30, 11, 45, 8}));

    random.SetState(65535);
    got.clear();
    for (int i = 0; i < 4; ++i)
        got.push_back(random.Random(1000));
    EXPECT_EQ(got, (std::vector<std::uint32_t>{484, 358, 193, 954}));
}

TEST(RandomGenerator, RangeZeroGivesZeroAndStillAdvances) {
    TRandomGenerator random(13);
    EXPECT_EQ(random.Random(0), 0u);
    EXPECT_EQ(random.State(), 0x686EB442u) << "13 * 134775813 + 1 modulo 2^32";
    random.SetState(0xFFFFFFFFu);
    EXPECT_LT(random.Random(0xFFFFFFFFu), 0xFFFFFFFFu);
}

} // namespace
