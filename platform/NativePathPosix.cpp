// SPDX-License-Identifier: GPL-3.0-or-later
#include "NativePath.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Handles.h"
#include "platform/NativePathInternal.h"
#include "platform/PathParts.h"
#include "platform/TextCase.h"
#include "platform/WinePrefixes.h"

std::string InitialWinePrefix() {
    try {
        return DefaultWinePrefix();
    } catch (const EWinePrefixError&) {
        return {}; // a relative $WINEPREFIX names no prefix: drive paths fail to open
    }
}

namespace {

// Windows-style paths separate at "\\" and "/", native ones at "/" only.
bool isSeparator(char c, bool windowsStyle) {
    return c == '/' || (windowsStyle && c == '\\');
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// The name in folder that equals name without regard to case, or name itself when none does.
std::string matchInFolder(const std::string& folder, const std::string& name) {
    const TUniqueDir dir(::opendir(folder.empty() ? "/" : folder.c_str()));
    if (!dir)
        return name;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (SameNameIgnoringCase(entry->d_name, name))
            return entry->d_name;
    }
    return name;
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
    const bool windowsStyle = IsWindowsStylePath(path);
    std::size_t start = 0;
    if (windowsStyle && path.size() >= 2 && path[1] == ':') {
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
        while (i < path.size() && isSeparator(path[i], windowsStyle))
            ++i;
        std::size_t end = i;
        while (end < path.size() && !isSeparator(path[end], windowsStyle))
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
    else if (!path.empty() && isSeparator(path.back(), IsWindowsStylePath(path)) && result.back() != '/')
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
    // A path that exists as written needs no matching: one call instead of one per component. A new
    // file's name in a folder that exists as written is matched in that folder alone.
    if (!components.empty()) {
        std::string parent = result;
        for (std::size_t i = 0; i + 1 < components.size(); ++i) {
            parent += '/';
            parent += components[i];
        }
        std::string asWritten = parent + '/' + components.back();
        if (exists(asWritten))
            return finish(std::move(asWritten), path);
        if (exists(parent.empty() ? std::string("/") : parent))
            return finish(parent + '/' + matchInFolder(parent, components.back()), path);
    }
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

std::string PathInFolder(const std::string& folder, const std::string& name) {
    // The joined path would follow Windows rules, which would split the name.
    if (IsWindowsStylePath(folder) && name.find_first_of("\\:") != std::string::npos)
        return WithTrailingSeparator(NativePath(folder)) + name;
    return folder + name;
}

std::string FileManagerPath(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path native(NativePath(path));
    // The drive links ("dosdevices/c:") lead into the prefix's folders; the file itself is left as it
    // is, so that a link in its place is named, not what it points to.
    std::error_code error;
    const fs::path folder = fs::weakly_canonical(native.parent_path(), error);
    if (error || native.filename().empty())
        return native.string();
    return (folder / native.filename()).string();
}
