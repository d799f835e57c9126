// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// Folders that Windows lets only administrators change: "Program Files", "Program Files (x86)" and
// "Windows" at the root of a drive, and everything below them. A program that asks for no more rights
// than its player has (as this one does) gets its changes there refused, not redirected elsewhere.

// The protected folder that path lies in, spelled as in path ("C:\Program Files (x86)" for
// "C:\Program Files (x86)\Skarn\Vevozura\Baja\"); "" when it lies in none. Windows-style paths count
// from their drive ("C:"), also where it is placed in a prefix ("dosdevices\c:"); a native path into a
// Wine prefix counts from its "drive_c" folder. Letter
// case does not matter; "\" and "/" both separate.
std::string ProtectedFolderOf(std::string_view path);

// True when the system's error number code (errno, or GetLastError on Windows) says that access was
// denied.
bool IsAccessDenied(int code);

// Plain words for a change refused in folder with the system's error number code, to follow the
// failure's own message: when access was denied in a protected folder, what that means and what to do
// ("the folder refuses changes. Only an administrator may change what lies under C:\Program Files
// (x86): run the track manager as administrator, or install the game in another folder."); "" for
// any other folder or error.
std::string ProtectedFolderAdvice(std::string_view folder, int code);
