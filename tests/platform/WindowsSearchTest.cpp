// SPDX-License-Identifier: GPL-3.0-or-later
// Folder search through the Win32 API: the attribute bits the catalogue tests, and the mask.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <windows.h>

#include "ContainerWriter.h"
#include "FolderSearch.h"
#include "TempDir.h"
#include "platform/TSearchRec.h"

namespace fs = std::filesystem;

namespace {

class WindowsSearch : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFileBytes(dir.file("track.env"), BytesOf("12345"));
        WriteFileBytes(dir.file("locked.env"), BytesOf("12"));
        WriteFileBytes(dir.file("hidden.env"), BytesOf("1"));
        WriteFileBytes(dir.file("system.env"), BytesOf("123"));
        WriteFileBytes(dir.file("other.txt"), BytesOf("1"));
        fs::create_directory(dir.path() / "Sub.env");
        setAttributes("locked.env", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
        setAttributes("hidden.env", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
        setAttributes("system.env", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
        setAttributes("track.env", FILE_ATTRIBUTE_ARCHIVE);
    }
    void TearDown() override { setAttributes("locked.env", FILE_ATTRIBUTE_NORMAL); }
    void setAttributes(const char* name, DWORD attributes) {
        ASSERT_TRUE(::SetFileAttributesW((dir.path() / name).wstring().c_str(), attributes)) << name;
    }

    TTempDir dir;
};

TEST_F(WindowsSearch, TheMaskKeepsOutHiddenSystemAndFolderEntriesUnlessAskedFor) {
    const std::string pattern = dir.file("*.env");
    int result = -1;
    EXPECT_EQ(SearchAll(pattern, faReadOnly | faArchive, &result),
              (std::map<std::string, TFound>{{"locked.env", {faReadOnly | faArchive, 2}},
                                             {"track.env", {faArchive, 5}}}));
    EXPECT_EQ(result, 0);
    const auto all = SearchAll(pattern, faAnyFile, &result);
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all.at("hidden.env"), (TFound{faHidden | faArchive, 1}));
    EXPECT_EQ(all.at("system.env"), (TFound{faSysFile | faArchive, 3}));
    EXPECT_TRUE(all.at("Sub.env").attr & faDirectory);
    EXPECT_EQ(all.at("Sub.env").size, 0);
}

TEST_F(WindowsSearch, SearchesThatFindNothing) {
    int result = -1;
    EXPECT_TRUE(SearchAll(dir.file("*.zip"), faAnyFile, &result).empty());
    EXPECT_EQ(result, kErrorFileNotFound);
    EXPECT_TRUE(SearchAll(dir.file("missing\\*.*"), faAnyFile, &result).empty());
    EXPECT_EQ(result, kErrorPathNotFound);
    // Only a folder matches, and the mask leaves it out.
    EXPECT_TRUE(SearchAll(dir.file("Sub.*"), faArchive, &result).empty());
    EXPECT_NE(result, 0);
}

} // namespace
