// SPDX-License-Identifier: GPL-3.0-or-later
// Renaming and copying through the Win32 API: other names of the same file, read-only files and
// files that another handle holds open without sharing.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <windows.h>

#include "ContainerWriter.h"
#include "FolderSnapshot.h"
#include "TempDir.h"
#include "platform/Exceptions.h"
#include "platform/FileOps.h"

namespace fs = std::filesystem;

namespace {

// A handle on path that shares nothing with other openers, as a running game may hold a track.
class TExclusiveHandle {
public:
    explicit TExclusiveHandle(const fs::path& path)
        : m_handle(::CreateFileW(path.wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~TExclusiveHandle() {
        if (m_handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_handle);
    }
    TExclusiveHandle(const TExclusiveHandle&) = delete;
    TExclusiveHandle& operator=(const TExclusiveHandle&) = delete;
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

class WindowsFileOps : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFileBytes(dir.file("a.env"), BytesOf("track a"));
        WriteFileBytes(dir.file("b.env"), BytesOf("track b"));
    }
    void TearDown() override {
        for (const auto& entry : fs::directory_iterator(dir.path()))
            ::SetFileAttributesW(entry.path().wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
    }

    TTempDir dir;
};

TEST_F(WindowsFileOps, RenameRefusesAHardLinkOfTheSameFile) {
    fs::create_hard_link(dir.path() / "a.env", dir.path() / "link.env");
    const TSnapshot before = FolderSnapshot(dir.path());
    EXPECT_TRUE(IsNameTaken(RenameFile(dir.file("a.env"), dir.file("link.env"))));
    EXPECT_TRUE(IsNameTaken(RenameFile(dir.file("a.env"), dir.file("LINK.ENV"))));
    EXPECT_EQ(FolderSnapshot(dir.path()), before);
}

TEST_F(WindowsFileOps, ACaseOnlyRenameChangesTheNameOnDisk) {
    EXPECT_FALSE(RenameFile(dir.file("a.env"), dir.file("A.ENV")).Failed());
    EXPECT_FALSE(RenameFile(dir.file("A.ENV"), (dir.path() / "sub/../a.Env").string()).Failed());
    EXPECT_EQ(FolderSnapshot(dir.path()),
              (TSnapshot{{"a.Env", BytesOf("track a")}, {"b.env", BytesOf("track b")}}));
}

TEST_F(WindowsFileOps, CopyOntoAReadOnlyFileChangesNothing) {
    ASSERT_TRUE(::SetFileAttributesW((dir.path() / "b.env").wstring().c_str(), FILE_ATTRIBUTE_READONLY));
    const TSnapshot before = FolderSnapshot(dir.path());
    EXPECT_THROW(CopyFileReplacing(dir.file("a.env"), dir.file("b.env")), EFCreateError);
    EXPECT_EQ(FolderSnapshot(dir.path()), before);
}

TEST_F(WindowsFileOps, ASourceHeldOpenWithoutSharingIsNeitherCopiedNorMoved) {
    const TSnapshot before = FolderSnapshot(dir.path());
    {
        const TExclusiveHandle held(dir.path() / "a.env");
        ASSERT_TRUE(held.valid());
        try {
            CopyFileReplacing(dir.file("a.env"), dir.file("b.env"));
            FAIL() << "copied a file held open without sharing";
        } catch (const EFOpenError& e) {
            EXPECT_EQ(e.what(), "Cannot open file " + dir.file("a.env"));
        }
        // Refused with the system's reason: the file is in use.
        EXPECT_EQ(RenameFile(dir.file("a.env"), dir.file("a.~env")).code, ERROR_SHARING_VIOLATION);
        EXPECT_EQ(DeleteFile(dir.file("a.env")).code, ERROR_SHARING_VIOLATION);
    }
    EXPECT_EQ(FolderSnapshot(dir.path()), before);
}

TEST_F(WindowsFileOps, ADestinationHeldOpenWithoutSharingKeepsItsBytes) {
    const TSnapshot before = FolderSnapshot(dir.path());
    {
        const TExclusiveHandle held(dir.path() / "b.env");
        ASSERT_TRUE(held.valid());
        EXPECT_THROW(CopyFileReplacing(dir.file("a.env"), dir.file("b.env")), EFCreateError);
    }
    EXPECT_EQ(FolderSnapshot(dir.path()), before) << "no temporary file stays behind";
}

// A copy on its way stays while it is open; a file that only looks like one is never the program's.
TEST(WindowsTemporaries, TidyingLeavesLiveCopiesAndLookAlikes) {
    TTempDir dir;
    WriteFileBytes(dir.file("src.env"), BytesOf("track"));
    WriteFileBytes(dir.file("~tm-copy-0123456789abcdef.tmp"), BytesOf("the player's"));
    TPendingCopy copy(dir.file("src.env"), dir.file("dst.env"));
    const auto names = [&] {
        std::set<std::string> found;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            found.insert(entry.path().filename().string());
        return found;
    };
    const std::set<std::string> during = names();
    ASSERT_EQ(during.size(), 3u);
    TidyFolder(dir.path().string() + "\\");
    EXPECT_EQ(names(), during);
    EXPECT_EQ(ReadFileBytes(dir.file("~tm-copy-0123456789abcdef.tmp")), BytesOf("the player's"));
}

} // namespace
