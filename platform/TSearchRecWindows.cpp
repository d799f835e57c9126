// SPDX-License-Identifier: GPL-3.0-or-later
#include "TSearchRec.h"

#include <windows.h>

#include "NativePath.h"
#include "TSearchFound.h"
#include "WinText.h"

namespace {

int findMatching(TSearchRec& rec, WIN32_FIND_DATAW& data, HANDLE handle, int excludeAttr) {
    while (data.dwFileAttributes & static_cast<DWORD>(excludeAttr)) {
        if (!::FindNextFileW(handle, &data))
            return static_cast<int>(::GetLastError());
    }
    rec.Name = Utf8FromWide(data.cFileName);
    const std::int64_t size = (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    const std::int64_t modified =
        static_cast<std::int64_t>((static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                  data.ftLastWriteTime.dwLowDateTime);
    TSearchFound::Set(rec, static_cast<int>(data.dwFileAttributes), size, true,
                      TListedVersion{.size = size, .modified = modified});
    return 0;
}

} // namespace

int FindFirst(const std::string& path, int attr, TSearchRec& rec) {
    FindClose(rec);
    WIN32_FIND_DATAW data{};
    HANDLE handle = ::FindFirstFileW(WideFromUtf8(NativePath(path)).c_str(), &data);
    if (handle == INVALID_HANDLE_VALUE)
        return static_cast<int>(::GetLastError());
    rec.m_excludeAttr = ~attr & kSpecialAttr;
    const int result = findMatching(rec, data, handle, rec.m_excludeAttr);
    if (result != 0) {
        ::FindClose(handle);
        return result;
    }
    rec.m_handle = handle;
    return 0;
}

int FindNext(TSearchRec& rec) {
    if (!rec.m_handle)
        return kErrorNoMoreFiles;
    WIN32_FIND_DATAW data{};
    if (!::FindNextFileW(static_cast<HANDLE>(rec.m_handle), &data))
        return static_cast<int>(::GetLastError());
    return findMatching(rec, data, static_cast<HANDLE>(rec.m_handle), rec.m_excludeAttr);
}

void FindClose(TSearchRec& rec) {
    if (rec.m_handle)
        ::FindClose(static_cast<HANDLE>(rec.m_handle));
    rec.m_handle = nullptr;
}

void TSearchRec::complete() const {}
