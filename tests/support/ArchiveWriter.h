// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Archives built in memory, as players download them, through libarchive's writers.

struct TArchiveItem {
    enum TKind { File, Symlink, Hardlink, CharDevice, Fifo, Folder };
    std::string name;
    std::string bytes; // a file's contents
    TKind kind = File;
    std::string target; // what a link points at
};

// format: "zip" (deflate), "zip-stored", "7z", "tar", "tar.gz", "tar.bz2" or "tar.xz". With a
// passphrase the entries of a zip are encrypted.
std::vector<std::uint8_t> WriteArchive(const std::string& format, const std::vector<TArchiveItem>& items,
                                       const std::string& passphrase = {});

// A tar header alone, for an entry that declares size bytes and holds none of them.
std::vector<std::uint8_t> TarHeader(const std::string& name, std::int64_t size);
