// SPDX-License-Identifier: GPL-3.0-or-later
#include "TFolderRenamer.h"

#include <windows.h>

#include "FileOps.h"
#include "PathParts.h"

TFolderRenamer::TFolderRenamer(const std::string& folder) : m_folder(folder) {}

TFolderRenamer::~TFolderRenamer() = default;

TFileError TFolderRenamer::Rename(const std::string& from, const std::string& to) {
    if (NameStart(from) != 0 || NameStart(to) != 0)
        return {ERROR_INVALID_NAME};
    // Windows itself compares the names without regard to case, and never replaces without the flag.
    return RenameFile(m_folder + from, m_folder + to);
}
