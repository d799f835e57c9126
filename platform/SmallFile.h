// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// The whole contents of a small regular file at a native path (a registry file, a launcher's
// settings), or nothing when it cannot be opened or read, is no regular file (a FIFO named like the
// file must not hang the program) or holds more than maxBytes bytes.
std::optional<std::string> ReadSmallFile(const std::string& nativePath, std::size_t maxBytes);
