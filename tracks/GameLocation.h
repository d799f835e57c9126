// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// Where the game is installed, as the registry says, and the Wine prefix its paths resolve through.
struct TGameLocation {
    bool Installed = false; // the game's registry key could be opened
    std::string GameRoot;   // HardDriveRootPath + "\" when Installed
    // Linux: the Wine prefix that holds the game's key when Installed. Empty on Windows.
    std::string WinePrefix;
    // Linux: one line for the player, "using the Wine prefix <prefix>" when Installed, else where the
    // key was looked for. Empty on Windows.
    std::string Report;
};

// Reads the game's root folder from the registry. On Linux, when a Wine prefix holds the game's key,
// every later path of the program resolves its drive letters through that prefix (SetWinePrefix);
// otherwise the prefix stays as it was (DefaultWinePrefix unless set). Throws EWinePrefixError for a relative
// $WINEPREFIX and ERegistryException when HardDriveRootPath is no string.
TGameLocation LocateGame();

// The Wine prefix paths resolve through when it is a demo installation (tools/demo-game marks it with
// DemoMarkerName); "" otherwise, and while paths resolve through no prefix, as on Windows.
std::string DemoInstallationPrefix();

// The Wine prefixes that hold the game's key besides the one LocateGame took, in the order of the
// search (they come after it). It reads every later prefix's registry, so it is asked for only when
// the player is to be told. Empty on Windows, and when the game was not found.
std::vector<std::string> OtherGamePrefixes(const TGameLocation& game);

// One line for the player about the prefix taken and the others, for the status bar and skarnres -v:
// "using the Wine prefix A; the game is also in B and C (set WINEPREFIX to use another)". The Report
// alone when there are no others.
std::string PrefixChoiceReport(const TGameLocation& game, const std::vector<std::string>& others);
