// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "FileOps.h"

// The copy of FileOps.h with failures injected at chosen steps, so that a copy can be made to fail
// halfway on a real folder (a full disk, a read error, a failed flush), or its source be changed at a
// chosen moment as another program could change it. Not for the program: it calls CopyFileReplacing
// and DeleteFileIfUnchanged, which inject nothing.

// Counts are 1-based and start again with each copy; 0 injects nothing.
struct TCopyFaults {
    int failReadAt = 0;     // the n-th chunk read from the source delivers nothing
    int failWriteAt = 0;    // the n-th chunk write to the temporary file fails as on a full disk
    bool failFlush = false; // flushing the temporary file to disk fails
    // Called after each chunk read from the source, with its 1-based number.
    std::function<void(int chunk)> afterRead;
    // Called by DeleteFileIfUnchangedWithFaults before it looks at the file: between the copy and the
    // deletion of a move.
    std::function<void(const std::string& path)> beforeDelete;
    // Called by DeleteFileIfUnchangedWithFaults once it has found the file unchanged, before it deletes
    // it: a file put in place under the name now must stay.
    std::function<void(const std::string& path)> afterCheck;
};

// CopyFileReplacing with faults: the same steps, outcomes and guarantees, each injected failure
// taken as the real one would be.
TCopyResult CopyFileReplacingWithFaults(const std::string& source, const std::string& destination,
                                        const TCopyFaults& faults, const std::vector<TFileStamp>& keep = {});

// DeleteFileIfUnchanged with faults.
TDeletion DeleteFileIfUnchangedWithFaults(const std::string& path, const TFileStamp& stamp,
                                          const TCopyFaults& faults);

// The size of the chunks the copy reads and writes, so that files of several chunks can be built.
inline constexpr int CopyChunkSize = 64 * 1024;
