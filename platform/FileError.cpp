#include "platform/FileError.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/WinText.h"
#else
#include <cerrno>
#include <cstring>
#endif

std::string SystemErrorText(int code) {
    if (code == 0)
        return {};
    std::string text;
#ifdef _WIN32
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
#else
    // std::strerror's text for code; the buffer keeps it apart from other threads' calls.
    char buffer[256] = {};
    const auto* message = ::strerror_r(code, buffer, sizeof buffer);
    text = message;
#endif
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

bool IsNameTaken(TFileError error) {
#ifdef _WIN32
    return error.code == ERROR_ALREADY_EXISTS || error.code == ERROR_FILE_EXISTS;
#else
    return error.code == EEXIST;
#endif
}

bool IsFileMissing(TFileError error) {
#ifdef _WIN32
    return error.code == ERROR_FILE_NOT_FOUND || error.code == ERROR_PATH_NOT_FOUND;
#else
    return error.code == ENOENT || error.code == ENOTDIR;
#endif
}

TFileError NameTakenError() {
#ifdef _WIN32
    return {ERROR_ALREADY_EXISTS};
#else
    return {EEXIST};
#endif
}
