#include "FileOps.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "CopyFaults.h"
#include "Exceptions.h"
#include "Handles.h"
#include "NativePath.h"
#include "PathParts.h"
#include "TextCase.h"

#ifdef _WIN32
#include <windows.h>
// <windows.h> maps DeleteFile to DeleteFileW again; ours is the one declared in FileOps.h.
#undef DeleteFile

#include "WinText.h"
#else
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Counts the steps of one copy against the injected faults.
class TFaultCounter {
public:
    explicit TFaultCounter(const TCopyFaults& faults) : m_faults(faults) {}
    bool readFails() { return m_faults.failReadAt > 0 && ++m_reads == m_faults.failReadAt; }
    bool writeFails() { return m_faults.failWriteAt > 0 && ++m_writes == m_faults.failWriteAt; }
    bool flushFails() const { return m_faults.failFlush; }

private:
    const TCopyFaults& m_faults;
    int m_reads = 0;
    int m_writes = 0;
};

// 16 random hexadecimal digits for a temporary name. Hex digits never spell "env", so a temporary
// file in an event folder is never taken for a track.
std::string randomHex() {
    static std::mt19937_64 generator{std::random_device{}()};
    const std::uint64_t value = generator();
    static const char digits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 0; i < 16; ++i)
        text[static_cast<std::size_t>(i)] = digits[(value >> (4 * i)) & 0xF];
    return text;
}

constexpr int TemporaryNameAttempts = 100;

} // namespace

void CopyFileReplacing(const std::string& source, const std::string& destination) {
    CopyFileReplacingWithFaults(source, destination, TCopyFaults{});
}

#ifdef _WIN32

namespace {

std::wstring wide(const std::string& path) {
    return WideFromUtf8(path);
}

// A new file with a unique name in a folder ("" or ending in a separator), removed again unless kept.
class TTemporaryFile {
public:
    explicit TTemporaryFile(const std::string& folder) : m_handle(INVALID_HANDLE_VALUE) {
        for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
            std::wstring path = wide(folder + "~tm-copy-" + randomHex() + ".tmp");
            const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle != INVALID_HANDLE_VALUE) {
                m_handle = handle;
                m_path = std::move(path);
                return;
            }
            if (::GetLastError() != ERROR_FILE_EXISTS)
                return;
        }
    }
    ~TTemporaryFile() {
        close();
        if (!m_path.empty())
            ::DeleteFileW(m_path.c_str());
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    bool created() const { return !m_path.empty(); }
    HANDLE handle() const { return m_handle; }
    const std::wstring& path() const { return m_path; }
    // Closes the file; false when closing failed.
    bool close() {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return handle == INVALID_HANDLE_VALUE || ::CloseHandle(handle) != 0;
    }
    // The file has been moved into place: nothing to remove.
    void keep() { m_path.clear(); }

private:
    HANDLE m_handle;
    std::wstring m_path;
};

bool readAll(HANDLE file, unsigned char* buffer, DWORD count) {
    DWORD done = 0;
    while (done < count) {
        DWORD got = 0;
        if (!::ReadFile(file, buffer + done, count - done, &got, nullptr) || got == 0)
            return false;
        done += got;
    }
    return true;
}

bool writeAll(HANDLE file, const unsigned char* buffer, DWORD count) {
    DWORD done = 0;
    while (done < count) {
        DWORD put = 0;
        if (!::WriteFile(file, buffer + done, count - done, &put, nullptr) || put == 0)
            return false;
        done += put;
    }
    return true;
}

} // namespace

bool RenameFile(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING the rename fails when to exists (names compared without regard to
    // case); a change of the letter case of the same file and a rename onto its own name succeed.
    return ::MoveFileExW(wide(from).c_str(), wide(to).c_str(), 0) != 0;
}

bool DeleteFile(const std::string& path) {
    return ::DeleteFileW(wide(path).c_str()) != 0;
}

TFolderRenamer::TFolderRenamer(const std::string& folder) : m_folder(folder) {}

TFolderRenamer::~TFolderRenamer() = default;

bool TFolderRenamer::Rename(const std::string& from, const std::string& to) {
    if (NameStart(from) != 0 || NameStart(to) != 0)
        return false;
    // Windows itself compares the names without regard to case, and never replaces without the flag.
    return RenameFile(m_folder + from, m_folder + to);
}

void CopyFileReplacingWithFaults(const std::string& source, const std::string& destination,
                                 const TCopyFaults& injected) {
    TUniqueWinHandle in(::CreateFileW(wide(source).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                                      nullptr));
    BY_HANDLE_FILE_INFORMATION sourceInfo{};
    LARGE_INTEGER size{};
    if (!in.valid() || ::GetFileType(in.get()) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandle(in.get(), &sourceInfo) || !::GetFileSizeEx(in.get(), &size))
        throw EFOpenError(source);

    const std::wstring wideDestination = wide(destination);
    {
        // Access 0 reads only the attributes, so neither our handle nor others stand in the way.
        const TUniqueWinHandle old(
            ::CreateFileW(wideDestination.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        BY_HANDLE_FILE_INFORMATION oldInfo{};
        if (old.valid() && ::GetFileInformationByHandle(old.get(), &oldInfo)) {
            const bool sameFile = oldInfo.dwVolumeSerialNumber == sourceInfo.dwVolumeSerialNumber &&
                                  oldInfo.nFileIndexHigh == sourceInfo.nFileIndexHigh &&
                                  oldInfo.nFileIndexLow == sourceInfo.nFileIndexLow;
            if (sameFile ||
                (oldInfo.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
                throw EFCreateError(destination);
        }
    }

    TTemporaryFile temporary(FolderPart(destination));
    if (!temporary.created())
        throw EFCreateError(destination);

    TFaultCounter faults(injected);
    std::vector<unsigned char> buffer(CopyChunkSize);
    long long remaining = size.QuadPart;
    while (remaining > 0) {
        const DWORD count = remaining < CopyChunkSize ? static_cast<DWORD>(remaining) : DWORD{CopyChunkSize};
        if (faults.readFails() || !readAll(in.get(), buffer.data(), count))
            throw EReadError();
        if (faults.writeFails() || !writeAll(temporary.handle(), buffer.data(), count))
            throw EWriteError();
        remaining -= count;
    }
    if (faults.flushFails() || !::FlushFileBuffers(temporary.handle()) || !temporary.close())
        throw EWriteError();
    if (!::MoveFileExW(temporary.path().c_str(), wideDestination.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw EFCreateError(destination);
    temporary.keep();
}

#else

namespace {

// A new file with a unique name in a folder, removed again unless kept.
class TTemporaryFile {
public:
    explicit TTemporaryFile(const std::string& folder) {
        for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
            std::string path =
                folder + (folder.back() == '/' ? "" : "/") + ".tm-copy-" + randomHex() + ".tmp";
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                m_fd = fd;
                m_path = std::move(path);
                return;
            }
            if (errno != EEXIST)
                return;
        }
    }
    ~TTemporaryFile() {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    bool created() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }
    // Closes the file; false when closing reported a failure.
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return fd >= 0 && ::close(fd) == 0;
    }
    // The file has been renamed into place: nothing to remove.
    void keep() { m_path.clear(); }

private:
    int m_fd = -1;
    std::string m_path;
};

struct TSplitPath {
    std::string folder; // native, without a trailing "/" unless it is the root
    std::string name;
};

std::string joinNative(const std::string& folder, const std::string& name) {
    return folder + (folder.back() == '/' ? "" : "/") + name;
}

// A native path's folder and last component.
TSplitPath splitNative(const std::string& native) {
    const std::size_t nameStart = NameStart(native);
    if (nameStart == 0)
        return {".", native};
    return {nameStart == 1 ? std::string("/") : native.substr(0, nameStart - 1), native.substr(nameStart)};
}

// The native folder of a Windows-style or native path, and its last component as given: the name a
// file is to get, which must not be matched against existing names the way NativePath does.
TSplitPath splitGiven(const std::string& path) {
    std::string folder = NativePath(FolderPart(path));
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return {folder, FileNamePart(path)};
}

bool isFileName(const std::string& name) {
    return !name.empty() && name != "." && name != "..";
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Renames without ever replacing: 0, or the errno of the failure (EEXIST when the name is taken).
// Paths are taken relative to the folder descriptors (AT_FDCWD: the working folder).
int renameNoReplaceAt(int fromDir, const char* from, int toDir, const char* to) {
    if (::renameat2(fromDir, from, toDir, to, RENAME_NOREPLACE) == 0)
        return 0;
    const int error = errno;
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP && error != ENOTSUP)
        return error;
    // NOTE: NFS, 9p and many FUSE servers cannot rename without replacing. A new hard link fails when the
    // name is taken, so link + unlink never replaces either; for a moment the file has both names.
    if (::linkat(fromDir, from, toDir, to, 0) != 0)
        return errno;
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

// True when a file of folder other than the one named except has a name equal to name without regard
// to case; also when the folder cannot be read, since then nothing can be promised.
bool nameTaken(const std::string& folder, const std::string& name, const std::string* except) {
    const TUniqueDir dir(::opendir(folder.c_str()));
    if (!dir)
        return true;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (SameNameIgnoringCase(entry->d_name, name) && !(except && *except == entry->d_name))
            return true;
    }
    return false;
}

bool readAt(int fd, unsigned char* buffer, std::size_t count, off_t offset) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::pread(fd, buffer + done, count - done, offset + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

bool writeAll(int fd, const unsigned char* buffer, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t put = ::write(fd, buffer + done, count - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}

// Makes a rename in folder durable; best effort, since not every file system can flush a folder.
void syncFolder(const std::string& folder) {
    const TUniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
}

} // namespace

bool RenameFile(const std::string& from, const std::string& to) {
    const std::string nativeFrom = NativePath(from);
    struct stat fromStat {};
    if (::lstat(nativeFrom.c_str(), &fromStat) != 0)
        return false;
    const TSplitPath source = splitNative(nativeFrom);
    const TSplitPath target = splitGiven(to);
    if (!isFileName(source.name) || !isFileName(target.name))
        return false;
    struct stat sourceFolder {};
    struct stat targetFolder {};
    if (::stat(source.folder.c_str(), &sourceFolder) != 0 ||
        ::stat(target.folder.c_str(), &targetFolder) != 0)
        return false;
    const bool sameFolder = sameFile(sourceFolder, targetFolder);

    // Windows names are unique without regard to case: any other file whose name matches blocks the
    // rename, even where this file system would hold both names.
    if (nameTaken(target.folder, target.name, sameFolder ? &source.name : nullptr))
        return false;
    const std::string targetPath = joinNative(target.folder, target.name);
    if (!sameFolder || !SameNameIgnoringCase(source.name, target.name))
        return renameNoReplace(nativeFrom, targetPath) == 0;
    if (source.name == target.name)
        return true;

    // Only the letter case changes. A folder that ignores case (vfat, ext4 with casefold) would find the
    // file itself in the way of a direct rename, or keep the old name, so go through a temporary name.
    for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
        const std::string temporary = joinNative(source.folder, ".tm-rename-" + randomHex() + ".tmp");
        const int error = renameNoReplace(nativeFrom, temporary);
        if (error == EEXIST)
            continue;
        if (error != 0)
            return false;
        if (renameNoReplace(temporary, targetPath) == 0)
            return true;
        renameNoReplace(temporary, nativeFrom);
        return false;
    }
    return false;
}

bool DeleteFile(const std::string& path) {
    return ::unlink(NativePath(path).c_str()) == 0;
}

TFolderRenamer::TFolderRenamer(const std::string& folder) {
    const std::string native = NativePath(folder.empty() ? std::string(".") : folder);
    TUniqueFd dir(::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir)
        return; // every rename fails
    const int listed = ::dup(dir.get());
    TUniqueDir names(listed >= 0 ? ::fdopendir(listed) : nullptr);
    if (!names) {
        if (listed >= 0)
            ::close(listed);
        return;
    }
    while (const dirent* entry = ::readdir(names.get()))
        m_names[FoldedName(entry->d_name)].emplace_back(entry->d_name);
    m_dir = dir.release();
}

TFolderRenamer::~TFolderRenamer() {
    if (m_dir >= 0)
        ::close(m_dir);
}

bool TFolderRenamer::Rename(const std::string& from, const std::string& to) {
    if (m_dir < 0 || !isFileName(from) || !isFileName(to) || NameStart(from) != 0 || NameStart(to) != 0)
        return false;
    const std::string foldedFrom = FoldedName(from);
    const auto found = m_names.find(foldedFrom);
    if (found == m_names.end())
        return false;
    // The file under its exact name, else under another letter case, as Windows finds it.
    std::vector<std::string>& spellings = found->second;
    const auto exact = std::find(spellings.begin(), spellings.end(), from);
    const std::string source = exact != spellings.end() ? *exact : spellings.front();

    const std::string foldedTo = FoldedName(to);
    const auto taken = m_names.find(foldedTo);
    if (taken != m_names.end() && std::any_of(taken->second.begin(), taken->second.end(),
                                              [&](const std::string& name) { return name != source; }))
        return false;
    if (source == to)
        return true;

    if (foldedTo != foldedFrom) {
        if (renameNoReplaceAt(m_dir, source.c_str(), m_dir, to.c_str()) != 0)
            return false;
    } else {
        // Only the letter case changes: through a temporary name, as RenameFile does.
        bool renamed = false;
        for (int attempt = 0; attempt < TemporaryNameAttempts && !renamed; ++attempt) {
            const std::string temporary = ".tm-rename-" + randomHex() + ".tmp";
            const int error = renameNoReplaceAt(m_dir, source.c_str(), m_dir, temporary.c_str());
            if (error == EEXIST)
                continue;
            if (error != 0)
                return false;
            if (renameNoReplaceAt(m_dir, temporary.c_str(), m_dir, to.c_str()) != 0) {
                renameNoReplaceAt(m_dir, temporary.c_str(), m_dir, source.c_str());
                return false;
            }
            renamed = true;
        }
        if (!renamed)
            return false;
    }
    // found may no longer be valid once to's entry is made: drop the old name first.
    spellings.erase(std::find(spellings.begin(), spellings.end(), source));
    if (spellings.empty())
        m_names.erase(foldedFrom);
    m_names[foldedTo].push_back(to);
    return true;
}

void CopyFileReplacingWithFaults(const std::string& source, const std::string& destination,
                                 const TCopyFaults& injected) {
    // O_NONBLOCK: a FIFO named like a track must not wait for a writer; it is refused below.
    const TUniqueFd in(::open(NativePath(source).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat sourceStat {};
    if (in.get() < 0 || ::fstat(in.get(), &sourceStat) != 0 || !S_ISREG(sourceStat.st_mode))
        throw EFOpenError(source);

    const std::string nativeDestination = NativePath(destination);
    const TSplitPath target = splitNative(nativeDestination);
    if (!isFileName(target.name))
        throw EFCreateError(destination);
    // The destination as it is now. Replacing the source itself (another spelling of its path, another
    // letter case, a hard link) and then deleting the source of a move would lose the track.
    struct stat old {};
    const bool replacing = ::stat(nativeDestination.c_str(), &old) == 0;
    if (replacing && (sameFile(old, sourceStat) || !S_ISREG(old.st_mode) ||
                      ::faccessat(AT_FDCWD, nativeDestination.c_str(), W_OK, AT_EACCESS) != 0))
        throw EFCreateError(destination);

    TTemporaryFile temporary(target.folder);
    if (!temporary.created())
        throw EFCreateError(destination);
    if (replacing) {
        // The copy keeps the permissions of the file it replaces where it can.
        [[maybe_unused]] const int kept = ::fchmod(temporary.fd(), old.st_mode & 07777);
    }

    TFaultCounter faults(injected);
    std::vector<unsigned char> buffer(CopyChunkSize);
    off_t offset = 0;
    while (offset < sourceStat.st_size) {
        const std::size_t count = sourceStat.st_size - offset < CopyChunkSize
                                      ? static_cast<std::size_t>(sourceStat.st_size - offset)
                                      : std::size_t{CopyChunkSize};
        if (faults.readFails() || !readAt(in.get(), buffer.data(), count, offset))
            throw EReadError();
        if (faults.writeFails() || !writeAll(temporary.fd(), buffer.data(), count))
            throw EWriteError();
        offset += static_cast<off_t>(count);
    }
    if (faults.flushFails() || ::fsync(temporary.fd()) != 0 || !temporary.close())
        throw EWriteError();
    if (::rename(temporary.path().c_str(), nativeDestination.c_str()) != 0)
        throw EFCreateError(destination);
    temporary.keep();
    syncFolder(target.folder);
}

#endif
