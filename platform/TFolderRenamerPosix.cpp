// SPDX-License-Identifier: GPL-3.0-or-later
#include "TFolderRenamer.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "FileOps.h"
#include "FileOpsPosix.h"
#include "Handles.h"
#include "NativePath.h"
#include "PathParts.h"
#include "TextCase.h"

TFolderRenamer::TFolderRenamer(const std::string& folder) : m_folder(folder) {
    // What a killed run left here goes first: a letter-case change cut short is finished, so its
    // track is under its own name again.
    TidyFolder(folder.empty() ? std::string(".") : folder);
    const std::string native = NativePath(folder.empty() ? std::string(".") : folder);
    TUniqueFd dir(::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir) {
        m_error = errno; // every rename fails with it
        return;
    }
    const int listed = ::dup(dir.get());
    TUniqueDir names(listed >= 0 ? ::fdopendir(listed) : nullptr);
    if (!names) {
        m_error = errno;
        if (listed >= 0)
            ::close(listed);
        return;
    }
    readFoldedNames(names.get(), m_names);
    m_dir = dir.release();
}

TFolderRenamer::~TFolderRenamer() {
    if (m_dir >= 0)
        ::close(m_dir);
}

TFileError TFolderRenamer::Rename(const std::string& from, const std::string& to) {
    if (m_dir < 0)
        return {m_error};
    if (!isFileName(from) || !isFileName(to) || from.find('/') != std::string::npos ||
        to.find('/') != std::string::npos)
        return {EINVAL};
    const std::string* found = spellingOf(m_names, from);
    if (!found)
        return {ENOENT};
    const std::string source = *found;
    const std::string foldedFrom = FoldedName(from);

    const std::string foldedTo = FoldedName(to);
    const auto taken = m_names.find(foldedTo);
    if (taken != m_names.end() && std::any_of(taken->second.begin(), taken->second.end(),
                                              [&](const std::string& name) { return name != source; }))
        return {EEXIST};
    if (source == to)
        return {};

    if (foldedTo != foldedFrom) {
        if (const int error = renameNoReplaceAt(m_dir, source.c_str(), m_dir, to.c_str()); error != 0)
            return {error};
    } else {
        // Only the letter case changes: RenameFile knows when the disk needs a temporary name and how
        // to name it so that a kill between its two renames is finished later. Rare in a batch.
        if (const TFileError error = RenameFile(PathInFolder(m_folder, source), PathInFolder(m_folder, to));
            error.Failed())
            return error;
    }
    // The old name goes first: the spellings may move once to's entry is made.
    std::vector<std::string>& spellings = m_names[foldedFrom];
    spellings.erase(std::find(spellings.begin(), spellings.end(), source));
    if (spellings.empty())
        m_names.erase(foldedFrom);
    m_names[foldedTo].push_back(to);
    return {};
}
