#pragma once

#include <string>

// How a track file went.
enum class TRemoval {
    Trashed, // into the desktop's trash, where the player can restore it
    Deleted, // deleted for good: there was no trash for it
    Failed,  // still there (locked, rights refused) or already gone
};

// Removes the track file at path (a Windows-style path as the program builds it, or a native one):
// into the desktop's trash where it has one (on Linux the freedesktop trash, on Windows the Recycle
// Bin), otherwise deleted for good. Only files are removed, never a folder. Never throws.
TRemoval RemoveTrackFile(const std::string& path);
