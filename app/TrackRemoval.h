#pragma once

#include <string>

#include "platform/FileError.h"
#include "tracks/TrackOutcome.h"

// Removes the track file at path (a Windows-style path as the program builds it, or a native one):
// into the desktop's trash where it has one (on Linux the freedesktop trash, on Windows the Recycle
// Bin): Trashed, with its place in the trash; otherwise deleted for good: Deleted. Missing when it is
// not there, Refused with the system's reason when it stays. Only files are removed, never a folder.
// Never throws.
TRemoval RemoveTrackFile(const std::string& path);

// True when RemoveTrackFile is expected to put the file at path into a trash rather than delete it for
// good: the desktop has a trash on the file's disk. A guess made before asking the player; the outcome
// of each removal says what happened.
bool TrashTakes(const std::string& path);

// Puts the file that RemoveTrackFile moved to trashPlace back at path, never replacing a file there
// (IsNameTaken when the name is in use again). Undo of a Delete goes through it.
// NOTE: this restores by renaming the file back and, for the freedesktop trash, drops its ".trashinfo"
// record; the Recycle Bin's own record of the file stays behind until the bin is emptied.
TFileError RestoreTrackFile(const std::string& trashPlace, const std::string& path);
