#pragma once

#ifndef _WIN32
#include <optional>
#include <string>
#include <vector>

// The prefix the player chose: $WINEPREFIX with trailing slashes dropped; nothing when it is not set
// or empty. Throws EWinePrefixError ("WINEPREFIX must be an absolute path: <value>") for a relative
// one, which Wine refuses too.
std::optional<std::string> ChosenWinePrefix();

// The prefix to use while no game says otherwise: ChosenWinePrefix, else ~/.wine. Throws as
// ChosenWinePrefix.
std::string DefaultWinePrefix();

// The Wine prefixes where an installed Windows program may live, in the fixed order in which the
// registry looks for a key:
//   1. $WINEPREFIX when it is set and not empty: that prefix alone (the player chose it);
//   2. ~/.wine, Wine's default prefix;
//   3. Lutris: the prefixes named on the "prefix:" lines of its game files
//      (~/.config/lutris/games/*.yml, then ~/.local/share/lutris/games/*.yml), then its default
//      install folder ~/Games/*;
//   4. Bottles: ~/.local/share/bottles/bottles/*, then the Flatpak's
//      ~/.var/app/com.usebottles.bottles/data/bottles/bottles/*;
//   5. Heroic: ~/Games/Heroic/Prefixes/default/*, then ~/Games/Heroic/Prefixes/*;
//   6. Steam (Proton): <library>/steamapps/compatdata/*/pfx for each Steam folder (~/.steam/steam,
//      ~/.steam/root, ~/.local/share/Steam, then the Flatpak's
//      ~/.var/app/com.valvesoftware.Steam/.local/share/Steam) and, after it, each library that its
//      steamapps/libraryfolders.vdf names; Steam folders and libraries are named with their links
//      resolved (~/.steam/steam is usually a link to ~/.local/share/Steam);
//   7. PlayOnLinux: ~/.PlayOnLinux/wineprefix/*;
//   8. CrossOver: ~/.cxoffice/*.
// The entries of a folder (*) come in byte order of their names. Apart from $WINEPREFIX only
// folders that hold a file system.reg are listed, and each only once: a prefix reached again
// through a link keeps its first place. ~ is $HOME; without it only $WINEPREFIX is listed. Throws as
// ChosenWinePrefix.
std::vector<std::string> WinePrefixCandidates();
#endif
