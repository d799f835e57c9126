// SPDX-License-Identifier: GPL-3.0-or-later
#include "TFileStream.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Exceptions.h"
#include "FileError.h"
#include "NativePath.h"

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
