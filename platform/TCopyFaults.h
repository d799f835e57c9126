#pragma once

#include <functional>
#include <string>

// Failures that tests inject into CopyFileReplacing, so that a copy can be made to fail halfway on a
// real folder (a full disk, a read error, a failed flush). Counts are 1-based and start again with each
// copy; 0 injects nothing. The program never sets them.
struct TCopyFaults {
    int failReadAt = 0;     // the n-th chunk read from the source delivers nothing
    int failWriteAt = 0;    // the n-th chunk write to the temporary file fails as on a full disk
    bool failFlush = false; // flushing the temporary file to disk fails
    // Called after each chunk read from the source (with its 1-based number): a test changes the
    // source there as another program could while it is copied.
    std::function<void(int chunk)> afterRead;
    // Called by DeleteFileIfUnchanged before it looks at the file: a test replaces or changes the
    // file there, between the copy and the deletion of a move.
    std::function<void(const std::string& path)> beforeDelete;
};

// The faults of the following copies; TCopyFaults{} turns them off. Not thread-safe.
void SetCopyFaults(const TCopyFaults& faults);

// The size of the chunks the copy reads and writes, so that tests can build files of several chunks.
inline constexpr int CopyChunkSize = 64 * 1024;
