// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileOps.h"

#include <optional>
#include <string>
#include <utility>

#include "CopyFaults.h"
#include "FileOpsInternal.h"
#include "FileOpsWindows.h"
#include "Handles.h"
#include "WinText.h"

std::wstring wide(const std::string& path) {
    return WideFromUtf8(path);
}

namespace {

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

} // namespace

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
