// SPDX-License-Identifier: GPL-3.0-or-later
#include "WinePrefixes.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string_view>
#include <sys/stat.h>

#include "platform/Exceptions.h"
#include "platform/Handles.h"
#include "platform/SmallFile.h"
#include "platform/TextCase.h"

#include <nlohmann/json.hpp>
#include <yaml-cpp/yaml.h>

namespace {

// The launchers' own files are small; a larger one is not what we look for.
constexpr std::size_t kMaxConfigFile = 1 << 20;

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The names in a folder, without "." and "..", in byte order; none when it cannot be listed.
std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    const TUniqueDir dir(::opendir(folder.c_str()));
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The text of a small regular file, or empty when it cannot be read or is too large.
std::string smallFile(const std::string& path) {
    return ReadSmallFile(path, kMaxConfigFile).value_or(std::string());
}

// The quoted strings of one line of a Steam .vdf file, unescaped.
std::vector<std::string> vdfStrings(std::string_view line) {
    std::vector<std::string> strings;
    std::size_t i = 0;
    while ((i = line.find('"', i)) != std::string_view::npos) {
        std::string text;
        ++i;
        while (i < line.size() && line[i] != '"') {
            if (line[i] == '\\' && i + 1 < line.size())
                ++i;
            text += line[i++];
        }
        if (i >= line.size())
            break;
        ++i;
        strings.push_back(std::move(text));
    }
    return strings;
}

// The library folders that a Steam folder's libraryfolders.vdf names: "path" entries, and in the
// older form numbered entries whose value is an absolute path.
std::vector<std::string> steamLibraries(const std::string& steam) {
    std::vector<std::string> libraries;
    const std::string text = smallFile(steam + "/steamapps/libraryfolders.vdf");
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::vector<std::string> strings =
            vdfStrings(std::string_view(text).substr(start, end - start));
        start = end + 1;
        if (strings.size() != 2 || strings[1].empty() || strings[1][0] != '/')
            continue;
        const std::string& key = strings[0];
        const bool numbered =
            !key.empty() && std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (EqualsIgnoringAsciiCase(key, "path") || numbered)
            libraries.push_back(strings[1]);
    }
    return libraries;
}

// A path from a launcher's file: "~/..." in the home folder, an absolute one as it is; nothing for
// anything else.
std::optional<std::string> launcherPath(const std::string& path, const std::string& home) {
    if (path.starts_with("~/"))
        return home + path.substr(1);
    if (path.starts_with("/"))
        return path;
    return std::nullopt;
}

// The YAML document of a small file, or nothing when it cannot be read or is no YAML.
std::optional<YAML::Node> yamlFile(const std::string& path) {
    const std::optional<std::string> text = ReadSmallFile(path, kMaxConfigFile);
    if (!text)
        return std::nullopt;
    try {
        return YAML::Load(*text);
    } catch (const YAML::Exception&) {
        return std::nullopt;
    }
}

// The string under key of a YAML map, or nothing.
std::optional<std::string> yamlString(const YAML::Node& map, const char* key) {
    try {
        if (map.IsMap() && map[key] && map[key].IsScalar())
            return map[key].as<std::string>();
    } catch (const YAML::Exception&) {
    }
    return std::nullopt;
}

// The prefixes that Lutris's game files in folder name ("game: prefix: ..."), as its YAML writer wrote
// them: quoted with escapes ("/home/j\xF6rg/..."), or a long path folded onto a second line.
std::vector<std::string> lutrisPrefixes(const std::string& folder, const std::string& home) {
    std::vector<std::string> prefixes;
    for (const std::string& name : namesIn(folder)) {
        if (!name.ends_with(".yml"))
            continue;
        const std::optional<YAML::Node> game = yamlFile(std::string(folder).append("/").append(name));
        if (!game || !game->IsMap())
            continue;
        const std::optional<std::string> prefix = yamlString((*game)["game"], "prefix");
        if (const std::optional<std::string> path = prefix ? launcherPath(*prefix, home) : std::nullopt)
            prefixes.push_back(*path);
    }
    return prefixes;
}

// The folder that Bottles keeps its bottles in when the player chose one (custom_bottles_path in
// its data.yml), or nothing.
std::optional<std::string> bottlesCustomFolder(const std::string& dataFile, const std::string& home) {
    const std::optional<YAML::Node> data = yamlFile(dataFile);
    if (!data)
        return std::nullopt;
    const std::optional<std::string> folder = yamlString(*data, "custom_bottles_path");
    return folder ? launcherPath(*folder, home) : std::nullopt;
}

// The prefixes that Heroic's per-game files in folder name: { "<game>": { "winePrefix": ... } }.
std::vector<std::string> heroicPrefixes(const std::string& folder, const std::string& home) {
    std::vector<std::string> prefixes;
    for (const std::string& name : namesIn(folder)) {
        if (!name.ends_with(".json"))
            continue;
        const nlohmann::json config =
            nlohmann::json::parse(smallFile(std::string(folder).append("/").append(name)), nullptr, false);
        if (!config.is_object())
            continue;
        for (const auto& [game, settings] : config.items()) {
            if (!settings.is_object() || !settings.contains("winePrefix") ||
                !settings["winePrefix"].is_string())
                continue;
            if (const std::optional<std::string> path =
                    launcherPath(settings["winePrefix"].get<std::string>(), home))
                prefixes.push_back(*path);
        }
    }
    return prefixes;
}

// An XDG base folder: the variable when it holds an absolute path, else fallback below the home folder.
std::string xdgFolder(const char* variable, const std::string& home, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value && value[0] == '/') {
        std::string folder = value;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return folder;
    }
    return home + fallback;
}

// The path with every link resolved (Steam's folders are often reached through ~/.steam/steam),
// or the path itself when that fails.
std::string canonical(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    std::string result = real ? real : path;
    std::free(real);
    return result;
}

class TCandidateList {
public:
    void add(const std::string& prefix) {
        if (!isRegularFile(prefix + "/system.reg"))
            return;
        if (m_seen.insert(canonical(prefix)).second)
            m_prefixes.push_back(prefix);
    }
    // Every entry of folder, each with suffix appended ("/pfx").
    void addEach(const std::string& folder, const std::string& suffix = "") {
        for (const std::string& name : namesIn(folder))
            add(std::string(folder).append("/").append(name).append(suffix));
    }
    std::vector<std::string> take() { return std::move(m_prefixes); }

private:
    std::vector<std::string> m_prefixes;
    std::set<std::string> m_seen;
};

} // namespace

std::optional<std::string> ChosenWinePrefix() {
    const char* env = std::getenv("WINEPREFIX");
    if (!env || !*env)
        return std::nullopt;
    std::string prefix = env;
    if (prefix[0] != '/')
        throw EWinePrefixError("WINEPREFIX must be an absolute path: " + prefix);
    while (prefix.size() > 1 && prefix.back() == '/')
        prefix.pop_back();
    return prefix;
}

std::string DefaultWinePrefix() {
    if (std::optional<std::string> chosen = ChosenWinePrefix())
        return *chosen;
    const char* home = std::getenv("HOME");
    std::string folder = home && *home ? home : "";
    while (!folder.empty() && folder.back() == '/')
        folder.pop_back();
    return folder + "/.wine";
}

std::vector<std::string> WinePrefixCandidates() {
    if (std::optional<std::string> chosen = ChosenWinePrefix())
        return {*chosen};
    const char* homeEnv = std::getenv("HOME");
    if (!homeEnv || !*homeEnv)
        return {};
    std::string home = homeEnv;
    while (home.size() > 1 && home.back() == '/')
        home.pop_back();

    const std::string data = xdgFolder("XDG_DATA_HOME", home, "/.local/share");
    const std::string config = xdgFolder("XDG_CONFIG_HOME", home, "/.config");
    const std::string lutrisFlatpak = home + "/.var/app/net.lutris.Lutris";
    const std::string bottlesFlatpak = home + "/.var/app/com.usebottles.bottles/data/bottles";
    const std::string heroicFlatpak = home + "/.var/app/com.heroicgameslauncher.hgl/config/heroic";

    TCandidateList list;
    list.add(home + "/.wine");

    for (const std::string& folder :
         {config + "/lutris/games", data + "/lutris/games", lutrisFlatpak + "/config/lutris/games",
          lutrisFlatpak + "/data/lutris/games"})
        for (const std::string& prefix : lutrisPrefixes(folder, home))
            list.add(prefix);
    list.addEach(home + "/Games");

    for (const std::string& bottles : {data + "/bottles", bottlesFlatpak}) {
        if (const std::optional<std::string> custom = bottlesCustomFolder(bottles + "/data.yml", home))
            list.addEach(*custom);
    }
    list.addEach(data + "/bottles/bottles");
    list.addEach(bottlesFlatpak + "/bottles");

    for (const std::string& heroic : {config + "/heroic", heroicFlatpak})
        for (const std::string& prefix : heroicPrefixes(heroic + "/GamesConfig", home))
            list.add(prefix);
    list.addEach(home + "/Games/Heroic/Prefixes/default");
    list.addEach(home + "/Games/Heroic/Prefixes");

    std::set<std::string> steamSeen;
    for (const std::string& folder : {home + "/.steam/steam", home + "/.steam/root", data + "/Steam",
                                      home + "/.var/app/com.valvesoftware.Steam/.local/share/Steam",
                                      home + "/snap/steam/common/.local/share/Steam"}) {
        const std::string steam = canonical(folder);
        if (!isDirectory(steam))
            continue;
        std::vector<std::string> libraries{steam};
        for (const std::string& library : steamLibraries(steam))
            libraries.push_back(canonical(library));
        for (const std::string& library : libraries) {
            if (steamSeen.insert(library).second)
                list.addEach(library + "/steamapps/compatdata", "/pfx");
        }
    }

    list.addEach(home + "/Games/umu");
    list.addEach(data + "/wineprefixes");
    list.addEach(home + "/.PlayOnLinux/wineprefix");
    list.addEach(home + "/.cxoffice");
    return list.take();
}
