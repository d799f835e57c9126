// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "Exceptions.h"

// The failure of both systems' registries for a value of another type than a string.
ERegistryException invalidType(const std::string& name);
