// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileError.h"

#include <cerrno>
#include <cstring>

#include "platform/FileErrorInternal.h"

std::string SystemMessage(int code) {
    // std::strerror's text for code; the buffer keeps it apart from other threads' calls.
    char buffer[256] = {};
    const auto* message = ::strerror_r(code, buffer, sizeof buffer);
    return message;
}

bool IsNameTaken(TFileError error) {
    return error.code == EEXIST;
}

bool IsFileMissing(TFileError error) {
    return error.code == ENOENT || error.code == ENOTDIR;
}

TFileError NameTakenError() {
    return {EEXIST};
}
