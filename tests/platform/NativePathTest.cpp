// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "TempDir.h"
#include "platform/NativePath.h"

namespace fs = std::filesystem;

namespace {

// A fake Wine prefix: dosdevices/c: -> ../drive_c, and a game tree with mixed letter case.
class NativePathTest : public ::testing::Test {
protected:
    void SetUp() override {
        prefix = makePrefix(dir.path() / "pfx");
        fs::create_directories(prefix / "drive_c/Games/Skarn/Vevozura/Baja");
        fs::create_directories(prefix / "drive_c/Games/Skarn/Vevozura/SX");
        std::ofstream(prefix / "drive_c/Games/Skarn/Vevozura/Baja/Track One.ENV") << "x";
        std::ofstream(prefix / "drive_c/Games/Skarn/Vevozura/Baja/exact.env") << "x";
        std::ofstream(prefix / "drive_c/Games/Skarn/Vevozura/Baja/EXACT.env") << "x";
        drives = TWinePrefix(prefix.string());
    }

    // A prefix at folder whose c: drive holds Games.
    static fs::path makePrefix(const fs::path& folder) {
        fs::create_directories(folder / "dosdevices");
        fs::create_directories(folder / "drive_c/Games");
        fs::create_symlink("../drive_c", folder / "dosdevices/c:");
        return folder;
    }

    std::string c(const std::string& rest) const { return (prefix / "dosdevices/c:").string() + rest; }

    TTempDir dir;
    fs::path prefix;
    TWinePrefix drives;
};

struct PathCase {
    const char* windows;
    const char* native; // relative to the c: drive link
};

class DrivePaths : public NativePathTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(DrivePaths, ResolveThroughThePrefix) {
    EXPECT_EQ(NativePath(drives.Place(GetParam().windows)), c(GetParam().native));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DrivePaths,
    ::testing::Values(
        PathCase{"C:\\Games\\Skarn\\Vevozura\\Baja\\track one.env",
                 "/Games/Skarn/Vevozura/Baja/Track One.ENV"},
        PathCase{"c:\\games\\SKARN\\vevozura\\baja\\", "/Games/Skarn/Vevozura/Baja/"},
        PathCase{"C:\\Games\\Skarn\\\\Vevozura\\Baja\\", "/Games/Skarn/Vevozura/Baja/"},
        PathCase{"C:/Games/Skarn/Vevozura/sx", "/Games/Skarn/Vevozura/SX"},
        PathCase{"C:\\Games\\.\\Skarn\\x\\..\\Vevozura", "/Games/Skarn/Vevozura"},
        PathCase{"C:\\..\\..\\Games", "/Games"},
        PathCase{"C:\\Games\\Skarn\\Vevozura\\Baja\\exact.env", "/Games/Skarn/Vevozura/Baja/exact.env"},
        PathCase{"C:\\Games\\Skarn\\Vevozura\\Baja\\EXACT.env", "/Games/Skarn/Vevozura/Baja/EXACT.env"},
        PathCase{"C:\\Games\\Skarn\\Vevozura\\Baja\\new.~env", "/Games/Skarn/Vevozura/Baja/new.~env"},
        PathCase{"C:\\games\\Missing\\Deeper\\file.env", "/Games/Missing/Deeper/file.env"},
        PathCase{"C:", ""}));

TEST_F(NativePathTest, AsWrittenLooksAtNothing) {
    EXPECT_EQ(NativePathAsWritten(drives.Place("c:\\games\\SKARN\\\\x.env")), c("/games/SKARN/x.env"));
    EXPECT_EQ(NativePathAsWritten(drives.Place("C:\\Games\\")), c("/Games/"));
    EXPECT_EQ(NativePathAsWritten("/native/Path"), "/native/Path");
}

TEST_F(NativePathTest, EachPrefixKeepsItsOwnDrives) {
    const fs::path other = makePrefix(dir.path() / "other");
    const TWinePrefix second(other.string());
    EXPECT_EQ(NativePath(second.Place("C:\\games\\x.env")), (other / "dosdevices/c:/Games/x.env").string());
    EXPECT_EQ(NativePath(drives.Place("C:\\games\\x.env")), c("/Games/x.env"));
    // A drive path placed in no prefix leads nowhere that opens, whatever prefix was used before.
    EXPECT_EQ(NativePath("C:\\Games\\x.env"), "/dosdevices/c:/Games/x.env");
}

TEST_F(NativePathTest, PlacedPathsReadAsGiven) {
    struct Case {
        const char* given;
        const char* shown; // what AsGiven makes of the placed path
    };
    for (const Case& test :
         {Case{"C:\\Games\\Skarn\\", "C:\\Games\\Skarn\\"}, Case{"d:/Tracks/a.env", "D:\\Tracks\\a.env"},
          Case{"C:", "C:"}, Case{"C:x.env", "C:\\x.env"}, Case{"/home/me/a.env", "/home/me/a.env"},
          Case{"Vevozura\\Baja\\", "Vevozura\\Baja\\"}}) {
        const std::string placed = drives.Place(test.given);
        EXPECT_EQ(drives.AsGiven(placed), test.shown) << test.given;
        EXPECT_EQ(drives.AsGiven("Cannot open file " + placed + ": gone"),
                  std::string("Cannot open file ") + test.shown + ": gone");
    }
    for (const char* folder : {"", "relative/pfx"})
        EXPECT_EQ(TWinePrefix(folder).Place("C:\\Games"), "C:\\Games") << folder;
}

TEST_F(NativePathTest, APrefixNoRootedPathSpellsGivesNativePaths) {
    const fs::path odd = makePrefix(dir.path() / "odd\\prefix");
    const TWinePrefix prefix(odd.string());
    EXPECT_EQ(prefix.Place("C:\\games\\..\\..\\GAMES\\new.env"),
              (odd / "dosdevices/c:/Games/new.env").string());
    EXPECT_EQ(prefix.Place("/native/a.env"), "/native/a.env");
}

TEST_F(NativePathTest, NativeAbsolutePathsAreUsedAsTheyAre) {
    EXPECT_EQ(NativePath("/home/Player/TRACK.env"), "/home/Player/TRACK.env");
}

TEST_F(NativePathTest, RelativeAndRootedPaths) {
    const fs::path old = fs::current_path();
    fs::current_path(prefix / "drive_c/Games/Skarn");
    EXPECT_EQ(NativePath("vevozura\\BAJA\\"), (prefix / "drive_c/Games/Skarn/Vevozura/Baja/").string());
    EXPECT_EQ(NativePath("Vevozura\\Tag\\"), (prefix / "drive_c/Games/Skarn/Vevozura/Tag/").string());
    EXPECT_EQ(NativePath("\\Vevozura\\Baja\\"), "/Vevozura/Baja/")
        << "rooted: the current drive is Z:, the root";

    // A deleted working folder: a relative path names nothing that can be opened or created.
    fs::create_directory(prefix / "gone");
    fs::current_path(prefix / "gone");
    fs::remove(prefix / "gone");
    const std::string resolved = NativePath("track.env");
    const bool created = static_cast<bool>(std::ofstream(resolved));
    fs::current_path(old);
    EXPECT_NE(resolved, "/track.env");
    EXPECT_FALSE(created) << resolved;
}

} // namespace
