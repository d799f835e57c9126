// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "ContainerWriter.h"
#include "TempDir.h"
#include "tracks/TrackCatalogue.h"

namespace fs = std::filesystem;

namespace {

void writeTrack(const fs::path& path, const std::string& displayName) {
    WriteFileBytes(path.string(), BuildContainer({{"t.scn", BytesOf("SceneName=" + displayName + "\r\n")}}));
}

std::vector<std::string> itemsOf(const TTrackList& list) {
    std::vector<std::string> out;
    for (const TTrackItem& item : list.Items())
        out.push_back(item.DisplayName + "|" + item.FileName);
    return out;
}

// A file renamed keeps its version on Linux (its inode) and is not read again; Windows lists no file id,
// so there it is read again under its new name, a row removed and one added.
#ifdef _WIN32
constexpr std::size_t RenameChanges = 2;
#else
constexpr std::size_t RenameChanges = 1;
#endif

struct UpdateCase {
    const char* what;
    std::function<void(const fs::path&)> change;
    std::size_t changes; // rows removed, added or renamed
};

class TrackListUpdate : public ::testing::TestWithParam<UpdateCase> {};

// After any change, the list updated in place is the list read afresh, row by row as a view follows
// it, and only the rows that changed are touched.
TEST_P(TrackListUpdate, EndsAsAFreshFill) {
    for (const bool withEvents : {true, false}) {
        TTempDir dir;
        writeTrack(dir.path() / "a.env", "Alpha");
        writeTrack(dir.path() / "b.env", "Bravo");
        writeTrack(dir.path() / "c.~env", "Charlie");
        writeTrack(dir.path() / "n.env", "");
        const std::string folder = dir.path().string() + "/";
        TTrackList list;
        list.Fill(folder);
        std::vector<std::string> mirror = itemsOf(list); // what a view shows, kept by the events alone
        GetParam().change(dir.path());

        const TTrackChanges changes = list.Update(folder);
        EXPECT_EQ(changes.size(), GetParam().changes) << GetParam().what;
        int inserting = -1;
        const TTrackListEvents events{
            .removing = [&](int row) { mirror.erase(mirror.begin() + row); },
            .inserting = [&](int row) { inserting = row; },
            .changed = [&](int row) { mirror[row] = list[row].DisplayName + "|" + list[row].FileName; },
            .removed = [] {},
            .inserted =
                [&] {
                    const TTrackItem& item = list[static_cast<std::size_t>(inserting)];
                    mirror.insert(mirror.begin() + inserting, item.DisplayName + "|" + item.FileName);
                },
        };
        list.Apply(changes, withEvents ? &events : nullptr);

        TTrackList fresh;
        fresh.Fill(folder);
        EXPECT_EQ(itemsOf(list), itemsOf(fresh)) << GetParam().what;
        if (withEvents) {
            EXPECT_EQ(mirror, itemsOf(fresh)) << GetParam().what << ": the events tell every row";
        }
        EXPECT_TRUE(list.Update(folder).empty()) << GetParam().what << ": nothing left to follow";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Changes, TrackListUpdate,
    ::testing::Values(
        UpdateCase{"nothing", [](const fs::path&) {}, 0},
        UpdateCase{"a track added", [](const fs::path& d) { writeTrack(d / "d.env", "Delta"); }, 1},
        UpdateCase{"a track removed", [](const fs::path& d) { fs::remove(d / "a.env"); }, 1},
        UpdateCase{"a track renamed", [](const fs::path& d) { fs::rename(d / "b.env", d / "b.~env"); },
                   RenameChanges},
        UpdateCase{"a file replaced under its name",
                   [](const fs::path& d) {
                       writeTrack(d / "tmp", "Beta");
                       fs::rename(d / "tmp", d / "b.env");
                   },
                   2},
        UpdateCase{"a track renamed over another",
                   [](const fs::path& d) { fs::rename(d / "a.env", d / "b.env"); }, 3},
        UpdateCase{"a nameless track given a name",
                   [](const fs::path& d) { writeTrack(d / "n.env", "November"); }, 1},
        UpdateCase{"the folder removed", [](const fs::path& d) { fs::remove_all(d); }, 3}));

TEST(TrackListFollows, OwnRenamesAndOtherFolders) {
    TTempDir dir;
    writeTrack(dir.path() / "a.env", "Alpha");
    const std::string folder = dir.path().string() + "/";
    TTrackList list;
    EXPECT_FALSE(list.Follows(folder)) << "never filled";
    list.Fill(folder);
    EXPECT_TRUE(list.Follows(folder));
    EXPECT_FALSE(list.Follows(folder + "other/"));

    // The program's own rename, written into the item: the folder then holds nothing new.
    fs::rename(dir.path() / "a.env", dir.path() / "a.~env");
    list.Rename(0, "a.~env");
    EXPECT_TRUE(list.Update(folder).empty());

    list.Assign({{"Alpha", "a.~env"}});
    EXPECT_FALSE(list.Follows(folder)) << "assigned items come from no folder";
}

// Where the listing cannot tell a file rewritten in place, the folder's notice can.
TEST(TrackListFollows, FilesToldWrittenAreReadAgain) {
    TTempDir dir;
    writeTrack(dir.path() / "a.env", "Alpha");
    writeTrack(dir.path() / "b.env", "Bravo");
    const std::string folder = dir.path().string() + "/";
    TTrackList list;
    list.Fill(folder);
    const auto followed = [&](const TFolderNews& news) {
        list.Apply(list.Update(folder, news), nullptr);
        TTrackList fresh;
        fresh.Fill(folder);
        return itemsOf(list) == itemsOf(fresh);
    };
    writeTrack(dir.path() / "a.env", "Zulu");
    // Renamed and rewritten: on Linux the same file id, as a new file given that of a deleted one.
    fs::rename(dir.path() / "b.env", dir.path() / "c.env");
    writeTrack(dir.path() / "c.env", "Yankee");
    EXPECT_TRUE(followed({.Written = {"a.env", "c.env"}, .Everything = false}));
    writeTrack(dir.path() / "a.env", "Xray");
    EXPECT_TRUE(followed({.Written = {}, .Everything = true})) << "every file, when no name is told";
}

#ifndef _WIN32
TEST(TrackListFollows, UnreadableFilesAreReportedAndTriedAgain) {
    TTempDir dir;
    writeTrack(dir.path() / "a.env", "Alpha");
    const std::string folder = dir.path().string() + "/";
    TTrackList list;
    list.Fill(folder);
    fs::create_symlink(dir.path() / "later.env", dir.path() / "z.env");
    TTrackChanges changes = list.Update(folder);
    EXPECT_THROW(changes.ThrowFailures(), ETracksUnreadable);
    list.Apply(changes, nullptr);

    writeTrack(dir.path() / "later.env", "Later");
    changes = list.Update(folder);
    list.Apply(changes, nullptr);
    EXPECT_NO_THROW(changes.ThrowFailures());
    EXPECT_EQ(itemsOf(list), (std::vector<std::string>{"Alpha|a.env", "Later|later.env", "Later|z.env"}));
}
#endif

} // namespace
