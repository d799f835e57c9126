// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Why a file-system call failed: the system's own error number (errno on POSIX systems, the value of
// GetLastError on Windows), or 0 when it did not fail. File primitives return it instead of a bare
// false, so that whoever reports the failure says why without looking at the disk again.
struct TFileError {
    int code = 0;

    bool Failed() const { return code != 0; }
    bool operator==(const TFileError&) const = default;
};

// The system's words for code ("Permission denied", "Access is denied"), without a trailing full stop
// or line break; "" for 0.
std::string SystemErrorText(int code);

// The failure says that a file already has the name asked for (EEXIST; ERROR_ALREADY_EXISTS,
// ERROR_FILE_EXISTS).
bool IsNameTaken(TFileError error);

// The failure says that the file, or a folder on its path, does not exist (ENOENT, ENOTDIR;
// ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND).
bool IsFileMissing(TFileError error);

// The failure of a name taken, in the system's own number.
TFileError NameTakenError();
