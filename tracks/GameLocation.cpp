// SPDX-License-Identifier: GPL-3.0-or-later
#include "tracks/GameLocation.h"

#include <filesystem>
#include <system_error>

#include "platform/NativePath.h"
#include "platform/TRegistry.h"
#include "tracks/TrackCatalogue.h"

namespace {

#ifndef _WIN32
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
#endif

} // namespace

TGameLocation LocateGame() {
    TGameLocation location;
    TRegistry registry;
    location.Installed = registry.OpenKeyReadOnly(GameRegistryKey);
#ifndef _WIN32
    if (location.Installed) {
        location.WinePrefix = registry.KeyPrefix();
        SetWinePrefix(location.WinePrefix);
    }
    location.Report =
        location.Installed ? "using the Wine prefix " + registry.KeyPrefix() : notFoundReport(registry);
#endif
    if (location.Installed)
        location.GameRoot = registry.ReadString(GameRootValueName) + "\\";
    return location;
}

std::string DemoInstallationPrefix() {
    const std::string& prefix = WinePrefix();
    std::error_code error;
    if (prefix.empty() || !std::filesystem::exists(std::filesystem::path(prefix) / DemoMarkerName, error))
        return {};
    return prefix;
}

std::vector<std::string> OtherGamePrefixes(const TGameLocation& game) {
#ifndef _WIN32
    if (!game.Installed)
        return {};
    TRegistry registry;
    if (!registry.OpenKeyReadOnly(GameRegistryKey))
        return {};
    return registry.LaterPrefixesWithKey(GameRegistryKey);
#else
    (void)game;
    return {};
#endif
}

std::string PrefixChoiceReport(const TGameLocation& game, const std::vector<std::string>& others) {
    if (others.empty())
        return game.Report;
    std::string list;
    for (std::size_t i = 0; i < others.size(); ++i)
        list += (i == 0 ? "" : i + 1 == others.size() ? " and " : ", ") + others[i];
    return game.Report + "; the game is also in " + list + " (set WINEPREFIX to use another)";
}
