// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileOps.h"

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "CopyFaults.h"
#include "Exceptions.h"
#include "FileOpsInternal.h"
#include "FileOpsWindows.h"
#include "Handles.h"
#include "PathParts.h"

namespace {

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

std::unique_ptr<TPendingCopy::TState> TPendingCopy::start(const std::string& destination, std::string,
                                                          const TFileStamp& source,
                                                          const std::vector<TFileStamp>& keep) {
    refuseUnlessReplaceable(wide(destination), destination, source, keep);
    auto state = std::make_unique<TState>(FolderPart(destination));
    if (!state->temporary.created())
        throw EFCreateError(destination, TFileError{static_cast<int>(::GetLastError())});
    state->destination = destination;
    state->source = source;
    return state;
}

TPendingCopy::TPendingCopy(TByteSource& source, const std::string& destination,
                           const std::vector<TFileStamp>& keep, std::string) {
    auto state = start(destination, {}, NoSourceFile, keep);
    std::vector<unsigned char> buffer(CopyChunkSize);
    while (const std::size_t count = source.Read(buffer.data(), buffer.size())) {
        if (!writeAll(state->temporary.handle(), buffer.data(), static_cast<DWORD>(count)))
            throw EWriteError();
        state->source.size += static_cast<std::int64_t>(count);
    }
    m_state = std::move(state);
}

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
    auto state = start(destination, {}, sourceStamp, keep);
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
