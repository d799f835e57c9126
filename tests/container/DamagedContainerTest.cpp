// SPDX-License-Identifier: GPL-3.0-or-later
// Containers come from strangers: every damaged shape must end in a defined, listable outcome.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ContainerWriter.h"
#include "TempDir.h"
#include "container/TSkarnFolder.h"

namespace {

struct Listed {
    std::string name;
    std::int32_t size;
};

struct DamageCase {
    const char* what;
    std::function<std::vector<std::uint8_t>()> file;
    std::vector<Listed> expected;
};

std::vector<TContainerEntry> threeEntries() {
    return {{"one.scn", BytesOf("SceneName=A\r")}, {"two", BytesOf("22")}, {"three", BytesOf("333")}};
}

std::vector<std::uint8_t> withScrambling(bool scrambled, std::vector<TContainerEntry> entries,
                                         TContainerLayout layout = {}) {
    layout.scrambled = scrambled;
    return BuildContainer(entries, layout);
}

const std::vector<Listed> allThree = {{"one.scn", 12}, {"two", 2}, {"three", 3}};

class Damaged : public ::testing::TestWithParam<DamageCase> {};

TEST_P(Damaged, ReadsAsFarAsItIsSound) {
    TTempDir dir;
    const std::string path = dir.file("damaged.env");
    WriteFileBytes(path, GetParam().file());
    TSkarnFolder folder(path, true);
    ASSERT_EQ(folder.Count(), static_cast<int>(GetParam().expected.size()));
    for (int i = 0; i < folder.Count(); ++i) {
        FolderEntry rec{};
        folder.GetEntry(i, rec);
        const Listed& want = GetParam().expected[static_cast<std::size_t>(i)];
        EXPECT_EQ(std::string(rec.Name), want.name);
        EXPECT_EQ(folder.EntrySize(i), want.size);
        const std::uint8_t* data = folder.EntryData(i);
        EXPECT_EQ(data != nullptr, want.size > 0);
    }
}

// The catalogue opens files that a folder listing has shown, trusting the listing and asking no size
// that one read did not give; the outcome must be the same, in small files and in large ones whose
// ranges are checked only when used.
TEST_P(Damaged, ReadsTheSameWhenOpenedFromAListing) {
    TTempDir dir;
    std::vector<std::uint8_t> bytes = GetParam().file();
    for (const std::size_t tail : {std::size_t{0}, std::size_t{40000}}) {
        bytes.resize(bytes.size() + tail, 0x33);
        const std::string path = dir.file("damaged" + std::to_string(tail) + ".env");
        WriteFileBytes(path, bytes);
        TSkarnFolder checked(path, true);
        TSkarnFolder listed(path, true, TSkarnFolder::KeepOpen{.listedAsFile = true});
        ASSERT_EQ(listed.Count(), checked.Count());
        EXPECT_EQ(listed.Kind(), checked.Kind());
        for (int i = 0; i < checked.Count(); ++i) {
            FolderEntry want{};
            FolderEntry got{};
            checked.GetEntry(i, want);
            listed.GetEntry(i, got);
            EXPECT_EQ(std::string(got.Name), std::string(want.Name));
            EXPECT_EQ(got.offset(), want.offset());
            EXPECT_EQ(got.length(), want.length()) << "entry " << i << ", " << tail << " bytes added";
            EXPECT_EQ(got.Flags, want.Flags);
            EXPECT_EQ(listed.EntrySize(i), checked.EntrySize(i));
            const std::int32_t size = checked.EntrySize(i);
            const std::uint8_t* a = checked.EntryData(i);
            const std::uint8_t* b = listed.EntryData(i);
            ASSERT_EQ(a != nullptr, b != nullptr);
            if (a) {
                EXPECT_EQ(std::vector<std::uint8_t>(a, a + size), std::vector<std::uint8_t>(b, b + size));
            }
        }
        EXPECT_EQ(listed.EndOffset(), checked.EndOffset());
    }
}

std::vector<std::uint8_t> truncated(std::vector<std::uint8_t> bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, Damaged,
    ::testing::Values(
        DamageCase{"empty file", [] { return std::vector<std::uint8_t>{}; }, {}},
        DamageCase{"only the plain magic", [] { return BytesOf(std::string("RS2\0", 4)); }, {}},
        DamageCase{"header cut inside the count", [] { return BytesOf(std::string("RS2\0\1\0", 6)); }, {}},
        DamageCase{"count larger than the records (plain)",
                   [] { return withScrambling(false, threeEntries(), {.count = 1000000}); }, allThree},
        DamageCase{"count larger than the records (scrambled)",
                   [] { return withScrambling(true, threeEntries(), {.count = 0x7FFFFFFF}); }, allThree},
        DamageCase{"negative count", [] { return withScrambling(true, threeEntries(), {.count = -5}); }, {}},
        DamageCase{"directory cut inside the second record",
                   [] { return truncated(withScrambling(true, threeEntries()), 4 + 8 + 20 + 6); },
                   {{"one.scn", 0}}},
        DamageCase{"name length above 81",
                   [] {
                       auto e = threeEntries();
                       e[1].nameLength = 82;
                       e[1].name.resize(82, 'n');
                       return withScrambling(true, e);
                   },
                   {{"one.scn", 12}}},
        DamageCase{"name length of exactly 81 without a zero byte",
                   [] {
                       auto e = threeEntries();
                       e[1].name = std::string(81, 'n');
                       e[1].nameLength = 81;
                       return withScrambling(false, e);
                   },
                   {{"one.scn", 12}, {std::string(81, 'n'), 2}, {"three", 3}}},
        DamageCase{"negative name length",
                   [] {
                       auto e = threeEntries();
                       e[2].nameLength = -1;
                       return withScrambling(true, e);
                   },
                   {{"one.scn", 12}, {"two", 2}}},
        DamageCase{"length past the end of the file is cut there",
                   [] {
                       auto e = threeEntries();
                       e[2].length = 0x7FFFFFFF;
                       return withScrambling(true, e);
                   },
                   {{"one.scn", 12}, {"two", 2}, {"three", 3}}},
        DamageCase{"offset past the end of the file",
                   [] {
                       auto e = threeEntries();
                       e[0].offset = 0x7FFFFFF0;
                       return withScrambling(false, e);
                   },
                   {{"one.scn", 0}, {"two", 2}, {"three", 3}}},
        DamageCase{"negative offset",
                   [] {
                       auto e = threeEntries();
                       e[1].offset = -8;
                       return withScrambling(true, e);
                   },
                   {{"one.scn", 12}, {"two", 0}, {"three", 3}}},
        DamageCase{"negative length stays as stored, without bytes",
                   [] {
                       auto e = threeEntries();
                       e[1].length = -3;
                       return withScrambling(true, e);
                   },
                   {{"one.scn", 12}, {"two", -3}, {"three", 3}}},
        DamageCase{"entries cut off by the end of the file",
                   [] {
                       auto bytes = withScrambling(false, threeEntries());
                       return truncated(bytes, bytes.size() - 4);
                   },
                   {{"one.scn", 12}, {"two", 1}, {"three", 0}}}),
    [](const ::testing::TestParamInfo<DamageCase>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

} // namespace
