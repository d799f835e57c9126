// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/ByteOrder.h"

// Reads a span of bytes in memory from front to back. Every take is checked against the bytes left:
// a take of more than are left throws EReadError and takes nothing, so a reader of hostile data never
// reads beyond its span. Copies are cheap (two pointers), so a hot loop can work on a local copy and
// hand it back when done.
class TSpanReader {
public:
    TSpanReader() = default;
    TSpanReader(const std::uint8_t* data, std::size_t size) : m_at(data), m_end(data ? data + size : data) {}

    std::size_t Left() const { return static_cast<std::size_t>(m_end - m_at); }

    // The next count bytes, in place; the reader moves past them.
    const std::uint8_t* Take(std::size_t count) {
        if (count > Left())
            shortRead();
        const std::uint8_t* at = m_at;
        m_at += count;
        return at;
    }

    std::uint8_t Byte() { return *Take(1); }
    std::uint16_t LittleEndian16() { return ::LittleEndian16(Take(2)); }
    std::uint32_t LittleEndian32() { return ::LittleEndian32(Take(4)); }

private:
    [[noreturn]] static void shortRead();

    const std::uint8_t* m_at = nullptr;
    const std::uint8_t* m_end = nullptr;
};
