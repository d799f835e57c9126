// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The parts of a path: folder, name, extension. Which characters separate depends on the path:
//   - a native path (one that begins with "/", or has neither a drive "C:" at its start nor a "\"
//     anywhere) follows the rules of the Linux file system: only "/" separates, and ":" and "\" are
//     characters of a name ("/archive/x:y.env" is the file "x:y.env");
//   - any other path is Windows-style, a path the program built or the player typed for the Wine
//     prefix, and follows Windows rules: "\" and "/" separate, and so does ":" (after a drive
//     letter; a Windows name holds none).
// On Windows every path follows Windows rules.

// True for a path on a drive: a letter and ":" at its start ("C:\Games", "c:x.env").
bool IsDrivePath(std::string_view path);

// True when path follows Windows rules, as above.
bool IsWindowsStylePath(std::string_view path);

// True where the system's own paths are Windows paths ("C:\Games\..."): "\" is their separator, and
// their names hold no control characters.
bool NativePathsAreWindowsPaths();

// Where the last component of path begins: just after its last separator, or 0.
std::size_t NameStart(std::string_view path);

// The last component of path: "C:\Archive\jump.env" -> "jump.env".
std::string FileNamePart(std::string_view path);

// Everything up to and including the last separator of path; "" when it has none.
std::string FolderPart(std::string_view path);

// The extension of the last component of path: from its last "." to the end; "" when it has no ".".
std::string FileExtension(std::string_view path);

// The last component of path without its extension: "jump.~env" -> "jump". A folder before the
// name is kept: "C:\old.d\jump.env" -> "C:\old.d\jump".
std::string NameWithoutExtension(std::string_view path);

// folder ending in a separator: as it is when it ends in one, else with "\" appended to a
// Windows-style folder and "/" to a native one.
std::string WithTrailingSeparator(std::string folder);
