// SPDX-License-Identifier: GPL-3.0-or-later
#include "TFileStream.h"

#include <windows.h>

#include <algorithm>

#include "Exceptions.h"
#include "FileError.h"
#include "WinText.h"

TFileStream::TFileStream(const std::string& path, TOpenKind kind) : m_fileName(path), m_kind(kind) {
    HANDLE h = ::CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throw EFOpenError(path, SystemErrorText(static_cast<int>(::GetLastError())));
    LARGE_INTEGER size{};
    if (::GetFileType(h) != FILE_TYPE_DISK || !::GetFileSizeEx(h, &size)) {
        ::CloseHandle(h);
        throw EFOpenError(path, "not a regular file");
    }
    m_handle = h;
    m_size = size.QuadPart;
}

TFileStream::~TFileStream() {
    ::CloseHandle(static_cast<HANDLE>(m_handle));
}

std::int64_t TFileStream::Size() const {
    return m_size;
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
    std::size_t done = 0;
    auto* out = static_cast<unsigned char*>(buffer);
    while (done < count) {
        OVERLAPPED at{};
        const auto position = static_cast<unsigned long long>(m_position);
        at.Offset = static_cast<DWORD>(position & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(static_cast<HANDLE>(m_handle), out + done, chunk, &got, &at) || got == 0)
            break;
        done += got;
        m_position += got;
    }
    return done;
}
