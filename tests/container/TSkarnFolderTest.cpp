// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ContainerWriter.h"
#include "TempDir.h"
#include "container/TSkarnFolder.h"
#include "platform/Exceptions.h"

namespace {

std::vector<std::uint8_t> bytesOf(const std::uint8_t* data, std::int32_t size) {
    return data ? std::vector<std::uint8_t>(data, data + size) : std::vector<std::uint8_t>{};
}

class TSkarnFolderTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::string path = dir.file(name);
        WriteFileBytes(path, bytes);
        return path;
    }

    TTempDir dir;
};

TEST_F(TSkarnFolderTest, EmptyPlainContainer) {
    const auto path = write("empty.env", {'R', 'S', '2', 0, 0, 0, 0, 0});
    TSkarnFolder folder(path, true);
    EXPECT_FALSE(folder.Scrambled());
    EXPECT_EQ(folder.Kind(), TSkarnFolder::KindRs2);
    EXPECT_EQ(folder.Count(), 0);
    EXPECT_EQ(folder.FindEntry("scn"), -1);
    EXPECT_EQ(folder.IndexOfEntry("scn"), -1);
    EXPECT_FALSE(folder.StreamOpen());
}

TEST_F(TSkarnFolderTest, OnePlainEntryWrittenByHand) {
    // A plain container with one entry "scn" of 5 bytes at offset 24.
    const std::vector<std::uint8_t> file = {0x52, 0x53, 0x32, 0x00, 0x01, 0x00, 0x00, 0x00, 0x04, 0x00,
                                            0x00, 0x00, 0x73, 0x63, 0x6E, 0x00, 0x18, 0x00, 0x00, 0x00,
                                            0x05, 0x00, 0x00, 0x00, 'h',  'e',  'l',  'l',  'o'};
    TSkarnFolder folder(write("t.env", file), true);
    ASSERT_EQ(folder.Count(), 1);
    FolderEntry rec{};
    folder.GetEntry(0, rec);
    EXPECT_STREQ(rec.Name, "scn");
    EXPECT_EQ(rec.offset(), 24);
    EXPECT_EQ(rec.length(), 5);
    EXPECT_EQ(rec.Offset, 24 ^ 0xC6) << "held masked in memory";
    EXPECT_EQ(rec.Length, 5 ^ 0xC6);
    EXPECT_EQ(rec.Flags, 0u);
    EXPECT_EQ(rec.Data, nullptr);
    EXPECT_EQ(bytesOf(folder.EntryData(0), folder.EntrySize(0)), BytesOf("hello"));
}

struct RoundTripCase {
    const char* fileName;
    bool scrambled;
    std::uint8_t seed;
    int kind;
};

class RoundTrip : public TSkarnFolderTest, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(RoundTrip, EntriesReadBackAsWritten) {
    const RoundTripCase& c = GetParam();
    const std::vector<TContainerEntry> entries = {
        {"track.scn", BytesOf("SceneName=Big Jump\r\n")},
        {"textures\\trackS.tga", std::vector<std::uint8_t>(300, 0xAB)},
        {"empty", {}},
        {"c:last.bin", {1, 2, 3, 0, 255}},
    };
    TContainerLayout layout;
    layout.scrambled = c.scrambled;
    layout.keySeed = c.seed;
    layout.gapAfterDirectory = 17;
    TSkarnFolder folder(write(c.fileName, BuildContainer(entries, layout)), true);

    EXPECT_EQ(folder.Scrambled(), c.scrambled);
    EXPECT_EQ(folder.KeySeed(), c.seed);
    EXPECT_EQ(folder.Kind(), c.kind);
    ASSERT_EQ(folder.Count(), 4);
    const char* names[] = {"track.scn", "trackS.tga", "empty", "last.bin"};
    for (int i = 0; i < 4; ++i) {
        FolderEntry rec{};
        folder.GetEntry(i, rec);
        EXPECT_STREQ(rec.Name, names[i]);
        EXPECT_EQ(rec.Flags, c.scrambled ? 1u : 0u);
        EXPECT_EQ(folder.EntrySize(i),
                  static_cast<std::int32_t>(entries[static_cast<std::size_t>(i)].bytes.size()));
        EXPECT_EQ(bytesOf(folder.EntryData(i), folder.EntrySize(i)),
                  entries[static_cast<std::size_t>(i)].bytes);
    }
    EXPECT_EQ(folder.EntryData(2), nullptr) << "a zero-length entry has no bytes";
    EXPECT_FALSE(folder.StreamOpen());
}

INSTANTIATE_TEST_SUITE_P(Variants, RoundTrip,
                         ::testing::Values(RoundTripCase{"plain.env", false, 0xB1, TSkarnFolder::KindRs2},
                                           RoundTripCase{"scrambled.env", true, 0xB1, TSkarnFolder::KindRes},
                                           RoundTripCase{"inactive.~env", true, 0xB1, TSkarnFolder::KindRes},
                                           RoundTripCase{"DATA.RES", true, 0xD8, TSkarnFolder::KindRes},
                                           RoundTripCase{"plain.res", false, 0xD8, TSkarnFolder::KindRs2}));

TEST_F(TSkarnFolderTest, DirectoryIsOneRunningKeyStream) {
    // Scramble each record on its own, restarting the key: a reader that restarted the key per
    // field would read this; ours must not.
    const std::vector<std::uint8_t> plainDirectory = {'R', 'E', 'S', 0, 1,  0, 0, 0, 4, 0, 0, 0,
                                                      's', 'c', 'n', 0, 24, 0, 0, 0, 1, 0, 0, 0};
    std::vector<std::uint8_t> perField;
    for (std::size_t at = 0; at < plainDirectory.size(); at += 4) {
        const auto field = ScrambledBytes({plainDirectory.begin() + static_cast<long>(at),
                                           plainDirectory.begin() + static_cast<long>(at) + 4});
        perField.insert(perField.end(), field.begin(), field.end());
    }
    std::vector<std::uint8_t> file = {'X', 'X', 'X', 'X'};
    file.insert(file.end(), perField.begin(), perField.end());
    file.push_back(0x41);
    TSkarnFolder misread(write("perfield.env", file), true);
    EXPECT_NE(misread.FindEntry("scn"), 0);

    std::vector<std::uint8_t> running = {'X', 'X', 'X', 'X'};
    const auto stream = ScrambledBytes(plainDirectory);
    running.insert(running.end(), stream.begin(), stream.end());
    running.push_back(ScrambledBytes({'z'})[0]);
    TSkarnFolder folder(write("running.env", running), true);
    ASSERT_EQ(folder.FindEntry("scn"), 0);
    EXPECT_EQ(bytesOf(folder.EntryData(0), 1), BytesOf("z"));
}

TEST_F(TSkarnFolderTest, LoadWithoutDescramblingShowsStoredBytes) {
    const auto plain = BytesOf("SceneName=Hill");
    TSkarnFolder folder(write("t.env", BuildContainer({{"scn", plain}})), true);
    folder.LoadEntry(0);
    FolderEntry rec{};
    folder.GetEntry(0, rec);
    ASSERT_NE(rec.Data, nullptr);
    EXPECT_EQ(rec.Flags, 1u);
    EXPECT_FALSE(folder.IsDescrambled(0));
    EXPECT_EQ(bytesOf(rec.Data, rec.length()), ScrambledBytes(plain));

    const std::uint8_t* data = folder.EntryData(0);
    EXPECT_EQ(data, rec.Data) << "descrambled in place";
    EXPECT_TRUE(folder.IsDescrambled(0));
    EXPECT_EQ(bytesOf(data, folder.EntrySize(0)), plain);
}

TEST_F(TSkarnFolderTest, SecondEntryDataNeitherReadsNorDescramblesAgain) {
    const auto plain = BytesOf("abcdef");
    const auto path = write("t.env", BuildContainer({{"a", plain}}));
    TSkarnFolder folder(path, true);
    const std::uint8_t* first = folder.EntryData(0);
    WriteFileBytes(path, BuildContainer({{"a", BytesOf("zzzzzz")}}));
    const std::uint8_t* second = folder.EntryData(0);
    EXPECT_EQ(first, second);
    EXPECT_EQ(bytesOf(second, 6), plain);
}

TEST_F(TSkarnFolderTest, LoadReopensAndReadsWhatTheFileHoldsThen) {
    const auto path = write("t.env", BuildContainer({{"a", BytesOf("before")}}));
    TSkarnFolder folder(path, true);
    WriteFileBytes(path, BuildContainer({{"a", BytesOf("after!")}}));
    EXPECT_EQ(bytesOf(folder.EntryData(0), 6), BytesOf("after!"));
    EXPECT_FALSE(folder.StreamOpen());
}

TEST_F(TSkarnFolderTest, LoadOfAFileThatShrankFillsWithZeros) {
    const auto path = write("t.env", BuildContainer({{"a", BytesOf("0123456789")}}, {.scrambled = false}));
    TSkarnFolder folder(path, true);
    auto shorter = ReadFileBytes(path);
    shorter.resize(shorter.size() - 4);
    WriteFileBytes(path, shorter);
    EXPECT_EQ(bytesOf(folder.EntryData(0), 10),
              (std::vector<std::uint8_t>{'0', '1', '2', '3', '4', '5', 0, 0, 0, 0}));
}

TEST_F(TSkarnFolderTest, LoadOfAVanishedFileFailsAndLeavesNoData) {
    const auto path = write("t.env", BuildContainer({{"a", BytesOf("x")}}));
    TSkarnFolder folder(path, true);
    std::remove(path.c_str());
    try {
        folder.EntryData(0);
        FAIL() << "expected EFOpenError";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + path);
    }
    FolderEntry rec{};
    folder.GetEntry(0, rec);
    EXPECT_EQ(rec.Data, nullptr);
}

TEST_F(TSkarnFolderTest, NotDirOnlyLoadsEveryEntryAsStored) {
    const auto path = write("t.env", BuildContainer({{"a", BytesOf("one")}, {"b", BytesOf("two")}}));
    TSkarnFolder folder(path, false);
    EXPECT_FALSE(folder.StreamOpen());
    for (int i = 0; i < 2; ++i) {
        FolderEntry rec{};
        folder.GetEntry(i, rec);
        ASSERT_NE(rec.Data, nullptr);
        EXPECT_FALSE(folder.IsDescrambled(i));
    }
    std::remove(path.c_str());
    EXPECT_EQ(bytesOf(folder.EntryData(1), 3), BytesOf("two")) << "no reopening for loaded entries";
}

TEST_F(TSkarnFolderTest, AWholeLoadHoldsNoMoreThanTheFile) {
    // Forty entries over the same 64 KiB: loading each would take forty times the file.
    const std::vector<std::uint8_t> body(64 * 1024, 0x5A);
    const auto build = [&](std::int32_t at) {
        std::vector<TContainerEntry> entries = {{"first", body}};
        for (int i = 1; i < 40; ++i)
            entries.push_back(
                {"e" + std::to_string(i), {}, std::nullopt, at, static_cast<std::int32_t>(body.size())});
        return BuildContainer(entries, {.scrambled = false});
    };
    // The first entry's bytes follow the directory, at the end of the file.
    const auto path = write("t.env", build(static_cast<std::int32_t>(build(0).size() - body.size())));
    TSkarnFolder folder(path, false);
    ASSERT_EQ(folder.Count(), 40);
    std::int64_t held = 0;
    for (int i = 0; i < folder.Count(); ++i) {
        FolderEntry rec{};
        folder.GetEntry(i, rec);
        held += rec.Data ? rec.length() : 0;
    }
    EXPECT_GT(held, 0);
    EXPECT_LE(held, static_cast<std::int64_t>(std::filesystem::file_size(path)));
    EXPECT_EQ(bytesOf(folder.EntryData(39), folder.EntrySize(39)), body)
        << "a left-out entry loads on demand";

    TEntryReader reader = folder.OpenEntry(39);
    std::vector<std::uint8_t> part(body.size() + 10);
    EXPECT_EQ(reader.Read(part.data(), part.size()), body.size()) << "a reader stops at the entry's end";
    EXPECT_EQ(folder.OpenEntry(40).Read(part.data(), part.size()), 0u);
}

struct FindCase {
    const char* key;
    int find;
    int index;
};

class Lookup : public TSkarnFolderTest, public ::testing::WithParamInterface<FindCase> {};

TEST_P(Lookup, FindAndIndexOfEntry) {
    const std::vector<TContainerEntry> entries = {
        {"xscn.dat", {1}}, {"scn", {2}}, {"SCN", {3}}, {"", {4}}, {"Caf\xC9.tga", {5}}, {"", {6}},
    };
    TSkarnFolder folder(write("t.env", BuildContainer(entries)), true);
    const FindCase& c = GetParam();
    EXPECT_EQ(folder.FindEntry(c.key), c.find) << "FindEntry(" << c.key << ")";
    EXPECT_EQ(folder.IndexOfEntry(c.key), c.index) << "IndexOfEntry(" << c.key << ")";
}

INSTANTIATE_TEST_SUITE_P(Keys, Lookup,
                         ::testing::Values(FindCase{"scn", 0, 2},      // first substring, last exact
                                           FindCase{"SCN", 0, 2},      // letter case ignored
                                           FindCase{"cn", 0, -1},      // part of a name
                                           FindCase{"xscn.DAT", 0, 0}, //
                                           FindCase{"", -1, 5},        // empty key: last empty name
                                           FindCase{"caf\xC9", 4, -1}, // only A-Z fold
                                           FindCase{"caf\xE9", -1, -1}, FindCase{"zzz", -1, -1}));

struct StoredNameCase {
    const char* stored;
    const char* name;
    const char* notFoundAs; // what a cut at "/" would have made of it
};

class StoredName : public TSkarnFolderTest, public ::testing::WithParamInterface<StoredNameCase> {};

// Only "\\" and ":" cut a stored name; "/" belongs to it, whatever it means in the Linux file system.
TEST_P(StoredName, KeepsThePartAfterTheLastBackslashOrColon) {
    const StoredNameCase& c = GetParam();
    TSkarnFolder folder(write("t.env", BuildContainer({{c.stored, {7}}})), true);
    FolderEntry rec{};
    folder.GetEntry(0, rec);
    EXPECT_STREQ(rec.Name, c.name);
    EXPECT_EQ(folder.IndexOfEntry(c.name), 0);
    EXPECT_EQ(folder.IndexOfEntry(c.notFoundAs), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Names, StoredName,
    ::testing::Values(StoredNameCase{"pics/jump01s.tga", "pics/jump01s.tga", "jump01s.tga"},
                      StoredNameCase{"a\\pics/jumps.tga", "pics/jumps.tga", "jumps.tga"},
                      StoredNameCase{"c:x/y:jump01s.tga", "jump01s.tga", "y:jump01s.tga"},
                      StoredNameCase{"pics/", "pics/", ""}));

TEST_F(TSkarnFolderTest, BadIndexes) {
    TSkarnFolder folder(write("t.env", BuildContainer({{"a", {1, 2}}, {"b", {3}}})), true);
    for (int index : {-1, 2, 1000}) {
        EXPECT_TRUE(folder.BadIndex(index));
        EXPECT_EQ(folder.EntrySize(index), 0);
        EXPECT_EQ(folder.EntryData(index), nullptr);
        FolderEntry rec;
        std::memset(&rec, 0x55, sizeof rec);
        folder.GetEntry(index, rec);
        FolderEntry zero;
        std::memset(&zero, 0, sizeof zero);
        EXPECT_EQ(std::memcmp(&rec, &zero, sizeof rec), 0);
        std::vector<std::uint8_t> buffer = {9};
        EXPECT_FALSE(folder.CopyEntry(buffer, index));
        EXPECT_EQ(buffer, std::vector<std::uint8_t>{9});
        folder.LoadEntry(index, true);
        folder.DeleteEntry(index);
    }
    EXPECT_EQ(folder.Count(), 2);
    folder.DeleteEntry(0);
    ASSERT_EQ(folder.Count(), 1);
    FolderEntry rec{};
    folder.GetEntry(0, rec);
    EXPECT_STREQ(rec.Name, "b");
}

TEST_F(TSkarnFolderTest, CopyEntryProvidesAndFillsABuffer) {
    std::vector<std::uint8_t> bytes(20);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i);
    TSkarnFolder folder(write("t.env", BuildContainer({{"a", bytes}})), true);
    std::vector<std::uint8_t> buffer;
    EXPECT_TRUE(folder.CopyEntry(buffer, 0));
    EXPECT_EQ(buffer.size(), 20u);
    EXPECT_EQ(buffer, std::vector<std::uint8_t>(20, 0)) << "bytes not in memory: nothing copied";
    folder.EntryData(0);
    buffer.clear();
    EXPECT_TRUE(folder.CopyEntry(buffer, 0));
    EXPECT_EQ(buffer, bytes);
}

struct SeedCase {
    const char* name;
    std::uint8_t seed;
};

class KeySeed : public ::testing::TestWithParam<SeedCase> {};

TEST_P(KeySeed, FromTheExtension) {
    EXPECT_EQ(TSkarnFolder::KeySeedFor(GetParam().name), GetParam().seed);
}

INSTANTIATE_TEST_SUITE_P(Names, KeySeed,
                         ::testing::Values(SeedCase{"TRACK.RES", 0xD8}, SeedCase{"c:\\x\\a.Res", 0xD8},
                                           SeedCase{"track.res.env", 0xB1}, SeedCase{"track", 0xB1},
                                           SeedCase{"t.env", 0xB1}, SeedCase{"t.~env", 0xB1},
                                           SeedCase{"dir.res\\track", 0xB1}, SeedCase{"c:.res", 0xD8},
                                           SeedCase{"a.res:b", 0xB1}, SeedCase{".res", 0xD8},
                                           SeedCase{"a.resx", 0xB1}));

struct VariantCase {
    std::vector<std::uint8_t> head;
    bool scrambled;
};

class Variant : public TSkarnFolderTest, public ::testing::WithParamInterface<VariantCase> {};

TEST_P(Variant, TheFirstFourBytesDecide) {
    auto file = GetParam().head;
    file.resize(64, 0);
    TSkarnFolder folder(write("v.env", file), true);
    EXPECT_EQ(folder.Scrambled(), GetParam().scrambled);
}

INSTANTIATE_TEST_SUITE_P(Magics, Variant,
                         ::testing::Values(VariantCase{{'R', 'S', '2', 0}, false},
                                           VariantCase{{'R', 'S', '2', 'x'}, true},
                                           VariantCase{{'R', 'S', 0, 0}, true},
                                           VariantCase{{'r', 's', '2', 0}, true},
                                           VariantCase{{0, 0, 0, 0}, true}));

TEST_F(TSkarnFolderTest, OtherBodyMagicIsReadAllTheSame) {
    TSkarnFolder folder(write("t.env", BuildContainer({{"a", {7}}}, {.bodyMagic = "ABC"})), true);
    EXPECT_EQ(folder.Kind(), TSkarnFolder::KindUnknown);
    EXPECT_EQ(bytesOf(folder.EntryData(0), 1), std::vector<std::uint8_t>{7});
}

TEST_F(TSkarnFolderTest, FilesThatCannotBeOpened) {
    const std::string missing = dir.file("missing.env");
    try {
        TSkarnFolder folder(missing, true);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing);
    }
    EXPECT_THROW(TSkarnFolder(dir.path().string(), true), EFOpenError) << "a folder";
}

} // namespace
