#include "FakeGame.h"

#include <fstream>
#include <stdexcept>

#ifdef _WIN32
#include <memory>
#include <type_traits>
#include <vector>
#include <windows.h>
#endif

namespace fs = std::filesystem;

std::string RegEscape(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out;
}

#ifdef _WIN32

namespace {

const wchar_t* const kGameKey = L"SOFTWARE\\Vuzezevev\\Vuzezevev Games\\Skarn Rally 2";
constexpr REGSAM kViews[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};

// The game's key in both registry views as it was before a test: HardDriveRootPath of each, or
// that the key was missing. Destroying it puts that back.
class TRegistryRestore {
public:
    TRegistryRestore() {
        for (const REGSAM view : kViews) {
            TSaved& saved = m_saved.emplace_back();
            saved.view = view;
            HKEY key = nullptr;
            if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kGameKey, 0, KEY_QUERY_VALUE | view, &key) !=
                ERROR_SUCCESS)
                continue;
            saved.existed = true;
            DWORD size = 0;
            if (::RegQueryValueExW(key, L"HardDriveRootPath", nullptr, &saved.type, nullptr, &size) ==
                ERROR_SUCCESS) {
                saved.data.resize(size);
                saved.hadValue = ::RegQueryValueExW(key, L"HardDriveRootPath", nullptr, &saved.type,
                                                    saved.data.data(), &size) == ERROR_SUCCESS;
                saved.data.resize(size);
            }
            ::RegCloseKey(key);
        }
    }
    ~TRegistryRestore() {
        for (const TSaved& saved : m_saved) {
            if (!saved.existed) {
                ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kGameKey, saved.view, 0);
                continue;
            }
            HKEY key = nullptr;
            if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kGameKey, 0, nullptr, 0, KEY_SET_VALUE | saved.view,
                                  nullptr, &key, nullptr) != ERROR_SUCCESS)
                continue;
            if (saved.hadValue)
                ::RegSetValueExW(key, L"HardDriveRootPath", 0, saved.type, saved.data.data(),
                                 static_cast<DWORD>(saved.data.size()));
            else
                ::RegDeleteValueW(key, L"HardDriveRootPath");
            ::RegCloseKey(key);
        }
    }
    TRegistryRestore(const TRegistryRestore&) = delete;
    TRegistryRestore& operator=(const TRegistryRestore&) = delete;

private:
    struct TSaved {
        REGSAM view = 0;
        bool existed = false;
        bool hadValue = false;
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
    };
    std::vector<TSaved> m_saved;
};

void setValue(HKEY key, const wchar_t* name, DWORD type, const void* data, std::size_t size) {
    if (::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size)) !=
        ERROR_SUCCESS)
        throw std::runtime_error("cannot write the game's registry value");
}

} // namespace

TFakeGame::TFakeGame(fs::path prefix, TOptions options)
    : m_prefix(std::move(prefix)), m_options(std::move(options)) {
    fs::create_directories(m_prefix / "drive_c");
    m_restoreKey = std::make_shared<TRegistryRestore>();
    for (const REGSAM view : kViews)
        ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kGameKey, view, 0);
    if (!m_options.writeKey)
        return;
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kGameKey, 0, nullptr, 0,
                          KEY_SET_VALUE | (m_options.wow64 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY), nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the game's registry key (administrator rights needed)");
    const std::unique_ptr<std::remove_pointer_t<HKEY>, decltype(&::RegCloseKey)> closer(key, ::RegCloseKey);
    const std::string value = RootValue();
    const fs::path root(std::u8string(value.begin(), value.end()));
    const std::wstring text = root.wstring();
    const DWORD one = 1;
    switch (m_options.valueKind) {
    case TValueKind::String:
    case TValueKind::ExpandString:
        setValue(key, L"HardDriveRootPath",
                 m_options.valueKind == TValueKind::String ? REG_SZ : REG_EXPAND_SZ, text.c_str(),
                 (text.size() + 1) * sizeof(wchar_t));
        break;
    case TValueKind::Dword:
        setValue(key, L"HardDriveRootPath", REG_DWORD, &one, sizeof one);
        break;
    }
    const DWORD version = 0x102;
    setValue(key, L"Version", REG_DWORD, &version, sizeof version);
}

std::string TFakeGame::RootValue() const {
    const std::u8string folder = (m_prefix / "drive_c").u8string();
    return std::string(folder.begin(), folder.end()) + "\\" + m_options.gameFolder + m_options.valueSuffix;
}

#else

TFakeGame::TFakeGame(fs::path prefix, TOptions options)
    : m_prefix(std::move(prefix)), m_options(std::move(options)) {
    fs::create_directories(m_prefix / "dosdevices");
    fs::create_directories(m_prefix / "drive_c");
    std::error_code ec;
    fs::create_directory_symlink("../drive_c", m_prefix / "dosdevices" / "c:", ec);

    std::ofstream reg(m_prefix / "system.reg", std::ios::binary | std::ios::trunc);
    reg << "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n";
    reg << "[Software\\\\Classes\\\\.txt] 1700000000\n@=\"txtfile\"\n\n";
    if (m_options.writeKey) {
        reg << "[Software\\\\" << (m_options.wow64 ? "Wow6432Node\\\\" : "")
            << "Vuzezevev\\\\Vuzezevev Games\\\\Skarn Rally 2] 1700000000\n#time=1d9a1b2c3d4e5f6\n";
        switch (m_options.valueKind) {
        case TValueKind::String:
            reg << "\"HardDriveRootPath\"=\"" << RegEscape(RootValue()) << "\"\n";
            break;
        case TValueKind::ExpandString:
            reg << "\"HardDriveRootPath\"=str(2):\"" << RegEscape(RootValue()) << "\"\n";
            break;
        case TValueKind::Dword:
            reg << "\"HardDriveRootPath\"=dword:00000001\n";
            break;
        }
        reg << "\"Version\"=dword:00000102\n\n";
    }
    if (!reg)
        throw std::runtime_error("cannot write " + (m_prefix / "system.reg").string());
}

std::string TFakeGame::RootValue() const {
    return "C:\\" + m_options.gameFolder + m_options.valueSuffix;
}

#endif

fs::path TFakeGame::EventFolder(const std::string& eventType) const {
    fs::path folder = m_prefix / "drive_c";
    std::string part;
    for (const char c : m_options.gameFolder + "\\Vevozura\\" + eventType) {
        if (c == '\\') {
            folder /= part;
            part.clear();
        } else {
            part += c;
        }
    }
    folder /= part;
    fs::create_directories(folder);
    return folder;
}

std::string TFakeGame::SceneText(const std::string& displayName) {
    return "[Scene]\r\nSceneName=" + displayName + "\r\nLaps=3\r\n";
}

fs::path TFakeGame::AddTrack(const std::string& eventType, const std::string& fileName,
                             const std::string& displayName, std::vector<TContainerEntry> more,
                             bool scrambled) const {
    const std::string stem = fileName.substr(0, fileName.find_last_of('.'));
    auto scene = BytesOf(SceneText(displayName));
    if (!scrambled)
        scene = ScrambledBytes(std::move(scene));
    more.insert(more.begin(), TContainerEntry{stem + ".scn", std::move(scene)});
    return AddContainer(eventType, fileName, more, scrambled);
}

fs::path TFakeGame::AddContainer(const std::string& eventType, const std::string& fileName,
                                 const std::vector<TContainerEntry>& entries, bool scrambled) const {
    const fs::path path = EventFolder(eventType) / fileName;
    WriteFileBytes(path.string(), BuildContainer(entries, {.scrambled = scrambled}));
    return path;
}
