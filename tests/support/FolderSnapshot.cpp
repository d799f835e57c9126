// SPDX-License-Identifier: GPL-3.0-or-later
#include "FolderSnapshot.h"

#include "ContainerWriter.h"

namespace fs = std::filesystem;

TSnapshot FolderSnapshot(const fs::path& folder) {
    TSnapshot result;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_symlink())
            result[name] = BytesOf("-> " + fs::read_symlink(entry.path()).string());
        else if (entry.is_directory())
            result[name] = BytesOf("<dir>");
        else
            result[name] = ReadFileBytes(entry.path().string());
    }
    return result;
}
