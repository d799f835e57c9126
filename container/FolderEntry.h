// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// One entry of a container in memory. Offset and Length are held masked (XOR FolderEntry::Mask over
// the whole 32-bit value); no file ever holds masked values. Use the accessors below to read them.
struct FolderEntry {
    static constexpr std::int32_t Mask = 0xC6;
    static constexpr std::size_t MaxName = 127;
    // Flags bit 0: the bytes in Data are as stored and not yet descrambled.
    static constexpr std::uint32_t StoredFlag = 1;
    // Flags bit 1, never seen outside the folder: the range is not yet checked against the file's
    // size (it reaches past the bytes read with the directory, and the size was not needed yet).
    static constexpr std::uint32_t UncheckedRangeFlag = 2;

    char Name[MaxName + 1];
    std::int32_t Offset; // masked
    std::int32_t Length; // masked
    std::uint32_t Flags;
    std::uint8_t* Data; // owned by the folder; null until loaded

    std::int32_t offset() const { return Offset ^ Mask; }
    std::int32_t length() const { return Length ^ Mask; }
    void setOffset(std::int32_t value) { Offset = value ^ Mask; }
    void setLength(std::int32_t value) { Length = value ^ Mask; }
};

// The name an entry is known by: the stored name after its last "\" or ":". NOTE: "/" is an ordinary
// character of a stored name, unlike in a path of the Linux file system ("pics/jump01s.tga" stays
// whole, and is not found as "jump01s.tga").
inline std::string_view EntryNamePart(std::string_view stored) {
    const std::size_t cut = stored.find_last_of("\\:");
    return cut == std::string_view::npos ? stored : stored.substr(cut + 1);
}
