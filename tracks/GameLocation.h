#pragma once

#include <string>

// Where the game is installed, as the registry says, and the Wine prefix its paths resolve through.
struct TGameLocation {
    bool Installed = false; // the game's registry key could be opened
    std::string GameRoot;   // HardDriveRootPath + "\" when Installed
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
