#include "WinePrefixes.h"

#ifndef _WIN32
#include <algorithm>
#include <cstdlib>
#include <set>
#include <string_view>
#include <sys/stat.h>

#include "platform/Exceptions.h"
#include "platform/Handles.h"
#include "platform/SmallFile.h"
#include "platform/TextCase.h"

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

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
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

// The prefixes that the "prefix:" lines of Lutris's game files in folder name.
std::vector<std::string> lutrisPrefixes(const std::string& folder, const std::string& home) {
    std::vector<std::string> prefixes;
    for (const std::string& name : namesIn(folder)) {
        if (!name.ends_with(".yml"))
            continue;
        const std::string text = smallFile(std::string(folder).append("/").append(name));
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            std::string_view line = trimmed(std::string_view(text).substr(start, end - start));
            start = end + 1;
            if (!line.starts_with("prefix:"))
                continue;
            line = trimmed(line.substr(7));
            if (line.size() >= 2 && (line.front() == '"' || line.front() == '\'') &&
                line.back() == line.front())
                line = line.substr(1, line.size() - 2);
            if (line.starts_with("~/"))
                prefixes.push_back(home + std::string(line.substr(1)));
            else if (line.starts_with("/"))
                prefixes.emplace_back(line);
        }
    }
    return prefixes;
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

    TCandidateList list;
    list.add(home + "/.wine");

    for (const char* folder : {"/.config/lutris/games", "/.local/share/lutris/games"})
        for (const std::string& prefix : lutrisPrefixes(home + folder, home))
            list.add(prefix);
    list.addEach(home + "/Games");

    list.addEach(home + "/.local/share/bottles/bottles");
    list.addEach(home + "/.var/app/com.usebottles.bottles/data/bottles/bottles");

    list.addEach(home + "/Games/Heroic/Prefixes/default");
    list.addEach(home + "/Games/Heroic/Prefixes");

    std::set<std::string> steamSeen;
    for (const char* folder : {"/.steam/steam", "/.steam/root", "/.local/share/Steam",
                               "/.var/app/com.valvesoftware.Steam/.local/share/Steam"}) {
        const std::string steam = canonical(home + folder);
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

    list.addEach(home + "/.PlayOnLinux/wineprefix");
    list.addEach(home + "/.cxoffice");
    return list.take();
}
#endif
