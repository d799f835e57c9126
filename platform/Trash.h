// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "FileError.h"

// The desktop's trash: on Linux the freedesktop trash that file managers and trash clients show (the
// home trash, $XDG_DATA_HOME/Trash or ~/.local/share/Trash, and on another mount $topdir/.Trash/$uid
// or $topdir/.Trash-$uid), on Windows the Recycle Bin. Paths are Windows-style paths as the program
// builds them, or native paths.

// Where a removed file went.
enum class TTrashOutcome {
    Trashed, // into the trash, where the player can bring it back
    Deleted, // deleted for good: no trash could take it
    Refused, // still where it was (or missing): error says why
};

struct TTrashResult {
    TTrashOutcome outcome = TTrashOutcome::Refused;
    // Trashed: the native path of the file inside the trash, for RestoreFromTrash; "" where the system
    // does not tell (the Recycle Bin).
    std::string trashedPath;
    // Refused: the system's reason.
    TFileError error;
};

// What MoveToTrash does with a file that no trash can take.
enum class TWithoutTrash {
    Delete, // delete it for good
    Refuse, // leave it where it is
};

// True when the file at path would go to a trash: one exists where the desktop looks for the file's
// disk, or can be made there, and takes files. False where none can be had (no home folder, a trash
// that refuses writing, a mount without a trash of its own; under Wine, whose deletions are for good;
// on Windows a drive without a Recycle Bin, a network share). Makes the trash's folders when they are
// missing, as a desktop would. Never throws.
bool WouldGoToTrash(const std::string& path);

// Moves the file at path (a file or a symbolic link, never a folder) into the trash and checks that it
// is there. When no trash takes it, withoutTrash decides: deleted for good, or refused with the reason
// the trash gave. Refused with the system's reason when the file is missing, is a folder, or cannot be
// moved or deleted. Never throws.
TTrashResult MoveToTrash(const std::string& path, TWithoutTrash withoutTrash);

// Brings a file that MoveToTrash put into the trash (its trashedPath) back to where it was, as a trash
// client does, and removes its record from the trash. Never replaces a file that has its old name now:
// EEXIST (ERROR_FILE_EXISTS) then, and it stays in the trash. Not available for the Recycle Bin.
TFileError RestoreFromTrash(const std::string& trashedPath);
