// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Windows-style paths on the file system the program runs on.
//
// The program builds Windows paths ("C:\Games\Skarn\Vevozura\Baja\track.env"). On Windows they are
// used as they are. On Linux NativePath maps them onto the file system the way Wine does in the game's
// prefix:
//   - "X:..." is a drive path: it needs its Wine prefix (TWinePrefix below);
//   - "\..." (rooted) is on the current drive, which for a program started from a Linux shell is Z:,
//     the file-system root;
//   - a relative path is taken against the working folder;
//   - a path that is already native (absolute, starting with "/", as file dialogs return it) is
//     used as it is;
//   - components are separated as IsWindowsStylePath decides (PathParts.h): "\" and "/" in a
//     Windows-style path, only "/" in a relative native one; repeated separators count as one, "."
//     is dropped and ".." goes up one component (never above the root: for a drive path its placing
//     applies them, so ".." never leaves the drive);
//   - each component that does not exist under its exact name is matched without regard to letter
//     case (Windows semantics on a case-sensitive disk); of several matches the first in folder
//     order wins, as in Wine. A component that matches nothing is kept as given, so a path to a file
//     that does not exist yet still resolves.
// A trailing separator is kept.

// A drive path ("C:\Games\...") names a place only together with the Wine prefix whose drive links it
// goes through. The program decides that prefix once, where it finds the game (LocateGame), and places
// each drive path it is given in it before the path goes anywhere: TWinePrefix::Place gives the same
// place as a rooted path, which resolves from the file-system root and needs no prefix
// ("\home\me\.wine\dosdevices\c:\Games\..."). Two games, or two tests, in two prefixes therefore never
// see each other's drives, and NativePath never asks which prefix is meant. A drive path that was never
// placed resolves through no prefix ("/dosdevices/c:/..."), where nothing opens. On Windows drive paths
// are the system's own and stay as they are.
class TWinePrefix {
public:
    TWinePrefix() = default; // no prefix: drive paths stay as they are
    // folder: the prefix's absolute native path; a relative or empty one places nothing. Where the
    // folder's path holds a "\", which a rooted path would take for a separator, Place gives the native
    // path instead, its letter case matched as it places. Ignored on Windows.
    explicit TWinePrefix(std::string folder);

    // The prefix's folder as given; "" for none.
    const std::string& Folder() const { return m_folder; }

    // path with its drive ("X:") placed in the prefix, "." and ".." applied and repeated separators
    // dropped below the drive; any other path, and every path on Windows or without a prefix, as it is.
    std::string Place(const std::string& path) const;

    // text with each drive Place wrote read again as a drive ("C:"), for the player: a message or a path
    // about a placed path reads as the path was given.
    std::string AsGiven(std::string text) const;

private:
    std::string m_folder;
    std::string m_drives; // "\home\me\.wine\dosdevices\" (Linux), "" when no rooted path spells it
};

// The native path for a Windows-style path, as described above. Never throws; a path that cannot be
// resolved comes back in a form that fails to open with the usual error.
std::string NativePath(const std::string& path);

// The path of the file name in folder (a folder ending in a separator). A name is one component even
// where it holds characters that a Windows-style folder's path would take for separators: a Linux file
// name such as "c\d.env" or "a:b.env" in a Windows-style folder gives the native path of the folder
// followed by the name. Otherwise, and always on Windows, it is folder + name.
std::string PathInFolder(const std::string& folder, const std::string& name);

// The same mapping without looking at the file system: drive, root and separators only, every
// component taken as written. Openers try this first and resolve letter case only when it does not
// name an existing file, which saves a look-up per component in the common case.
std::string NativePathAsWritten(const std::string& path);

// The path of a file as the player finds it in a file manager: on Linux the native file that path
// leads to (an absolute path, drive links followed, the file itself left as it is so that a link in its
// place is named); on Windows path with Windows separators. A native path stays as it is.
std::string FileManagerPath(const std::string& path);
