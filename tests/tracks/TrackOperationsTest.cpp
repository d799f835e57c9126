// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ContainerWriter.h"
#include "FolderSnapshot.h"
#include "TempDir.h"
#include "platform/CopyFaults.h"
#include "platform/Exceptions.h"
#include "platform/NativePath.h"
#include "platform/PathParts.h"
#include "tracks/TrackOperations.h"

namespace fs = std::filesystem;

namespace {

using TBytes = std::vector<std::uint8_t>;

// ---- Names -------------------------------------------------------------------------------------

struct ExtensionCase {
    const char* name;
    const char* extension;
    const char* expected;
};

class Extension : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(Extension, ReplacesTheLastExtension) {
    EXPECT_EQ(NameWithExtension(GetParam().name, GetParam().extension), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Extension,
                         ::testing::Values(ExtensionCase{"jump.env", ".~env", "jump.~env"},
                                           ExtensionCase{"jump.~env", ".env", "jump.env"},
                                           ExtensionCase{"jump.~env", ".~env", "jump.~env"},
                                           ExtensionCase{"jump.envx", ".env", "jump.env"},
                                           ExtensionCase{"big.jump.env", ".~env", "big.jump.~env"},
                                           ExtensionCase{"jump", ".env", "jump.env"},
                                           ExtensionCase{"jump.", ".env", "jump.env"},
                                           ExtensionCase{".env", ".~env", ".~env"},
                                           ExtensionCase{"old.d\\jump", ".env", "old.d\\jump.env"}));

#ifndef _WIN32
// ---- Operations on a game installation ----------------------------------------------------------

// A fake Wine prefix with an event folder that the operations reach through a Windows-style path, as
// the window forms it, and an archive folder that they reach through a native path, as dialogs give it.
class TrackOperations : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.path() / "pfx/dosdevices");
        fs::create_directories(baja());
        fs::create_directories(archive());
        fs::create_symlink("../drive_c", dir.path() / "pfx/dosdevices/c:");
    }

    fs::path baja() const { return dir.path() / "pfx/drive_c/Games/Skarn/Vevozura/Baja"; }
    fs::path archive() const { return dir.path() / "archive"; }
    std::string archiveFolder() const { return archive().string() + "/"; }
    void put(const fs::path& folder, const std::string& name) {
        WriteFileBytes((folder / name).string(), BytesOf("track " + name));
    }
    static TBytes track(const std::string& name) { return BytesOf("track " + name); }
    std::vector<TTrackFile> in(const std::vector<std::string>& names) const {
        std::vector<TTrackFile> tracks;
        for (const std::string& name : names)
            tracks.push_back(TTrackFile{eventFolder, name});
        return tracks;
    }

    // path, a drive path, placed in the fake prefix.
    std::string c(const char* path) const { return drives.Place(path); }

    TTempDir dir;
    const TWinePrefix drives{(dir.path() / "pfx").string()};
    const std::string eventFolder = c("C:\\Games\\Skarn\\Vevozura\\Baja\\");
};

// The fates of a report, one word per track: "done a.~env" (with the new name), "already", ...
std::vector<std::string> fates(const TOperationReport& report) {
    static const char* const words[] = {"done",    "already", "exists",        "missing",  "refused",
                                        "trashed", "deleted", "source-stayed", "cancelled"};
    std::vector<std::string> out;
    for (const TTrackOutcome& track : report.Tracks) {
        std::string word = words[static_cast<int>(track.Fate)];
        if (track.Fate == TTrackFate::TargetExists)
            word += " " + track.Other;
        if (track.Fate == TTrackFate::Done && !track.Result.empty())
            word += " " + FileNamePart(track.Result);
        out.push_back(word);
    }
    return out;
}

TEST_F(TrackOperations, StartAndStopSayWhatBecameOfEachTrack) {
    for (const char* name : {"a.env", "b.env", "b.~env", "c.env", "C.~ENV", "d.~env", "e.envx"})
        put(baja(), name);
    const TOperationReport stopped = Stop(in({"a.env", "b.env", "c.env", "d.~env", "gone.env"}));
    EXPECT_EQ(fates(stopped), (std::vector<std::string>{"done a.~env", "exists b.~env", "exists c.~env",
                                                        "already", "missing"}))
        << "C.~ENV is in the way of c.env in another letter case";
    EXPECT_EQ(fates(Start(in({"e.envx"}))), std::vector<std::string>{"done e.env"});
    EXPECT_EQ(fates(Toggle(in({"a.~env", "e.env"}))),
              (std::vector<std::string>{"done a.env", "done e.~env"}));

    // Cancelled before the second track: it and the ones after it stay as they are.
    const TOperationReport cancelled =
        Toggle(in({"a.env", "e.~env", "d.~env"}), [](std::size_t index, std::size_t) { return index < 1; });
    EXPECT_EQ(fates(cancelled), (std::vector<std::string>{"done a.~env", "cancelled", "cancelled"}));
    EXPECT_EQ(cancelled.CancelledCount, 2u);

    // Undo renames back, never over a file that took the name since.
    put(baja(), "a.env");
    EXPECT_EQ(fates(Undo(cancelled, {})), std::vector<std::string>{"exists a.env"});
    EXPECT_EQ(fates(Undo(stopped, {})), std::vector<std::string>{"exists a.env"});
    fs::remove(baja() / "a.env");
    EXPECT_EQ(fates(Undo(stopped, {})), std::vector<std::string>{"done a.env"});

    EXPECT_EQ(FolderSnapshot(baja()), (TSnapshot{{"a.env", track("a.env")},
                                                 {"b.env", track("b.env")},
                                                 {"b.~env", track("b.~env")},
                                                 {"c.env", track("c.env")},
                                                 {"C.~ENV", track("C.~ENV")},
                                                 {"d.~env", track("d.~env")},
                                                 {"e.~env", track("e.envx")}}));
}

TEST_F(TrackOperations, StoreMovesAndReplacesOldCopies) {
    put(baja(), "a.env");
    put(baja(), "b.~env");
    put(baja(), "kept.env");
    WriteFileBytes((archive() / "a.env").string(), BytesOf("an older copy"));

    const TOperationReport report = Store(in({"a.env", "b.~env"}), archiveFolder());
    EXPECT_EQ(fates(report), (std::vector<std::string>{"done a.env", "done b.~env"}));
    EXPECT_TRUE(report.Tracks[0].Replaced) << "an older copy was there";
    EXPECT_FALSE(report.Tracks[1].Replaced);

    EXPECT_EQ(FolderSnapshot(baja()), (TSnapshot{{"kept.env", track("kept.env")}}));
    EXPECT_EQ(FolderSnapshot(archive()), (TSnapshot{{"a.env", track("a.env")}, {"b.~env", track("b.~env")}}));
}

struct ArchiveFailure {
    const char* title;
    void (*arrange)(const fs::path& baja, const fs::path& archive); // makes b.env fail
    const char* message;                                            // after "<folder>" comes b.env
    bool inArchive;                                                 // the message names the archive
};

class ArchiveStops : public TrackOperations, public ::testing::WithParamInterface<ArchiveFailure> {};

TEST_P(ArchiveStops, AtTheFailingTrack) {
    put(baja(), "a.env");
    put(baja(), "b.env");
    put(baja(), "c.env");
    GetParam().arrange(baja(), archive());
    const TSnapshot archiveBefore = FolderSnapshot(archive());

    const TOperationReport report = Store(in({"a.env", "b.env", "c.env"}), archiveFolder());
    const std::string message =
        std::string(GetParam().message) + (GetParam().inArchive ? archiveFolder() : eventFolder) + "b.env";
    EXPECT_EQ(fates(report), (std::vector<std::string>{"done a.env", "refused", "cancelled"}));
    EXPECT_EQ(report.Tracks[1].Message, message);
    EXPECT_EQ(report.CancelledCount, 0u) << "not cancelled by the player";
    ASSERT_TRUE(report.Failure);
    EXPECT_THROW(std::rethrow_exception(report.Failure), EStreamError);

    TSnapshot game = FolderSnapshot(baja());
    EXPECT_EQ(game.count("a.env"), 0u) << "the track before the failure is moved";
    EXPECT_EQ(game.count("c.env"), 1u) << "the track after the failure is untouched";
    TSnapshot expectedArchive = archiveBefore;
    expectedArchive["a.env"] = track("a.env");
    EXPECT_EQ(FolderSnapshot(archive()), expectedArchive);
}

INSTANTIATE_TEST_SUITE_P(Cases, ArchiveStops,
                         ::testing::Values(ArchiveFailure{"SourceCannotBeOpened",
                                                          [](const fs::path& baja, const fs::path&) {
                                                              fs::remove(baja / "b.env");
                                                              fs::create_symlink("missing", baja / "b.env");
                                                          },
                                                          "Cannot open file ", false},
                                           ArchiveFailure{"DestinationCannotBeCreated",
                                                          [](const fs::path&, const fs::path& archive) {
                                                              fs::create_directory(archive / "b.env");
                                                          },
                                                          "Cannot create file ", true}),
                         [](const auto& info) { return std::string(info.param.title); });

// Another program changes b.env while it is stored; the track stays in the game in its new form.
struct RaceCase {
    const char* title;
    bool duringCopy;       // during the copy, or between the copy and the deletion
    bool replace;          // a new file takes the name, or the file itself grows
    bool archivedOldBytes; // the archive holds the old b.env afterwards
    bool oneBatch;         // the three tracks are finished together, not one by one
};

class StoreRace : public TrackOperations, public ::testing::WithParamInterface<RaceCase> {};

// A Store whose copies and deletions run with faults injected.
struct TFaultyTransfer : TTrackTransfer {
    explicit TFaultyTransfer(const TCopyFaults& faults) : TTrackTransfer(faults) {}
};

TEST_P(StoreRace, KeepsTheChangedTrack) {
    put(baja(), "a.env");
    put(baja(), "b.env");
    put(baja(), "c.env");
    const fs::path b = baja() / "b.env";
    const TBytes changed = BytesOf("track b.env, a newer version");
    const auto change = [&] {
        if (GetParam().replace) {
            WriteFileBytes((baja() / "new").string(), changed);
            fs::rename(baja() / "new", b);
        } else {
            std::ofstream(b, std::ios::binary | std::ios::app) << ", a newer version";
        }
    };
    TCopyFaults faults;
    int reads = 0; // a.env's copy reads one chunk, b.env's the next
    if (GetParam().duringCopy)
        faults.afterRead = [&](int) {
            if (++reads == 2)
                change();
        };
    else
        faults.beforeDelete = [&](const std::string& path) {
            if (path.ends_with("b.env"))
                change();
        };
    TFaultyTransfer transfer(faults);

    try {
        for (const char* name : {"a.env", "b.env", "c.env"}) {
            transfer.Add(eventFolder + name, archiveFolder() + name, true);
            if (!GetParam().oneBatch)
                transfer.Finish();
        }
        transfer.Finish();
        FAIL() << "the change went unnoticed";
    } catch (const EFileChanged& e) {
        EXPECT_NE(std::string(e.what()).find(eventFolder + "b.env"), std::string::npos) << e.what();
    }
    // c.env is untouched, or moved whole when it was copied before b.env's change came to light: a
    // complete copy of b.env's old bytes shows it only when b.env is about to be deleted.
    const bool cMoved = GetParam().oneBatch && GetParam().archivedOldBytes;
    TSnapshot game{{"b.env", changed}};
    TSnapshot archived{{"a.env", track("a.env")}};
    (cMoved ? archived : game)["c.env"] = track("c.env");
    if (GetParam().archivedOldBytes)
        archived["b.env"] = track("b.env");
    EXPECT_EQ(FolderSnapshot(baja()), game);
    EXPECT_EQ(FolderSnapshot(archive()), archived);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoreRace,
    ::testing::Values(RaceCase{"GrownDuringCopy", true, false, false, false},
                      RaceCase{"ReplacedDuringCopy", true, true, true, false},
                      RaceCase{"GrownBeforeDeletion", false, false, true, false},
                      RaceCase{"ReplacedBeforeDeletion", false, true, true, false},
                      RaceCase{"GrownDuringCopyInOneBatch", true, false, false, true},
                      RaceCase{"ReplacedDuringCopyInOneBatch", true, true, true, true},
                      RaceCase{"GrownBeforeDeletionInOneBatch", false, false, true, true},
                      RaceCase{"ReplacedBeforeDeletionInOneBatch", false, true, true, true}),
    [](const auto& info) { return std::string(info.param.title); });

TEST_F(TrackOperations, OneStoreNeverReplacesItsOwnCopy) {
    // Two folders with a track of one name, stored by one operation.
    fs::create_directories(baja() / "../Enduro");
    put(baja(), "x.env");
    WriteFileBytes((baja() / "../Enduro/x.env").string(), BytesOf("enduro x"));
    TTrackTransfer transfer;
    transfer.Add(eventFolder + "x.env", archiveFolder() + "x.env", true);
    transfer.Finish();
    EXPECT_THROW(
        transfer.Add(c("C:\\Games\\Skarn\\Vevozura\\Enduro\\x.env"), archiveFolder() + "x.env", true),
        EFCreateError);
    EXPECT_EQ(FolderSnapshot(archive()), (TSnapshot{{"x.env", track("x.env")}}));
    EXPECT_EQ(ReadFileBytes((baja() / "../Enduro/x.env").string()), BytesOf("enduro x"));

    // Two names of one folder that an archive reached through the prefix takes for one.
    fs::create_directories(baja() / "../../Archive");
    put(baja(), "Track.env");
    put(baja(), "track.env");
    const TOperationReport both = Store(in({"Track.env", "track.env"}), c("C:\\Games\\Skarn\\Archive\\"));
    EXPECT_EQ(fates(both), (std::vector<std::string>{"done Track.env", "refused"}))
        << "one replaced the other";
    EXPECT_EQ(drives.AsGiven(both.Tracks[1].Message),
              "Cannot create file C:\\Games\\Skarn\\Archive\\track.env");
    EXPECT_EQ(FolderSnapshot(baja() / "../../Archive"), (TSnapshot{{"Track.env", track("Track.env")}}));
    EXPECT_EQ(FolderSnapshot(baja()), (TSnapshot{{"track.env", track("track.env")}}));

    // Two tracks of one name fetched by one operation: the second is refused, not put over the first.
    fs::create_directories(archive() / "more");
    WriteFileBytes((archive() / "y.env").string(), BytesOf("first y"));
    WriteFileBytes((archive() / "more/y.env").string(), BytesOf("second y"));
    EXPECT_EQ(fates(Fetch({archiveFolder() + "y.env", archiveFolder() + "more/y.env"}, eventFolder)),
              (std::vector<std::string>{"done y.env", "refused"}));
    EXPECT_EQ(ReadFileBytes((baja() / "y.env").string()), BytesOf("first y"));

    // A later operation replaces the copy as ever.
    Store(in({"track.env"}), c("C:\\Games\\Skarn\\Archive\\"));
    EXPECT_EQ(FolderSnapshot(baja() / "../../Archive"), (TSnapshot{{"Track.env", track("track.env")}}));
}

TEST_F(TrackOperations, AFailedFlushLeavesTheWholeBatchUntouched) {
    put(baja(), "a.env");
    put(baja(), "b.env");
    TCopyFaults faults;
    faults.failFlush = true;
    TFaultyTransfer transfer(faults);
    transfer.Add(eventFolder + "a.env", archiveFolder() + "a.env", true);
    transfer.Add(eventFolder + "b.env", archiveFolder() + "b.env", true);
    EXPECT_THROW(transfer.Finish(), EWriteError);
    EXPECT_EQ(FolderSnapshot(baja()), (TSnapshot{{"a.env", track("a.env")}, {"b.env", track("b.env")}}));
    EXPECT_EQ(FolderSnapshot(archive()), TSnapshot{}) << "no copy and no temporary is left";
}

TEST_F(TrackOperations, StoreIntoTheEventFolderItselfKeepsTheTrack) {
    put(baja(), "a.env");
    const std::vector<std::string> spellings = {eventFolder, "c:\\games\\SKARN\\vevozura\\BAJA\\",
                                                baja().string() + "/", baja().string() + "/../Baja/"};
    for (const std::string& folder : spellings) {
        const TOperationReport report = Store(in({"a.env"}), folder);
        EXPECT_EQ(fates(report), std::vector<std::string>{"refused"})
            << "stored " << folder << " onto itself";
        EXPECT_EQ(report.Tracks[0].Message, "Cannot create file " + folder + "a.env");
        EXPECT_EQ(FolderSnapshot(baja()), (TSnapshot{{"a.env", track("a.env")}})) << folder;
    }
}

TEST_F(TrackOperations, FetchCopiesChosenFilesIntoTheEventFolder) {
    fs::create_directory(archive() / "more");
    put(archive(), "a.env");
    put(archive() / "more", "b.~env");
    put(archive(), "b.env");
    put(archive(), "typed.env");
    WriteFileBytes((baja() / "a.env").string(), BytesOf("the track in the game"));
    put(baja(), "C.~ENV");
    put(archive(), "c.env");

    const TOperationReport first = Fetch({archiveFolder() + "a.env", archiveFolder() + "more/b.~env",
                                          archiveFolder() + "b.env", archiveFolder() + "c.env"},
                                         eventFolder);
    EXPECT_EQ(fates(first),
              (std::vector<std::string>{"done a.env", "done b.~env", "exists b.~env", "exists C.~ENV"}))
        << "no second item of one track beside its other state";
    EXPECT_TRUE(first.Tracks[0].Replaced);
    EXPECT_EQ(fates(Fetch({archiveFolder() + "more/b.~env", eventFolder + "b.~env"}, eventFolder)),
              (std::vector<std::string>{"done b.~env", "already"}))
        << "the track itself is there already";

    EXPECT_EQ(
        FolderSnapshot(baja()),
        (TSnapshot{{"a.env", track("a.env")}, {"b.~env", track("b.~env")}, {"C.~ENV", track("C.~ENV")}}));
    EXPECT_EQ(FolderSnapshot(archive() / "more"), (TSnapshot{{"b.~env", track("b.~env")}}))
        << "the archive stays";

    // Replacing the other state: it goes once its track is reached, never before a cancel.
    std::vector<std::string> removed;
    const auto remove = [&](const std::string& path) -> TRemoval {
        removed.push_back(FileNamePart(path));
        fs::remove(NativePath(path));
        return {TTrackFate::Deleted, {}, {}};
    };
    const std::vector<TFetchTwin> twins =
        FetchTwins({archiveFolder() + "c.env", archiveFolder() + "a.env"}, eventFolder);
    ASSERT_EQ(twins.size(), 1u);
    EXPECT_EQ(twins[0].track, "c.env");
    EXPECT_EQ(twins[0].twin, "C.~ENV");
    const auto cancelAt = [](std::size_t at) {
        return [at](std::size_t index, std::size_t) { return index < at; };
    };
    Fetch({archiveFolder() + "a.env", archiveFolder() + "c.env"}, eventFolder, cancelAt(1),
          TTwinChoice::Replace, remove);
    EXPECT_TRUE(removed.empty());
    const TOperationReport replaced =
        Fetch({archiveFolder() + "c.env"}, eventFolder, cancelAt(1), TTwinChoice::Replace, remove);
    EXPECT_EQ(fates(replaced), std::vector<std::string>{"done c.env"});
    EXPECT_EQ(replaced.Tracks[0].Other, "C.~ENV");
    EXPECT_EQ(removed, std::vector<std::string>{"C.~ENV"});
    fs::rename(baja() / "c.env", baja() / "C.~ENV");

    // Both states of one track in one Fetch: the later is left out whatever the answer, and is not asked.
    put(archive(), "d.env");
    put(archive() / "more", "d.~env");
    const std::vector<std::string> both{archiveFolder() + "d.env", archiveFolder() + "more/d.~env"};
    EXPECT_TRUE(FetchTwins(both, eventFolder).empty()) << "nothing in the folder to ask about";
    EXPECT_EQ(fates(Fetch(both, eventFolder, {}, TTwinChoice::Replace, remove)),
              (std::vector<std::string>{"done d.env", "exists d.env"}));
    EXPECT_EQ(removed, std::vector<std::string>{"C.~ENV"});
    fs::remove(baja() / "d.env");

    fs::remove(archive() / "typed.env");
    const TOperationReport missing =
        Fetch({archiveFolder() + "typed.env", archiveFolder() + "a.env"}, eventFolder);
    EXPECT_EQ(fates(missing), (std::vector<std::string>{"refused", "cancelled"}));
    EXPECT_EQ(missing.Tracks[0].Message, "Cannot open file " + archiveFolder() + "typed.env");
    EXPECT_THROW(Fetch({archiveFolder() + "a.env"}, c("C:\\Games\\Skarn\\Vevozura\\SX\\")), EFolderMissing);
}

TEST_F(TrackOperations, DeleteSaysWhatTheRemovalDidAndUndoRestores) {
    put(baja(), "a.env");
    put(baja(), "b.env");
    fs::create_directory(dir.path() / "trash");
    // A trash of the test's own: a.env goes there; b.env is deleted for good; what fails says why.
    const auto remove = [&](const std::string& path) -> TRemoval {
        const std::string native = NativePath(path);
        if (FileNamePart(path) == "a.env") {
            const std::string place = (dir.path() / "trash/a.env").string();
            fs::rename(native, place);
            return {TTrackFate::Trashed, {}, place};
        }
        const TFileError error = DeleteFile(path);
        return {error.Failed() ? TTrackFate::Missing : TTrackFate::Deleted, error, {}};
    };
    const TOperationReport deleted = Delete(in({"a.env", "b.env", "gone.env"}), remove);
    EXPECT_EQ(fates(deleted), (std::vector<std::string>{"trashed", "deleted", "missing"}));
    EXPECT_EQ(FolderSnapshot(baja()), TSnapshot{});

    const auto restore = [](const std::string& place, const std::string& path) {
        return RenameFile(place, path);
    };
    EXPECT_EQ(fates(Undo(deleted, restore)), std::vector<std::string>{"done a.env"})
        << "only what went to the trash comes back";
    EXPECT_EQ(FolderSnapshot(baja()), (TSnapshot{{"a.env", track("a.env")}}));
}

#endif
} // namespace
