// SPDX-License-Identifier: GPL-3.0-or-later
// The freedesktop trash: where a deleted track goes for a fresh account, a trash that takes nothing,
// and another mount.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

#include "ContainerWriter.h"
#include "ImmutableFile.h"
#include "TempDir.h"
#include "TrashTestSupport.h"
#include "platform/Trash.h"

namespace fs = std::filesystem;

namespace {

// A home without .local/share: the trash is made where the desktop looks, mode 0700.
TEST_F(TTrashTest, AFreshHomeGetsItsTrashWhereTheDesktopLooks) {
    WriteFileBytes(dir.file("t.env"), BytesOf("track"));
    ASSERT_FALSE(fs::exists(home / ".local"));
    EXPECT_TRUE(WouldGoToTrash(dir.file("t.env")));
    const TTrashResult result = MoveToTrash(dir.file("t.env"), TWithoutTrash::Refuse);
    ASSERT_EQ(result.outcome, TTrashOutcome::Trashed) << SystemErrorText(result.error.code);
    const fs::path trash = home / ".local/share/Trash";
    EXPECT_EQ(result.trashedPath, (trash / "files/t.env").string());
    EXPECT_EQ(ReadFileBytes(result.trashedPath), BytesOf("track"));
    EXPECT_FALSE(fs::exists(dir.path() / "t.env"));
    EXPECT_EQ(fs::status(trash).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(TrashedPathOf(trash / "info/t.env.trashinfo"), dir.file("t.env"));
}

TEST_F(TTrashTest, XdgDataHomeIsWhereTheTrashIs) {
    ::setenv("XDG_DATA_HOME", (dir.path() / "data").c_str(), 1);
    WriteFileBytes(dir.file("t.env"), BytesOf("track"));
    EXPECT_EQ(MoveToTrash(dir.file("t.env"), TWithoutTrash::Refuse).trashedPath,
              (dir.path() / "data/Trash/files/t.env").string());
}

// Names that need encoding come back as they were; a name taken in the trash gets another, and a
// restore never replaces the file that has the old name now.
TEST_F(TTrashTest, RestoresWithoutReplacing) {
    const std::string name = "my track \xC3\xA9%.env";
    WriteFileBytes(dir.file(name), BytesOf("first"));
    const TTrashResult first = MoveToTrash(dir.file(name), TWithoutTrash::Refuse);
    WriteFileBytes(dir.file(name), BytesOf("second"));
    const TTrashResult second = MoveToTrash(dir.file(name), TWithoutTrash::Refuse);
    ASSERT_EQ(second.outcome, TTrashOutcome::Trashed);
    EXPECT_NE(second.trashedPath, first.trashedPath);
    EXPECT_EQ(TrashedPathOf(home / ".local/share/Trash/info" /
                            (fs::path(second.trashedPath).filename().string() + ".trashinfo")),
              dir.file(name));

    EXPECT_FALSE(RestoreFromTrash(second.trashedPath).Failed());
    EXPECT_EQ(RestoreFromTrash(first.trashedPath).code, EEXIST);
    EXPECT_EQ(ReadFileBytes(dir.file(name)), BytesOf("second"));
    EXPECT_EQ(ReadFileBytes(first.trashedPath), BytesOf("first"));
}

TEST_F(TTrashTest, FoldersAndMissingFilesAreRefused) {
    fs::create_directory(dir.path() / "d.env");
    EXPECT_EQ(MoveToTrash(dir.file("d.env"), TWithoutTrash::Delete).error.code, EISDIR);
    EXPECT_EQ(MoveToTrash(dir.file("gone.env"), TWithoutTrash::Delete).error.code, ENOENT);
    EXPECT_TRUE(fs::is_directory(dir.path() / "d.env"));
}

enum class TBrokenTrash { FileInItsPlace, ImmutableFiles };

class NoTrash : public TTrashTest, public ::testing::WithParamInterface<TBrokenTrash> {};

// Without a trash that takes files, Delete deletes for good only when told to; asked beforehand, the
// answer is no trash.
TEST_P(NoTrash, DeletedForGoodOnlyWhenAllowed) {
    const fs::path trash = home / ".local/share/Trash";
    std::optional<TImmutableFile> immutable;
    switch (GetParam()) {
    case TBrokenTrash::FileInItsPlace:
        fs::create_directories(trash.parent_path());
        WriteFileBytes(trash.string(), BytesOf("not a folder"));
        break;
    case TBrokenTrash::ImmutableFiles:
        fs::create_directories(trash / "files");
        fs::create_directories(trash / "info");
        immutable.emplace((trash / "files").string());
        if (!immutable->Set())
            GTEST_SKIP() << "the file system or the rights do not allow an immutable folder here";
        break;
    }
    WriteFileBytes(dir.file("t.env"), BytesOf("track"));
    EXPECT_FALSE(WouldGoToTrash(dir.file("t.env")));
    const TTrashResult refused = MoveToTrash(dir.file("t.env"), TWithoutTrash::Refuse);
    EXPECT_EQ(refused.outcome, TTrashOutcome::Refused);
    EXPECT_TRUE(refused.error.Failed());
    EXPECT_TRUE(fs::exists(dir.path() / "t.env"));
    EXPECT_EQ(MoveToTrash(dir.file("t.env"), TWithoutTrash::Delete).outcome, TTrashOutcome::Deleted);
    EXPECT_FALSE(fs::exists(dir.path() / "t.env"));
}

INSTANTIATE_TEST_SUITE_P(Trashes, NoTrash,
                         ::testing::Values(TBrokenTrash::FileInItsPlace, TBrokenTrash::ImmutableFiles));

// A disk mounted for the test: its own trash at its top, never the home trash on another disk.
class OtherMount : public TTrashTest {
protected:
    void SetUp() override {
        mountPoint = dir.path() / "mnt";
        fs::create_directory(mountPoint);
        if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=1m,mode=0755") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here (" << SystemErrorText(errno) << "): run as root";
        mounted = true;
        fs::create_directory(mountPoint / "Baja");
        WriteFileBytes((mountPoint / "Baja/t.env").string(), BytesOf("track"));
    }
    void TearDown() override {
        if (mounted)
            ::umount2(mountPoint.c_str(), MNT_DETACH);
    }
    std::string track() const { return (mountPoint / "Baja/t.env").string(); }

    fs::path mountPoint;
    bool mounted = false;
};

TEST_F(OtherMount, GoesIntoTheTrashOfTheMount) {
    EXPECT_TRUE(WouldGoToTrash(track()));
    const TTrashResult result = MoveToTrash(track(), TWithoutTrash::Refuse);
    ASSERT_EQ(result.outcome, TTrashOutcome::Trashed) << SystemErrorText(result.error.code);
    const fs::path trash = mountPoint / (".Trash-" + std::to_string(::getuid()));
    EXPECT_EQ(result.trashedPath, (trash / "files/t.env").string());
    EXPECT_EQ(TrashedPathOf(trash / "info/t.env.trashinfo"), track());
    EXPECT_FALSE(fs::exists(home / ".local/share/Trash/files/t.env"));
    EXPECT_FALSE(RestoreFromTrash(result.trashedPath).Failed());
    EXPECT_EQ(ReadFileBytes(track()), BytesOf("track"));
}

// A shared .Trash with the sticky bit holds a folder per user; without the bit it is not trusted.
TEST_F(OtherMount, ASharedTrashOnlyWithTheStickyBit) {
    const std::string uid = std::to_string(::getuid());
    fs::create_directory(mountPoint / ".Trash");
    fs::permissions(mountPoint / ".Trash", fs::perms::all);
    EXPECT_EQ(MoveToTrash(track(), TWithoutTrash::Refuse).trashedPath,
              (mountPoint / (".Trash-" + uid) / "files/t.env").string());

    WriteFileBytes(track(), BytesOf("track"));
    fs::permissions(mountPoint / ".Trash", fs::perms::all | fs::perms::sticky_bit);
    EXPECT_EQ(MoveToTrash(track(), TWithoutTrash::Refuse).trashedPath,
              (mountPoint / ".Trash" / uid / "files/t.env").string());
}

TEST_F(OtherMount, ALinkInPlaceOfTheTrashIsNoTrash) {
    fs::create_directory(dir.path() / "elsewhere");
    fs::create_directory_symlink(dir.path() / "elsewhere",
                                 mountPoint / (".Trash-" + std::to_string(::getuid())));
    EXPECT_FALSE(WouldGoToTrash(track()));
    EXPECT_EQ(MoveToTrash(track(), TWithoutTrash::Refuse).outcome, TTrashOutcome::Refused);
    EXPECT_TRUE(fs::is_empty(dir.path() / "elsewhere"));
}

} // namespace
