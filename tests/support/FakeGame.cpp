#include "FakeGame.h"

#include <fstream>
#include <stdexcept>

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
        if (!m_options.valueLine.empty())
            reg << m_options.valueLine << "\n";
        else
            reg << "\"HardDriveRootPath\"=\"" << RegEscape("C:\\" + m_options.gameFolder) << "\"\n";
        reg << "\"Version\"=dword:00000102\n\n";
    }
    if (!reg)
        throw std::runtime_error("cannot write " + (m_prefix / "system.reg").string());
}

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
