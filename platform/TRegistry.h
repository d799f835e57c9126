// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

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
// as given. The registry shows nothing and changes nothing else: KeyPrefix says which prefix holds
// the open key, SearchedPrefixes where a key that could not be opened was looked for; the program
// decides whether to resolve paths through that prefix and whether to say so.
class TRegistry {
public:
    TRegistry() = default;
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    // Opens key ("SOFTWARE\\Vendor\\Game", any letter case) below HKEY_LOCAL_MACHINE for reading,
    // closing the key opened before. Never creates it. Returns false when it cannot be opened: the
    // key is missing, access is refused, or (Linux) no prefix, no readable registry file or no file
    // with the right first line holds it. Throws EWinePrefixError for a relative $WINEPREFIX (Linux)
    // and std::bad_alloc; nothing else.
    bool OpenKeyReadOnly(const std::string& key);

    // The Wine prefix whose system.reg holds the open key; "" while none is open, and on Windows.
    const std::string& KeyPrefix() const;
    // The prefixes looked in by the last OpenKeyReadOnly that failed, in order; empty when none
    // was found at all, and on Windows.
    const std::vector<std::string>& SearchedPrefixes() const;
    // The prefixes after KeyPrefix in the order of the search that also hold key; it reads each of
    // their registry files. Empty while no key is open, and on Windows.
    std::vector<std::string> LaterPrefixesWithKey(const std::string& key) const;

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
    std::string m_keyPrefix;
    std::vector<std::string> m_searchedPrefixes;
    std::vector<std::string> m_candidates; // the prefixes of the last search, in order
#endif
};
