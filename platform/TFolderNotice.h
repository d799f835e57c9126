// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

// What a notice of one folder told since it was last asked: the names whose files may hold something
// new though a listing shows them as before (a file rewritten in place, or a new file given the file
// id of one just deleted), or that nothing it told can be trusted.
struct TFolderNews {
    // Names of the folder written, created, whose attributes changed, moved in from elsewhere, or
    // renamed from such a name.
    std::unordered_set<std::string> Written;
    // Changes went untold (the system's queue overflowed, the folder itself was removed or moved, or
    // another folder was watched before): every file may have changed.
    bool Everything = false;
};

// Watches one folder and tells which of its names changed, where the system tells that (Linux:
// inotify). Elsewhere it is not Available, and a folder's listing must tell changed files apart.
// Changes are read when Handle() is ready to read, without waiting, by ReadWaiting.
class TFolderNotice {
public:
    // Linux: opens the system's notice; not Available when it cannot (too many open, no support).
    TFolderNotice();
    ~TFolderNotice();
    TFolderNotice(const TFolderNotice&) = delete;
    TFolderNotice& operator=(const TFolderNotice&) = delete;

    bool Available() const { return m_handle >= 0; }
    // What to wait on for changes to read: a file descriptor; -1 when not Available.
    int Handle() const { return m_handle; }
    // Watches folder (a native path) instead of the folder watched before; nothing when it is watched
    // already. Changing folders makes the news Everything. False when the folder cannot be watched (it
    // does not exist, the system's limit of watches is reached, not Available): then nothing is told.
    bool Watch(const std::string& folder);
    // Reads the changes that are waiting, without waiting for more; true when one concerned the
    // watched folder.
    bool ReadWaiting();
    // What was told since the last Take, after reading what is waiting.
    TFolderNews Take();

private:
    // Takes one change of the watched folder: name is empty for the folder itself. True when it
    // concerned the folder.
    bool take(int watch, std::uint32_t mask, std::uint32_t cookie, const std::string& name);
    void written(const std::string& name);

    int m_handle = -1;
    int m_watch = -1;     // the watched folder's watch, -1 for none
    std::string m_folder; // the watched folder
    TFolderNews m_news;
    // Renames from the folder whose new name has not come yet, by the system's cookie of the rename.
    struct TMove {
        std::uint32_t cookie;
        bool written; // the name was written before
    };
    std::vector<TMove> m_moves;
};
