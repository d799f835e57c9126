// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include <windows.h>
// <windows.h> maps DeleteFile to DeleteFileW again; ours is the one declared in FileOps.h.
#undef DeleteFile

#include "FileOps.h"

// What FileOpsWindows.cpp gives TPendingCopyWindows.cpp.

// The UTF-16 form of a path of the program's UTF-8 text.
std::wstring wide(const std::string& path);
// The absolute form of path; "" when it has none.
std::wstring fullPath(const std::wstring& path);
// The stamp of the file that info describes.
TFileStamp stampOf(const BY_HANDLE_FILE_INFORMATION& info);
