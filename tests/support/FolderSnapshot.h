// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

// Everything in a folder: file name -> bytes; folders and links show as "<dir>" and "-> target".
// Tests compare snapshots to see that nothing was lost or half-written.
using TSnapshot = std::map<std::string, std::vector<std::uint8_t>>;

TSnapshot FolderSnapshot(const std::filesystem::path& folder);
