// SPDX-License-Identifier: GPL-3.0-or-later
#include "container/TEntryReader.h"

#include <algorithm>
#include <cstring>

#include "container/Descramble.h"
#include "container/TSkarnFolder.h"

std::size_t TEntryReader::Read(std::uint8_t* out, std::size_t count) {
    const std::size_t ahead = std::min(count, m_end - m_at);
    if (ahead > 0) {
        std::memcpy(out, m_block.data() + m_at, ahead);
        m_at += ahead;
    }
    return ahead + readFile(out + ahead, count - ahead);
}

bool TEntryReader::refill() {
    m_at = 0;
    m_end = readFile(m_block.data(), m_block.size());
    return m_end > 0;
}

std::size_t TEntryReader::readFile(std::uint8_t* out, std::size_t count) {
    count = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(count), m_size - m_position));
    if (count == 0)
        return 0;
    const std::size_t got = m_folder.ReadEntryPart(m_index, m_position, out, count);
    std::fill(out + got, out + count, std::uint8_t{0});
    if (m_descramble)
        Descramble(out, count, m_key);
    m_position += static_cast<std::int64_t>(count);
    return count;
}
