// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/TStream.h"

// A file opened for reading while other processes may read it but not write it (on Windows the
// share mode enforces that; on Linux it is advisory only). The path is a Windows-style path as
// the program builds it and is resolved through NativePath; failures report the path as given.
class TFileStream : public TStream {
public:
    enum TOpenKind {
        // The usual open: the size is read, and anything but a regular file is refused.
        CheckedOpen,
        // For reading a known range again: no size (Size() is -1) and no check. Reading something
        // that is no longer a regular file still cannot block; it delivers what it delivers.
        RangeOpen,
        // For a file that a folder listing has just shown as a regular file: no check, and no size
        // until it is asked for. A read that stops short of what it asked for has met the end of the
        // file, which gives the size; otherwise Size() asks the file system once. Reading something
        // that has become another kind of file since the listing still cannot block.
        ListedOpen,
    };

    // Throws EFOpenError ("Cannot open file <path>") when the file cannot be opened, or, for a
    // CheckedOpen, when the path names something that is not a regular file (a folder, a FIFO or a
    // device).
    explicit TFileStream(const std::string& path, TOpenKind kind = CheckedOpen);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    // The file's size in bytes when it was opened (-1 for a RangeOpen). A ListedOpen learns it
    // from a short read or, failing that, on the first call.
    std::int64_t Size() const override;
    // The size when it is known without asking the file system; -1 otherwise.
    std::int64_t KnownSize() const { return m_size; }
    std::int64_t Position() const override { return m_position; }
    void Seek(std::int64_t position) override { m_position = position < 0 ? 0 : position; }

    std::size_t Read(void* buffer, std::size_t count) override;

    const std::string& FileName() const { return m_fileName; }

private:
    std::string m_fileName;
    mutable std::int64_t m_size = 0;
    TOpenKind m_kind = CheckedOpen;
    std::int64_t m_position = 0;
#ifdef _WIN32
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};
