// SPDX-License-Identifier: GPL-3.0-or-later
#include "TRegistry.h"

#include <windows.h>

#include <initializer_list>
#include <string_view>
#include <vector>

#include "TRegistryInternal.h"
#include "WinText.h"

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
    CloseKey();
    const std::wstring path = WideFromUtf8(key);
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        HKEY handle = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | view, &handle) ==
            ERROR_SUCCESS) {
            m_key = handle;
            return true;
        }
    }
    return false;
}

std::string TRegistry::ReadString(const std::string& name) {
    if (!m_key)
        return {};
    const HKEY key = static_cast<HKEY>(m_key);
    const std::wstring valueName = WideFromUtf8(name);
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw invalidType(name);
    std::vector<wchar_t> data;
    LONG result = ERROR_MORE_DATA;
    while (result == ERROR_MORE_DATA) {
        // One unit more than asked for, so that data without a terminating NUL still ends in one.
        data.assign(size / sizeof(wchar_t) + 2, L'\0');
        size = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
        result = ::RegQueryValueExW(key, valueName.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(data.data()), &size);
    }
    if (result != ERROR_SUCCESS)
        return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw invalidType(name);
    // Whole UTF-16 units only: a last odd byte is dropped, as Wine's registry files are read. The
    // text ends at the first NUL, or with the data when it has none.
    const std::wstring_view units(data.data(), size / sizeof(wchar_t));
    return Utf8FromWide(std::wstring(units.substr(0, units.find(L'\0'))));
}

void TRegistry::CloseKey() {
    if (m_key)
        ::RegCloseKey(static_cast<HKEY>(m_key));
    m_key = nullptr;
}

// Windows has one registry: no prefix holds a key, and no other prefix is searched.
const std::string& TRegistry::KeyPrefix() const {
    static const std::string none;
    return none;
}

const std::vector<std::string>& TRegistry::SearchedPrefixes() const {
    static const std::vector<std::string> none;
    return none;
}

std::vector<std::string> TRegistry::LaterPrefixesWithKey(const std::string& /*key*/) const {
    return {};
}
