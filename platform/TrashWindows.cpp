// SPDX-License-Identifier: GPL-3.0-or-later
#include "Trash.h"

#include <filesystem>

#include <windows.h>
// <shellapi.h> needs what <windows.h> defines.
#include <shellapi.h>

#include "WinText.h"

namespace {

// NOTE: Wine has no Recycle Bin of its own: a deletion that asks for one deletes for good, and no trash
// of the desktop holds the file afterwards.
bool underWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// The absolute path of path; "" when it has none.
std::wstring fullPath(const std::string& path) {
    std::error_code error;
    return std::filesystem::absolute(std::filesystem::path(WideFromUtf8(path)), error).wstring();
}

// The Recycle Bin's count of items for the drive of path; -1 when the drive has none.
long long recycledItems(const std::wstring& full) {
    wchar_t root[MAX_PATH + 1] = {};
    if (!::GetVolumePathNameW(full.c_str(), root, MAX_PATH))
        return -1;
    // Only local fixed disks have one: removable drives and network shares delete for good.
    if (::GetDriveTypeW(root) != DRIVE_FIXED)
        return -1;
    SHQUERYRBINFO info{};
    info.cbSize = sizeof info;
    if (FAILED(::SHQueryRecycleBinW(root, &info)))
        return -1;
    return info.i64NumItems;
}

// The system's reason for a result of SHFileOperationW: its own codes are not system error numbers.
TFileError operationError(int result) {
    return TFileError{result == 0x7C || result == 0x402 ? static_cast<int>(ERROR_FILE_NOT_FOUND)
                                                        : static_cast<int>(ERROR_ACCESS_DENIED)};
}

bool isFile(const std::wstring& path, DWORD& error) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = ::GetLastError();
        return false;
    }
    error = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? ERROR_DIRECTORY : 0;
    return error == 0;
}

} // namespace

bool WouldGoToTrash(const std::string& path) {
    if (underWine())
        return false;
    const std::wstring full = fullPath(path);
    return !full.empty() && recycledItems(full) >= 0;
}

TTrashResult MoveToTrash(const std::string& path, TWithoutTrash withoutTrash) {
    const std::wstring full = fullPath(path);
    DWORD error = 0;
    if (full.empty() || !isFile(full, error))
        return {TTrashOutcome::Refused, {}, TFileError{static_cast<int>(error ? error : ERROR_INVALID_NAME)}};

    const long long before = underWine() ? -1 : recycledItems(full);
    if (before < 0) {
        if (withoutTrash == TWithoutTrash::Refuse)
            return {TTrashOutcome::Refused, {}, TFileError{static_cast<int>(ERROR_NOT_SUPPORTED)}};
        if (!::DeleteFileW(full.c_str()))
            return {TTrashOutcome::Refused, {}, TFileError{static_cast<int>(::GetLastError())}};
        return {TTrashOutcome::Deleted, {}, {}};
    }

    // The list of names ends in two zero characters.
    std::wstring from = full;
    from.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    const int result = ::SHFileOperationW(&operation);
    if (result != 0 || operation.fAnyOperationsAborted)
        return {TTrashOutcome::Refused, {}, operationError(result)};
    if (::GetFileAttributesW(full.c_str()) != INVALID_FILE_ATTRIBUTES)
        return {TTrashOutcome::Refused, {}, TFileError{static_cast<int>(ERROR_ACCESS_DENIED)}};
    // NOTE: a file too large for the Recycle Bin is deleted for good without a word; only the bin's count
    // tells.
    if (recycledItems(full) > before)
        return {TTrashOutcome::Trashed, {}, {}};
    return {TTrashOutcome::Deleted, {}, {}};
}

TFileError RestoreFromTrash(const std::string&) {
    return TFileError{static_cast<int>(ERROR_NOT_SUPPORTED)};
}
