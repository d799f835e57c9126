#pragma once

#include <string>

// The copy of FileOps.h with failures injected at chosen steps, so that a copy can be made to fail
// halfway on a real folder (a full disk, a read error, a failed flush). Not for the program: it
// calls CopyFileReplacing, which injects nothing.

// Counts are 1-based and start again with each copy; 0 injects nothing.
struct TCopyFaults {
    int failReadAt = 0;     // the n-th chunk read from the source delivers nothing
    int failWriteAt = 0;    // the n-th chunk write to the temporary file fails as on a full disk
    bool failFlush = false; // flushing the temporary file to disk fails
};

// CopyFileReplacing with faults: the same steps, outcomes and guarantees, each injected failure
// taken as the real one would be.
void CopyFileReplacingWithFaults(const std::string& source, const std::string& destination,
                                 const TCopyFaults& faults);

// The size of the chunks the copy reads and writes, so that files of several chunks can be built.
inline constexpr int CopyChunkSize = 64 * 1024;
