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
