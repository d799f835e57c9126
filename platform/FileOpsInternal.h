// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "CopyFaults.h"
#include "FileOps.h"

// What FileOps.cpp gives each system's FileOps, TFolderRenamer and TPendingCopy: the names of the
// program's temporary files with their proof, and the count of a copy's injected faults.

// Counts the steps of one copy against the injected faults.
class TFaultCounter {
public:
    explicit TFaultCounter(const TCopyFaults& faults) : m_faults(faults) {}
    bool readFails() { return m_faults.failReadAt > 0 && ++m_reads == m_faults.failReadAt; }
    bool writeFails() { return m_faults.failWriteAt > 0 && ++m_writes == m_faults.failWriteAt; }
    bool flushFails() const { return m_faults.failFlush; }
    void afterRead(int chunk) const {
        if (m_faults.afterRead)
            m_faults.afterRead(chunk);
    }

private:
    const TCopyFaults& m_faults;
    int m_reads = 0;
    int m_writes = 0;
};

std::string randomHex();

// The 16 digits that make a temporary name the program's own: drawn from the identity of the file that
// bears it (its inode or file index), which a look-alike that the player or another program made, or
// copied from elsewhere, matches only by a chance of one in 2^64. A temporary under another name is
// never touched by a later run.
std::string proofOf(std::uint64_t fileId);

inline constexpr int TemporaryNameAttempts = 100;

// The source of a copy fed from a stream: no file, so no file at the destination is taken for it.
inline constexpr TFileStamp NoSourceFile{~std::uint64_t{0}, ~std::uint64_t{0}, 0, 0};

// "~tm-copy-<16 hex digits>.tmp": a copy on its way to its destination. No "env" in it, so it is never
// taken for a track.
inline constexpr char CopyTag[] = "~tm-copy-";
inline constexpr std::size_t CopyTagLength = sizeof CopyTag - 1;
inline constexpr std::size_t CopyNameLength = CopyTagLength + 16 + 4;
// "~tm-track-<16 hex digits>-<name>": a track under a temporary name that is to get name: between the
// two renames of a letter-case change, or set aside by a move while its source is checked. It ends in
// the name's extension, so the list shows it until it has its name.
inline constexpr char TrackTag[] = "~tm-track-";
inline constexpr std::size_t TrackTagLength = sizeof TrackTag - 1;

std::string copyTemporaryName(const std::string& hex);
std::string trackTemporaryName(const std::string& hex, const std::string& name);

// The 16 digits of a copy temporary's name; empty for any other name.
std::string copyTemporaryDigits(const std::string& name);

// The 16 digits of a track temporary's name and the name it is to get; empty for any other name.
std::pair<std::string, std::string> trackTemporaryParts(const std::string& name);
