// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <dirent.h>
#include <string>
#include <sys/stat.h>

#include "FileOps.h"

// What FileOpsPosix.cpp and TFolderNamesPosix.cpp give the other POSIX files of FileOps, TFolderRenamer
// and TPendingCopy.

// folder (native) and name joined by one "/".
std::string joinNative(const std::string& folder, const std::string& name);

struct TSplitPath {
    std::string folder; // native, without a trailing "/" unless it is the root
    std::string name;
};

// A native path's folder and last component.
TSplitPath splitNative(const std::string& native);

// True for a name a file can have: not empty, "." or "..".
bool isFileName(const std::string& name);

// Renames without ever replacing: 0, or the errno of the failure (EEXIST when the name is taken).
// Paths are taken relative to the folder descriptors (AT_FDCWD: the working folder).
int renameNoReplaceAt(int fromDir, const char* from, int toDir, const char* to);
int renameNoReplace(const std::string& from, const std::string& to);

// The stamp of the file that info describes.
TFileStamp stampOf(const struct stat& info);

// Adds the names of the open folder dir to names.
void readFoldedNames(DIR* dir, TFoldedNames& names);
// The name of a file as Windows finds it: under its exact name, else the first under another letter
// case; null when there is none.
const std::string* spellingOf(const TFoldedNames& names, const std::string& name);
