// SPDX-License-Identifier: GPL-3.0-or-later
#include "TFolderNames.h"

TFolderNames::TFolderNames(const std::string& folder) : m_folder(folder) {}

// Windows matches the names itself.
std::string TFolderNames::PathOf(const std::string& name) const {
    return m_folder + name;
}

void TFolderNames::Add(const std::string&) {}
