#include "TRegistry.h"

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

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
    CloseKey();
    m_searchedPrefixes.clear();
    const std::vector<std::string> prefixes = WinePrefixCandidates();
    const std::vector<std::string> views = registryViews(key);
    for (const std::string& prefix : prefixes) {
        const std::optional<std::string> text = ReadSmallFile(prefix + "/system.reg", kMaxRegistryFile);
        if (!text)
            continue;
        for (const std::string& view : views) {
            if (std::optional<TRegFileKey> found = TRegFileKey::Find(*text, view)) {
                m_key = std::move(found);
                m_keyPrefix = prefix;
                return true;
            }
        }
    }
    m_searchedPrefixes = prefixes;
    return false;
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
