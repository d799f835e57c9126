// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileOps.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "CopyFaults.h"
#include "Exceptions.h"
#include "FileOpsInternal.h"
#include "FileOpsPosix.h"
#include "Handles.h"
#include "NativePath.h"

namespace {

// True when a file opened unnamed can be given a name through /proc/self/fd (linkat with
// AT_EMPTY_PATH needs a capability that a player's program does not have).
bool unnamedFilesCanBeLinked() {
    static const bool available = ::access("/proc/self/fd", X_OK) == 0;
    return available;
}

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

} // namespace

struct TPendingCopy::TState {
    explicit TState(std::string folder) : temporary(std::move(folder)) {}
    std::string destination;
    std::string nativeDestination; // as the destination was resolved when the copy began
    TFileStamp source;
    TFileStamp written;
    bool failFlush = false;
    TTemporaryFile temporary;
};

std::unique_ptr<TPendingCopy::TState> TPendingCopy::start(const std::string& destination,
                                                          std::string nativeDestination,
                                                          const TFileStamp& source,
                                                          const std::vector<TFileStamp>& keep) {
    if (nativeDestination.empty())
        nativeDestination = NativePath(destination);
    const TSplitPath target = splitNative(nativeDestination);
    if (!isFileName(target.name))
        throw EFCreateError(destination);
    struct stat old {};
    const bool replacing = ::stat(nativeDestination.c_str(), &old) == 0;
    if (replacing && !mayReplace(old, nativeDestination, source, keep))
        throw EFCreateError(destination);

    auto state = std::make_unique<TState>(target.folder);
    if (!state->temporary.created())
        throw EFCreateError(destination, TFileError{errno});
    state->destination = destination;
    state->nativeDestination = std::move(nativeDestination);
    state->source = source;
    if (replacing) {
        // The copy keeps the permissions of the file it replaces where it can.
        [[maybe_unused]] const int kept = ::fchmod(state->temporary.fd(), old.st_mode & 07777);
    }
    return state;
}

TPendingCopy::TPendingCopy(TByteSource& source, const std::string& destination,
                           const std::vector<TFileStamp>& keep, std::string nativeDestination) {
    auto state = start(destination, std::move(nativeDestination), NoSourceFile, keep);
    std::vector<unsigned char> buffer(CopyChunkSize);
    while (const std::size_t count = source.Read(buffer.data(), buffer.size())) {
        if (!writeAll(state->temporary.fd(), buffer.data(), count))
            throw EWriteError();
        state->source.size += static_cast<std::int64_t>(count);
    }
    [[maybe_unused]] const int started =
        ::sync_file_range(state->temporary.fd(), 0, 0, SYNC_FILE_RANGE_WRITE);
    m_state = std::move(state);
}

TPendingCopy::TPendingCopy(const std::string& source, const std::string& destination,
                           const std::vector<TFileStamp>& keep, const TCopyFaults& injected,
                           std::string nativeDestination) {
    // O_NONBLOCK: a FIFO named like a track must not wait for a writer; it is refused below.
    const TUniqueFd in(::open(NativePath(source).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat sourceStat {};
    if (in.get() < 0 || ::fstat(in.get(), &sourceStat) != 0 || !S_ISREG(sourceStat.st_mode))
        throw EFOpenError(source);
    const TFileStamp sourceStamp = stampOf(sourceStat);
    auto state = start(destination, std::move(nativeDestination), sourceStamp, keep);
    state->failFlush = injected.failFlush;

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
