// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/TStream.h"

// A stream over bytes held in memory.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    std::int64_t Size() const override { return static_cast<std::int64_t>(m_bytes.size()); }
    std::int64_t Position() const override { return m_position; }
    void Seek(std::int64_t position) override { m_position = position < 0 ? 0 : position; }
    std::size_t Read(void* buffer, std::size_t count) override {
        if (m_position >= Size())
            return 0;
        const auto left = static_cast<std::size_t>(Size() - m_position);
        const std::size_t n = count < left ? count : left;
        if (n > 0)
            std::memcpy(buffer, m_bytes.data() + m_position, n);
        m_position += static_cast<std::int64_t>(n);
        return n;
    }

    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
    std::int64_t m_position = 0;
};
