#pragma once

#include <string>

#ifndef _WIN32
#include <optional>

#include "platform/TRegFileKey.h"
#endif

// Read-only access to one key of the registry under HKEY_LOCAL_MACHINE at a time.
//
// Windows: the Win32 registry, opened for querying values only (a normal user is refused more),
// in the 32-bit view first (where a 32-bit installer's keys land on 64-bit Windows), then in the
// 64-bit view.
//
// Linux: the system.reg of a Wine prefix, read and never written. The prefixes are tried in the
// order of WinePrefixCandidates ($WINEPREFIX alone when set, else ~/.wine, then the launchers'
// prefixes); the first whose file holds the key is used. A key under "Software\" is looked for
// under "Software\Wow6432Node\" first (where a 32-bit program's keys land in a 64-bit prefix), then
// as given. The prefix used is named in one line on standard error, and becomes the prefix that
// NativePath resolves drive letters through (SetWinePrefix); when no prefix holds the key, one line
// on standard error says where it was looked for.
class TRegistry {
public:
    TRegistry() = default;
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    // Opens key ("SOFTWARE\\Vendor\\Game", any letter case) below HKEY_LOCAL_MACHINE for reading,
    // closing the key opened before. Never creates it. Returns false when it cannot be opened: the
    // key is missing, access is refused, or (Linux) no prefix, no readable registry file or no file
    // with the right first line holds it. Does not throw (except std::bad_alloc).
    bool OpenKeyReadOnly(const std::string& key);

    // The string value name of the open key ("" reads the default value): a plain or expandable
    // string as UTF-8 text, cut at its first NUL, an expandable one taken unexpanded. A missing
    // value, and any value while no key is open, reads as "". Throws ERegistryException
    // ("Invalid data type for '<name>'") for a value of any other type.
    std::string ReadString(const std::string& name);

    // Closes the open key; nothing when none is open.
    void CloseKey();

private:
#ifdef _WIN32
    void* m_key = nullptr; // HKEY
#else
    std::optional<TRegFileKey> m_key;
#endif
};
