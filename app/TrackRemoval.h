#pragma once

#include <string>

#include "platform/Trash.h"

// Removes the track file at path (a Windows-style path as the program builds it, or a native one) as
// Delete does: into the desktop's trash where one takes it (WouldGoToTrash), otherwise deleted for good,
// which is what the player was asked about. Only files are removed, never a folder. Never throws.
TTrashResult RemoveTrackFile(const std::string& path);
