// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <string>
#include <vector>

#include "ContainerWriter.h"
#include "FakeGame.h"
#include "TempDir.h"
#include "platform/Exceptions.h"
#include "platform/NativePath.h"
#include "tracks/TrackCatalogue.h"

namespace fs = std::filesystem;

namespace {

struct SceneCase {
    const char* what;
    std::string descriptor; // plain text of the scene entry
    std::string name;
};

class SceneName : public ::testing::TestWithParam<SceneCase> {};

TEST_P(SceneName, FromTheDescriptor) {
    TTempDir dir;
    const std::string path = dir.file("t.env");
    WriteFileBytes(path, BuildContainer({{"other", {1, 2}}, {"track.scn", BytesOf(GetParam().descriptor)}}));
    EXPECT_EQ(ReadSceneName(path), GetParam().name) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, SceneName,
    ::testing::Values(SceneCase{"line ends in CR", "SceneName=Big Jump\r\nLaps=3", "Big Jump"},
                      SceneCase{"quoted", "SceneName=\"Big Jump\"\r\n", "Big Jump"},
                      SceneCase{"blank then quoted", "SceneName= \"Big Jump\"\n", "Big Jump"},
                      SceneCase{"line break right after the key", "SceneName=\r\nx", ""},
                      SceneCase{"key in small letters", "scenename=Low\r\n", ""},
                      SceneCase{"key after a further S is missed", "SSceneName=Missed\r\n", ""},
                      SceneCase{"key after Scene is missed", "SceneSceneName=Missed\r\n", ""},
                      SceneCase{"missed first, found later", "SSceneName=A\r\nSceneName=B\r\n", "B"},
                      SceneCase{"key after another letter", "XSceneName=Found\n", "Found"},
                      SceneCase{"key after a line break", "[Scene]\r\nSceneName=Found\n", "Found"},
                      SceneCase{"first of two", "SceneName=First\nSceneName=Second\n", "First"},
                      SceneCase{"tabs are not skipped", "SceneName=\tTab\n", "\tTab"},
                      SceneCase{"trailing blanks belong to the name", "SceneName=Trail  \r", "Trail  "},
                      SceneCase{"blanks inside", "SceneName=  A  B\"", "A  B"},
                      SceneCase{"entry ends inside the name", "SceneName=NoEnd", "NoEnd"},
                      SceneCase{"entry ends inside the filler", "SceneName=  \"", ""},
                      SceneCase{"entry ends on the key", "SceneName=", ""},
                      SceneCase{"Windows-1252 bytes kept", "SceneName=C\xF4te \x96 \xE9t\xE9\r",
                                "C\xF4te \x96 \xE9t\xE9"},
                      SceneCase{"empty entry", "", ""}));

TEST(SceneName, PlainContainersAreDescrambledAllTheSame) {
    TTempDir dir;
    const std::string stored = dir.file("stored.env");
    WriteFileBytes(stored, BuildContainer({{"a.scn", ScrambledBytes(BytesOf("SceneName=Hill\r"))}},
                                          {.scrambled = false}));
    EXPECT_EQ(ReadSceneName(stored), "Hill");
    const std::string plainText = dir.file("plain.env");
    WriteFileBytes(plainText, BuildContainer({{"a.scn", BytesOf("SceneName=Hill\r")}}, {.scrambled = false}));
    EXPECT_EQ(ReadSceneName(plainText), "") << "the text scanned is not the text stored";
}

TEST(SceneName, TheFirstEntryContainingScnIsUsed) {
    TTempDir dir;
    const std::string path = dir.file("t.env");
    WriteFileBytes(
        path, BuildContainer({{"xSCN.dat", BytesOf("nothing here")}, {"t.scn", BytesOf("SceneName=B\r")}}));
    EXPECT_EQ(ReadSceneName(path), "");
    WriteFileBytes(path, BuildContainer({{"t.bin", BytesOf("SceneName=A\r")}}));
    EXPECT_EQ(ReadSceneName(path), "") << "no entry named like scn";
}

TEST(SceneName, UnopenableFile) {
    EXPECT_THROW(ReadSceneName("/nonexistent/track.env"), EFOpenError);
}

struct NameCase {
    const char* name;
    bool track;
};

class TrackFileName : public ::testing::TestWithParam<NameCase> {};

TEST_P(TrackFileName, ExtensionRule) {
    EXPECT_EQ(IsTrackFileName(GetParam().name), GetParam().track);
}

INSTANTIATE_TEST_SUITE_P(Names, TrackFileName,
                         ::testing::Values(NameCase{"A.env", true}, NameCase{"B.~env", true},
                                           NameCase{"C.ENV", true}, NameCase{"D.envx", true},
                                           NameCase{"x.oldenv", true}, NameCase{"E.bak", false},
                                           NameCase{"F", false}, NameCase{".env", false},
                                           NameCase{"env", false}, NameCase{"a.env.bak", false},
                                           NameCase{"a.b.Env", true}));

TEST(TrackList, ListsTracksSortedWithoutRegardToCase) {
    TTempDir dir;
    const auto track = [&](const std::string& file, const std::string& name) {
        WriteFileBytes(dir.file(file), BuildContainer({{"t.scn", BytesOf("SceneName=" + name + "\r\n")}}));
    };
    track("A.env", "beta");
    track("B.~env", "Alpha");
    track("C.ENV", "gamma");
    track("D.envx", "Beta");
    track("E.bak", "Hidden one");
    track("F", "Hidden two");
    track(".env", "Hidden three");
    track("H.env", "");
    track("I.env", "_under");
    track("J.env", "\xC9lan");
    track("K.env", "eclair");
    fs::create_directory(dir.path() / "G.env");

    TTrackList list;
    list.Fill(dir.path().string() + "/");
    std::vector<std::pair<std::string, std::string>> got;
    for (const TTrackItem& item : list.Items())
        got.emplace_back(item.DisplayName, item.FileName);
    const std::vector<std::pair<std::string, std::string>> want = {
        {"_under", "I.env"}, {"Alpha", "B.~env"},  {"beta", "A.env"},  {"Beta", "D.envx"},
        {"eclair", "K.env"}, {"\xC9lan", "J.env"}, {"gamma", "C.ENV"},
    };
    EXPECT_EQ(got, want) << "accented letters sort with their base letters";
}

TEST(TrackList, MissingFolderGivesAnEmptyList) {
    TTrackList list;
    list.Fill("/nonexistent/Vevozura/Baja/");
    EXPECT_TRUE(list.empty());
}

#ifndef _WIN32
// Few tracks are read one after another, many on several threads: the outcome must be the same.
class UnreadableTracks : public ::testing::TestWithParam<int> {};

TEST_P(UnreadableTracks, AreReportedOnceAfterEveryReadableOne) {
    TTempDir dir;
    const int count = GetParam();
    for (int i = 0; i < count; ++i)
        WriteFileBytes(dir.file("t" + std::to_string(i) + ".env"),
                       BuildContainer({{"t.scn", BytesOf("SceneName=Track " + std::to_string(i) + "\r")}}));
    fs::create_symlink(dir.path() / "gone", dir.path() / "dangling.env");
    fs::create_symlink(dir.path() / "loop.env", dir.path() / "loop.env");
    TTrackList list;
    try {
        list.Fill(dir.path().string() + "/");
        FAIL() << "the unreadable tracks went unreported";
    } catch (const ETracksUnreadable& e) {
        ASSERT_EQ(e.Messages().size(), 2u);
        EXPECT_EQ(std::string(e.what()), e.Messages()[0] + " (and 1 more track file cannot be read)");
        for (const char* name : {"/dangling.env", "/loop.env"})
            EXPECT_TRUE(e.Messages()[0] == "Cannot open file " + dir.path().string() + name ||
                        e.Messages()[1] == "Cannot open file " + dir.path().string() + name)
                << name;
    }
    ASSERT_EQ(list.size(), static_cast<std::size_t>(count));
    for (std::size_t i = 1; i < list.size(); ++i)
        EXPECT_TRUE(TrackItemLess(list[i - 1], list[i])) << "the list is sorted";
}

TEST(SceneName, ANameThatRunsToTheEndOfAHugeEntryIsCut) {
    // A sparse file: the scene entry claims a gigabyte of which only its first bytes are on disk.
    TTempDir dir;
    const std::vector<std::uint8_t> scene = ScrambledBytes(BytesOf("SceneName=Long" + std::string(300, 'g')));
    std::vector<std::uint8_t> bytes =
        BuildContainer({{"t.scn", scene, std::nullopt, std::nullopt, 1 << 30}}, {.scrambled = false});
    WriteFileBytes(dir.file("t.env"), bytes);
    fs::resize_file(dir.file("t.env"), (std::uintmax_t{1} << 30) + bytes.size());
    const std::string name = ReadSceneName(dir.file("t.env"));
    EXPECT_EQ(name.size(), DisplayNameLimit);
    EXPECT_TRUE(name.starts_with("Long") && name.ends_with("g")) << name.substr(0, 20);
}

INSTANTIATE_TEST_SUITE_P(Counts, UnreadableTracks, ::testing::Values(20, 400));

// A game under C:\ИГРЫ whose folder on the disk is "игры": the event folder is found in other letter
// case, its tracks are listed, and a failure names the path as the program built it.
TEST(TrackList, WindowsPathsResolveOnceInAnyLetterCase) {
    TTempDir dir;
    const TFakeGame game(dir.path() / "pfx", {.gameFolder = "\xD0\xB8\xD0\xB3\xD1\x80\xD1\x8B"});
    for (int i = 0; i < 60; ++i)
        game.AddTrack("Baja", "t" + std::to_string(i) + ".env", "Track " + std::to_string(i));
    const TWinePrefix drives(game.Prefix().string());
    const std::string folder = drives.Place("C:\\\xD0\x98\xD0\x93\xD0\xA0\xD0\xAB\\vevozura\\BAJA\\");
    TTrackList list;
    list.Fill(folder);
    EXPECT_EQ(list.size(), 60u);
    fs::create_symlink(dir.path() / "gone", game.EventFolder("Baja") / "dangling.env");
    try {
        list.Fill(folder);
        ADD_FAILURE() << "expected the open failure";
    } catch (const ETracksUnreadable& e) {
        EXPECT_EQ(drives.AsGiven(e.what()),
                  "Cannot open file C:\\\xD0\x98\xD0\x93\xD0\xA0\xD0\xAB\\vevozura\\BAJA\\dangling.env");
    }
}

#endif
TEST(Catalogue, InactiveAndEventFolder) {
    EXPECT_TRUE(IsInactiveTrack("a.~env"));
    EXPECT_FALSE(IsInactiveTrack("a.env"));
    EXPECT_FALSE(IsInactiveTrack("~en"));
    EXPECT_EQ(EventFolder("C:\\Games\\X\\", "SX"), "C:\\Games\\X\\Vevozura\\SX\\");
    EXPECT_EQ(EventFolder("", "Tag"), "Vevozura\\Tag\\");
}

} // namespace
