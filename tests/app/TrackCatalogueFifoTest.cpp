// The catalogue facing entries that only POSIX systems have: FIFOs and dangling symbolic links.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

#include "ContainerWriter.h"
#include "TempDir.h"
#include "app/TrackCatalogue.h"
#include "platform/Exceptions.h"

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

TEST(TrackList, AnUnopenableTrackEndsTheFillKeepingWhatWasRead) {
    TTempDir dir;
    for (int i = 0; i < 20; ++i)
        WriteFileBytes(dir.file("t" + std::to_string(i) + ".env"),
                       BuildContainer({{"t.scn", BytesOf("SceneName=Track " + std::to_string(i) + "\r")}}));
    fs::create_symlink(dir.path() / "gone", dir.path() / "dangling.env");
    TTrackList list;
    try {
        list.Fill(dir.path().string() + "/");
        FAIL() << "expected the open failure";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + dir.path().string() + "/dangling.env");
    }
    EXPECT_LT(list.size(), 20u);
    for (std::size_t i = 1; i < list.size(); ++i)
        EXPECT_TRUE(TrackItemLess(list[i - 1], list[i])) << "what was read is still sorted";
}

} // namespace
