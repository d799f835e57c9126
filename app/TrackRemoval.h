// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/FileError.h"
#include "tracks/TrackOutcome.h"

// Removes the track file at path (a Windows-style path as the program builds it, or a native one):
// into the desktop's trash where one takes it (on Linux the freedesktop trash, on Windows the Recycle
// Bin): Trashed, with its place in the trash; otherwise deleted for good: Deleted. Missing when it is
// not there, Refused with the system's reason when it stays. Only files are removed, never a folder.
// Never throws.
TRemoval RemoveTrackFile(const std::string& path);

// True when RemoveTrackFile would put the file at path into a trash rather than delete it for good, so
// that the question before a Delete can say which. The outcome of each removal says what happened.
bool TrashTakes(const std::string& path);

// Puts the file that RemoveTrackFile moved to trashPlace back where it was (path), never replacing a
// file there (IsNameTaken when the name is in use again), and removes its record from the trash. Undo
// of a Delete goes through it.
TFileError RestoreTrackFile(const std::string& trashPlace, const std::string& path);
