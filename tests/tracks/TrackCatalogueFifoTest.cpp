// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue facing entries that only POSIX systems have: FIFOs and dangling symbolic links.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

#include "ContainerWriter.h"
#include "TempDir.h"
#include "platform/Exceptions.h"
#include "tracks/TrackCatalogue.h"

namespace fs = std::filesystem;

namespace {

TEST(TrackList, AFifoIsLeftOut) {
    TTempDir dir;
    WriteFileBytes(dir.file("a.env"), BuildContainer({{"t.scn", BytesOf("SceneName=A\r\n")}}));
    ASSERT_EQ(::mkfifo(dir.file("fifo.env").c_str(), 0600), 0);
    TTrackList list;
    list.Fill(dir.path().string() + "/");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].FileName, "a.env");
}

} // namespace
