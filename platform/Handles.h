// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Owning handles of the operating system: each closes what it holds when it goes, so that no
// return or exception leaks one. Moving hands the handle on; close() closes early and reports
// whether closing worked (a write that did not reach the disk shows up there).

#include <cstdio>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <unistd.h>
#endif

template <class TTraits> class TUniqueHandle {
public:
    using Handle = typename TTraits::Handle;

    TUniqueHandle() = default;
    explicit TUniqueHandle(Handle handle) : m_handle(handle) {}
    ~TUniqueHandle() { close(); }
    TUniqueHandle(TUniqueHandle&& other) noexcept : m_handle(other.release()) {}
    TUniqueHandle& operator=(TUniqueHandle&& other) noexcept {
        if (this != &other) {
            close();
            m_handle = other.release();
        }
        return *this;
    }
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;

    Handle get() const { return m_handle; }
    bool valid() const { return m_handle != TTraits::invalid(); }
    explicit operator bool() const { return valid(); }
    Handle release() { return std::exchange(m_handle, TTraits::invalid()); }
    // Closes the handle now; false when closing failed. Nothing (true) when none is held.
    bool close() {
        const Handle handle = release();
        return handle == TTraits::invalid() || TTraits::close(handle);
    }

private:
    Handle m_handle = TTraits::invalid();
};

struct TFileTraits {
    using Handle = std::FILE*;
    static Handle invalid() { return nullptr; }
    static bool close(Handle handle) { return std::fclose(handle) == 0; }
};
using TUniqueFile = TUniqueHandle<TFileTraits>;

#ifdef _WIN32

struct TWinHandleTraits {
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    static bool close(Handle handle) { return ::CloseHandle(handle) != 0; }
};
using TUniqueWinHandle = TUniqueHandle<TWinHandleTraits>;

// A search of FindFirstFileW, ended by FindClose.
struct TFindHandleTraits {
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    static bool close(Handle handle) { return ::FindClose(handle) != 0; }
};
using TUniqueFindHandle = TUniqueHandle<TFindHandleTraits>;

struct TRegKeyTraits {
    using Handle = HKEY;
    static Handle invalid() { return nullptr; }
    static bool close(Handle handle) { return ::RegCloseKey(handle) == ERROR_SUCCESS; }
};
using TUniqueRegKey = TUniqueHandle<TRegKeyTraits>;

#else

struct TFdTraits {
    using Handle = int;
    static Handle invalid() { return -1; }
    static bool close(Handle handle) { return ::close(handle) == 0; }
};
using TUniqueFd = TUniqueHandle<TFdTraits>;

struct TDirTraits {
    using Handle = DIR*;
    static Handle invalid() { return nullptr; }
    static bool close(Handle handle) { return ::closedir(handle) == 0; }
};
using TUniqueDir = TUniqueHandle<TDirTraits>;

#endif
