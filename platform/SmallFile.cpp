#include "platform/SmallFile.h"

#include <algorithm>

#include "platform/Handles.h"

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace {

// Appends what read(buffer, size) delivers to text until it reports the end (0); nothing when it
// fails (a negative count) or the text would grow beyond maxBytes.
template <class TRead>
std::optional<std::string> readAll(std::size_t sizeHint, std::size_t maxBytes, TRead read) {
    std::optional<std::string> text(std::in_place);
    text->reserve(std::min(sizeHint, maxBytes));
    char buffer[1 << 14];
    while (true) {
        const long long got = read(buffer, sizeof buffer);
        if (got < 0 || text->size() + static_cast<std::size_t>(got) > maxBytes)
            return std::nullopt;
        if (got == 0)
            return text;
        text->append(buffer, static_cast<std::size_t>(got));
    }
}

} // namespace

#ifdef _WIN32

std::optional<std::string> ReadSmallFile(const std::string& nativePath, std::size_t maxBytes) {
    const TUniqueFile file(std::fopen(nativePath.c_str(), "rb"));
    if (!file)
        return std::nullopt;
    return readAll(0, maxBytes, [&](char* buffer, std::size_t size) -> long long {
        const std::size_t got = std::fread(buffer, 1, size, file.get());
        return got == 0 && std::ferror(file.get()) ? -1 : static_cast<long long>(got);
    });
}

#else

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

#endif
