#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ContainerWriter.h"

// A game installation in the layout of a Wine prefix: system.reg with the game's key, the drive link
// dosdevices/c: -> ../drive_c, and the event folders below the game root on drive C:.
// Windows: the folders below <prefix>\drive_c, and the game's key in the registry itself, holding the
// real path of the game folder; the key's former value comes back when the game is destroyed.
class TFakeGame {
public:
    enum class TValueKind { String, ExpandString, Dword };
    struct TOptions {
        // Folder of the game below C:\, and the value stored in the registry for it.
        std::string gameFolder = "Games\\Skarn Rally 2";
        bool wow64 = true;    // key under Software\Wow6432Node (a 32-bit game in a 64-bit prefix)
        bool writeKey = true; // false: a prefix without the game's key
        TValueKind valueKind = TValueKind::String; // the type of HardDriveRootPath (Dword: the number 1)
        std::string valueSuffix;                   // appended to the folder in HardDriveRootPath
    };

    explicit TFakeGame(std::filesystem::path prefix) : TFakeGame(std::move(prefix), TOptions{}) {}
    TFakeGame(std::filesystem::path prefix, TOptions options);

    const std::filesystem::path& Prefix() const { return m_prefix; }
    // "C:\Games\Skarn Rally 2\" as the program forms GameRoot from the registry value.
    std::string GameRoot() const { return RootValue() + "\\"; }
    // The folder stored as HardDriveRootPath.
    std::string RootValue() const;
    // The native folder of an event type (created on demand).
    std::filesystem::path EventFolder(const std::string& eventType) const;

    // Writes a track file whose scene descriptor names it displayName (Windows-1252 bytes), with the
    // further entries given. A plain container stores the descriptor pre-scrambled, as the game reads
    // it descrambled whatever the variant. Returns the file's native path.
    std::filesystem::path AddTrack(const std::string& eventType, const std::string& fileName,
                                   const std::string& displayName, std::vector<TContainerEntry> more = {},
                                   bool scrambled = true) const;
    // Writes a track file with exactly these entries.
    std::filesystem::path AddContainer(const std::string& eventType, const std::string& fileName,
                                       const std::vector<TContainerEntry>& entries,
                                       bool scrambled = true) const;

    // The scene descriptor text for a display name.
    static std::string SceneText(const std::string& displayName);

private:
    std::filesystem::path m_prefix;
    TOptions m_options;
    std::shared_ptr<void> m_restoreKey; // Windows: puts the registry back as it was
};

// Escapes text for a string of Wine's registry files.
std::string RegEscape(const std::string& text);
