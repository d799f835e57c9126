// SPDX-License-Identifier: GPL-3.0-or-later
// File operations on what only POSIX systems have: symbolic links and Wine prefixes whose drive
// letters lead into a temporary folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ContainerWriter.h"
#include "FolderSnapshot.h"
#include "TempDir.h"
#include "platform/Exceptions.h"
#include "platform/FileOps.h"
#include "platform/NativePath.h"

namespace fs = std::filesystem;

namespace {

// Names in any script fold as Windows folds them (the test's file helpers take UTF-8 names here only).
TEST(FolderRenamer, NamesTakenInAnotherLetterCaseOfAnyScript) {
    TTempDir dir;
    for (const char* name : {"a.env", "\xD0\x98.env"})
        WriteFileBytes(dir.file(name), BytesOf(name));
    TFolderRenamer folder(dir.path().string() + "/");
    EXPECT_TRUE(IsNameTaken(folder.Rename("a.env", "\xD0\xB8.ENV")))
        << "taken in another letter case, Cyrillic";
    EXPECT_EQ(FolderSnapshot(dir.path()),
              (TSnapshot{{"a.env", BytesOf("a.env")}, {"\xD0\x98.env", BytesOf("\xD0\x98.env")}}));
}

// Two names that differ only in case can exist on Linux; neither may take the other's place.
TEST(RenameOnLinux, ACaseOnlyRenameNeverTakesTheNameOfAnotherFile) {
    TTempDir dir;
    WriteFileBytes(dir.file("t.env"), BytesOf("t.env"));
    WriteFileBytes(dir.file("T.env"), BytesOf("T.env"));
    EXPECT_TRUE(IsNameTaken(RenameFile(dir.file("t.env"), dir.file("T.ENV"))));
    EXPECT_EQ(FolderSnapshot(dir.path()),
              (TSnapshot{{"T.env", BytesOf("T.env")}, {"t.env", BytesOf("t.env")}}));
}

TEST(CopyOnLinux, TheCopyKeepsThePermissionsOfTheFileItReplaces) {
    TTempDir dir;
    WriteFileBytes(dir.file("src.env"), BytesOf("new"));
    WriteFileBytes(dir.file("dst.env"), BytesOf("old"));
    const fs::perms perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(dir.path() / "dst.env", perms);
    CopyFileReplacing(dir.file("src.env"), dir.file("dst.env"));
    EXPECT_EQ(ReadFileBytes(dir.file("dst.env")), BytesOf("new"));
    EXPECT_EQ(fs::status(dir.path() / "dst.env").permissions() & fs::perms::all, perms);
}

TEST(CopyWithLinks, ALinkIsNeitherReplacedNorFollowedFromADanglingOne) {
    TTempDir dir;
    WriteFileBytes(dir.file("t.env"), BytesOf("track"));
    fs::create_symlink("t.env", dir.path() / "symlink.env");
    fs::create_symlink("missing.env", dir.path() / "dangling.env");
    const TSnapshot before = FolderSnapshot(dir.path());
    const std::string root = dir.path().string() + "/";
    try {
        CopyFileReplacing(root + "t.env", root + "symlink.env");
        FAIL() << "copied onto a link to the source";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.what(), "Cannot create file " + root + "symlink.env");
    }
    try {
        CopyFileReplacing(root + "dangling.env", root + "new.env");
        FAIL() << "copied from a dangling link";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.what(), "Cannot open file " + root + "dangling.env");
    }
    EXPECT_EQ(FolderSnapshot(dir.path()), before);
}

// A fake Wine prefix, so that Windows-style paths resolve into the temporary folder.
class WindowsPaths : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.path() / "pfx/dosdevices");
        fs::create_directories(dir.path() / "pfx/drive_c/Games/Vevozura/Baja");
        fs::create_symlink("../drive_c", dir.path() / "pfx/dosdevices/c:");
        drives = TWinePrefix((dir.path() / "pfx").string());
    }

    // path, a drive path, placed in the fake prefix.
    std::string c(const char* path) const { return drives.Place(path); }

    fs::path baja() const { return dir.path() / "pfx/drive_c/Games/Vevozura/Baja"; }

    TTempDir dir;
    TWinePrefix drives;
};

TEST_F(WindowsPaths, RenameResolvesFoldersWithoutRegardToCase) {
    WriteFileBytes((baja() / "Jump.ENV").string(), BytesOf("x"));
    EXPECT_FALSE(
        RenameFile(c("C:\\games\\VEVOZURA\\baja\\jump.env"), c("c:\\Games\\vevozura\\BAJA\\Jump.~env"))
            .Failed());
    EXPECT_EQ(FolderSnapshot(baja()), (TSnapshot{{"Jump.~env", BytesOf("x")}}));
    EXPECT_TRUE(IsFileMissing(
        RenameFile(c("C:\\Games\\Vevozura\\Baja\\other.env"), c("C:\\Games\\Vevozura\\Baja\\jump.~env"))));
}

TEST_F(WindowsPaths, CopyReportsThePathsAsGiven) {
    WriteFileBytes((baja() / "t.env").string(), BytesOf("track"));
    try {
        CopyFileReplacing(c("C:\\Games\\Vevozura\\Baja\\t.env"), c("c:\\games\\vevozura\\baja\\T.ENV"));
        FAIL() << "copied a file onto itself";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(drives.AsGiven(e.what()), "Cannot create file C:\\games\\vevozura\\baja\\T.ENV");
    }
    try {
        CopyFileReplacing(c("C:\\Games\\Vevozura\\Baja\\gone.env"), c("C:\\Games\\x.env"));
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(drives.AsGiven(e.what()), "Cannot open file C:\\Games\\Vevozura\\Baja\\gone.env");
    }
    EXPECT_EQ(FolderSnapshot(baja()), (TSnapshot{{"t.env", BytesOf("track")}}));
}

TEST_F(WindowsPaths, CopyOntoTheSameFileInOtherLetterCaseIsRefused) {
    // The native spelling of the event folder meets the Windows-style one, as when the user picks the
    // event folder itself in the file dialog.
    WriteFileBytes((baja() / "t.env").string(), BytesOf("track"));
    EXPECT_THROW(CopyFileReplacing(c("C:\\GAMES\\vevozura\\baja\\T.ENV"), (baja() / "t.env").string()),
                 EFCreateError);
    EXPECT_EQ(FolderSnapshot(baja()), (TSnapshot{{"t.env", BytesOf("track")}}));
}

// A destination folder's names read once find every name as NativePath finds it, and learn the names
// added to the folder.
TEST_F(WindowsPaths, FolderNamesFindNamesAsNativePathDoes) {
    WriteFileBytes((baja() / "Jump.ENV").string(), BytesOf("x"));
    WriteFileBytes((baja() / "both.env").string(), BytesOf("x"));
    WriteFileBytes((baja() / "BOTH.env").string(), BytesOf("x"));
    const std::string native = baja().string() + "/";
    for (const std::string& folder :
         {c("c:\\GAMES\\vevozura\\baja\\"), native, c("C:\\Games\\Vevozura\\Missing\\")}) {
        TFolderNames names(folder);
        for (const char* name : {"jump.env", "Jump.ENV", "both.env", "BOTH.env", "Both.env", "new.env"})
            EXPECT_EQ(names.PathOf(name), NativePath(folder + name)) << folder << name;
    }
    TFolderNames names(c("C:\\Games\\Vevozura\\Baja\\"));
    names.Add("New.env");
    names.Add("jump.env"); // placed over Jump.ENV: no new name
    EXPECT_EQ(names.PathOf("NEW.ENV"), NativePath(c("C:\\Games\\Vevozura\\Baja\\New.env")));
    EXPECT_EQ(names.PathOf("jump.env"), NativePath(c("C:\\Games\\Vevozura\\Baja\\Jump.ENV")));
}

} // namespace
