// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

// A readable, seekable stream of bytes: a size, a position to seek to and reads from it.
class TStream {
public:
    virtual ~TStream() = default;

    virtual std::int64_t Size() const = 0;
    virtual std::int64_t Position() const = 0;
    // Positions the stream; a negative position counts as 0, one past the end reads nothing.
    virtual void Seek(std::int64_t position) = 0;
    // Reads up to count bytes at the position and advances by what was read. The result is the
    // number of bytes delivered, which is less than count at the end of the stream or on a failure:
    // it does not insist on the count; a caller that needs all of it checks the result.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
};
