// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SmallFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Handles.h"
#include "platform/SmallFileRead.h"

std::optional<std::string> ReadSmallFile(const std::string& nativePath, std::size_t maxBytes) {
    const TUniqueFd fd(::open(nativePath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::size_t>(st.st_size) > maxBytes)
        return std::nullopt;
    return readAll(static_cast<std::size_t>(st.st_size), maxBytes, [&](char* buffer, std::size_t size) {
        ssize_t got = 0;
        while ((got = ::read(fd.get(), buffer, size)) < 0 && errno == EINTR) {
        }
        return static_cast<long long>(got);
    });
}
