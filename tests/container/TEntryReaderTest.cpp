// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ContainerWriter.h"
#include "TempDir.h"
#include "container/Descramble.h"
#include "container/TSkarnFolder.h"

namespace {

// Reads the whole entry as a caller would: a few bytes one at a time, then pieces of 5000 bytes (more
// than one read-ahead block), so that the bytes read ahead and the direct reads must join up.
std::vector<std::uint8_t> readAll(TEntryReader reader) {
    std::vector<std::uint8_t> out;
    std::uint8_t byte = 0;
    for (int i = 0; i < 3 && reader.Next(byte); ++i)
        out.push_back(byte);
    std::vector<std::uint8_t> piece(5000);
    while (reader.Left() > 0) {
        const std::size_t got = reader.Read(piece.data(), piece.size());
        EXPECT_GT(got, 0u);
        out.insert(out.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(got));
    }
    EXPECT_EQ(reader.Read(piece.data(), piece.size()), 0u) << "nothing past the entry's end";
    EXPECT_FALSE(reader.Next(byte));
    return out;
}

std::vector<std::uint8_t> pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return bytes;
}

struct ReaderCase {
    const char* fileName;
    bool scrambled;
    std::uint8_t seed;
};

class EntryReader : public ::testing::TestWithParam<ReaderCase> {
protected:
    TTempDir dir;
};

// Every variant reads what EntryData gives; with a key of its own every byte runs through the key,
// the stored bytes of a plain container too.
TEST_P(EntryReader, ReadsTheBytesEntryDataGives) {
    const ReaderCase& c = GetParam();
    const std::vector<std::uint8_t> big = pattern(9000);
    const std::string path = dir.file(c.fileName);
    WriteFileBytes(path, BuildContainer({{"small", BytesOf("SceneName=Hill")}, {"big", big}, {"empty", {}}},
                                        {.scrambled = c.scrambled, .keySeed = c.seed}));
    TSkarnFolder folder(path, true);
    EXPECT_EQ(readAll(folder.OpenEntry(1)), big);
    EXPECT_EQ(folder.OpenEntry(1).Size(), 9000);
    EXPECT_EQ(readAll(folder.OpenEntry(0)), BytesOf("SceneName=Hill"));
    EXPECT_TRUE(readAll(folder.OpenEntry(2)).empty());
    EXPECT_TRUE(readAll(folder.OpenEntry(3)).empty()) << "a bad index reads nothing";

    std::vector<std::uint8_t> stored = c.scrambled ? ScrambledBytes(big, c.seed) : big;
    std::uint8_t key = 0x5A;
    Descramble(stored.data(), stored.size(), key);
    EXPECT_EQ(readAll(folder.OpenEntry(1, 0x5A)), stored);
}

INSTANTIATE_TEST_SUITE_P(Variants, EntryReader,
                         ::testing::Values(ReaderCase{"plain.env", false, 0xB1},
                                           ReaderCase{"scrambled.env", true, 0xB1},
                                           ReaderCase{"scrambled.res", true, 0xD8}));

TEST(EntryReaderShrunkFile, MissingBytesReadAsStoredZeros) {
    TTempDir dir;
    const std::string path = dir.file("t.env");
    WriteFileBytes(path, BuildContainer({{"a", BytesOf("0123456789")}}));
    TSkarnFolder folder(path, true);
    auto shorter = ReadFileBytes(path);
    shorter.resize(shorter.size() - 4);
    WriteFileBytes(path, shorter);

    std::vector<std::uint8_t> expected = ScrambledBytes(BytesOf("0123456789"));
    std::fill(expected.end() - 4, expected.end(), std::uint8_t{0});
    std::uint8_t key = 0xB1;
    Descramble(expected.data(), expected.size(), key);
    EXPECT_EQ(readAll(folder.OpenEntry(0)), expected);
    EXPECT_EQ(std::vector<std::uint8_t>(folder.EntryData(0), folder.EntryData(0) + 10), expected);
}

} // namespace
