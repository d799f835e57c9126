// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class TSkarnFolder;

// Reads the bytes of one container entry in order, descrambled, from the file as they are asked for:
// no more of the entry is read than its caller takes, and nothing past the entry's end. Handed out by
// TSkarnFolder::OpenEntry; it uses the folder, which must outlive it.
//
// An entry that the file no longer holds in full (the file shrank since the directory was read) reads
// as if its missing bytes were zero bytes as stored, as a loaded entry holds them.
class TEntryReader {
public:
    // The entry's Length; 0 for a bad index or a Length of 0 or less.
    std::int64_t Size() const { return m_size; }
    // The bytes of the entry not read yet.
    std::int64_t Left() const { return m_size - m_position + static_cast<std::int64_t>(m_end - m_at); }

    // Reads the next count bytes, or fewer at the end of the entry, into out. Returns how many it read.
    // Throws EFOpenError when the file must be reopened and cannot be.
    std::size_t Read(std::uint8_t* out, std::size_t count);
    // The next byte; false at the end of the entry. Reads ahead a block at a time.
    bool Next(std::uint8_t& byte) {
        if (m_at == m_end && !refill())
            return false;
        byte = m_block[m_at++];
        return true;
    }

private:
    friend class TSkarnFolder;
    // descramble: run every byte through the running key from key.
    TEntryReader(TSkarnFolder& folder, int index, std::int64_t size, bool descramble, std::uint8_t key)
        : m_folder(folder), m_index(index), m_size(size), m_descramble(descramble), m_key(key) {}

    // Reads from the file at m_position; what Read and refill share.
    std::size_t readFile(std::uint8_t* out, std::size_t count);
    bool refill();

    TSkarnFolder& m_folder;
    int m_index;
    std::int64_t m_size;
    bool m_descramble;
    std::uint8_t m_key;
    // Where the next read from the file starts, within the entry.
    std::int64_t m_position = 0;
    // Bytes read ahead by Next: m_block[m_at, m_end) come before m_position.
    std::array<std::uint8_t, 4096> m_block{};
    std::size_t m_at = 0;
    std::size_t m_end = 0;
};
