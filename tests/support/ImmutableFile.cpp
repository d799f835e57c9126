// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImmutableFile.h"

#ifdef __linux__
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

TImmutableFile::TImmutableFile(const std::string& path) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    int flags = 0;
    if (m_fd < 0 || ::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) != 0)
        return;
    flags |= FS_IMMUTABLE_FL;
    m_set = ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags) == 0;
}

TImmutableFile::~TImmutableFile() {
    int flags = 0;
    if (m_set && ::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags &= ~FS_IMMUTABLE_FL;
        ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags);
    }
    if (m_fd >= 0)
        ::close(m_fd);
}
#else
TImmutableFile::TImmutableFile(const std::string&) {}
TImmutableFile::~TImmutableFile() = default;
#endif
