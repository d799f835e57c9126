// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ContainerWriter.h"
#include "TempDir.h"
#include "platform/Exceptions.h"
#include "platform/TFileStream.h"

namespace {

TEST(TFileStream, SizeSeekAndShortReads) {
    TTempDir dir;
    const std::string path = dir.file("data.bin");
    WriteFileBytes(path, {1, 2, 3, 4, 5});
    TFileStream stream(path);
    EXPECT_EQ(stream.Size(), 5);
    std::uint8_t buffer[8] = {};
    stream.Seek(3);
    EXPECT_EQ(stream.Read(buffer, 8), 2u) << "the count is not insisted on";
    EXPECT_EQ(buffer[0], 4);
    EXPECT_EQ(buffer[1], 5);
    EXPECT_EQ(stream.Position(), 5);
    EXPECT_EQ(stream.Read(buffer, 8), 0u);
    stream.Seek(100);
    EXPECT_EQ(stream.Read(buffer, 1), 0u);
    stream.Seek(-4);
    EXPECT_EQ(stream.Position(), 0);
}

TEST(TFileStream, OpenFailureCarriesThePathAsGiven) {
    try {
        TFileStream stream("C:\\no\\such\\file.env");
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_STREQ(e.what(), "Cannot open file C:\\no\\such\\file.env");
    }
}

} // namespace
