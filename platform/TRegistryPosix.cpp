// SPDX-License-Identifier: GPL-3.0-or-later
#include "TRegistry.h"

#include <algorithm>
#include <vector>

#include "SmallFile.h"
#include "TRegistryInternal.h"
#include "TextCase.h"
#include "WinePrefixes.h"

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

const std::string& TRegistry::KeyPrefix() const {
    return m_keyPrefix;
}

const std::vector<std::string>& TRegistry::SearchedPrefixes() const {
    return m_searchedPrefixes;
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
