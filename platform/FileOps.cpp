#include "FileOps.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
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
#include <sys/file.h>
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
    void afterRead(int chunk) const {
        if (m_faults.afterRead)
            m_faults.afterRead(chunk);
    }

private:
    const TCopyFaults& m_faults;
    int m_reads = 0;
    int m_writes = 0;
};

// 16 hexadecimal digits of value. Hex digits never spell "env", so a temporary file in an event folder
// is never taken for a track.
std::string hexOf(std::uint64_t value) {
    static const char digits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 0; i < 16; ++i)
        text[static_cast<std::size_t>(i)] = digits[(value >> (4 * i)) & 0xF];
    return text;
}

std::string randomHex() {
    static std::mt19937_64 generator{std::random_device{}()};
    return hexOf(generator());
}

// The 16 digits that make a temporary name the program's own: drawn from the identity of the file that
// bears it (its inode or file index), which a look-alike that the player or another program made, or
// copied from elsewhere, matches only by a chance of one in 2^64. A temporary under another name is
// never touched by a later run.
std::string proofOf(std::uint64_t fileId) {
    // NOTE: splitmix64's finaliser, so that neighbouring file numbers give unrelated digits.
    std::uint64_t z = fileId + 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return hexOf(z ^ (z >> 31));
}

constexpr int TemporaryNameAttempts = 100;

// "~tm-copy-<16 hex digits>.tmp": a copy on its way to its destination. No "env" in it, so it is never
// taken for a track.
constexpr char CopyTag[] = "~tm-copy-";
constexpr std::size_t CopyTagLength = sizeof CopyTag - 1;
constexpr std::size_t CopyNameLength = CopyTagLength + 16 + 4;
// "~tm-track-<16 hex digits>-<name>": a track under a temporary name that is to get name: between the
// two renames of a letter-case change, or set aside by a move while its source is checked. It ends in
// the name's extension, so the list shows it until it has its name.
constexpr char TrackTag[] = "~tm-track-";
constexpr std::size_t TrackTagLength = sizeof TrackTag - 1;

std::string copyTemporaryName(const std::string& hex) {
    return CopyTag + hex + ".tmp";
}

std::string trackTemporaryName(const std::string& hex, const std::string& name) {
    return TrackTag + hex + "-" + name;
}

bool isHex(const std::string& text, std::size_t from, std::size_t count) {
    if (text.size() < from + count)
        return false;
    for (std::size_t i = from; i < from + count; ++i) {
        const char c = text[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

// The 16 digits of a copy temporary's name; empty for any other name.
std::string copyTemporaryDigits(const std::string& name) {
    if (name.size() != CopyNameLength || name.compare(0, CopyTagLength, CopyTag) != 0 ||
        !isHex(name, CopyTagLength, 16) || name.compare(name.size() - 4, 4, ".tmp") != 0)
        return {};
    return name.substr(CopyTagLength, 16);
}

// The 16 digits of a track temporary's name and the name it is to get; empty for any other name.
[[maybe_unused]] std::pair<std::string, std::string> trackTemporaryParts(const std::string& name) {
    if (name.compare(0, TrackTagLength, TrackTag) != 0 || !isHex(name, TrackTagLength, 16) ||
        name.size() <= TrackTagLength + 17 || name[TrackTagLength + 16] != '-')
        return {};
    return {name.substr(TrackTagLength, 16), name.substr(TrackTagLength + 17)};
}

} // namespace

const char* const TemporaryNamePrefix = "~tm-";

TCopyResult CopyFileReplacing(const std::string& source, const std::string& destination,
                              const std::vector<TFileStamp>& keep) {
    return CopyFileReplacingWithFaults(source, destination, TCopyFaults{}, keep);
}

TCopyResult CopyFileReplacingWithFaults(const std::string& source, const std::string& destination,
                                        const TCopyFaults& faults, const std::vector<TFileStamp>& keep) {
    TPendingCopy copy(source, destination, keep, faults);
    copy.Flush();
    const TCopyResult result = copy.Place(keep);
    FlushFolderOf(destination);
    return result;
}

TDeletion DeleteFileIfUnchanged(const std::string& path, const TFileStamp& stamp) {
    return DeleteFileIfUnchangedWithFaults(path, stamp, TCopyFaults{});
}

#ifdef _WIN32

namespace {

std::wstring wide(const std::string& path) {
    return WideFromUtf8(path);
}

std::wstring fullPath(const std::wstring& path);

// Renames the file open as handle (with DELETE access) to path, never replacing a file there.
bool renameOpenFile(HANDLE handle, const std::wstring& path) {
    const std::wstring full = fullPath(path);
    if (full.empty())
        return false;
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + full.size() * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(full.size() * sizeof(wchar_t));
    std::memcpy(info->FileName, full.data(), info->FileNameLength);
    return ::SetFileInformationByHandle(handle, FileRenameInfo, info, static_cast<DWORD>(buffer.size())) != 0;
}

// A new file with a unique name in a folder ("" or ending in a separator), removed again unless kept.
// Made under a random name, it takes the name of its proof (proofOf its file index) at once, so that
// TidyFolder knows a dead one for the program's own; should that fail, it keeps the random name, which
// no later run touches.
class TTemporaryFile {
public:
    explicit TTemporaryFile(const std::string& folder) : m_handle(INVALID_HANDLE_VALUE) {
        for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
            std::wstring path = wide(folder + copyTemporaryName(randomHex()));
            const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                                FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle != INVALID_HANDLE_VALUE) {
                m_handle = handle;
                m_path = std::move(path);
                BY_HANDLE_FILE_INFORMATION info{};
                if (::GetFileInformationByHandle(handle, &info)) {
                    std::wstring proven =
                        wide(folder + copyTemporaryName(proofOf(std::uint64_t{info.nFileIndexHigh} << 32 |
                                                                info.nFileIndexLow)));
                    if (renameOpenFile(handle, proven))
                        m_path = std::move(proven);
                }
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

// The volume and file index of an existing file or folder, or nothing.
std::optional<std::pair<DWORD, ULONGLONG>> fileId(const std::wstring& path) {
    // Access 0 reads only the attributes, so no other handle stands in the way.
    const TUniqueWinHandle file(::CreateFileW(path.c_str(), 0,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.valid() || !::GetFileInformationByHandle(file.get(), &info))
        return std::nullopt;
    return std::pair{info.dwVolumeSerialNumber, (ULONGLONG{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

std::wstring fullPath(const std::wstring& path) {
    const DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    const DWORD written = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    full.resize(written < size ? written : 0);
    return full;
}

TFileStamp stampOf(const BY_HANDLE_FILE_INFORMATION& info) {
    TFileStamp stamp;
    stamp.device = info.dwVolumeSerialNumber;
    stamp.file = static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    stamp.size =
        static_cast<std::int64_t>(static_cast<std::uint64_t>(info.nFileSizeHigh) << 32 | info.nFileSizeLow);
    stamp.modified =
        static_cast<std::int64_t>(static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32 |
                                  info.ftLastWriteTime.dwLowDateTime);
    return stamp;
}

} // namespace

TFileError RenameFile(const std::string& from, const std::string& to) {
    const std::wstring wideFrom = wide(from);
    const std::wstring wideTo = wide(to);
    const auto source = fileId(wideFrom);
    if (!source)
        return {static_cast<int>(::GetLastError())};
    // Without MOVEFILE_REPLACE_EXISTING the rename fails when another file has the name to, in any
    // letter case. But a name of the file itself (its own in another case, or a hard link's) is not
    // refused: Wine then reports success and renames nothing.
    if (fileId(wideTo) == source) {
        const std::wstring fullFrom = fullPath(wideFrom);
        const std::wstring fullTo = fullPath(wideTo);
        if (fullFrom.empty() || fullFrom.size() != fullTo.size() ||
            ::CompareStringOrdinal(fullFrom.data(), static_cast<int>(fullFrom.size()), fullTo.data(),
                                   static_cast<int>(fullTo.size()), TRUE) != CSTR_EQUAL)
            return {ERROR_ALREADY_EXISTS}; // another name of the same file
        if (fullFrom == fullTo)
            return {};
        // Only the letter case changes: through a unique temporary name, which works everywhere. It ends
        // in the new name, so that a kill between the two renames leaves the track in the list.
        const std::size_t cut = fullFrom.find_last_of(L"\\/");
        const std::wstring folder = fullFrom.substr(0, cut + 1);
        const std::wstring newName = fullTo.substr(cut + 1);
        for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
            const std::wstring temporary = folder + wide(trackTemporaryName(randomHex(), "")) + newName;
            if (!::MoveFileExW(wideFrom.c_str(), temporary.c_str(), 0)) {
                const DWORD error = ::GetLastError();
                if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
                    continue;
                return {static_cast<int>(error)};
            }
            if (::MoveFileExW(temporary.c_str(), wideTo.c_str(), 0))
                return {};
            const DWORD error = ::GetLastError();
            ::MoveFileExW(temporary.c_str(), wideFrom.c_str(), 0);
            return {static_cast<int>(error)};
        }
        return {ERROR_ALREADY_EXISTS};
    }
    if (::MoveFileExW(wideFrom.c_str(), wideTo.c_str(), 0))
        return {};
    return {static_cast<int>(::GetLastError())};
}

TFileError DeleteFile(const std::string& path) {
    if (::DeleteFileW(wide(path).c_str()))
        return {};
    return {static_cast<int>(::GetLastError())};
}

TFolderRenamer::TFolderRenamer(const std::string& folder) : m_folder(folder) {}

TFolderRenamer::~TFolderRenamer() = default;

TFolderNames::TFolderNames(const std::string& folder) : m_folder(folder) {}

// Windows matches the names itself.
std::string TFolderNames::PathOf(const std::string& name) const {
    return m_folder + name;
}

void TFolderNames::Add(const std::string&) {}

TFileError TFolderRenamer::Rename(const std::string& from, const std::string& to) {
    if (NameStart(from) != 0 || NameStart(to) != 0)
        return {ERROR_INVALID_NAME};
    // Windows itself compares the names without regard to case, and never replaces without the flag.
    return RenameFile(m_folder + from, m_folder + to);
}

namespace {

// Refuses (EFCreateError) to replace what has the destination's name now when it is the source itself,
// one of the copies in keep, a folder or a read-only file.
void refuseUnlessReplaceable(const std::wstring& wideDestination, const std::string& destination,
                             const TFileStamp& source, const std::vector<TFileStamp>& keep) {
    // Access 0 reads only the attributes, so neither our handles nor others stand in the way.
    const TUniqueWinHandle old(::CreateFileW(wideDestination.c_str(), 0,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION oldInfo{};
    if (!old.valid() || !::GetFileInformationByHandle(old.get(), &oldInfo))
        return;
    const TFileStamp oldStamp = stampOf(oldInfo);
    bool wroteIt = oldStamp.SameFile(source);
    for (const TFileStamp& written : keep)
        wroteIt = wroteIt || oldStamp.SameFile(written);
    if (wroteIt || (oldInfo.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
        throw EFCreateError(destination);
}

} // namespace

struct TPendingCopy::TState {
    explicit TState(const std::string& folder) : temporary(folder) {}
    std::string destination;
    TFileStamp source;
    TFileStamp written;
    bool failFlush = false;
    TTemporaryFile temporary;
};

TPendingCopy::TPendingCopy(const std::string& source, const std::string& destination,
                           const std::vector<TFileStamp>& keep, const TCopyFaults& injected, std::string) {
    const TUniqueWinHandle in(::CreateFileW(wide(source).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                                            nullptr));
    BY_HANDLE_FILE_INFORMATION sourceInfo{};
    LARGE_INTEGER size{};
    if (!in.valid() || ::GetFileType(in.get()) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandle(in.get(), &sourceInfo) || !::GetFileSizeEx(in.get(), &size))
        throw EFOpenError(source);
    const TFileStamp sourceStamp = stampOf(sourceInfo);
    refuseUnlessReplaceable(wide(destination), destination, sourceStamp, keep);

    auto state = std::make_unique<TState>(FolderPart(destination));
    if (!state->temporary.created())
        throw EFCreateError(destination, TFileError{static_cast<int>(::GetLastError())});
    state->destination = destination;
    state->source = sourceStamp;
    state->failFlush = injected.failFlush;

    TFaultCounter faults(injected);
    std::vector<unsigned char> buffer(CopyChunkSize);
    long long remaining = size.QuadPart;
    int chunk = 0;
    while (remaining > 0) {
        const DWORD count = remaining < CopyChunkSize ? static_cast<DWORD>(remaining) : DWORD{CopyChunkSize};
        if (faults.readFails() || !readAll(in.get(), buffer.data(), count))
            throw EReadError();
        faults.afterRead(++chunk);
        if (faults.writeFails() || !writeAll(state->temporary.handle(), buffer.data(), count))
            throw EWriteError();
        remaining -= count;
    }
    BY_HANDLE_FILE_INFORMATION endInfo{};
    if (!::GetFileInformationByHandle(in.get(), &endInfo) || stampOf(endInfo) != sourceStamp)
        throw EFileChanged(source);
    m_state = std::move(state);
}

void TPendingCopy::Flush() {
    TState& state = *m_state;
    BY_HANDLE_FILE_INFORMATION copyInfo{};
    if (state.failFlush || !::FlushFileBuffers(state.temporary.handle()) ||
        !::GetFileInformationByHandle(state.temporary.handle(), &copyInfo))
        throw EWriteError();
    state.written = stampOf(copyInfo);
}

TCopyResult TPendingCopy::Place(const std::vector<TFileStamp>& keep, const std::string&) {
    TState& state = *m_state;
    // Windows matches names without regard to case itself.
    const std::wstring wideDestination = wide(state.destination);
    refuseUnlessReplaceable(wideDestination, state.destination, state.source, keep);
    // Open without sharing until now, so that TidyFolder in another running copy of the program
    // leaves it alone.
    if (!state.temporary.close())
        throw EWriteError();
    if (!::MoveFileExW(state.temporary.path().c_str(), wideDestination.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw EFCreateError(state.destination, TFileError{static_cast<int>(::GetLastError())});
    state.temporary.keep();
    return {state.source, state.written};
}

void FlushFolderOf(const std::string&) {}

TDeletion DeleteFileIfUnchangedWithFaults(const std::string& path, const TFileStamp& stamp,
                                          const TCopyFaults& injected) {
    if (injected.beforeDelete)
        injected.beforeDelete(path);
    // The check and the deletion go through one handle, so no other file can take the name between them.
    TUniqueWinHandle file(::CreateFileW(wide(path).c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    const auto failed = [] {
        return TDeletion{TDeleteResult::Failed, TFileError{static_cast<int>(::GetLastError())}};
    };
    if (!file.valid()) {
        // Also when it is gone from its name: renamed away meanwhile (a Stop), it still exists.
        return failed();
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.get(), &info))
        return failed();
    if (stampOf(info) != stamp)
        return {TDeleteResult::Changed, {}};
    if (injected.afterCheck)
        injected.afterCheck(path);
    // NOTE: <windows.h> renames the member DeleteFile to DeleteFileW; aggregate initialisation sidesteps it.
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (!::SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof disposition))
        return failed();
    return file.close() ? TDeletion{TDeleteResult::Deleted, {}} : failed();
}

void TidyFolder(const std::string& folder) {
    std::string prefix = folder;
    if (!prefix.empty() && prefix.back() != '\\' && prefix.back() != '/' && prefix.back() != ':')
        prefix += '\\';
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(wide(prefix + CopyTag + "*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = Utf8FromWide(found.cFileName);
        const std::string digits = copyTemporaryDigits(name);
        if (digits.empty())
            continue;
        // A copy in use is open without sharing, so this open succeeds only for a dead one; and only
        // one whose name is its proof is the program's own.
        const TUniqueWinHandle dead(::CreateFileW(wide(prefix + name).c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                                  0, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                                  nullptr));
        BY_HANDLE_FILE_INFORMATION info{};
        if (!dead.valid() || !::GetFileInformationByHandle(dead.get(), &info) ||
            (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
            proofOf(stampOf(info).file) != digits)
            continue;
        FILE_DISPOSITION_INFO disposition{TRUE};
        ::SetFileInformationByHandle(dead.get(), FileDispositionInfo, &disposition, sizeof disposition);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

#else

namespace {

std::string joinNative(const std::string& folder, const std::string& name) {
    return folder + (folder.back() == '/' ? "" : "/") + name;
}

// True when a file opened unnamed can be given a name through /proc/self/fd (linkat with
// AT_EMPTY_PATH needs a capability that a player's program does not have).
bool unnamedFilesCanBeLinked() {
    static const bool available = ::access("/proc/self/fd", X_OK) == 0;
    return available;
}

int renameNoReplace(const std::string& from, const std::string& to);

// The proof digits of the file open as fd; empty when it cannot be told.
std::string proofOfOpen(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 ? proofOf(static_cast<std::uint64_t>(info.st_ino)) : std::string();
}

// The file of one copy in the destination's folder, removed again unless it reaches its place.
// Unnamed (O_TMPFILE) where the file system allows, so that a copy cut short by a kill leaves nothing
// behind; otherwise named CopyTag... with its proof (proofOf its inode): made under a random name, it
// takes the proven one at once, and should that fail keeps the random name, which no later run
// touches. Either way it is locked (flock) while in use, so that TidyFolder tells a dead one, which
// nobody holds locked, from one in use.
class TTemporaryFile {
public:
    explicit TTemporaryFile(std::string folder) : m_folder(std::move(folder)) {
        if (unnamedFilesCanBeLinked()) {
            m_fd = ::open(m_folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
            if (m_fd >= 0) {
                ::flock(m_fd, LOCK_EX);
                return;
            }
        }
        for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
            std::string path = joinNative(m_folder, copyTemporaryName(randomHex()));
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                ::flock(fd, LOCK_EX);
                m_fd = fd;
                m_path = std::move(path);
                if (const std::string proof = proofOfOpen(fd); !proof.empty()) {
                    std::string proven = joinNative(m_folder, copyTemporaryName(proof));
                    if (renameNoReplace(m_path, proven) == 0)
                        m_path = std::move(proven);
                }
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

    // Puts the file in place of destination (a native path in the same folder), replacing a file
    // there when mayReplace() says so. False, with the file still temporary, when the file system or
    // mayReplace refuses.
    template <typename TCheck> bool moveTo(const std::string& destination, const TCheck& mayReplace) {
        if (m_path.empty()) {
            // An unnamed file takes the destination's name directly when it is free; otherwise a
            // temporary name first, since a link never replaces.
            const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, destination.c_str(), AT_SYMLINK_FOLLOW) == 0)
                return true;
            if (errno != EEXIST || !mayReplace())
                return false;
            const std::string proof = proofOfOpen(m_fd);
            for (int attempt = 0; attempt < TemporaryNameAttempts && m_path.empty(); ++attempt) {
                std::string path = joinNative(
                    m_folder, copyTemporaryName(attempt == 0 && !proof.empty() ? proof : randomHex()));
                if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0)
                    m_path = std::move(path);
                else if (errno != EEXIST)
                    return false;
            }
            if (m_path.empty())
                return false;
        } else if (!mayReplace()) {
            return false;
        }
        if (::rename(m_path.c_str(), destination.c_str()) != 0)
            return false;
        m_path.clear();
        return true;
    }

private:
    std::string m_folder;
    int m_fd = -1;
    std::string m_path;
};

struct TSplitPath {
    std::string folder; // native, without a trailing "/" unless it is the root
    std::string name;
};

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

// Renames without ever replacing: 0, or the errno of the failure (EEXIST when the name is taken).
// Paths are taken relative to the folder descriptors (AT_FDCWD: the working folder).
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

TFileStamp stampOf(const struct stat& info) {
    TFileStamp stamp;
    stamp.device = static_cast<std::uint64_t>(info.st_dev);
    stamp.file = static_cast<std::uint64_t>(info.st_ino);
    stamp.size = static_cast<std::int64_t>(info.st_size);
    stamp.modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return stamp;
}

// Whether old, the file named nativeDestination, may be replaced by a copy of source. Replacing the
// source itself (another spelling of its path, another letter case, a hard link) and then deleting the
// source of a move would lose the track; replacing a copy that the same operation made a moment ago (in
// keep) would lose that track.
bool mayReplace(const struct stat& old, const std::string& nativeDestination, const TFileStamp& source,
                const std::vector<TFileStamp>& keep) {
    const TFileStamp oldStamp = stampOf(old);
    if (oldStamp.SameFile(source) || std::any_of(keep.begin(), keep.end(), [&](const TFileStamp& written) {
            return written.SameFile(oldStamp);
        }))
        return false;
    return S_ISREG(old.st_mode) && ::faccessat(AT_FDCWD, nativeDestination.c_str(), W_OK, AT_EACCESS) == 0;
}

// A native folder without its trailing separators ("/" stays).
std::string bareFolder(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder.empty() ? std::string(".") : folder;
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

namespace {

void readFoldedNames(DIR* dir, TFoldedNames& names) {
    while (const dirent* entry = ::readdir(dir))
        names[FoldedName(entry->d_name)].emplace_back(entry->d_name);
}

// The name of a file as Windows finds it: under its exact name, else the first under another letter
// case; null when there is none.
const std::string* spellingOf(const TFoldedNames& names, const std::string& name) {
    const auto found = names.find(FoldedName(name));
    if (found == names.end())
        return nullptr;
    const std::vector<std::string>& spellings = found->second;
    const auto exact = std::find(spellings.begin(), spellings.end(), name);
    return exact != spellings.end() ? &*exact : &spellings.front();
}

} // namespace

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

struct TPendingCopy::TState {
    explicit TState(std::string folder) : temporary(std::move(folder)) {}
    std::string destination;
    std::string nativeDestination; // as the destination was resolved when the copy began
    TFileStamp source;
    TFileStamp written;
    bool failFlush = false;
    TTemporaryFile temporary;
};

TPendingCopy::TPendingCopy(const std::string& source, const std::string& destination,
                           const std::vector<TFileStamp>& keep, const TCopyFaults& injected,
                           std::string nativeDestination) {
    // O_NONBLOCK: a FIFO named like a track must not wait for a writer; it is refused below.
    const TUniqueFd in(::open(NativePath(source).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat sourceStat {};
    if (in.get() < 0 || ::fstat(in.get(), &sourceStat) != 0 || !S_ISREG(sourceStat.st_mode))
        throw EFOpenError(source);
    const TFileStamp sourceStamp = stampOf(sourceStat);

    if (nativeDestination.empty())
        nativeDestination = NativePath(destination);
    const TSplitPath target = splitNative(nativeDestination);
    if (!isFileName(target.name))
        throw EFCreateError(destination);
    struct stat old {};
    const bool replacing = ::stat(nativeDestination.c_str(), &old) == 0;
    if (replacing && !mayReplace(old, nativeDestination, sourceStamp, keep))
        throw EFCreateError(destination);

    auto state = std::make_unique<TState>(target.folder);
    if (!state->temporary.created())
        throw EFCreateError(destination, TFileError{errno});
    state->destination = destination;
    state->nativeDestination = nativeDestination;
    state->source = sourceStamp;
    state->failFlush = injected.failFlush;
    if (replacing) {
        // The copy keeps the permissions of the file it replaces where it can.
        [[maybe_unused]] const int kept = ::fchmod(state->temporary.fd(), old.st_mode & 07777);
    }

    TFaultCounter faults(injected);
    std::vector<unsigned char> buffer(CopyChunkSize);
    off_t offset = 0;
    int chunk = 0;
    while (offset < sourceStat.st_size) {
        const std::size_t count = sourceStat.st_size - offset < CopyChunkSize
                                      ? static_cast<std::size_t>(sourceStat.st_size - offset)
                                      : std::size_t{CopyChunkSize};
        if (faults.readFails() || !readAt(in.get(), buffer.data(), count, offset))
            throw EReadError();
        faults.afterRead(++chunk);
        if (faults.writeFails() || !writeAll(state->temporary.fd(), buffer.data(), count))
            throw EWriteError();
        offset += static_cast<off_t>(count);
    }
    // Bytes written to the source while it was read may be half in the copy: such a copy is no copy.
    struct stat after {};
    if (::fstat(in.get(), &after) != 0 || stampOf(after) != sourceStamp)
        throw EFileChanged(source);
    // The disk starts on the bytes now, so that the flush of many copies waits for little. Only a hint.
    [[maybe_unused]] const int started =
        ::sync_file_range(state->temporary.fd(), 0, 0, SYNC_FILE_RANGE_WRITE);
    m_state = std::move(state);
}

void TPendingCopy::Flush() {
    TState& state = *m_state;
    struct stat written {};
    if (state.failFlush || ::fsync(state.temporary.fd()) != 0 || ::fstat(state.temporary.fd(), &written) != 0)
        throw EWriteError();
    state.written = stampOf(written);
}

TCopyResult TPendingCopy::Place(const std::vector<TFileStamp>& keep, const std::string& resolvedAgain) {
    TState& state = *m_state;
    const std::string& nativeDestination = resolvedAgain.empty() ? state.nativeDestination : resolvedAgain;
    if (!isFileName(splitNative(nativeDestination).name))
        throw EFCreateError(state.destination);
    const auto replaceable = [&] {
        struct stat old {};
        return ::stat(nativeDestination.c_str(), &old) != 0 ||
               mayReplace(old, nativeDestination, state.source, keep);
    };
    if (!state.temporary.moveTo(nativeDestination, replaceable))
        throw EFCreateError(state.destination, TFileError{errno});
    return {state.source, state.written};
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

#endif

TPendingCopy::TPendingCopy(const std::string& source, const std::string& destination,
                           const std::vector<TFileStamp>& keep)
    : TPendingCopy(source, destination, keep, TCopyFaults{}) {}

TPendingCopy::~TPendingCopy() = default;
TPendingCopy::TPendingCopy(TPendingCopy&&) noexcept = default;
TPendingCopy& TPendingCopy::operator=(TPendingCopy&&) noexcept = default;

const std::string& TPendingCopy::Destination() const {
    return m_state->destination;
}

std::int64_t TPendingCopy::Size() const {
    return m_state->source.size;
}
