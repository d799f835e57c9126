#include "TRegistry.h"

#include "Exceptions.h"

#ifdef _WIN32
#include <windows.h>

#include <initializer_list>
#include <string_view>
#include <vector>

#include "WinText.h"
#else
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "NativePath.h"
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

// The whole text of a registry file, or nothing when it cannot be read. O_NONBLOCK and the type
// check keep a FIFO named system.reg from hanging the start.
std::optional<std::string> registryFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::string> text;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
        static_cast<std::size_t>(st.st_size) <= kMaxRegistryFile) {
        text.emplace();
        text->reserve(static_cast<std::size_t>(st.st_size));
        std::vector<char> buffer(1 << 16);
        while (true) {
            const ssize_t got = ::read(fd, buffer.data(), buffer.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0 || text->size() + static_cast<std::size_t>(got) > kMaxRegistryFile) {
                text.reset();
                break;
            }
            if (got == 0)
                break;
            text->append(buffer.data(), static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return text;
}

bool isSoftware(const std::string& component) {
    static constexpr std::string_view software = "software";
    if (component.size() != software.size())
        return false;
    for (std::size_t i = 0; i < software.size(); ++i) {
        const char c = component[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c) != software[i])
            return false;
    }
    return true;
}

// Where key is looked for in a prefix, in order: a key under Software also in the 32-bit view.
std::vector<std::string> registryViews(const std::string& key) {
    const std::size_t cut = key.find('\\');
    const std::string first = key.substr(0, cut);
    if (!isSoftware(first))
        return {key};
    const std::string rest = cut == std::string::npos ? "" : key.substr(cut);
    return {first + "\\Wow6432Node" + rest, key};
}

} // namespace

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
    CloseKey();
    const std::vector<std::string> prefixes = WinePrefixCandidates();
    const std::vector<std::string> views = registryViews(key);
    for (const std::string& prefix : prefixes) {
        const std::optional<std::string> text = registryFile(prefix + "/system.reg");
        if (!text)
            continue;
        for (const std::string& view : views) {
            if (std::optional<TRegFileKey> found = TRegFileKey::Find(*text, view)) {
                m_key = std::move(found);
                SetWinePrefix(prefix);
                std::fprintf(stderr, "track manager: using the Wine prefix %s\n", prefix.c_str());
                return true;
            }
        }
    }
    std::string searched;
    for (const std::string& prefix : prefixes)
        searched += (searched.empty() ? "" : ", ") + prefix;
    if (searched.empty())
        searched = "no Wine prefix found in ~/.wine or the folders of Lutris, Bottles, Heroic, Steam, "
                   "PlayOnLinux or CrossOver";
    std::fprintf(stderr, "track manager: no Wine prefix holds HKEY_LOCAL_MACHINE\\%s (searched: %s)\n",
                 key.c_str(), searched.c_str());
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
}

#endif
