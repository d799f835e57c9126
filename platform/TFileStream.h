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
    };

    // Throws EFOpenError ("Cannot open file <path>") when the file cannot be opened, or, for a
    // CheckedOpen, when the path names something that is not a regular file (a folder, a FIFO or a
    // device).
    explicit TFileStream(const std::string& path, TOpenKind kind = CheckedOpen);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    // The file's size in bytes when it was opened.
    std::int64_t Size() const override { return m_size; }
    std::int64_t Position() const override { return m_position; }
    void Seek(std::int64_t position) override { m_position = position < 0 ? 0 : position; }

    std::size_t Read(void* buffer, std::size_t count) override;

    const std::string& FileName() const { return m_fileName; }

private:
    std::string m_fileName;
    std::int64_t m_size = 0;
    std::int64_t m_position = 0;
#ifdef _WIN32
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};
