// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#ifndef _WIN32
// A folder's names as stored, under their folded form (FoldedName), each in the folder's listing order.
using TFoldedNames = std::unordered_map<std::string, std::vector<std::string>>;
#endif

// The names of one folder, read once, so that many names can be found in it the way NativePath finds
// them, without reading the folder for each: the name itself when a file has it, else the first one
// equal without regard to case, else the name as given. The names the program adds are told to it
// (Add); what other programs add meanwhile goes unnoticed. Nothing is read for a folder given as a
// native path ("/...") and on Windows, where such paths are used as they are.
class TFolderNames {
public:
    // folder: Windows-style or native, ending in a separator; "" for the working folder.
    explicit TFolderNames(const std::string& folder);

    // The path of the file name in the folder, to use with the file system.
    std::string PathOf(const std::string& name) const;
    // A file was made where PathOf(name) led: unless that was an existing file's name, name is now taken.
    void Add(const std::string& name);

private:
    std::string m_folder; // ending in a separator, native when names are matched
#ifndef _WIN32
    bool m_matched = false;
    TFoldedNames m_names;
#endif
};
