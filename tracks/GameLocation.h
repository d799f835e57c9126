// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "platform/NativePath.h"

// Where the game is installed, as the registry says, and the Wine prefix its paths resolve through.
struct TGameLocation {
    bool Installed = false; // the game's registry key could be opened
    std::string GameRoot;   // HardDriveRootPath + "\" when Installed, a drive path as the registry has it
    // Linux: the prefix the program places drive paths in (TWinePrefix::Place): the one that holds the
    // game's key when Installed, else $WINEPREFIX or ~/.wine. None on Windows.
    TWinePrefix Prefix;
    // Linux: one line for the player, "using the Wine prefix <prefix>" when Installed, else where the
    // key was looked for. Empty on Windows.
    std::string Report;
};

// Reads the game's root folder from the registry and decides the Wine prefix drive paths go through.
// It changes nothing: the program places the drive paths it uses in Prefix. Throws EWinePrefixError for
// a relative $WINEPREFIX and ERegistryException when HardDriveRootPath is no string.
TGameLocation LocateGame();

// prefix's folder when it is a demo installation (tools/demo-game marks it with DemoMarkerName); ""
// otherwise, and for no prefix, as on Windows.
std::string DemoInstallationPrefix(const TWinePrefix& prefix);

// The Wine prefixes that hold the game's key besides the one LocateGame took, in the order of the
// search (they come after it). It reads every later prefix's registry, so it is asked for only when
// the player is to be told. Empty on Windows, and when the game was not found.
std::vector<std::string> OtherGamePrefixes(const TGameLocation& game);

// One line for the player about the prefix taken and the others, for the status bar and skarnres -v:
// "using the Wine prefix A; the game is also in B and C (set WINEPREFIX to use another)". The Report
// alone when there are no others.
std::string PrefixChoiceReport(const TGameLocation& game, const std::vector<std::string>& others);
