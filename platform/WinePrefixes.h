// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

// The Wine prefixes of Linux. On Windows there are none: nothing is chosen, the default is "" and no
// candidate is listed.

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
//   3. Lutris: the prefixes that its game files name ("game: prefix:" in <config>/lutris/games/*.yml,
//      then <data>/lutris/games/*.yml, then the same two of the Flatpak in
//      ~/.var/app/net.lutris.Lutris/config and .../data), then its default install folder ~/Games/*;
//   4. Bottles: the custom folder its data.yml names (custom_bottles_path in <data>/bottles/data.yml,
//      then the Flatpak's ~/.var/app/com.usebottles.bottles/data/bottles/data.yml), each bottle in
//      it, then <data>/bottles/bottles/*, then the Flatpak's .../data/bottles/bottles/*;
//   5. Heroic: the "winePrefix" of each game in <config>/heroic/GamesConfig/*.json, then in the
//      Flatpak's ~/.var/app/com.heroicgameslauncher.hgl/config/heroic/GamesConfig/*.json, then
//      ~/Games/Heroic/Prefixes/default/*, then ~/Games/Heroic/Prefixes/*;
//   6. Steam (Proton): <library>/steamapps/compatdata/*/pfx for each Steam folder (~/.steam/steam,
//      ~/.steam/root, <data>/Steam, the Flatpak's ~/.var/app/com.valvesoftware.Steam/.local/share/Steam,
//      the Snap's ~/snap/steam/common/.local/share/Steam) and, after it, each library that its
//      steamapps/libraryfolders.vdf names; Steam folders and libraries are named with their links
//      resolved (~/.steam/steam is usually a link to ~/.local/share/Steam);
//   7. umu: ~/Games/umu/*;
//   8. winetricks: <data>/wineprefixes/*;
//   9. PlayOnLinux: ~/.PlayOnLinux/wineprefix/*;
//  10. CrossOver: ~/.cxoffice/*.
// <config> is $XDG_CONFIG_HOME and <data> $XDG_DATA_HOME when they hold absolute paths, else
// ~/.config and ~/.local/share. A path in a launcher's file may start with "~/". The entries of a
// folder (*) come in byte order of their names. Apart from $WINEPREFIX only folders that hold a file
// system.reg are listed, and each only once: a prefix reached again through a link keeps its first
// place. ~ is $HOME; without it only $WINEPREFIX is listed. A launcher's file that cannot be read or
// parsed is passed over. Throws as ChosenWinePrefix.
std::vector<std::string> WinePrefixCandidates();
