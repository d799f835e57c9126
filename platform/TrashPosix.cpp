// SPDX-License-Identifier: GPL-3.0-or-later
#include "Trash.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FileOps.h"
#include "Handles.h"
#include "NativePath.h"
#include "PathParts.h"
#include "SmallFile.h"

namespace {

constexpr char InfoSuffix[] = ".trashinfo";
constexpr int TrashNameAttempts = 1000;

// A trash folder ready to take files: "<root>/files" and "<root>/info" exist.
struct TTrashFolder {
    std::string root;
};

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return home;
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir && user->pw_dir[0] == '/')
        return user->pw_dir;
    return {};
}

// The home trash's folder: $XDG_DATA_HOME/Trash, else ~/.local/share/Trash; "" without a home.
std::string homeTrashPath() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && data[0] == '/')
        return std::string(data) + "/Trash";
    const std::string home = homeFolder();
    return home.empty() ? std::string() : home + "/.local/share/Trash";
}

// Makes the folder path unless it exists, with the folders above it; new ones get mode 0700, as the
// trash and the data folder of a user must. 0, or the reason.
int makeFolders(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    if (errno != ENOENT)
        return errno;
    const std::size_t cut = path.find_last_of('/');
    if (cut != std::string::npos && cut > 0) {
        if (const int error = makeFolders(path.substr(0, cut)); error != 0)
            return error;
    }
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return errno;
    return 0;
}

// True when a file can be made in folder: tried with an unnamed file where the file system has them
// (so that a read-only mount, an immutable folder or missing rights all show, also for root), else by
// the permission bits.
bool takesFiles(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return false;
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

// Prepares the trash at root: a folder of this user (on a shared disk a real one, no link, so that no
// other user can lead the files elsewhere), with files/ and info/ that take files. The trash, or the
// reason it cannot be had.
std::optional<TTrashFolder> prepare(const std::string& root, bool shared, int& error) {
    error = makeFolders(root);
    if (error != 0)
        return std::nullopt;
    struct stat info {};
    if ((shared ? ::lstat(root.c_str(), &info) : ::stat(root.c_str(), &info)) != 0 ||
        !S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) {
        error = EPERM;
        return std::nullopt;
    }
    for (const char* part : {"/files", "/info"}) {
        const std::string folder = root + part;
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            error = errno;
            return std::nullopt;
        }
        struct stat sub {};
        if (::lstat(folder.c_str(), &sub) != 0 || !S_ISDIR(sub.st_mode)) {
            error = ENOTDIR;
            return std::nullopt;
        }
        if (!takesFiles(folder)) {
            error = errno != 0 ? errno : EACCES;
            return std::nullopt;
        }
    }
    return TTrashFolder{root};
}

dev_t deviceOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_dev : 0;
}

// The top folder of the mount that holds folder (an absolute path without links): the highest folder
// above it on the same device.
std::string topFolderOf(const std::string& folder) {
    const dev_t device = deviceOf(folder);
    std::string top = folder;
    while (top != "/") {
        const std::size_t cut = top.find_last_of('/');
        const std::string parent = cut == 0 ? std::string("/") : top.substr(0, cut);
        if (deviceOf(parent) != device)
            break;
        top = parent;
    }
    return top;
}

std::string joined(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// The trash of the mount whose top folder is top: $top/.Trash/$uid when $top/.Trash is a real folder
// with the sticky bit (an administrator made it for all users), else $top/.Trash-$uid.
std::optional<TTrashFolder> topTrash(const std::string& top, int& error) {
    const std::string uid = std::to_string(::getuid());
    const std::string shared = joined(top, ".Trash");
    struct stat info {};
    if (::lstat(shared.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX) != 0) {
        if (auto trash = prepare(shared + "/" + uid, true, error))
            return trash;
    }
    return prepare(joined(top, ".Trash-" + uid), true, error);
}

// The trash for a file in folder (absolute, without links): the home trash when it is on the same
// disk, else the trash of the file's mount.
std::optional<TTrashFolder> trashFor(const std::string& folder, int& error) {
    const std::string home = homeTrashPath();
    if (!home.empty()) {
        // Before it is made, the home trash is on the disk of the nearest folder above it that exists.
        std::string existing = home;
        while (deviceOf(existing) == 0 && existing != "/")
            existing = existing.substr(0, std::max<std::size_t>(existing.find_last_of('/'), 1));
        if (deviceOf(existing) == deviceOf(folder))
            return prepare(home, false, error);
    }
    const std::string top = topFolderOf(folder);
    if (top == "/") {
        // The root file system is the home trash's business; without a home there is no trash.
        error = home.empty() ? ENOENT : EXDEV;
        return std::nullopt;
    }
    return topTrash(top, error);
}

// The file at path, split into its folder (absolute, without links) and its name; nothing when the
// folder cannot be resolved.
std::optional<std::pair<std::string, std::string>> locate(const std::string& native) {
    const std::size_t start = NameStart(native);
    const std::string name = native.substr(start);
    const std::string folder = start == 0 ? std::string(".") : native.substr(0, start);
    char resolved[PATH_MAX];
    if (name.empty() || name == "." || name == ".." || !::realpath(folder.c_str(), resolved))
        return std::nullopt;
    return std::pair{std::string(resolved), name};
}

// The path as a .trashinfo holds it: bytes outside the unreserved characters and "/" as %XX.
std::string percentEncoded(const std::string& path) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
            c == '-' || c == '_' || c == '.' || c == '~' || c == '/') {
            text += c;
        } else {
            text += '%';
            text += digits[byte >> 4];
            text += digits[byte & 0xF];
        }
    }
    return text;
}

std::optional<std::string> percentDecoded(const std::string& text) {
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    std::string path;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            path += text[i];
            continue;
        }
        if (i + 2 >= text.size() || digit(text[i + 1]) < 0 || digit(text[i + 2]) < 0)
            return std::nullopt;
        path += static_cast<char>(digit(text[i + 1]) * 16 + digit(text[i + 2]));
        i += 2;
    }
    return path;
}

std::string deletionDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// The name a file gets in the trash, attempt 0 being its own: "t.env", "t.2.env", "t.3.env", ...
std::string trashName(const std::string& name, int attempt) {
    if (attempt == 0)
        return name;
    const std::size_t dot = name.find_last_of('.');
    const std::size_t cut = dot == std::string::npos || dot == 0 ? name.size() : dot;
    return name.substr(0, cut) + "." + std::to_string(attempt + 1) + name.substr(cut);
}

// Moves the file original (lstat: what it is) into trash: its record first, made exclusively so that
// the name is ours, then the file under the same name, never replacing. Checks that the file is there.
TTrashResult moveInto(const TTrashFolder& trash, const std::string& original, const struct stat& what) {
    const std::string record =
        "[Trash Info]\nPath=" + percentEncoded(original) + "\nDeletionDate=" + deletionDate() + "\n";
    for (int attempt = 0; attempt < TrashNameAttempts; ++attempt) {
        const std::string name = trashName(original.substr(original.find_last_of('/') + 1), attempt);
        const std::string info = trash.root + "/info/" + name + InfoSuffix;
        const int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return {TTrashOutcome::Refused, {}, TFileError{errno}};
        }
        TUniqueFile file(::fdopen(fd, "w"));
        if (!file)
            ::close(fd);
        errno = 0;
        if (!file || std::fputs(record.c_str(), file.get()) < 0 || std::fflush(file.get()) != 0 ||
            ::fsync(::fileno(file.get())) != 0 || !file.close()) {
            const int error = errno != 0 ? errno : EIO;
            ::unlink(info.c_str());
            return {TTrashOutcome::Refused, {}, TFileError{error}};
        }
        const std::string trashed = trash.root + "/files/" + name;
        const TFileError moved = RenameNativeNoReplace(original, trashed);
        if (moved.code == EEXIST) {
            ::unlink(info.c_str());
            continue;
        }
        if (moved.Failed()) {
            ::unlink(info.c_str());
            return {TTrashOutcome::Refused, {}, moved};
        }
        struct stat there {};
        if (::lstat(trashed.c_str(), &there) != 0 || there.st_dev != what.st_dev ||
            there.st_ino != what.st_ino)
            return {TTrashOutcome::Refused, {}, TFileError{EIO}};
        return {TTrashOutcome::Trashed, trashed, {}};
    }
    return {TTrashOutcome::Refused, {}, TFileError{EEXIST}};
}

} // namespace

bool WouldGoToTrash(const std::string& path) {
    const auto located = locate(NativePath(path));
    int error = 0;
    return located && trashFor(located->first, error).has_value();
}

TTrashResult MoveToTrash(const std::string& path, TWithoutTrash withoutTrash) {
    const std::string native = NativePath(path);
    struct stat what {};
    if (::lstat(native.c_str(), &what) != 0)
        return {TTrashOutcome::Refused, {}, TFileError{errno}};
    if (S_ISDIR(what.st_mode))
        return {TTrashOutcome::Refused, {}, TFileError{EISDIR}};
    const auto located = locate(native);
    if (!located)
        return {TTrashOutcome::Refused, {}, TFileError{ENOENT}};
    int error = 0;
    if (const auto trash = trashFor(located->first, error)) {
        TTrashResult result = moveInto(*trash, joined(located->first, located->second), what);
        // A trash on the same device that still cannot take the file (a bind mount between them) is no
        // trash for it.
        if (result.outcome == TTrashOutcome::Trashed || result.error.code != EXDEV)
            return result;
        error = EXDEV;
    }
    if (withoutTrash == TWithoutTrash::Refuse)
        return {TTrashOutcome::Refused, {}, TFileError{error}};
    if (::unlink(native.c_str()) != 0)
        return {TTrashOutcome::Refused, {}, TFileError{errno}};
    return {TTrashOutcome::Deleted, {}, {}};
}

TFileError RestoreFromTrash(const std::string& trashedPath) {
    const std::size_t cut = trashedPath.rfind("/files/");
    if (cut == std::string::npos)
        return TFileError{EINVAL};
    const std::string name = trashedPath.substr(cut + 7);
    const std::string info = trashedPath.substr(0, cut) + "/info/" + name + InfoSuffix;
    errno = 0;
    const std::optional<std::string> record = ReadSmallFile(info, 65536);
    if (!record)
        return TFileError{errno != 0 ? errno : EINVAL};
    const std::string& text = *record;
    const std::size_t key = text.find("\nPath=");
    if (key == std::string::npos)
        return TFileError{EINVAL};
    const std::size_t start = key + 6;
    const auto original = percentDecoded(text.substr(start, text.find('\n', start) - start));
    if (!original || original->empty() || (*original)[0] != '/')
        return TFileError{EINVAL};
    if (const TFileError moved = RenameNativeNoReplace(trashedPath, *original); moved.Failed())
        return moved;
    ::unlink(info.c_str());
    return {};
}
