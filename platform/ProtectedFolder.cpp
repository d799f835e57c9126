// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProtectedFolder.h"

#include <array>

#include "platform/TextCase.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#endif

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool isDrive(std::string_view component) {
    return component.size() == 2 && component[1] == ':' &&
           ((component[0] >= 'A' && component[0] <= 'Z') || (component[0] >= 'a' && component[0] <= 'z'));
}

bool isProtectedName(std::string_view component) {
    constexpr std::array<std::string_view, 3> Names = {"program files", "program files (x86)", "windows"};
    for (const std::string_view name : Names) {
        if (EqualsIgnoringAsciiCase(component, name))
            return true;
    }
    return false;
}

} // namespace

std::string ProtectedFolderOf(std::string_view path) {
    // Whether the component before is a drive at the path's start ("C:", also after "\\?\"), one of a
    // prefix's drive links ("dosdevices\c:", where a drive path placed in its prefix leads) or a prefix's
    // "drive_c".
    bool afterDrive = false;
    std::string_view previous;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !isSeparator(path[end]))
            ++end;
        const std::string_view component = path.substr(start, end - start);
        if (!component.empty()) {
            if (afterDrive && isProtectedName(component))
                return std::string(path.substr(0, end));
            afterDrive = (isDrive(component) && (previous.empty() || previous == "?" ||
                                                 EqualsIgnoringAsciiCase(previous, "dosdevices"))) ||
                         EqualsIgnoringAsciiCase(component, "drive_c");
            previous = component;
        }
        start = end + 1;
    }
    return {};
}

bool IsAccessDenied(int code) {
#ifdef _WIN32
    return code == ERROR_ACCESS_DENIED;
#else
    return code == EACCES || code == EPERM;
#endif
}

std::string ProtectedFolderAdvice(std::string_view folder, int code) {
    if (!IsAccessDenied(code))
        return {};
    const std::string root = ProtectedFolderOf(folder);
    if (root.empty())
        return {};
    return "the folder refuses changes. Only an administrator may change what lies under " + root +
           ": run the track manager as administrator, or install the game in another folder.";
}
