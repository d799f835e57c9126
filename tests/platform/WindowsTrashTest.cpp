// SPDX-License-Identifier: GPL-3.0-or-later
// The Recycle Bin through the real API: where it is not there, Delete says the track is gone for good.
#include <gtest/gtest.h>

#include <filesystem>
#include <windows.h>

#include "ContainerWriter.h"
#include "TempDir.h"
#include "platform/Trash.h"

namespace fs = std::filesystem;

namespace {

bool underWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TEST(RecycleBin, WithoutOneTheTrackIsDeletedForGoodOnlyWhenAllowed) {
    TTempDir dir;
    WriteFileBytes(dir.file("t.env"), BytesOf("track"));
    const bool bin = WouldGoToTrash(dir.file("t.env"));
    if (underWine()) {
        EXPECT_FALSE(bin) << "Wine deletes for good what it is asked to recycle";
    }
    if (!bin) {
        const TTrashResult refused = MoveToTrash(dir.file("t.env"), TWithoutTrash::Refuse);
        EXPECT_EQ(refused.outcome, TTrashOutcome::Refused);
        EXPECT_TRUE(refused.error.Failed());
        EXPECT_TRUE(fs::exists(dir.path() / "t.env"));
    }
    const TTrashResult removed = MoveToTrash(dir.file("t.env"), TWithoutTrash::Delete);
    EXPECT_EQ(removed.outcome, bin ? TTrashOutcome::Trashed : TTrashOutcome::Deleted);
    EXPECT_FALSE(fs::exists(dir.path() / "t.env"));
}

TEST(RecycleBin, FoldersAndMissingFilesAreRefused) {
    TTempDir dir;
    fs::create_directory(dir.path() / "d.env");
    EXPECT_EQ(MoveToTrash(dir.file("d.env"), TWithoutTrash::Delete).outcome, TTrashOutcome::Refused);
    EXPECT_EQ(MoveToTrash(dir.file("gone.env"), TWithoutTrash::Delete).error.code,
              static_cast<int>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(fs::is_directory(dir.path() / "d.env"));
}

} // namespace
