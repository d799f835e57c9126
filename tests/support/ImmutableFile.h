// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Marks a file immutable for as long as the object lives, so that not even root can delete or change
// it, as on a read-only mount. Set() is false where the file system or the rights do not allow it (and
// always on Windows); tests then skip.
class TImmutableFile {
public:
    explicit TImmutableFile(const std::string& path);
    ~TImmutableFile();
    TImmutableFile(const TImmutableFile&) = delete;
    TImmutableFile& operator=(const TImmutableFile&) = delete;

    bool Set() const { return m_set; }

private:
    int m_fd = -1;
    bool m_set = false;
};
