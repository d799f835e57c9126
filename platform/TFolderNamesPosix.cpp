// SPDX-License-Identifier: GPL-3.0-or-later
#include "TFolderNames.h"

#include <algorithm>
#include <dirent.h>
#include <string>
#include <vector>

#include "FileOpsPosix.h"
#include "Handles.h"
#include "NativePath.h"
#include "PathParts.h"
#include "TextCase.h"

void readFoldedNames(DIR* dir, TFoldedNames& names) {
    while (const dirent* entry = ::readdir(dir))
        names[FoldedName(entry->d_name)].emplace_back(entry->d_name);
}

const std::string* spellingOf(const TFoldedNames& names, const std::string& name) {
    const auto found = names.find(FoldedName(name));
    if (found == names.end())
        return nullptr;
    const std::vector<std::string>& spellings = found->second;
    const auto exact = std::find(spellings.begin(), spellings.end(), name);
    return exact != spellings.end() ? &*exact : &spellings.front();
}

TFolderNames::TFolderNames(const std::string& folder) : m_folder(folder) {
    if (!m_folder.empty() && m_folder[0] == '/')
        return; // used as it is, as NativePath uses it
    m_matched = true;
    m_folder = WithTrailingSeparator(NativePath(folder.empty() ? std::string(".") : folder));
    if (const TUniqueDir dir(::opendir(m_folder.c_str())); dir)
        readFoldedNames(dir.get(), m_names);
}

std::string TFolderNames::PathOf(const std::string& name) const {
    if (!m_matched)
        return m_folder + name;
    const std::string* spelling = spellingOf(m_names, name);
    return m_folder + (spelling ? *spelling : name);
}

void TFolderNames::Add(const std::string& name) {
    if (!m_matched)
        return;
    std::vector<std::string>& spellings = m_names[FoldedName(name)];
    if (spellings.empty())
        spellings.push_back(name);
}
