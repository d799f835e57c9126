// SPDX-License-Identifier: GPL-3.0-or-later
#include "NativePath.h"

#include "NativePathInternal.h"

std::string InitialWinePrefix() {
    return {};
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
