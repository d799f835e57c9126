// SPDX-License-Identifier: GPL-3.0-or-later
#include "NativePath.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Handles.h"
#include "platform/PathParts.h"
#include "platform/TextCase.h"

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

// The drive links a drive path that was never placed in a prefix goes through: none, where nothing
// opens.
constexpr const char* UnplacedDrives = "/dosdevices/";

// Splits a Windows-style path into the root its components hang from (without a trailing slash;
// "" is the file-system root) and its components, "." and ".." already applied. A drive's root is its
// link in drives ("<prefix>/dosdevices/").
void splitPath(const std::string& path, const std::string& drives, std::string& root,
               std::vector<std::string>& components) {
    const bool windowsStyle = IsWindowsStylePath(path);
    std::size_t start = 0;
    if (windowsStyle && path.size() >= 2 && path[1] == ':') {
        const char letter = static_cast<char>(path[0] | 0x20);
        root = drives + letter + ":";
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
    splitPath(path, UnplacedDrives, result, components);
    for (const std::string& component : components) {
        result += '/';
        result += component;
    }
    return finish(std::move(result), path);
}

namespace {

// NativePath with drives as the links of the drives.
std::string resolvedPath(const std::string& path, const std::string& drives) {
    if (!path.empty() && path[0] == '/')
        return path;
    std::string result;
    std::vector<std::string> components;
    splitPath(path, drives, result, components);
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

} // namespace

std::string NativePath(const std::string& path) {
    return resolvedPath(path, UnplacedDrives);
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

TWinePrefix::TWinePrefix(std::string folder) : m_folder(std::move(folder)) {
    if (m_folder.empty() || m_folder[0] != '/' || m_folder.find('\\') != std::string::npos)
        return;
    m_drives = "\\";
    for (std::size_t at = 1; at < m_folder.size();) {
        const std::size_t end = std::min(m_folder.find('/', at), m_folder.size());
        if (end > at)
            m_drives.append(m_folder, at, end - at).push_back('\\');
        at = end + 1;
    }
    m_drives += "dosdevices\\";
}

std::string TWinePrefix::Place(const std::string& path) const {
    if (!IsDrivePath(path) || m_folder.empty() || m_folder[0] != '/')
        return path;
    // A folder that a rooted path cannot spell: the native path, its letter case matched now.
    if (m_drives.empty())
        return resolvedPath(path, m_folder + "/dosdevices/");
    // "." and ".." are applied here, where the drive's root is still known: ".." never leaves it.
    std::vector<std::string_view> components;
    const std::string_view rest = std::string_view(path).substr(2);
    for (std::size_t at = 0; at < rest.size();) {
        const std::size_t end = std::min(rest.find_first_of("\\/", at), rest.size());
        const std::string_view component = rest.substr(at, end - at);
        if (component == "..") {
            if (!components.empty())
                components.pop_back();
        } else if (!component.empty() && component != ".") {
            components.push_back(component);
        }
        at = end + 1;
    }
    std::string placed = m_drives;
    placed += static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
    placed += ':';
    for (const std::string_view component : components)
        placed.append(1, '\\').append(component);
    if (!rest.empty() && (rest.back() == '\\' || rest.back() == '/'))
        placed += '\\';
    return placed;
}

std::string TWinePrefix::AsGiven(std::string text) const {
    if (m_drives.empty())
        return text;
    for (std::size_t at = text.find(m_drives); at != std::string::npos; at = text.find(m_drives, at + 1)) {
        const std::size_t letter = at + m_drives.size();
        if (letter + 1 < text.size() && text[letter + 1] == ':' &&
            std::isalpha(static_cast<unsigned char>(text[letter]))) {
            text.replace(at, m_drives.size() + 1, 1,
                         static_cast<char>(std::toupper(static_cast<unsigned char>(text[letter]))));
        }
    }
    return text;
}
