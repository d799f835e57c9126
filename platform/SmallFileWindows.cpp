// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SmallFile.h"

#include <cstdio>

#include "platform/Handles.h"
#include "platform/SmallFileRead.h"

std::optional<std::string> ReadSmallFile(const std::string& nativePath, std::size_t maxBytes) {
    const TUniqueFile file(std::fopen(nativePath.c_str(), "rb"));
    if (!file)
        return std::nullopt;
    return readAll(0, maxBytes, [&](char* buffer, std::size_t size) -> long long {
        const std::size_t got = std::fread(buffer, 1, size, file.get());
        return got == 0 && std::ferror(file.get()) ? -1 : static_cast<long long>(got);
    });
}
