// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileOps.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "CopyFaults.h"
#include "FileOpsInternal.h"
#include "FileOpsPosix.h"
#include "Handles.h"
#include "NativePath.h"
#include "PathParts.h"
#include "TextCase.h"

namespace {

// The native folder of a Windows-style or native path, and its last component as given: the name a
// file is to get, which must not be matched against existing names the way NativePath does.
TSplitPath splitGiven(const std::string& path) {
    std::string folder = NativePath(FolderPart(path));
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return {folder, FileNamePart(path)};
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// True when error says that the file system does not offer a call at all, rather than refusing it.
bool unsupported(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == ENOTSUP;
}

// Renames through a placeholder, for file systems that can neither rename without replacing nor make
// hard links (exFAT and FAT, also through FUSE): an exclusively made empty file takes the name to, so
// that no other file can have it, and the rename replaces that placeholder alone, checked to be ours
// (the file held open, still empty) just before.
int renameOverPlaceholder(int fromDir, const char* from, int toDir, const char* to) {
    struct stat source {};
    if (::fstatat(fromDir, from, &source, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    const TUniqueFd placeholder(
        ::openat(toDir, to, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!placeholder)
        return errno; // EEXIST when the name is taken, in any letter case where the disk ignores case
    struct stat held {};
    struct stat named {};
    const auto stillOurs = [&] {
        return ::fstat(placeholder.get(), &held) == 0 &&
               ::fstatat(toDir, to, &named, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(held, named) &&
               held.st_size == 0;
    };
    if (!stillOurs())
        return EEXIST;
    if (::renameat(fromDir, from, toDir, to) != 0) {
        const int error = errno;
        if (stillOurs())
            ::unlinkat(toDir, to, 0);
        return error;
    }
    // NOTE: held.st_nlink != 0 here would mean that the rename replaced a file put there between the
    // check and the rename; the file is renamed either way, and nothing could undo that.
    return 0;
}

// True when a file of folder other than the one named except has a name equal to name without regard
// to case; also when the folder cannot be read, since then nothing can be promised. leftovers is set
// when the folder holds a name of the program's temporaries.
bool nameTaken(const std::string& folder, const std::string& name, const std::string* except,
               bool* leftovers = nullptr) {
    const TUniqueDir dir(::opendir(folder.c_str()));
    if (!dir)
        return true;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (leftovers && std::strncmp(entry->d_name, TemporaryNamePrefix, 4) == 0)
            *leftovers = true;
        if (SameNameIgnoringCase(entry->d_name, name) && !(except && *except == entry->d_name))
            return true;
    }
    return false;
}

// A native folder without its trailing separators ("/" stays).
std::string bareFolder(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder.empty() ? std::string(".") : folder;
}

// Makes a rename in folder durable; best effort, since not every file system can flush a folder.
void syncFolder(const std::string& folder) {
    const TUniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
}

} // namespace

std::string joinNative(const std::string& folder, const std::string& name) {
    return folder + (folder.back() == '/' ? "" : "/") + name;
}

TSplitPath splitNative(const std::string& native) {
    const std::size_t nameStart = NameStart(native);
    if (nameStart == 0)
        return {".", native};
    return {nameStart == 1 ? std::string("/") : native.substr(0, nameStart - 1), native.substr(nameStart)};
}

bool isFileName(const std::string& name) {
    return !name.empty() && name != "." && name != "..";
}

int renameNoReplaceAt(int fromDir, const char* from, int toDir, const char* to) {
    if (::renameat2(fromDir, from, toDir, to, RENAME_NOREPLACE) == 0)
        return 0;
    const int error = errno;
    if (!unsupported(error))
        return error;
    // NOTE: NFS, 9p and many FUSE servers cannot rename without replacing. A new hard link fails when the
    // name is taken, so link + unlink never replaces either; for a moment the file has both names.
    if (::linkat(fromDir, from, toDir, to, 0) != 0) {
        const int linkError = errno;
        return linkError == EPERM || linkError == EMLINK || unsupported(linkError)
                   ? renameOverPlaceholder(fromDir, from, toDir, to)
                   : linkError;
    }
    if (::unlinkat(fromDir, from, 0) != 0) {
        const int unlinkError = errno;
        ::unlinkat(toDir, to, 0);
        return unlinkError;
    }
    return 0;
}

int renameNoReplace(const std::string& from, const std::string& to) {
    return renameNoReplaceAt(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str());
}

TFileStamp stampOf(const struct stat& info) {
    TFileStamp stamp;
    stamp.device = static_cast<std::uint64_t>(info.st_dev);
    stamp.file = static_cast<std::uint64_t>(info.st_ino);
    stamp.size = static_cast<std::int64_t>(info.st_size);
    stamp.modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return stamp;
}

TFileError RenameFile(const std::string& from, const std::string& to) {
    const std::string nativeFrom = NativePath(from);
    struct stat fromStat {};
    if (::lstat(nativeFrom.c_str(), &fromStat) != 0)
        return {errno};
    const TSplitPath source = splitNative(nativeFrom);
    const TSplitPath target = splitGiven(to);
    if (!isFileName(source.name) || !isFileName(target.name))
        return {EINVAL};
    struct stat sourceFolder {};
    struct stat targetFolder {};
    if (::stat(source.folder.c_str(), &sourceFolder) != 0 ||
        ::stat(target.folder.c_str(), &targetFolder) != 0)
        return {errno};
    const bool sameFolder = sameFile(sourceFolder, targetFolder);

    // Windows names are unique without regard to case: any other file whose name matches blocks the
    // rename, even where this file system would hold both names. A track that a killed run left
    // halfway through a change of letter case gets its name first.
    bool leftovers = false;
    if (nameTaken(target.folder, target.name, sameFolder ? &source.name : nullptr, &leftovers))
        return {EEXIST};
    if (leftovers) {
        TidyFolder(target.folder);
        if (nameTaken(target.folder, target.name, sameFolder ? &source.name : nullptr))
            return {EEXIST};
    }
    const std::string targetPath = joinNative(target.folder, target.name);
    if (!sameFolder || !SameNameIgnoringCase(source.name, target.name))
        return {renameNoReplace(nativeFrom, targetPath)};
    if (source.name == target.name)
        return {};

    // Only the letter case changes. Where the file system tells the two names apart the rename is
    // direct. A folder that ignores case (vfat, ext4 with casefold) finds the file itself in the way,
    // so there it goes through a temporary name that ends in the new name: should the program be
    // killed between the two renames, the list still shows the track and TidyFolder finishes it.
    const int direct = renameNoReplace(nativeFrom, targetPath);
    if (direct != EEXIST)
        return {direct};
    for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
        const std::string temporary =
            joinNative(source.folder,
                       trackTemporaryName(attempt == 0 ? proofOf(static_cast<std::uint64_t>(fromStat.st_ino))
                                                       : randomHex(),
                                          target.name));
        const int error = renameNoReplace(nativeFrom, temporary);
        if (error == EEXIST)
            continue;
        if (error != 0)
            return {error};
        const int placed = renameNoReplace(temporary, targetPath);
        if (placed == 0)
            return {};
        renameNoReplace(temporary, nativeFrom);
        return {placed};
    }
    return {EEXIST};
}

TFileError RenameNativeNoReplace(const std::string& from, const std::string& to) {
    return TFileError{renameNoReplace(from, to)};
}

TFileError DeleteFile(const std::string& path) {
    return {::unlink(NativePath(path).c_str()) == 0 ? 0 : errno};
}

void FlushFolderOf(const std::string& path) {
    syncFolder(splitNative(NativePath(path)).folder);
}

TDeletion DeleteFileIfUnchangedWithFaults(const std::string& path, const TFileStamp& stamp,
                                          const TCopyFaults& injected) {
    if (injected.beforeDelete)
        injected.beforeDelete(path);
    const std::string native = NativePath(path);
    struct stat now {};
    // A file gone from its name was not deleted here: renamed away meanwhile (a Stop), it still exists.
    if (::lstat(native.c_str(), &now) != 0)
        return {TDeleteResult::Failed, TFileError{errno}};
    if (!S_ISREG(now.st_mode) || stampOf(now) != stamp)
        return {TDeleteResult::Changed, {}};

    // The file goes out of the way under a private name first, so that what is checked is what is
    // deleted: a file put in place under the name from now on is another file, and stays.
    const TSplitPath split = splitNative(native);
    std::string aside;
    int error = EEXIST;
    for (int attempt = 0; attempt < TemporaryNameAttempts && error == EEXIST; ++attempt) {
        aside = joinNative(
            split.folder,
            trackTemporaryName(attempt == 0 ? proofOf(static_cast<std::uint64_t>(now.st_ino)) : randomHex(),
                               split.name));
        error = renameNoReplace(native, aside);
    }
    if (error != 0)
        return {TDeleteResult::Failed, TFileError{error}};
    const TUniqueFd file(::open(aside.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat held {};
    const bool unchanged =
        file.get() >= 0 && ::fstat(file.get(), &held) == 0 && S_ISREG(held.st_mode) && stampOf(held) == stamp;
    if (unchanged) {
        if (injected.afterCheck)
            injected.afterCheck(path);
        if (::unlink(aside.c_str()) == 0)
            return {TDeleteResult::Deleted, {}};
    }
    const TFileError why{unchanged ? errno : 0};
    // Back under its own name, never replacing a file that took it meanwhile; should even that fail, it
    // keeps the private name, which ends in its own, so the list shows it and TidyFolder gives it back
    // its name once that is free.
    renameNoReplace(aside, native);
    return {unchanged ? TDeleteResult::Failed : TDeleteResult::Changed, why};
}

void TidyFolder(const std::string& folder) {
    const std::string native = bareFolder(NativePath(folder));
    std::vector<std::string> names;
    if (const TUniqueDir dir(::opendir(native.c_str())); dir) {
        while (const dirent* entry = ::readdir(dir.get())) {
            if (std::strncmp(entry->d_name, TemporaryNamePrefix, 4) == 0)
                names.emplace_back(entry->d_name);
        }
    }
    // Only a temporary whose name carries its proof is the program's own; any other file, a look-alike
    // of the player's among them, is left as it is.
    for (const std::string& name : names) {
        const std::string path = joinNative(native, name);
        if (const std::string digits = copyTemporaryDigits(name); !digits.empty()) {
            // A copy in use is locked by the run that makes it; the lock goes with that run.
            const TUniqueFd file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
            struct stat opened {};
            struct stat named {};
            if (file.get() >= 0 && ::fstat(file.get(), &opened) == 0 && S_ISREG(opened.st_mode) &&
                proofOf(static_cast<std::uint64_t>(opened.st_ino)) == digits &&
                ::flock(file.get(), LOCK_EX | LOCK_NB) == 0 && ::lstat(path.c_str(), &named) == 0 &&
                sameFile(opened, named))
                ::unlink(path.c_str());
            continue;
        }
        // A track under a temporary name: giving it its name is what the run that named it was doing,
        // so it is right whether that run is dead or not. Never a hidden name, which the list would not
        // show.
        const auto [digits, newName] = trackTemporaryParts(name);
        struct stat info {};
        if (!digits.empty() && isFileName(newName) && newName[0] != '.' &&
            newName.find('/') == std::string::npos && ::lstat(path.c_str(), &info) == 0 &&
            !S_ISDIR(info.st_mode) && proofOf(static_cast<std::uint64_t>(info.st_ino)) == digits &&
            !nameTaken(native, newName, nullptr))
            renameNoReplace(path, joinNative(native, newName));
    }
}
