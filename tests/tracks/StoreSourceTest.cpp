// SPDX-License-Identifier: GPL-3.0-or-later
// The deletion step of a Store: what is checked is what is deleted, and a source that left its name is
// reported as still in the game, never as moved.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "ContainerWriter.h"
#include "FolderSnapshot.h"
#include "TempDir.h"
#include "platform/CopyFaults.h"
#include "tracks/TrackOperations.h"

namespace fs = std::filesystem;

namespace {

struct TFaultyTransfer : TTrackTransfer {
    TFaultyTransfer(const TCopyFaults& faults, std::function<void(const TTransferred&)> done)
        : TTrackTransfer(faults, std::move(done)) {}
};

enum class TMeanwhile { ReplacedAfterTheCheck, RenamedAwayBeforeTheDeletion };

class StoreSource : public ::testing::TestWithParam<TMeanwhile> {};

TEST_P(StoreSource, NothingUncopiedIsDeletedAndNothingUndeletedIsCalledMoved) {
    TTempDir dir;
    fs::create_directory(dir.path() / "game");
    fs::create_directory(dir.path() / "archive");
    const std::string game = (dir.path() / "game").string() + "/";
    const std::string archive = (dir.path() / "archive").string() + "/";
    WriteFileBytes(game + "t.env", BytesOf("old"));

    TCopyFaults faults;
    const auto act = [&](const std::string& path) {
        if (GetParam() == TMeanwhile::RenamedAwayBeforeTheDeletion) {
            fs::rename(path, game + "t.~env");
        } else {
            WriteFileBytes(game + "new", BytesOf("new, never copied"));
            fs::rename(game + "new", path);
        }
    };
    if (GetParam() == TMeanwhile::ReplacedAfterTheCheck)
        faults.afterCheck = act;
    else
        faults.beforeDelete = act;
    std::optional<bool> sourceStayed;
    TFileError why;
    TFaultyTransfer transfer(faults, [&](const TTransferred& track) {
        sourceStayed = track.sourceStayed;
        why = track.sourceError;
    });
    transfer.Add(game + "t.env", archive + "t.env", true);
    transfer.Finish();

    EXPECT_EQ(FolderSnapshot(dir.path() / "archive"), (TSnapshot{{"t.env", BytesOf("old")}}));
    if (GetParam() == TMeanwhile::ReplacedAfterTheCheck) {
        EXPECT_EQ(FolderSnapshot(dir.path() / "game"), (TSnapshot{{"t.env", BytesOf("new, never copied")}}));
        EXPECT_EQ(sourceStayed, false);
    } else {
        EXPECT_EQ(FolderSnapshot(dir.path() / "game"), (TSnapshot{{"t.~env", BytesOf("old")}}));
        EXPECT_EQ(sourceStayed, true) << "the track is in both places";
        EXPECT_TRUE(IsFileMissing(why)) << "and says why: " << SystemErrorText(why.code);
    }
}

INSTANTIATE_TEST_SUITE_P(Races, StoreSource,
                         ::testing::Values(TMeanwhile::ReplacedAfterTheCheck,
                                           TMeanwhile::RenamedAwayBeforeTheDeletion));

} // namespace
