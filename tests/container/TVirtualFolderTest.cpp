// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ContainerWriter.h"
#include "TempDir.h"
#include "container/TVirtualFolder.h"
#include "platform/TMemoryStream.h"

namespace {

TEST(TVirtualFolder, AddFromStreamAppendsAtTheEndOffset) {
    TTempDir dir;
    const std::string path = dir.file("base.bin");
    WriteFileBytes(path, std::vector<std::uint8_t>(100, 1));
    TVirtualFolder folder(path, true);
    EXPECT_TRUE(folder.StreamOpen()) << "the base class keeps its file open";
    EXPECT_EQ(folder.EndOffset(), 100);

    TMemoryStream twenty(std::vector<std::uint8_t>(20, 7));
    twenty.Seek(13);
    EXPECT_TRUE(folder.AddFromStream("some\\folder:first.bin", twenty));
    TMemoryStream more(std::vector<std::uint8_t>(5, 8));
    EXPECT_TRUE(folder.AddFromStream("second", more));
    TMemoryStream empty;
    EXPECT_TRUE(folder.AddFromStream("empty", empty));

    ASSERT_EQ(folder.Count(), 3);
    FolderEntry rec{};
    folder.GetEntry(0, rec);
    EXPECT_STREQ(rec.Name, "first.bin");
    EXPECT_EQ(rec.offset(), 100);
    EXPECT_EQ(rec.length(), 20);
    EXPECT_EQ(rec.Flags, 0u);
    ASSERT_NE(rec.Data, nullptr);
    EXPECT_EQ(std::vector<std::uint8_t>(rec.Data, rec.Data + 20), std::vector<std::uint8_t>(20, 7))
        << "read from the stream's start";
    folder.GetEntry(1, rec);
    EXPECT_EQ(rec.offset(), 120);
    folder.GetEntry(2, rec);
    EXPECT_EQ(rec.offset(), 125);
    EXPECT_EQ(rec.length(), 0);
    EXPECT_EQ(rec.Data, nullptr);
    EXPECT_EQ(folder.EndOffset(), 125);

    EXPECT_EQ(folder.IndexOfEntry("SECOND"), 1);
    folder.ClearEntries();
    EXPECT_EQ(folder.Count(), 0);
}

TEST(TVirtualFolder, LongNamesAreCutToTheRecord) {
    TTempDir dir;
    const std::string path = dir.file("base.bin");
    WriteFileBytes(path, {});
    TVirtualFolder folder(path, true);
    TMemoryStream bytes(std::vector<std::uint8_t>{1});
    folder.AddFromStream(std::string(300, 'x'), bytes);
    FolderEntry rec{};
    folder.GetEntry(0, rec);
    EXPECT_EQ(std::string(rec.Name), std::string(127, 'x'));
}

} // namespace
