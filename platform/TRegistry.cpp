// SPDX-License-Identifier: GPL-3.0-or-later
#include "TRegistry.h"

#include "Exceptions.h"
#include "TRegistryInternal.h"

ERegistryException invalidType(const std::string& name) {
    return ERegistryException("Invalid data type for '" + name + "'");
}

TRegistry::~TRegistry() {
    CloseKey();
}
