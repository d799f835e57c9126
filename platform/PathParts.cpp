// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PathParts.h"

namespace {

constexpr std::string_view WindowsSeparators = "\\/:";

std::size_t afterLastOf(std::string_view path, std::string_view separators) {
    const std::size_t cut = path.find_last_of(separators);
    return cut == std::string_view::npos ? 0 : cut + 1;
}

// Where the extension of the name at path[nameStart..] begins, or path.size() when it has none.
std::size_t extensionStart(std::string_view path) {
    const std::size_t name = NameStart(path);
    const std::size_t dot = path.find_last_of('.');
    return dot == std::string_view::npos || dot < name ? path.size() : dot;
}

} // namespace

bool IsDrivePath(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

bool IsWindowsStylePath(std::string_view path) {
#ifdef _WIN32
    (void)path;
    return true;
#else
    if (!path.empty() && path[0] == '/')
        return false;
    return IsDrivePath(path) || path.find('\\') != std::string_view::npos;
#endif
}

bool NativePathsAreWindowsPaths() {
    return IsWindowsStylePath("/");
}

std::size_t NameStart(std::string_view path) {
    return afterLastOf(path, IsWindowsStylePath(path) ? WindowsSeparators : std::string_view("/"));
}

std::string FileNamePart(std::string_view path) {
    return std::string(path.substr(NameStart(path)));
}

std::string FolderPart(std::string_view path) {
    return std::string(path.substr(0, NameStart(path)));
}

std::string FileExtension(std::string_view path) {
    return std::string(path.substr(extensionStart(path)));
}

std::string NameWithoutExtension(std::string_view path) {
    return std::string(path.substr(0, extensionStart(path)));
}

std::string WithTrailingSeparator(std::string folder) {
    if (folder.empty() || NameStart(folder) < folder.size())
        folder += IsWindowsStylePath(folder) ? '\\' : '/';
    return folder;
}
