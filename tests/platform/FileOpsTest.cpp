// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "ContainerWriter.h"
#include "FolderSnapshot.h"
#include "TempDir.h"
#include "platform/CopyFaults.h"
#include "platform/Exceptions.h"
#include "platform/FileOps.h"
#include "platform/NativePath.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

using TBytes = std::vector<std::uint8_t>;

TBytes pattern(std::size_t size, std::uint8_t seed) {
    TBytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(seed + i * 7 + (i >> 9));
    return bytes;
}

// ---- RenameFile ---------------------------------------------------------------------------------

struct RenameCase {
    const char* title;
    std::vector<const char*> files; // each file holds its own name
    const char* from;
    const char* to;
    const char* why;                // WhyFailed of the result
    std::vector<const char*> after; // names afterwards; each still holds the name it was created with
    std::vector<const char*> contents;
};

class Rename : public ::testing::TestWithParam<RenameCase> {};

// What a primitive's failure says, in a word.
const char* WhyFailed(TFileError error) {
    if (!error.Failed())
        return "done";
    return IsNameTaken(error) ? "taken" : IsFileMissing(error) ? "missing" : "refused";
}

// True when the result says why: "failed" takes any failure (a name that is no file's name is refused on
// Linux, and found taken, by the folder it names, on Windows).
::testing::AssertionResult Says(TFileError error, const std::string& why) {
    const std::string said = WhyFailed(error);
    if (said == why || (why == "failed" && said != "done"))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "says " << said << ", not " << why;
}

TEST_P(Rename, KeepsEveryFile) {
    const RenameCase& c = GetParam();
    // Alone, and as one of the renames of a folder whose names are read once.
    for (const bool throughRenamer : {false, true}) {
        TTempDir dir;
        for (const char* name : c.files)
            WriteFileBytes(dir.file(name), BytesOf(name));
        if (throughRenamer) {
            TFolderRenamer folder(dir.path().string() + "/");
            EXPECT_TRUE(Says(folder.Rename(c.from, c.to), c.why)) << "through a folder renamer";
        } else {
            EXPECT_TRUE(Says(RenameFile(dir.file(c.from), dir.file(c.to)), c.why));
        }
        TSnapshot expected;
        for (std::size_t i = 0; i < c.after.size(); ++i)
            expected[c.after[i]] = BytesOf(c.contents[i]);
        EXPECT_EQ(FolderSnapshot(dir.path()), expected);
    }
}

TEST(FolderRenamer, KeepsItsNamesCurrentAndNeverReplaces) {
    TTempDir dir;
    for (const char* name : {"a.env", "c.env"})
        WriteFileBytes(dir.file(name), BytesOf(name));
    TFolderRenamer folder(dir.path().string() + "/");
    EXPECT_STREQ(WhyFailed(folder.Rename("a.env", "a.~env")), "done");
    EXPECT_STREQ(WhyFailed(folder.Rename("c.env", "A.~ENV")), "taken") << "taken by the rename before";
    EXPECT_STREQ(WhyFailed(folder.Rename("a.~env", "a.env")), "done");
    EXPECT_STREQ(WhyFailed(folder.Rename("c.env", "A.~ENV")), "done") << "freed by the rename before";
    EXPECT_STREQ(WhyFailed(folder.Rename("c.env", "c.~env")), "missing") << "gone";
    EXPECT_STREQ(WhyFailed(folder.Rename("a.env", "sub/a.env")), "refused");
    // A file made behind the renamer's back is still never replaced.
    WriteFileBytes(dir.file("late.env"), BytesOf("late"));
    EXPECT_STREQ(WhyFailed(folder.Rename("a.env", "late.env")), "taken");
    const TSnapshot expected = {
        {"a.env", BytesOf("a.env")}, {"A.~ENV", BytesOf("c.env")}, {"late.env", BytesOf("late")}};
    EXPECT_EQ(FolderSnapshot(dir.path()), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Rename,
    ::testing::Values(RenameCase{"Plain", {"t.env"}, "t.env", "t.~env", "done", {"t.~env"}, {"t.env"}},
                      RenameCase{"TargetExists",
                                 {"t.env", "t.~env"},
                                 "t.env",
                                 "t.~env",
                                 "taken",
                                 {"t.env", "t.~env"},
                                 {"t.env", "t.~env"}},
                      RenameCase{"TargetExistsInOtherCase",
                                 {"t.env", "T.~ENV"},
                                 "t.env",
                                 "t.~env",
                                 "taken",
                                 {"T.~ENV", "t.env"},
                                 {"T.~ENV", "t.env"}},
                      RenameCase{"CaseOnlyOfTheSameFile",
                                 {"t.env", "u.env"},
                                 "t.env",
                                 "T.ENV",
                                 "done",
                                 {"T.ENV", "u.env"},
                                 {"t.env", "u.env"}},
                      RenameCase{"OntoItself", {"t.env"}, "t.env", "t.env", "done", {"t.env"}, {"t.env"}},
                      RenameCase{
                          "MissingSource", {"u.env"}, "t.env", "t.~env", "missing", {"u.env"}, {"u.env"}},
                      RenameCase{"EmptyTargetName", {"t.env"}, "t.env", "", "failed", {"t.env"}, {"t.env"}},
                      RenameCase{"TargetDotDot", {"t.env"}, "t.env", "..", "failed", {"t.env"}, {"t.env"}}),
    [](const auto& info) { return std::string(info.param.title); });

TEST(DeleteFile, RemovesFilesOnly) {
    TTempDir dir;
    WriteFileBytes(dir.file("t.env"), BytesOf("x"));
    fs::create_directory(dir.path() / "sub.env");
    EXPECT_STREQ(WhyFailed(DeleteFile(dir.file("t.env"))), "done");
    EXPECT_STREQ(WhyFailed(DeleteFile(dir.file("t.env"))), "missing");
    EXPECT_STREQ(WhyFailed(DeleteFile(dir.file("sub.env"))), "refused");
    EXPECT_EQ(FolderSnapshot(dir.path()), (TSnapshot{{"sub.env", BytesOf("<dir>")}}));
}

// ---- CopyFileReplacing --------------------------------------------------------------------------

class CopySizes : public ::testing::TestWithParam<std::size_t> {};

TEST_P(CopySizes, ReplacesAnExistingDestination) {
    TTempDir dir;
    const TBytes bytes = pattern(GetParam(), 3);
    WriteFileBytes(dir.file("src.env"), bytes);
    WriteFileBytes(dir.file("dst.env"), pattern(CopyChunkSize + 5, 9));
    CopyFileReplacing(dir.file("src.env"), dir.file("dst.env"));
    EXPECT_EQ(FolderSnapshot(dir.path()), (TSnapshot{{"src.env", bytes}, {"dst.env", bytes}}));
}

TEST_P(CopySizes, CreatesAMissingDestination) {
    TTempDir dir;
    fs::create_directory(dir.path() / "archive");
    const TBytes bytes = pattern(GetParam(), 5);
    WriteFileBytes(dir.file("src.env"), bytes);
    CopyFileReplacing(dir.file("src.env"), dir.file("archive/src.env"));
    EXPECT_EQ(FolderSnapshot(dir.path() / "archive"), (TSnapshot{{"src.env", bytes}}));
}

INSTANTIATE_TEST_SUITE_P(Sizes, CopySizes,
                         ::testing::Values(std::size_t{0}, std::size_t{1}, std::size_t{CopyChunkSize},
                                           std::size_t{3 * CopyChunkSize + 17}));

struct FaultCase {
    const char* title;
    TCopyFaults faults;
    const char* message;
};

class CopyFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(CopyFaults, LeaveTheOldDestinationAndNoTemporary) {
    TTempDir dir;
    const TBytes source = pattern(std::size_t{3} * CopyChunkSize + 100, 1);
    const TBytes old = pattern(std::size_t{2} * CopyChunkSize, 2);
    WriteFileBytes(dir.file("src.env"), source);
    WriteFileBytes(dir.file("dst.env"), old);
    try {
        CopyFileReplacingWithFaults(dir.file("src.env"), dir.file("dst.env"), GetParam().faults);
        FAIL() << "the injected fault went unnoticed";
    } catch (const EStreamError& e) {
        EXPECT_STREQ(e.what(), GetParam().message);
    }
    EXPECT_EQ(FolderSnapshot(dir.path()), (TSnapshot{{"src.env", source}, {"dst.env", old}}));

    // Without an old destination nothing is left behind either.
    try {
        CopyFileReplacingWithFaults(dir.file("src.env"), dir.file("new.env"), GetParam().faults);
        FAIL();
    } catch (const EStreamError&) {
    }
    EXPECT_EQ(FolderSnapshot(dir.path()), (TSnapshot{{"src.env", source}, {"dst.env", old}}));
}

INSTANTIATE_TEST_SUITE_P(Cases, CopyFaults,
                         ::testing::Values(FaultCase{"FirstRead", {.failReadAt = 1}, "Stream read error"},
                                           FaultCase{"ThirdRead", {.failReadAt = 3}, "Stream read error"},
                                           FaultCase{"FirstWrite", {.failWriteAt = 1}, "Stream write error"},
                                           FaultCase{"LastWrite", {.failWriteAt = 4}, "Stream write error"},
                                           FaultCase{"Flush", {.failFlush = true}, "Stream write error"}),
                         [](const auto& info) { return std::string(info.param.title); });

// Destinations that cannot be created, and sources that cannot be opened: nothing changes anywhere.
struct RefusedCase {
    const char* title;
    const char* source;      // inside the folder
    const char* destination; // inside the folder
    const char* message;     // "<path>" stands for the folder
};

class CopyRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(CopyRefused, ChangesNothing) {
    TTempDir dir;
    WriteFileBytes(dir.file("t.env"), BytesOf("track"));
    WriteFileBytes(dir.file("plain.txt"), BytesOf("not a folder"));
    fs::create_directory(dir.path() / "sub");
    fs::create_directory(dir.path() / "folder.env");
    fs::create_hard_link(dir.path() / "t.env", dir.path() / "link.env");
    const TSnapshot before = FolderSnapshot(dir.path());

    const std::string root = dir.path().string() + "/";
    std::string expected = GetParam().message;
    expected.replace(expected.find("<path>"), 6, root);
    try {
        CopyFileReplacing(root + GetParam().source, root + GetParam().destination);
        FAIL() << "the copy went through";
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.what(), expected);
    }
    EXPECT_EQ(FolderSnapshot(dir.path()), before);
    EXPECT_EQ(ReadFileBytes(root + "t.env"), BytesOf("track"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CopyRefused,
    ::testing::Values(
        RefusedCase{"SameName", "t.env", "t.env", "Cannot create file <path>t.env"},
        RefusedCase{"DotDotSpelling", "t.env", "sub/../t.env", "Cannot create file <path>sub/../t.env"},
        RefusedCase{"DoubleSlash", "t.env", "sub/..//t.env", "Cannot create file <path>sub/..//t.env"},
        RefusedCase{"HardLink", "t.env", "link.env", "Cannot create file <path>link.env"},
        RefusedCase{"FromTheLink", "link.env", "t.env", "Cannot create file <path>t.env"},
        RefusedCase{"DestinationIsAFolder", "t.env", "folder.env", "Cannot create file <path>folder.env"},
        RefusedCase{"DestinationEndsInSlash", "t.env", "sub/", "Cannot create file <path>sub/"},
        // Root may write anywhere, but not below a plain file.
        RefusedCase{"FolderIsAFile", "t.env", "plain.txt/t.env", "Cannot create file <path>plain.txt/t.env"},
        RefusedCase{"FolderMissing", "t.env", "nowhere/t.env", "Cannot create file <path>nowhere/t.env"},
        RefusedCase{"SourceMissing", "gone.env", "new.env", "Cannot open file <path>gone.env"},
        RefusedCase{"SourceIsAFolder", "folder.env", "new.env", "Cannot open file <path>folder.env"}),
    [](const auto& info) { return std::string(info.param.title); });

// A destination that the system refuses carries the system's reason, for the player's report.
TEST(CopyRefused, TheSystemsReasonComesWithTheRefusal) {
    TTempDir dir;
    WriteFileBytes(dir.file("t.env"), BytesOf("track"));
    try {
        CopyFileReplacing(dir.file("t.env"), dir.file("nowhere") + "/t.env");
        FAIL() << "the copy went through";
    } catch (const EFCreateError& e) {
        EXPECT_TRUE(e.Error().Failed());
    }
}

#ifndef _WIN32
// A run killed in the middle of a copy leaves at most a temporary that the next run recognises as its
// own and removes; one that a live run holds stays, and so does every look-alike.
TEST(Temporaries, KilledCopiesAreTidiedAwayAndLookAlikesStay) {
    TTempDir dir;
    const TBytes source = pattern(std::size_t{2} * CopyChunkSize, 3);
    WriteFileBytes(dir.file("src.env"), source);
    fs::create_directory(dir.path() / "archive");
    const std::string archive = (dir.path() / "archive").string();
    const TSnapshot lookAlikes{{"~tm-copy-00000000000000ff.tmp", BytesOf("locked")},
                               {"~tm-copy-0123456789abcdef.tmp", BytesOf("the player's")},
                               {"~tm-copy-notours.tmp", BytesOf("someone else's")},
                               {"~tm-track-0123456789abcdef-.env", BytesOf("a hidden name")},
                               {"~tm-track-0123456789abcdef-Jump.env", BytesOf("jump")},
                               {"~tm-case-0123456789abcdef-Hill.env", BytesOf("hill")}};
    for (const auto& [name, bytes] : lookAlikes)
        WriteFileBytes(archive + "/" + name, bytes);
    const int live = ::open((archive + "/~tm-copy-00000000000000ff.tmp").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TCopyFaults faults;
        faults.afterRead = [](int) { ::_exit(0); };
        CopyFileReplacingWithFaults(dir.file("src.env"), archive + "/src.env", faults);
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the copy was not cut short";
    for (const auto& [name, bytes] : FolderSnapshot(archive))
        EXPECT_TRUE(name.starts_with("~tm-")) << name << " is left behind";

    TidyFolder(archive + "/");
    EXPECT_EQ(FolderSnapshot(archive), lookAlikes);
    EXPECT_FALSE(
        RenameFile(archive + "/~tm-track-0123456789abcdef-Jump.env", archive + "/jump.~env").Failed())
        << "a look-alike track is handled like any other";
    ::close(live);
    EXPECT_EQ(ReadFileBytes(dir.file("src.env")), source);
}

// A move killed after it set its source aside leaves the track under a temporary name that ends in its
// own; the next run gives it its name back, unless another file has taken that name by then.
TEST(Temporaries, ATrackSetAsideByAKilledMoveGetsItsNameBack) {
    for (const bool taken : {false, true}) {
        TTempDir dir;
        WriteFileBytes(dir.file("t.env"), BytesOf("track"));
        const TFileStamp stamp = CopyFileReplacing(dir.file("t.env"), dir.file("copy.env")).source;
        fs::remove(dir.path() / "copy.env");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TCopyFaults faults;
            faults.afterCheck = [](const std::string&) { ::_exit(0); };
            DeleteFileIfUnchangedWithFaults(dir.file("t.env"), stamp, faults);
            ::_exit(1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        const TSnapshot left = FolderSnapshot(dir.path());
        ASSERT_EQ(left.size(), 1u);
        const std::string aside = left.begin()->first;
        EXPECT_TRUE(aside.starts_with("~tm-track-") && aside.ends_with("-t.env")) << aside;
        if (taken)
            WriteFileBytes(dir.file("T.ENV"), BytesOf("another"));
        TidyFolder(dir.path().string() + "/");
        const TSnapshot expected = taken ? TSnapshot{{"T.ENV", BytesOf("another")}, {aside, BytesOf("track")}}
                                         : TSnapshot{{"t.env", BytesOf("track")}};
        EXPECT_EQ(FolderSnapshot(dir.path()), expected);
    }
}
#endif

} // namespace
