// SPDX-License-Identifier: GPL-3.0-or-later
#include "tracks/GameLocation.h"

#include <filesystem>
#include <system_error>

#include "platform/PathParts.h"
#include "platform/TRegistry.h"
#include "platform/WinePrefixes.h"
#include "tracks/TrackCatalogue.h"

namespace {

std::string notFoundReport(const TRegistry& registry) {
    std::string searched;
    for (const std::string& prefix : registry.SearchedPrefixes())
        searched += (searched.empty() ? "" : ", ") + prefix;
    if (searched.empty())
        searched = "no Wine prefix found in ~/.wine or the folders of Lutris, Bottles, Heroic, Steam, umu, "
                   "winetricks, PlayOnLinux or CrossOver";
    return std::string("no Wine prefix holds HKEY_LOCAL_MACHINE\\") + GameRegistryKey +
           " (searched: " + searched + ")";
}

} // namespace

TGameLocation LocateGame() {
    TGameLocation location;
    TRegistry registry;
    location.Installed = registry.OpenKeyReadOnly(GameRegistryKey);
    if (location.Installed)
        location.GameRoot = registry.ReadString(GameRootValueName) + "\\";
    // Windows' drive paths are its own: there is no prefix to tell of.
    if (NativePathsAreWindowsPaths())
        return location;
    if (location.Installed) {
        location.Prefix = TWinePrefix(registry.KeyPrefix());
        location.Report = "using the Wine prefix " + registry.KeyPrefix();
    } else {
        // The registry has taken $WINEPREFIX already, so it is absolute when set.
        location.Prefix = TWinePrefix(DefaultWinePrefix());
        location.Report = notFoundReport(registry);
    }
    return location;
}

std::string DemoInstallationPrefix(const TWinePrefix& prefix) {
    std::error_code error;
    if (prefix.Folder().empty() ||
        !std::filesystem::exists(std::filesystem::path(prefix.Folder()) / DemoMarkerName, error))
        return {};
    return prefix.Folder();
}

std::vector<std::string> OtherGamePrefixes(const TGameLocation& game) {
    if (!game.Installed)
        return {};
    TRegistry registry;
    if (!registry.OpenKeyReadOnly(GameRegistryKey))
        return {};
    return registry.LaterPrefixesWithKey(GameRegistryKey);
}

std::string PrefixChoiceReport(const TGameLocation& game, const std::vector<std::string>& others) {
    if (others.empty())
        return game.Report;
    std::string list;
    for (std::size_t i = 0; i < others.size(); ++i)
        list += (i == 0 ? "" : i + 1 == others.size() ? " and " : ", ") + others[i];
    return game.Report + "; the game is also in " + list + " (set WINEPREFIX to use another)";
}
