#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Builds game containers byte by byte, for tests, fuzz seeds, benchmarks and the demo game.

struct TContainerEntry {
    std::string name; // stored as given (it may carry a folder path)
    std::vector<std::uint8_t> bytes;
    // Stored name length; by default the name plus its zero byte.
    std::optional<std::int32_t> nameLength = std::nullopt;
    // Stored Offset and Length; by default where the writer puts the bytes.
    std::optional<std::int32_t> offset = std::nullopt;
    std::optional<std::int32_t> length = std::nullopt;
};

struct TContainerLayout {
    bool scrambled = true;
    std::uint8_t keySeed = 0xB1;
    std::array<std::uint8_t, 4> prefix = {'S', 'K', 'R', '2'}; // scrambled containers only
    std::string bodyMagic;                                     // default: "RES" scrambled, "RS2" plain
    std::optional<std::int32_t> count = std::nullopt;          // stored entry count; default the real one
    std::size_t gapAfterDirectory = 0;                         // filler bytes before the first entry
};

// The container's bytes: prefix (scrambled only), body header, directory, then the entries in order.
std::vector<std::uint8_t> BuildContainer(const std::vector<TContainerEntry>& entries,
                                         const TContainerLayout& layout = {});

// Bytes scrambled with the running key from seed, as the game stores them.
std::vector<std::uint8_t> ScrambledBytes(std::vector<std::uint8_t> plain, std::uint8_t seed = 0xB1);

std::vector<std::uint8_t> BytesOf(const std::string& text);

// Writes bytes to path, replacing the file. Throws std::runtime_error on failure.
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
