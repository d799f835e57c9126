#include "TFileStream.h"

#include "Exceptions.h"
#include "FileError.h"
#include "NativePath.h"

#ifdef _WIN32
#include <windows.h>

#include <algorithm>

#include "WinText.h"
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef _WIN32

TFileStream::TFileStream(const std::string& path, TOpenKind kind) : m_fileName(path), m_kind(kind) {
    HANDLE h = ::CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throw EFOpenError(path, SystemErrorText(static_cast<int>(::GetLastError())));
    LARGE_INTEGER size{};
    if (::GetFileType(h) != FILE_TYPE_DISK || !::GetFileSizeEx(h, &size)) {
        ::CloseHandle(h);
        throw EFOpenError(path, "not a regular file");
    }
    m_handle = h;
    m_size = size.QuadPart;
}

TFileStream::~TFileStream() {
    ::CloseHandle(static_cast<HANDLE>(m_handle));
}

std::int64_t TFileStream::Size() const {
    return m_size;
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
    std::size_t done = 0;
    auto* out = static_cast<unsigned char*>(buffer);
    while (done < count) {
        OVERLAPPED at{};
        const auto position = static_cast<unsigned long long>(m_position);
        at.Offset = static_cast<DWORD>(position & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(static_cast<HANDLE>(m_handle), out + done, chunk, &got, &at) || got == 0)
            break;
        done += got;
        m_position += got;
    }
    return done;
}

#else

TFileStream::TFileStream(const std::string& path, TOpenKind kind) : m_fileName(path), m_kind(kind) {
    // O_NONBLOCK: opening a FIFO named like a track must not wait for a writer. A file that is not
    // a regular file is refused below. The path as written is tried first; letter case is resolved
    // only when that names nothing.
    constexpr int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
    m_fd = ::open(NativePathAsWritten(path).c_str(), flags);
    if (m_fd < 0 && errno == ENOENT)
        m_fd = ::open(NativePath(path).c_str(), flags);
    if (m_fd < 0)
        throw EFOpenError(path, SystemErrorText(errno));
    if (kind != CheckedOpen) {
        m_size = -1;
        return;
    }
    struct stat st {};
    const bool statted = ::fstat(m_fd, &st) == 0;
    if (!statted || !S_ISREG(st.st_mode)) {
        const std::string reason = !statted              ? SystemErrorText(errno)
                                   : S_ISDIR(st.st_mode) ? SystemErrorText(EISDIR)
                                                         : std::string("not a regular file");
        ::close(m_fd);
        throw EFOpenError(path, reason);
    }
    m_size = st.st_size;
}

TFileStream::~TFileStream() {
    ::close(m_fd);
}

std::int64_t TFileStream::Size() const {
    if (m_size < 0 && m_kind == ListedOpen) {
        struct stat st {};
        m_size = ::fstat(m_fd, &st) == 0 && S_ISREG(st.st_mode) ? st.st_size : 0;
    }
    return m_size;
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
    std::size_t done = 0;
    auto* out = static_cast<unsigned char*>(buffer);
    while (done < count) {
        const std::size_t asked = count - done;
        const ssize_t got = ::pread(m_fd, out + done, asked, m_position);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            if (got == 0 && m_size < 0 && m_kind == ListedOpen)
                m_size = m_position;
            break;
        }
        done += static_cast<std::size_t>(got);
        m_position += got;
        // A regular file reads short only at its end: no further call is needed to learn that.
        if (m_kind == ListedOpen && static_cast<std::size_t>(got) < asked) {
            if (m_size < 0)
                m_size = m_position;
            break;
        }
    }
    return done;
}

#endif
