// SPDX-License-Identifier: GPL-3.0-or-later
// Folder search on Linux: the attribute bits the catalogue relies on, the mask, the order, and that
// a search never stays open.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

#include "FolderSearch.h"
#include "TempDir.h"
#include "platform/NativePath.h"
#include "platform/TSearchRec.h"

namespace fs = std::filesystem;

namespace {

int openDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

// An event folder holding every kind of entry Linux can put there.
class SearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = dir.path() / "Baja";
        fs::create_directories(folder / "Sub.env");
        std::ofstream(folder / "track.env") << "12345";
        std::ofstream(folder / "Inactive.~env") << "1234567";
        std::ofstream(folder / ".hidden.env") << "1";
        std::ofstream(folder / "locked.env") << "12";
        fs::permissions(folder / "locked.env",
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        fs::create_directory(folder / ".cache");
        ::mkfifo((folder / "pipe.env").c_str(), 0644);
        fs::create_symlink("nowhere.env", folder / "gone.env");
        fs::create_symlink("loop.env", folder / "loop.env");
        fs::create_symlink("track.env", folder / "link.env");
        fs::create_directory_symlink("Sub.env", folder / "linkdir.env");
        makeSocket((folder / "sock.env").string());
    }

    static void makeSocket(const std::string& path) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_GE(fd, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        ASSERT_LT(path.size(), sizeof address.sun_path);
        path.copy(address.sun_path, path.size());
        ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }

    std::string pattern(const std::string& name = "*.*") const { return (folder / name).string(); }

    TTempDir dir;
    fs::path folder;
};

TEST_F(SearchTest, ReportsEachKindOfEntryAsWindowsWould) {
    const std::map<std::string, TFound> expected = {
        {".", {faDirectory, 0}},
        {"..", {faDirectory, 0}},
        {"Sub.env", {faDirectory, 0}},
        {"track.env", {faArchive, 5}},
        {"Inactive.~env", {faArchive, 7}},
        {".hidden.env", {faArchive | faHidden, 1}},
        {".cache", {faDirectory | faHidden, 0}},
        {"locked.env", {faArchive | faReadOnly, 2}},
        {"pipe.env", {faDevice, 0}},
        {"sock.env", {faDevice, 0}},
        {"gone.env", {faArchive, 0}},
        {"loop.env", {faArchive, 0}},
        {"link.env", {faArchive, 5}},
        {"linkdir.env", {faDirectory, 0}},
    };
    EXPECT_EQ(SearchAll(pattern(), faAnyFile), expected);
}

TEST_F(SearchTest, TheMaskKeepsOutOnlyHiddenSystemVolumeAndDirectoryEntries) {
    const std::map<std::string, TFound> expected = {
        {"track.env", {faArchive, 5}},
        {"Inactive.~env", {faArchive, 7}},
        {"locked.env", {faArchive | faReadOnly, 2}},
        {"pipe.env", {faDevice, 0}},
        {"sock.env", {faDevice, 0}},
        {"gone.env", {faArchive, 0}},
        {"loop.env", {faArchive, 0}},
        {"link.env", {faArchive, 5}},
    };
    EXPECT_EQ(SearchAll(pattern(), 0), expected);
    EXPECT_EQ(SearchAll(pattern(), faReadOnly | faArchive), expected)
        << "read-only and archive never exclude";

    const std::map<std::string, TFound> hidden = SearchAll(pattern(), faHidden);
    EXPECT_TRUE(hidden.contains(".hidden.env"));
    EXPECT_FALSE(hidden.contains(".cache")) << "a hidden folder is still a folder";
}

TEST_F(SearchTest, AttributesAskedAfterTheSearchClosedAreStillRight) {
    TSearchRec rec;
    ASSERT_EQ(FindFirst(pattern("locked.env"), faAnyFile, rec), 0);
    EXPECT_FALSE(rec.HasAttr(faDirectory | faDevice));
    FindClose(rec);
    EXPECT_EQ(rec.Attr(), faArchive | faReadOnly);
    EXPECT_EQ(rec.Size(), 2);
}

TEST_F(SearchTest, EntriesComeInTheFileSystemsOrder) {
    std::vector<std::string> listed;
    for (const auto& entry : fs::directory_iterator(folder))
        listed.push_back(entry.path().filename().string());

    std::vector<std::string> searched;
    TSearchRec rec;
    for (int result = FindFirst(pattern("*"), faAnyFile, rec); result == 0; result = FindNext(rec)) {
        if (rec.Name != "." && rec.Name != "..")
            searched.push_back(rec.Name);
    }
    FindClose(rec);
    EXPECT_EQ(searched, listed);
}

struct PatternCase {
    const char* pattern;
    std::vector<std::string> names;
};

class Patterns : public SearchTest, public ::testing::WithParamInterface<PatternCase> {};

TEST_P(Patterns, MatchNamesWithWildcards) {
    std::vector<std::string> names;
    for (const auto& [name, found] : SearchAll(pattern(GetParam().pattern), faArchive))
        names.push_back(name);
    EXPECT_EQ(names, GetParam().names);
}

INSTANTIATE_TEST_SUITE_P(Cases, Patterns,
                         ::testing::Values(PatternCase{"*.ENV",
                                                       {"gone.env", "link.env", "locked.env", "loop.env",
                                                        "pipe.env", "sock.env", "track.env"}},
                                           PatternCase{"*.~env", {"Inactive.~env"}},
                                           PatternCase{"TRACK.env", {"track.env"}},
                                           PatternCase{"l??k*", {"link.env", "locked.env"}},
                                           PatternCase{"*k.*v", {"link.env", "sock.env", "track.env"}},
                                           PatternCase{"*.xyz", {}}));

TEST_F(SearchTest, SearchesThatFindNothingLeaveNothingOpen) {
    const int before = openDescriptors();
    int result = 0;
    SearchAll(pattern("*.xyz"), faAnyFile, &result);
    EXPECT_EQ(result, kErrorFileNotFound);
    SearchAll((dir.path() / "Missing" / "*.*").string(), faAnyFile, &result);
    EXPECT_EQ(result, kErrorPathNotFound);
    SearchAll((folder / "track.env" / "*.*").string(), faAnyFile, &result);
    EXPECT_EQ(result, kErrorPathNotFound) << "a file is no folder";
    SearchAll((folder / "pipe.env" / "*.*").string(), faAnyFile, &result);
    EXPECT_EQ(result, kErrorPathNotFound) << "a FIFO is no folder, and must not hang the search";
    SearchAll(folder.string() + "/", faAnyFile, &result);
    EXPECT_EQ(result, kErrorFileNotFound) << "an empty pattern matches nothing";
    EXPECT_EQ(openDescriptors(), before);
}

TEST_F(SearchTest, ASearchClosesWhenAStepFails) {
    const int before = openDescriptors();
    try {
        TSearchRec rec;
        ASSERT_EQ(FindFirst(pattern(), faAnyFile, rec), 0);
        EXPECT_EQ(openDescriptors(), before + 1);
        throw std::runtime_error("a track failed to open");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(openDescriptors(), before);

    TSearchRec rec;
    ASSERT_EQ(FindFirst(pattern(), faAnyFile, rec), 0);
    while (FindNext(rec) == 0) {
    }
    EXPECT_EQ(FindNext(rec), kErrorNoMoreFiles) << "the end stays the end";
    FindClose(rec);
    FindClose(rec);
    EXPECT_EQ(FindNext(rec), kErrorNoMoreFiles) << "a closed search finds nothing";
    EXPECT_EQ(openDescriptors(), before);
}

TEST_F(SearchTest, WindowsPathsResolveThroughThePrefix) {
    const fs::path prefix = dir.path() / "pfx";
    fs::create_directories(prefix / "dosdevices");
    fs::create_directories(prefix / "drive_c/Games");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
    fs::create_directory_symlink(dir.path(), prefix / "drive_c/Games/Skarn Rally 2");
    const std::map<std::string, TFound> viaPrefix = SearchAll(
        TWinePrefix(prefix.string()).Place("C:\\GAMES\\skarn rally 2\\\\Vevozura\\..\\baja\\*.*"), 0);
    EXPECT_EQ(viaPrefix, SearchAll(pattern(), 0));
    EXPECT_TRUE(viaPrefix.contains("track.env"));
}

} // namespace
