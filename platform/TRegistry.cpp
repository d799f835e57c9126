#include "TRegistry.h"

#include "Exceptions.h"

#ifdef _WIN32
#include <windows.h>

#include <initializer_list>
#include <string_view>
#include <vector>

#include "WinText.h"
#else
#include <algorithm>
#include <vector>

#include "SmallFile.h"
#include "TextCase.h"
#include "WinePrefixes.h"
#endif

namespace {

ERegistryException invalidType(const std::string& name) {
    return ERegistryException("Invalid data type for '" + name + "'");
}

} // namespace

TRegistry::~TRegistry() {
    CloseKey();
}

#ifdef _WIN32

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

#else

namespace {

// A system.reg is about 2 MB; a file beyond this is no registry we can use.
constexpr std::size_t kMaxRegistryFile = 256u << 20;

// Where key is looked for in a prefix, in order: a key under Software also in the 32-bit view.
std::vector<std::string> registryViews(const std::string& key) {
    const std::size_t cut = key.find('\\');
    const std::string first = key.substr(0, cut);
    if (!EqualsIgnoringAsciiCase(first, "software"))
        return {key};
    const std::string rest = cut == std::string::npos ? "" : key.substr(cut);
    return {first + "\\Wow6432Node" + rest, key};
}

} // namespace

namespace {

// The key as the system.reg of prefix holds it, looked for in each of the views; nothing when the file
// cannot be read or lacks it.
std::optional<TRegFileKey> keyInPrefix(const std::string& prefix, const std::vector<std::string>& views) {
    const std::optional<std::string> text = ReadSmallFile(prefix + "/system.reg", kMaxRegistryFile);
    if (!text)
        return std::nullopt;
    for (const std::string& view : views) {
        if (std::optional<TRegFileKey> found = TRegFileKey::Find(*text, view))
            return found;
    }
    return std::nullopt;
}

} // namespace

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
    CloseKey();
    m_searchedPrefixes.clear();
    m_candidates = WinePrefixCandidates();
    const std::vector<std::string> views = registryViews(key);
    for (const std::string& prefix : m_candidates) {
        if (std::optional<TRegFileKey> found = keyInPrefix(prefix, views)) {
            m_key = std::move(found);
            m_keyPrefix = prefix;
            return true;
        }
    }
    m_searchedPrefixes = m_candidates;
    return false;
}

std::vector<std::string> TRegistry::LaterPrefixesWithKey(const std::string& key) const {
    std::vector<std::string> prefixes;
    if (!m_key)
        return prefixes;
    const std::vector<std::string> views = registryViews(key);
    const auto taken = std::find(m_candidates.begin(), m_candidates.end(), m_keyPrefix);
    for (auto it = taken == m_candidates.end() ? taken : taken + 1; it != m_candidates.end(); ++it) {
        if (keyInPrefix(*it, views))
            prefixes.push_back(*it);
    }
    return prefixes;
}

std::string TRegistry::ReadString(const std::string& name) {
    if (!m_key)
        return {};
    const TRegFileKey::Value* value = m_key->FindValue(name);
    if (!value)
        return {};
    if (value->DataType == TRegFileKey::Type::Other)
        throw invalidType(name);
    return value->Text;
}

void TRegistry::CloseKey() {
    m_key.reset();
    m_keyPrefix.clear();
}

#endif
