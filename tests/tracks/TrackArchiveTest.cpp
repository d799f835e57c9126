// SPDX-License-Identifier: GPL-3.0-or-later
// Fetch from downloaded archives: what is written, what never is, and what a hostile archive gets.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "ArchiveWriter.h"
#include "ContainerWriter.h"
#include "TempDir.h"
#include "tracks/TTrackArchive.h"
#include "tracks/TrackOperations.h"

namespace fs = std::filesystem;

namespace {

class ArchiveFetch : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directory(event()); }

    fs::path event() const { return dir.path() / "event"; }
    std::string eventFolder() const { return event().string() + "/"; }
    std::string put(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        WriteFileBytes(dir.file(name), bytes);
        return dir.file(name);
    }
    // What the event folder holds, and that nothing else appeared beside it.
    std::set<std::string> fetched() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(event()))
            names.insert(entry.path().filename().string());
        return names;
    }
    TOperationReport run(const std::vector<std::string>& chosen) { return Fetch(chosen, eventFolder()); }
    std::string text(const std::string& name) const {
        const std::vector<std::uint8_t> bytes = ReadFileBytes((event() / name).string());
        return {bytes.begin(), bytes.end()};
    }

    TTempDir dir;
};

class EveryFormat : public ArchiveFetch, public ::testing::WithParamInterface<const char*> {};

TEST_P(EveryFormat, FetchesEveryTrackAtAnyDepthUnderItsNameAlone) {
    const std::string format = GetParam();
    const std::string archive = put(format == "zip-stored" ? "stored.zip" : "pack." + format,
                                    WriteArchive(format, {{"Pack/Baja/deep/Jump.env", "jump bytes"},
                                                          {"Whoops.~ENV", std::string(100000, 'w')},
                                                          {"Pack/readme.txt", "read me"},
                                                          {"Pack/Baja/", "", TArchiveItem::Folder}}));
    ASSERT_TRUE(IsArchiveName(archive));
    const TOperationReport fetch = run({archive});
    EXPECT_EQ(fetched(), (std::set<std::string>{"Jump.env", "Whoops.~ENV"}));
    EXPECT_EQ(text("Jump.env"), "jump bytes");
    EXPECT_EQ(text("Whoops.~ENV"), std::string(100000, 'w'));
    ASSERT_EQ(fetch.Tracks.size(), 2u);
    EXPECT_EQ(fetch.Tracks[0].Entry, "Pack/Baja/deep/Jump.env");
    EXPECT_EQ(fetch.Count(TTrackFate::Done), 2u);
}

INSTANTIATE_TEST_SUITE_P(Formats, EveryFormat,
                         ::testing::Values("zip", "zip-stored", "7z", "tar", "tar.gz", "tar.bz2", "tar.xz"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '.', '_');
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

// No free tool writes RAR: fuzz/make_rar_seeds.py puts stored RAR 4 and RAR 5 packs together.
class RarFormats : public ArchiveFetch, public ::testing::WithParamInterface<const char*> {};

TEST_P(RarFormats, AreRead) {
    const std::string corpus = FUZZ_CORPUS_DIR;
    const TOperationReport fetch = run({corpus + "/archive/" + GetParam()});
    EXPECT_EQ(fetched(), (std::set<std::string>{"Whoops.~env", "climb.env"}));
    EXPECT_EQ(ReadFileBytes((event() / "climb.env").string()),
              ReadFileBytes(corpus + "/container/scrambled_two"));
}

INSTANTIATE_TEST_SUITE_P(Versions, RarFormats, ::testing::Values("stored.rar", "stored5.rar"));

TEST_F(ArchiveFetch, NamesThatClimbOrRootStayInTheEventFolder) {
    const std::string archive = put("evil.tar", WriteArchive("tar", {{"../../up.env", "1"},
                                                                     {"/etc/rooted.env", "2"},
                                                                     {"C:\\Windows\\drive.env", "3"},
                                                                     {"C:drive2.~env", "4"},
                                                                     {"..\\..\\back.env", "5"}}));
    run({archive});
    EXPECT_EQ(fetched(),
              (std::set<std::string>{"up.env", "rooted.env", "drive.env", "drive2.~env", "back.env"}));
    std::set<std::string> beside;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        beside.insert(entry.path().filename().string());
    EXPECT_EQ(beside, (std::set<std::string>{"event", "evil.tar"}));
}

TEST_F(ArchiveFetch, LinksDevicesAndOddNamesAreNeverWrittenButNamed) {
    const std::string archive =
        put("odd.tar", WriteArchive("tar", {{"real.env", "real"},
                                            {"soft.env", "", TArchiveItem::Symlink, "/etc/passwd"},
                                            {"hard.env", "", TArchiveItem::Hardlink, "real.env"},
                                            {"dev.env", "", TArchiveItem::CharDevice},
                                            {"pipe.~env", "", TArchiveItem::Fifo},
                                            {"NUL.env", "null device"},
                                            {"a?b.env", "wildcard"},
                                            {".env", "no name"}}));
    const TOperationReport fetch = run({archive});
    EXPECT_EQ(fetched(), std::set<std::string>{"real.env"});
    std::vector<std::string> refused;
    for (const TTrackOutcome& outcome : fetch.Tracks) {
        if (outcome.Fate == TTrackFate::Refused)
            refused.push_back(outcome.Entry + ": " + outcome.Message);
    }
    EXPECT_EQ(refused,
              (std::vector<std::string>{"soft.env: a link, not a file", "hard.env: a link, not a file",
                                        "dev.env: not a file", "pipe.~env: not a file",
                                        "NUL.env: a name that Windows does not allow",
                                        "a?b.env: a name that Windows does not allow"}));
}

TEST_F(ArchiveFetch, EncryptedEntriesAreNamedAndNotWritten) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = WriteArchive("zip", {{"locked/secret.env", "secret"}}, "password");
    } catch (const std::exception& e) {
        GTEST_SKIP() << "this libarchive cannot encrypt: " << e.what();
    }
    const TOperationReport fetch = run({put("locked.zip", bytes)});
    EXPECT_TRUE(fetched().empty());
    ASSERT_EQ(fetch.Tracks.size(), 1u);
    EXPECT_EQ(fetch.Tracks[0].Entry, "locked/secret.env");
    EXPECT_EQ(fetch.Tracks[0].Message, "encrypted: it needs a password");
}

TEST_F(ArchiveFetch, ASecondTrackOfOneNameNeverReplacesTheFirstButAnOlderTrackIsReplaced) {
    WriteFileBytes((event() / "old.env").string(), BytesOf("older"));
    WriteFileBytes((event() / "stopped.~env").string(), BytesOf("stopped"));
    const std::string archive = put("dupes.zip", WriteArchive("zip", {{"a/t.env", "first"},
                                                                      {"b/T.ENV", "second"},
                                                                      {"old.env", "newer"},
                                                                      {"stopped.env", "started"}}));
    const std::string file = put("T.Env", BytesOf("a file"));
    const TOperationReport fetch = run({archive, file});
    EXPECT_EQ(fetched(), (std::set<std::string>{"t.env", "old.env", "stopped.~env"}));
    EXPECT_EQ(text("t.env"), "first");
    EXPECT_EQ(text("old.env"), "newer");
    ASSERT_EQ(fetch.Tracks.size(), 5u);
    EXPECT_EQ(fetch.Tracks[3].Fate, TTrackFate::TargetExists) << "never beside its other state";
    EXPECT_EQ(fetch.Tracks[3].Other, "stopped.~env");
    for (const std::size_t second : {1, 4}) {
        EXPECT_EQ(fetch.Tracks[second].Fate, TTrackFate::Refused);
        EXPECT_EQ(fetch.Tracks[second].Message,
                  "a track of this name is fetched from a/t.env in dupes.zip already");
    }
}

TEST_F(ArchiveFetch, ADamagedEntryLeavesNoPartialTrackAndNamesArchiveAndEntry) {
    WriteFileBytes((event() / "cut.env").string(), BytesOf("the track before"));
    std::string incompressible;
    std::uint32_t noise = 1;
    for (int i = 0; i < 200000; ++i) {
        noise = noise * 1103515245u + 12345u;
        incompressible += static_cast<char>(noise >> 24);
    }
    std::vector<std::uint8_t> bytes =
        WriteArchive("tar.gz", {{"first.env", "whole"}, {"sub/cut.env", incompressible}});
    bytes.resize(bytes.size() / 2);
    const std::string archive = put("cut.tar.gz", bytes);
    const TOperationReport fetch = run({archive});
    EXPECT_EQ(fetched(), (std::set<std::string>{"first.env", "cut.env"})) << "no temporary stays behind";
    EXPECT_EQ(text("cut.env"), "the track before");
    const TTrackOutcome& cut = fetch.Tracks[1];
    EXPECT_EQ(cut.Fate, TTrackFate::Refused);
    EXPECT_NE(cut.Message.find("Cannot read sub/cut.env from the archive " + archive + ": "),
              std::string::npos)
        << cut.Message;
    ASSERT_EQ(fetch.Tracks.size(), 3u) << "the damage may hide more tracks: the archive says so too";
    EXPECT_TRUE(fetch.Tracks[2].Entry.empty());
    EXPECT_EQ(fetch.Tracks[2].Message.rfind("Cannot read the archive " + archive + ": ", 0), 0u);
}

TEST_F(ArchiveFetch, ArchivesThatCannotBeReadOrHoldNoTracksSaySo) {
    const std::string empty = put("empty.zip", WriteArchive("zip", {{"readme.txt", "no tracks"}}));
    const std::string junk = put("junk.7z", BytesOf("this is no archive at all"));
    const std::string missing = dir.file("missing.zip");
    const TOperationReport fetch = run({empty, junk, missing});
    EXPECT_TRUE(fetched().empty());
    ASSERT_EQ(fetch.Tracks.size(), 3u);
    EXPECT_EQ(fetch.Tracks[0].Message, "it holds no tracks");
    EXPECT_EQ(fetch.Tracks[1].Message.rfind("Cannot read the archive " + junk + ": ", 0), 0u);
    EXPECT_EQ(fetch.Tracks[2].Message, "Cannot open file " + missing);
}

TEST_F(ArchiveFetch, CancellingStopsBeforeTheNextTrack) {
    const std::string archive =
        put("three.zip", WriteArchive("zip", {{"a.env", "a"}, {"b.env", "b"}, {"c.env", "c"}}));
    std::vector<std::size_t> asked;
    const TOperationReport fetch = Fetch({archive}, eventFolder(), [&](std::size_t done, std::size_t total) {
        EXPECT_EQ(total, 3u) << "the archive's tracks are counted";
        asked.push_back(done);
        return done < 2;
    });
    EXPECT_EQ(asked, (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_EQ(fetch.CancelledCount, 1u);
    EXPECT_EQ(fetched(), (std::set<std::string>{"a.env", "b.env"}));
}

// ---- Hostile archives ------------------------------------------------------------------------------

TEST_F(ArchiveFetch, ABombIsRefusedBeforeAnythingIsWritten) {
    // A tar entry that declares far more bytes than the archive could ever unpack to.
    std::vector<std::uint8_t> bytes = TarHeader("bomb.env", ArchiveBombAllowance + 1);
    bytes.resize(bytes.size() + 4096, 0);
    const std::string archive = put("bomb.tar", bytes);
    const TOperationReport fetch = run({archive});
    EXPECT_TRUE(fetched().empty());
    ASSERT_EQ(fetch.Tracks.size(), 1u);
    EXPECT_EQ(fetch.Tracks[0].Fate, TTrackFate::Refused);
    EXPECT_NE(fetch.Tracks[0].Message.find("unpacks to more than 100 times its size"), std::string::npos);
}

TEST_F(ArchiveFetch, TooManyEntriesAreRefused) {
    std::vector<TArchiveItem> items;
    for (std::int64_t i = 0; i <= ArchiveEntryLimit; ++i)
        items.push_back({"f" + std::to_string(i) + (i == 0 ? ".env" : ".txt"), ""});
    const TOperationReport fetch = run({put("many.tar", WriteArchive("tar", items))});
    EXPECT_TRUE(fetched().empty());
    ASSERT_FALSE(fetch.Tracks.empty());
    EXPECT_NE(fetch.Tracks[0].Message.find("more than 10000 entries"), std::string::npos);
}

struct NameCase {
    const char* name;
    bool track;
};

class TrackNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(TrackNames, EndInEnvOrTildeEnvWithSomethingBefore) {
    EXPECT_EQ(IsArchivedTrackName(GetParam().name), GetParam().track) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Cases, TrackNames,
                         ::testing::Values(NameCase{"a.env", true}, NameCase{"A.ENV", true},
                                           NameCase{"b.~EnV", true}, NameCase{".env", false},
                                           NameCase{".~env", false}, NameCase{"a.envx", false},
                                           NameCase{"a.env.txt", false}, NameCase{"aenv", false}));

} // namespace
