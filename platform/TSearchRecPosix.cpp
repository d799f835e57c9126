// SPDX-License-Identifier: GPL-3.0-or-later
#include "TSearchRec.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>

#include "Handles.h"
#include "NativePath.h"
#include "PathParts.h"
#include "TSearchFound.h"
#include "TextCase.h"

namespace {

// Wildcard match of a whole name: "*" any run of characters, "?" one byte, other bytes equal.
bool matchesFolded(std::string_view name, std::string_view pattern) {
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

// The wildcard match of a name with a pattern already folded by FoldedName: letters compare without
// regard to case; "?" takes one byte of the folded name.
bool matches(std::string_view name, std::string_view foldedPattern) {
    if (foldedPattern == "*" || foldedPattern == "*.*")
        return true;
    return matchesFolded(FoldedName(name), foldedPattern);
}

int errorOfErrno(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return kErrorAccessDenied;
    default:
        return kErrorPathNotFound;
    }
}

// The attribute bits of a file's mode: the kind, and read-only when no one may write.
int attrOfMode(mode_t mode) {
    int attr = S_ISDIR(mode) ? faDirectory : S_ISREG(mode) ? faArchive : faDevice;
    if ((mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        attr |= faReadOnly;
    return attr;
}

// The kind the listing tells, or 0 when it does not (a link, or a file system without d_type).
int attrOfListedType(unsigned char type) {
    switch (type) {
    case DT_DIR:
        return faDirectory;
    case DT_REG:
        return faArchive;
    case DT_FIFO:
    case DT_SOCK:
    case DT_CHR:
    case DT_BLK:
        return faDevice;
    default:
        return 0;
    }
}

// Reads entries up to the next that the search reports, and fills rec with it.
int findMatching(TSearchRec& rec, DIR* dir, const std::string& pattern, int excludeAttr) {
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!matches(name, pattern))
            continue;
        const bool hidden = name[0] == '.' && name != "." && name != "..";
        if (hidden && (excludeAttr & faHidden))
            continue;
        int attr = attrOfListedType(entry->d_type);
        std::int64_t size = 0;
        const bool listed = attr != 0;
        if (!listed) {
            struct stat st {};
            if (::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0) {
                attr = attrOfMode(st.st_mode);
                if (S_ISREG(st.st_mode))
                    size = st.st_size;
            } else if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                       S_ISLNK(st.st_mode)) {
                // A dangling (or looping) link: a file that fails to open, as Windows would show it.
                attr = faArchive;
            } else {
                continue; // removed since the folder was read
            }
        }
        if (hidden)
            attr |= faHidden;
        if (attr & excludeAttr)
            continue;
        rec.Name.assign(name);
        TSearchFound::Set(rec, attr, size, !listed, TListedVersion{.file = entry->d_ino});
        return 0;
    }
    return kErrorNoMoreFiles;
}

} // namespace

int FindFirst(const std::string& path, int attr, TSearchRec& rec) {
    FindClose(rec);
    const std::string folder = FolderPart(path);
    std::string pattern = FoldedName(FileNamePart(path));
    if (pattern.empty())
        return kErrorFileNotFound;
    // "C:" alone names the drive's root here; "" is the working folder.
    const std::string native = NativePath(folder.empty() ? std::string(".") : folder);
    TUniqueDir dir(::opendir(native.c_str()));
    if (!dir)
        return errorOfErrno(errno);
    rec.m_excludeAttr = ~attr & kSpecialAttr;
    rec.m_pattern = std::move(pattern);
    rec.m_folder = native;
    if (findMatching(rec, dir.get(), rec.m_pattern, rec.m_excludeAttr) != 0)
        return kErrorFileNotFound;
    rec.m_handle = dir.release();
    return 0;
}

int FindNext(TSearchRec& rec) {
    if (!rec.m_handle)
        return kErrorNoMoreFiles;
    return findMatching(rec, static_cast<DIR*>(rec.m_handle), rec.m_pattern, rec.m_excludeAttr);
}

void FindClose(TSearchRec& rec) {
    if (rec.m_handle)
        ::closedir(static_cast<DIR*>(rec.m_handle));
    rec.m_handle = nullptr;
}

void TSearchRec::complete() const {
    if (m_complete)
        return;
    m_complete = true;
    struct stat st {};
    const int found = m_handle ? ::fstatat(::dirfd(static_cast<DIR*>(m_handle)), Name.c_str(), &st, 0)
                               : ::stat((m_folder + "/" + Name).c_str(), &st);
    if (found != 0)
        return; // removed since it was listed: what the listing told stays
    m_attr = (m_attr & ~(faDirectory | faArchive | faDevice)) | attrOfMode(st.st_mode);
    m_size = S_ISREG(st.st_mode) ? st.st_size : 0;
}
