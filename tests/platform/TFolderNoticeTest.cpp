// SPDX-License-Identifier: GPL-3.0-or-later
// Which names of a watched folder the system's notice tells as written, and when it gives up on names.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>

#include "TempDir.h"
#include "platform/TFolderNotice.h"

namespace fs = std::filesystem;

namespace {

void write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::trunc) << text;
}

struct NoticeCase {
    const char* what;
    std::function<void(const fs::path& folder, const fs::path& outside)> change;
    std::set<std::string> written;
    bool everything;
};

class FolderNotice : public ::testing::TestWithParam<NoticeCase> {};

TEST_P(FolderNotice, TellsWhatAListingCannot) {
    TTempDir dir;
    const fs::path folder = dir.path() / "Baja";
    fs::create_directory(folder);
    write(folder / "a.env", "a");
    write(folder / "b.env", "b");
    TFolderNotice notice;
    ASSERT_TRUE(notice.Available());
    ASSERT_TRUE(notice.Watch(folder.string()));
    EXPECT_TRUE(notice.Take().Everything) << "what came before the watch is unknown";

    GetParam().change(folder, dir.path());
    EXPECT_TRUE(notice.ReadWaiting()) << GetParam().what;
    const TFolderNews news = notice.Take();
    EXPECT_EQ(std::set<std::string>(news.Written.begin(), news.Written.end()), GetParam().written)
        << GetParam().what;
    EXPECT_EQ(news.Everything, GetParam().everything) << GetParam().what;
    EXPECT_FALSE(notice.ReadWaiting()) << GetParam().what << ": told once";
}

INSTANTIATE_TEST_SUITE_P(
    Changes, FolderNotice,
    ::testing::Values(
        NoticeCase{"rewritten in place",
                   [](const fs::path& f, const fs::path&) { write(f / "a.env", "A"); },
                   {"a.env"},
                   false},
        NoticeCase{"renamed",
                   [](const fs::path& f, const fs::path&) { fs::rename(f / "a.env", f / "a.~env"); },
                   {},
                   false},
        NoticeCase{"written, then renamed over another",
                   [](const fs::path& f, const fs::path&) {
                       write(f / "t.tmp", "t");
                       fs::rename(f / "t.tmp", f / "b.env");
                   },
                   {"b.env"},
                   false},
        NoticeCase{"moved in from another folder",
                   [](const fs::path& f, const fs::path& outside) {
                       write(outside / "c.env", "c");
                       fs::rename(outside / "c.env", f / "c.env");
                   },
                   {"c.env"},
                   false},
        NoticeCase{"deleted, and a folder made",
                   [](const fs::path& f, const fs::path&) {
                       fs::remove(f / "a.env");
                       fs::create_directory(f / "sub.env");
                   },
                   {},
                   false},
        NoticeCase{
            "the folder removed", [](const fs::path& f, const fs::path&) { fs::remove_all(f); }, {}, true},
        NoticeCase{"the folder moved away",
                   [](const fs::path& f, const fs::path& outside) { fs::rename(f, outside / "moved"); },
                   {},
                   true},
        NoticeCase{"more changes than the system keeps",
                   [](const fs::path& f, const fs::path&) {
                       int kept = 0;
                       std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> kept;
                       // Alternating names: the system merges a change with an equal one before it.
                       for (int i = 0; i <= kept; ++i)
                           fs::permissions(f / (i % 2 ? "a.env" : "b.env"), fs::perms::owner_write,
                                           i % 4 < 2 ? fs::perm_options::add : fs::perm_options::remove);
                   },
                   {},
                   true}));

TEST(FolderNoticeWatch, ChangesFolderAndStopsTellingTheOldOne) {
    TTempDir dir;
    fs::create_directory(dir.path() / "one");
    fs::create_directory(dir.path() / "two");
    TFolderNotice notice;
    ASSERT_TRUE(notice.Watch((dir.path() / "one").string()));
    ASSERT_TRUE(notice.Watch((dir.path() / "two").string()));
    write(dir.path() / "one" / "a.env", "a");
    EXPECT_FALSE(notice.ReadWaiting()) << "the first folder is no longer watched";
    EXPECT_FALSE(notice.Watch((dir.path() / "none").string()));
    write(dir.path() / "two" / "b.env", "b");
    EXPECT_FALSE(notice.ReadWaiting()) << "a failed watch watches nothing";
    EXPECT_FALSE(notice.Take().Everything);
}

} // namespace
