#include "NativePath.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <vector>

#ifndef _WIN32
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

std::string& prefixStorage() {
    static std::string prefix = [] {
        if (const char* env = std::getenv("WINEPREFIX"); env && *env)
            return std::string(env);
        const char* home = std::getenv("HOME");
        return std::string(home && *home ? home : "") + "/.wine";
    }();
    return prefix;
}

// Decodes one UTF-8 sequence at text[i]; an invalid byte stands for itself.
char32_t nextCodePoint(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byte(i);
    if (b0 >= 0xC2 && b0 <= 0xDF && i + 1 < text.size() && (byte(i + 1) & 0xC0) == 0x80) {
        const char32_t cp = ((b0 & 0x1Fu) << 6) | (byte(i + 1) & 0x3Fu);
        i += 2;
        return cp;
    }
    ++i;
    return b0;
}

char32_t foldCase(char32_t c) {
    if (c >= U'A' && c <= U'Z')
        return c + 32;
    // Latin-1 capitals À..Þ except the multiplication sign.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return c + 32;
    return c;
}

} // namespace

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (foldCase(nextCodePoint(a, i)) != foldCase(nextCodePoint(b, j)))
            return false;
    }
    return i == a.size() && j == b.size();
}

const std::string& WinePrefix() {
    return prefixStorage();
}

void SetWinePrefix(const std::string& prefix) {
    prefixStorage() = prefix;
}

#ifdef _WIN32

std::string NativePath(const std::string& path) {
    return path;
}
std::string NativePathAsWritten(const std::string& path) {
    return path;
}

#else

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// The name in folder that equals name without regard to case, or name itself when none does.
std::string matchInFolder(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.empty() ? "/" : folder.c_str());
    if (!dir)
        return name;
    std::string found = name;
    while (const dirent* entry = ::readdir(dir)) {
        if (SameNameIgnoringCase(entry->d_name, name)) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// The working folder. When it has been deleted a relative path must not fall back on the file-system
// root: it then names a place in the deleted folder, where nothing can be opened or created, as it
// does for the system's own calls.
std::string workingFolder() {
    std::vector<char> buffer(4096);
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE || buffer.size() > (1u << 20))
            return "/proc/self/cwd";
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

// Splits a Windows-style path into the root its components hang from (without a trailing slash;
// "" is the file-system root) and its components, "." and ".." already applied.
void splitPath(const std::string& path, std::string& root, std::vector<std::string>& components) {
    std::size_t start = 0;
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        const char letter = static_cast<char>(path[0] | 0x20);
        root = WinePrefix() + "/dosdevices/" + letter + ":";
        start = 2;
    } else if (!path.empty() && path[0] == '\\') {
        root.clear();
    } else {
        // Relative: the working folder's components come first, so that ".." can leave it.
        root.clear();
        const std::string cwd = workingFolder();
        for (std::size_t at = 1; at < cwd.size();) {
            const std::size_t end = std::min(cwd.find('/', at), cwd.size());
            if (end > at)
                components.push_back(cwd.substr(at, end - at));
            at = end + 1;
        }
    }

    std::size_t i = start;
    while (i < path.size()) {
        while (i < path.size() && isSeparator(path[i]))
            ++i;
        std::size_t end = i;
        while (end < path.size() && !isSeparator(path[end]))
            ++end;
        if (end > i) {
            std::string component = path.substr(i, end - i);
            if (component == "..") {
                if (!components.empty())
                    components.pop_back();
            } else if (component != ".") {
                components.push_back(std::move(component));
            }
        }
        i = end;
    }
}

std::string finish(std::string result, const std::string& path) {
    if (result.empty())
        result.assign(1, '/');
    else if (!path.empty() && isSeparator(path.back()) && result.back() != '/')
        result += '/';
    return result;
}

} // namespace

std::string NativePathAsWritten(const std::string& path) {
    if (!path.empty() && path[0] == '/')
        return path;
    std::string result;
    std::vector<std::string> components;
    splitPath(path, result, components);
    for (const std::string& component : components) {
        result += '/';
        result += component;
    }
    return finish(std::move(result), path);
}

std::string NativePath(const std::string& path) {
    if (!path.empty() && path[0] == '/')
        return path;
    std::string result;
    std::vector<std::string> components;
    splitPath(path, result, components);
    bool parentExists = true;
    for (const std::string& component : components) {
        std::string candidate = result;
        candidate += '/';
        candidate += component;
        if (parentExists && !exists(candidate)) {
            const std::string match = matchInFolder(result, component);
            candidate.resize(result.size() + 1);
            candidate += match;
            parentExists = match != component || exists(candidate);
        }
        result = std::move(candidate);
    }
    return finish(std::move(result), path);
}

#endif
