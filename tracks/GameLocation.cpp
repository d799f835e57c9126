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
        searched = "no Wine prefix found in ~/.wine or the folders of Lutris, Bottles, Heroic, Steam, "
                   "PlayOnLinux or CrossOver";
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
    if (location.Installed)
        SetWinePrefix(registry.KeyPrefix());
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
