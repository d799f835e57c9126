// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/FileError.h"
#include "platform/TFolderNames.h"

// Renames files within one folder, many in a row (Start and Stop of a selection), with the guarantees
// of RenameFile: never replacing a file, and failing when the new name is taken in any letter case.
// The folder is tidied (TidyFolder), resolved and its names are read once, when the renamer is made; the
// names, folded for comparison, are kept current as its renames change them, so a rename costs the rename
// alone. A file that another program adds meanwhile under another letter case of a new name goes unnoticed;
// the rename still never replaces it.
class TFolderRenamer {
public:
    // folder: Windows-style or native, ending in a separator.
    explicit TFolderRenamer(const std::string& folder);
    ~TFolderRenamer();
    TFolderRenamer(const TFolderRenamer&) = delete;
    TFolderRenamer& operator=(const TFolderRenamer&) = delete;

    // Renames the file from of the folder to the name to, as RenameFile(folder + from, folder + to)
    // does, and fails as it does. Both are names without folder; a name holding a separator fails.
    TFileError Rename(const std::string& from, const std::string& to);

private:
    std::string m_folder;
#ifndef _WIN32
    int m_dir = -1;
    int m_error = 0; // why the folder could not be opened, when m_dir is -1
    TFoldedNames m_names;
#endif
};
