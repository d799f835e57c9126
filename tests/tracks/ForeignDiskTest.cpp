// SPDX-License-Identifier: GPL-3.0-or-later
// The operations on the disk that holds the test's temporary folder ($TMPDIR): run as they are on the
// build machine's disk, and by scripts/test-foreign-disks on exFAT and NTFS mounted through FUSE, where
// names ignore letter case and neither a rename without replacing nor a hard link is to be had.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ContainerWriter.h"
#include "FolderSnapshot.h"
#include "TempDir.h"
#include "tracks/TrackOperations.h"

namespace fs = std::filesystem;

namespace {

class ForeignDisk : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(dir.path() / "Baja");
        fs::create_directory(dir.path() / "archive");
    }
    std::string game() const { return (dir.path() / "Baja").string() + "/"; }
    std::string archive() const { return (dir.path() / "archive").string() + "/"; }
    void put(const std::string& folder, const std::string& name) const {
        WriteFileBytes(folder + name, BytesOf("track " + name));
    }
    // The folder's files under their names in lower case: a case-insensitive view (lowntfs-3g's
    // ignore_case) lists every name so.
    static TSnapshot folded(const std::string& folder) {
        TSnapshot files;
        for (auto& [name, bytes] : FolderSnapshot(folder)) {
            std::string lower = name;
            for (char& c : lower)
                c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
            files[lower] = bytes;
        }
        return files;
    }

    TTempDir dir;
};

// The fate of each track of an operation, in order.
std::vector<TTrackFate> fates(const TOperationReport& report) {
    std::vector<TTrackFate> all;
    for (const TTrackOutcome& track : report.Tracks)
        all.push_back(track.Fate);
    return all;
}

using enum TTrackFate;

TEST_F(ForeignDisk, StopAndStartRenameWithoutReplacing) {
    put(game(), "a.env");
    put(game(), "t.~env");
    put(game(), "T.ENV");
    EXPECT_EQ(fates(Stop({{game(), "a.env"}})), std::vector{Done});
    EXPECT_EQ(fates(Start({{game(), "a.~env"}, {game(), "t.~env"}})), (std::vector{Done, TargetExists}))
        << "T.ENV is in the way";
    EXPECT_EQ(fates(Stop({{game(), "T.ENV"}})), std::vector{TargetExists}) << "t.~env is in the way";
    EXPECT_EQ(folded(game()), (TSnapshot{{"a.env", BytesOf("track a.env")},
                                         {"t.env", BytesOf("track T.ENV")},
                                         {"t.~env", BytesOf("track t.~env")}}));
}

TEST_F(ForeignDisk, ALetterCaseOnlyRenameGivesTheNewSpelling) {
    put(game(), "jump.ENV");
    put(game(), "hill.~ENV");
    const TOperationReport started = Start({{game(), "jump.ENV"}});
    ASSERT_EQ(fates(started), std::vector{Done});
    EXPECT_EQ(started.Tracks[0].Result, "jump.env");
    const TOperationReport stopped = Stop({{game(), "hill.~ENV"}});
    ASSERT_EQ(fates(stopped), std::vector{Done});
    EXPECT_EQ(stopped.Tracks[0].Result, "hill.~env");
    EXPECT_EQ(FolderSnapshot(game()), (TSnapshot{{"hill.~env", BytesOf("track hill.~ENV")},
                                                 {"jump.env", BytesOf("track jump.ENV")}}));
}

TEST_F(ForeignDisk, StoreAndFetchMoveAndCopyWholeTracks) {
    put(game(), "a.env");
    put(game(), "b.~env");
    WriteFileBytes(archive() + "b.~env", BytesOf("an older copy"));
    EXPECT_EQ(fates(Store({{game(), "a.env"}, {game(), "b.~env"}}, archive())), (std::vector{Done, Done}));
    EXPECT_TRUE(FolderSnapshot(game()).empty());
    const TSnapshot archived{{"a.env", BytesOf("track a.env")}, {"b.~env", BytesOf("track b.~env")}};
    EXPECT_EQ(folded(archive()), archived);

    EXPECT_EQ(fates(Fetch({archive() + "a.env"}, game())), std::vector{Done});
    EXPECT_EQ(folded(game()), (TSnapshot{{"a.env", BytesOf("track a.env")}}));
    EXPECT_EQ(folded(archive()), archived);
    EXPECT_EQ(fates(Store({{game(), "a.env"}}, game())), std::vector{Refused});
    EXPECT_EQ(folded(game()), (TSnapshot{{"a.env", BytesOf("track a.env")}})) << "stored into its own folder";
}

} // namespace
