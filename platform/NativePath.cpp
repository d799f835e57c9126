// SPDX-License-Identifier: GPL-3.0-or-later
#include "NativePath.h"

#include "NativePathInternal.h"

namespace {

std::string& prefixStorage() {
    static std::string prefix = InitialWinePrefix();
    return prefix;
}

} // namespace

const std::string& WinePrefix() {
    return prefixStorage();
}

void SetWinePrefix(const std::string& prefix) {
    prefixStorage() = prefix;
}
