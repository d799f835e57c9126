// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/Exceptions.h"
#include "platform/TSpanReader.h"

namespace {

TEST(TSpanReader, ReadsLittleEndianAndRefusesToReadPastItsEnd) {
    const std::uint8_t bytes[] = {0x01, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xAA};
    TSpanReader reader(bytes, sizeof bytes);
    EXPECT_EQ(reader.Byte(), 0x01);
    EXPECT_EQ(reader.LittleEndian16(), 0x1234);
    EXPECT_EQ(reader.LittleEndian32(), 0x12345678u);
    EXPECT_EQ(reader.Left(), 1u);
    EXPECT_THROW(reader.LittleEndian16(), EReadError);
    EXPECT_EQ(reader.Left(), 1u) << "a short read takes nothing";
    EXPECT_EQ(*reader.Take(1), 0xAA);
    EXPECT_EQ(reader.Take(0), bytes + sizeof bytes) << "nothing left, and nothing asked";
    EXPECT_THROW(reader.Byte(), EReadError);

    TSpanReader none(nullptr, 5);
    EXPECT_EQ(none.Left(), 0u) << "no data holds no bytes";
}

} // namespace
