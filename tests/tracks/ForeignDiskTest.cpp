// SPDX-License-Identifier: GPL-3.0-or-later
// The operations on the disk that holds the test's temporary folder ($TMPDIR): run as they are on the
// build machine's disk, and by scripts/test-foreign-disks on exFAT and NTFS mounted through FUSE, where
// names ignore letter case and neither a rename without replacing nor a hard link is to be had.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ContainerWriter.h"
#include "FolderSnapshot.h"
#include "TempDir.h"
#include "platform/Exceptions.h"
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

TEST_F(ForeignDisk, StopAndStartRenameWithoutReplacing) {
    put(game(), "a.env");
    put(game(), "t.~env");
    put(game(), "T.ENV");
    TFolderRenamer folder(game());
    EXPECT_EQ(ChangeTrackExtension(folder, "a.env", InactiveExtension), "a.~env");
    EXPECT_EQ(ChangeTrackExtension(folder, "a.~env", ActiveExtension), "a.env");
    EXPECT_EQ(ChangeTrackExtension(folder, "t.~env", ActiveExtension), std::nullopt) << "T.ENV is in the way";
    EXPECT_EQ(ChangeTrackExtension(game(), "T.ENV", InactiveExtension), std::nullopt)
        << "t.~env is in the way";
    EXPECT_EQ(folded(game()), (TSnapshot{{"a.env", BytesOf("track a.env")},
                                         {"t.env", BytesOf("track T.ENV")},
                                         {"t.~env", BytesOf("track t.~env")}}));
}

TEST_F(ForeignDisk, ALetterCaseOnlyRenameGivesTheNewSpelling) {
    put(game(), "jump.ENV");
    put(game(), "hill.~ENV");
    EXPECT_EQ(ChangeTrackExtension(game(), "jump.ENV", ActiveExtension), "jump.env");
    TFolderRenamer folder(game());
    EXPECT_EQ(ChangeTrackExtension(folder, "hill.~ENV", InactiveExtension), "hill.~env");
    EXPECT_EQ(FolderSnapshot(game()), (TSnapshot{{"hill.~env", BytesOf("track hill.~ENV")},
                                                 {"jump.env", BytesOf("track jump.ENV")}}));
}

TEST_F(ForeignDisk, StoreAndFetchMoveAndCopyWholeTracks) {
    put(game(), "a.env");
    put(game(), "b.~env");
    WriteFileBytes(archive() + "b.~env", BytesOf("an older copy"));
    EXPECT_TRUE(ArchiveSelected(game(), archive(), {"a.env", "b.~env"}).empty());
    EXPECT_TRUE(FolderSnapshot(game()).empty());
    const TSnapshot archived{{"a.env", BytesOf("track a.env")}, {"b.~env", BytesOf("track b.~env")}};
    EXPECT_EQ(folded(archive()), archived);

    FetchTracks(game(), {archive() + "a.env"});
    EXPECT_EQ(folded(game()), (TSnapshot{{"a.env", BytesOf("track a.env")}}));
    EXPECT_EQ(folded(archive()), archived);
    EXPECT_THROW(ArchiveSelected(game(), game(), {"a.env"}), EFCreateError);
    EXPECT_EQ(folded(game()), (TSnapshot{{"a.env", BytesOf("track a.env")}})) << "stored into its own folder";
}

} // namespace
