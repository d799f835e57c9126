// SPDX-License-Identifier: GPL-3.0-or-later
#include "NativePath.h"

#include <utility>

TWinePrefix::TWinePrefix(std::string folder) : m_folder(std::move(folder)) {}

std::string TWinePrefix::Place(const std::string& path) const {
    return path;
}

std::string TWinePrefix::AsGiven(std::string text) const {
    return text;
}

std::string NativePath(const std::string& path) {
    return path;
}
std::string NativePathAsWritten(const std::string& path) {
    return path;
}

std::string PathInFolder(const std::string& folder, const std::string& name) {
    return folder + name;
}

std::string FileManagerPath(const std::string& path) {
    std::string shown = path;
    for (char& c : shown) {
        if (c == '/')
            c = '\\';
    }
    return shown;
}
