#include "platform/FileError.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/WinText.h"
#else
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
