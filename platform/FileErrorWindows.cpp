// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileError.h"

#include <windows.h>

#include "platform/FileErrorInternal.h"
#include "platform/WinText.h"

std::string SystemMessage(int code) {
    std::string text;
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length > 0 && buffer) {
        text = Utf8FromWide(std::wstring(buffer, length));
        LocalFree(buffer);
    }
    if (text.empty())
        text = "Windows error " + std::to_string(static_cast<unsigned long>(code));
    return text;
}

bool IsNameTaken(TFileError error) {
    return error.code == ERROR_ALREADY_EXISTS || error.code == ERROR_FILE_EXISTS;
}

bool IsFileMissing(TFileError error) {
    return error.code == ERROR_FILE_NOT_FOUND || error.code == ERROR_PATH_NOT_FOUND;
}

TFileError NameTakenError() {
    return {ERROR_ALREADY_EXISTS};
}
