// SPDX-License-Identifier: GPL-3.0-or-later
// The registry on Linux: which Wine prefix is used, what counts as "cannot be opened", and how the
// game root then resolves into the prefix. Every test runs on a fake home folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "TempDir.h"
#include "platform/Exceptions.h"
#include "platform/TRegistry.h"
#include "platform/WinePrefixes.h"

namespace fs = std::filesystem;

namespace {

const char* const kGameKey = R"(SOFTWARE\Vuzezevev\Vuzezevev Games\Skarn Rally 2)";

std::string registryText(const std::string& sections) {
    return "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n\n" +
           sections;
}

std::string gameSection(const std::string& value, bool wow = true) {
    return std::string("[Software\\\\") + (wow ? "Wow6432Node\\\\" : "") +
           "Vuzezevev\\\\Vuzezevev Games\\\\Skarn Rally 2] 1796687312\n\"HardDriveRootPath\"=" + value + "\n";
}

const std::string kOtherSection = "[Software\\\\Wine] 1796687312\n\"Version\"=\"win10\"\n";

// Keeps an environment variable and puts it back at the end.
class TSavedEnv {
public:
    explicit TSavedEnv(const char* name) : m_name(name) {
        if (const char* value = std::getenv(name))
            m_value = value;
    }
    ~TSavedEnv() {
        if (m_value)
            ::setenv(m_name, m_value->c_str(), 1);
        else
            ::unsetenv(m_name);
    }
    TSavedEnv(const TSavedEnv&) = delete;
    TSavedEnv& operator=(const TSavedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_value;
};

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        home = dir.path() / "home";
        fs::create_directories(home);
        ::setenv("HOME", home.c_str(), 1);
        for (const char* name : {"WINEPREFIX", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            ::unsetenv(name);
    }

    // A prefix folder at home/relative (or at an absolute path) with a system.reg of that text.
    std::string prefix(const std::string& relative, const std::string& text) const {
        const fs::path path = home / relative;
        fs::create_directories(path);
        std::ofstream(path / "system.reg", std::ios::binary) << text;
        return path.string();
    }

    // Opens the game key and returns what was said on standard error.
    std::string open(TRegistry& registry, bool& opened) const {
        ::testing::internal::CaptureStderr();
        opened = registry.OpenKeyReadOnly(kGameKey);
        return ::testing::internal::GetCapturedStderr();
    }

    TSavedEnv savedHome{"HOME"};
    TSavedEnv savedPrefix{"WINEPREFIX"};
    TSavedEnv savedConfig{"XDG_CONFIG_HOME"};
    TSavedEnv savedData{"XDG_DATA_HOME"};

    // A launcher's file at home/relative.
    void launcherFile(const std::string& relative, const std::string& text) const {
        fs::create_directories((home / relative).parent_path());
        std::ofstream(home / relative, std::ios::binary) << text;
    }
    TTempDir dir;
    fs::path home;
};

TEST_F(RegistryTest, PrefixesAreSearchedInTheirFixedOrder) {
    const std::string any = registryText("");
    const fs::path library = dir.path() / "library";
    fs::create_directories(home / ".config/lutris/games");
    std::ofstream(home / ".config/lutris/games/skarn-1.yml")
        << "game:\n  exe: skarn.exe\n  prefix: ~/Custom/skarn\n";
    std::ofstream(home / ".config/lutris/games/other.txt") << "prefix: /ignored\n";
    fs::create_directories(home / ".local/share/Steam/steamapps");
    std::ofstream(home / ".local/share/Steam/steamapps/libraryfolders.vdf")
        << "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" << home.string()
        << "/.local/share/Steam\"\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" << library.string()
        << "\"\n\t}\n}\n";
    fs::create_directories(home / ".steam");
    fs::create_directory_symlink(home / ".local/share/Steam", home / ".steam/steam");
    launcherFile(".var/app/net.lutris.Lutris/data/lutris/games/skarn.yml",
                 "game:\n  prefix: ~/FlatpakLutris/skarn\n");
    launcherFile(".local/share/bottles/data.yml", "custom_bottles_path: ~/MyBottles\n");
    launcherFile(".config/heroic/GamesConfig/Skarn.json", "{\"Skarn\": {\"winePrefix\": \"" + home.string() +
                                                              "/HeroicChosen\", \"wineVersion\": {}}}");
    launcherFile(".config/heroic/GamesConfig/broken.json", "{\"Skarn\": ");

    // Created out of order, so that folder order cannot pass for the fixed one.
    const std::string crossover = prefix(".cxoffice/Skarn", any);
    const std::string winetricks = prefix(".local/share/wineprefixes/skarn", any);
    const std::string umu = prefix("Games/umu/umu-default", any);
    const std::string steamSnap =
        prefix("snap/steam/common/.local/share/Steam/steamapps/compatdata/9/pfx", any);
    const std::string heroicChosen = prefix("HeroicChosen", any);
    const std::string bottlesCustom = prefix("MyBottles/Skarn", any);
    const std::string lutrisFlatpak = prefix("FlatpakLutris/skarn", any);
    const std::string playOnLinux = prefix(".PlayOnLinux/wineprefix/Skarn", any);
    const std::string libraryPrefix = prefix((library / "steamapps/compatdata/400/pfx").string(), any);
    const std::string steamFlatpak =
        prefix(".var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/compatdata/7/pfx", any);
    const std::string steam2 = prefix(".local/share/Steam/steamapps/compatdata/20/pfx", any);
    const std::string steam1 = prefix(".local/share/Steam/steamapps/compatdata/100/pfx", any);
    const std::string heroic = prefix("Games/Heroic/Prefixes/default/Skarn", any);
    const std::string bottlesFlatpak =
        prefix(".var/app/com.usebottles.bottles/data/bottles/bottles/Skarn", any);
    const std::string bottles = prefix(".local/share/bottles/bottles/Skarn", any);
    const std::string lutrisGame = prefix("Games/skarn-rally-2", any);
    const std::string lutrisNamed = prefix("Custom/skarn", any);
    const std::string wine = prefix(".wine", any);
    fs::create_directories(home / ".local/share/bottles/bottles/Empty"); // no system.reg: no prefix

    // ~/Games/umu is a folder of ~/Games without a system.reg of its own: umu's prefixes are below it.
    const std::vector<std::string> expected = {
        wine,           lutrisNamed,  lutrisFlatpak, lutrisGame, bottlesCustom, bottles,
        bottlesFlatpak, heroicChosen, heroic,        steam1,     steam2,        libraryPrefix,
        steamFlatpak,   steamSnap,    umu,           winetricks, playOnLinux,   crossover};
    EXPECT_EQ(WinePrefixCandidates(), expected);

    ::setenv("WINEPREFIX", (home / "Chosen").c_str(), 1);
    EXPECT_EQ(WinePrefixCandidates(), std::vector<std::string>{(home / "Chosen").string()})
        << "a prefix the player chose is the only one, with or without a registry";
}

// Lutris's game files as its YAML writer writes them: a name with letters beyond ASCII as an escape
// in double quotes, a long path folded onto a second line, single quotes with a doubled one.
struct LutrisCase {
    const char* title;
    const char* prefixLine; // the "prefix:" part of the file's "game:" map
    const char* folder;     // the prefix it names, below home
};

class LutrisGameFile : public RegistryTest, public ::testing::WithParamInterface<LutrisCase> {};

TEST_P(LutrisGameFile, NamesItsPrefix) {
    const std::string expected = prefix(GetParam().folder, registryText(""));
    launcherFile(".config/lutris/games/skarn-rally-2-1700000000.yml",
                 std::string("game:\n  exe: ") + home.string() + "/x/skarn.exe\n" + GetParam().prefixLine +
                     "\ngame_slug: skarn-rally-2\nname: Skarn Rally 2\n");
    EXPECT_EQ(WinePrefixCandidates(), std::vector<std::string>{expected});
}

INSTANTIATE_TEST_SUITE_P(
    Written, LutrisGameFile,
    ::testing::Values(
        LutrisCase{"EscapedLetter", "  prefix: \"~/Games/j\\xF6rg/skarn\"", "Games/j\xC3\xB6rg/skarn"},
        LutrisCase{"FoldedOntoASecondLine",
                   "  prefix: ~/Games/a rather long folder name with spaces that PyYAML folds/Skarn Rally\n"
                   "    2 prefix",
                   "Games/a rather long folder name with spaces that PyYAML folds/Skarn Rally 2 prefix"},
        LutrisCase{"SingleQuoted", "  prefix: '~/Games/it''s skarn'", "Games/it's skarn"}),
    [](const auto& info) { return std::string(info.param.title); });

TEST_F(RegistryTest, XdgFoldersReplaceTheDefaultOnes) {
    ::setenv("XDG_CONFIG_HOME", (dir.path() / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (dir.path() / "data").c_str(), 1);
    const std::string named = prefix("Named", registryText(""));
    const std::string winetricks =
        prefix((dir.path() / "data/wineprefixes/skarn").string(), registryText(""));
    prefix(".local/share/wineprefixes/ignored", registryText(""));
    fs::create_directories(dir.path() / "config/lutris/games");
    std::ofstream(dir.path() / "config/lutris/games/skarn.yml") << "game:\n  prefix: " << named << "\n";
    EXPECT_EQ(WinePrefixCandidates(), (std::vector<std::string>{named, winetricks}));
}

TEST_F(RegistryTest, TheFirstPrefixHoldingTheKeyIsUsedAndNamed) {
    prefix(".wine", registryText(kOtherSection));
    const std::string bottles =
        prefix(".local/share/bottles/bottles/Skarn", registryText(gameSection("\"C:\\\\Bottles\"")));
    prefix(".local/share/Steam/steamapps/compatdata/1/pfx", registryText(gameSection("\"C:\\\\Steam\"")));

    TRegistry registry;
    bool opened = false;
    const std::string said = open(registry, opened);
    ASSERT_TRUE(opened);
    EXPECT_EQ(registry.ReadString("HardDriveRootPath"), "C:\\Bottles");
    EXPECT_EQ(registry.KeyPrefix(), bottles);
    EXPECT_EQ(registry.LaterPrefixesWithKey(kGameKey),
              std::vector<std::string>{(home / ".local/share/Steam/steamapps/compatdata/1/pfx").string()});
    EXPECT_EQ(said, "") << "the registry says nothing";
}

TEST_F(RegistryTest, ChosenPrefixWithoutTheKeyCannotBeOpened) {
    prefix(".wine", registryText(gameSection("\"C:\\\\Default\"")));
    const std::string chosen = prefix("Chosen", registryText(kOtherSection));
    ::setenv("WINEPREFIX", chosen.c_str(), 1);

    TRegistry registry;
    bool opened = true;
    const std::string said = open(registry, opened);
    EXPECT_FALSE(opened);
    EXPECT_EQ(said, "");
    EXPECT_EQ(registry.SearchedPrefixes(), std::vector<std::string>{chosen});
    EXPECT_EQ(registry.KeyPrefix(), "");
    EXPECT_EQ(registry.ReadString("HardDriveRootPath"), "") << "nothing open reads as empty";
}

TEST_F(RegistryTest, WithoutAnyPrefixTheKeyCannotBeOpened) {
    TRegistry registry;
    bool opened = true;
    EXPECT_EQ(open(registry, opened), "");
    EXPECT_FALSE(opened);
    EXPECT_TRUE(registry.SearchedPrefixes().empty());
}

struct UnusableCase {
    const char* what;
    void (*make)(const fs::path& systemReg);
};

class UnusableRegistryFile : public RegistryTest, public ::testing::WithParamInterface<UnusableCase> {};

TEST_P(UnusableRegistryFile, CountsAsAMissingKeyAndTheSearchGoesOn) {
    const fs::path wine = home / ".wine";
    fs::create_directories(wine);
    GetParam().make(wine / "system.reg");
    const std::string next =
        prefix(".PlayOnLinux/wineprefix/Skarn", registryText(gameSection("\"C:\\\\Next\"")));

    ::setenv("WINEPREFIX", wine.c_str(), 1);
    TRegistry registry;
    bool opened = true;
    open(registry, opened);
    EXPECT_FALSE(opened) << "the chosen prefix alone";

    ::unsetenv("WINEPREFIX");
    open(registry, opened);
    ASSERT_TRUE(opened);
    EXPECT_EQ(registry.ReadString("HardDriveRootPath"), "C:\\Next");
    EXPECT_EQ(registry.KeyPrefix(), next);
}

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnusableRegistryFile,
    ::testing::Values(
        UnusableCase{"Missing", [](const fs::path&) {}},
        UnusableCase{"DanglingLink", [](const fs::path& p) { fs::create_symlink("gone.reg", p); }},
        UnusableCase{"Folder", [](const fs::path& p) { fs::create_directory(p); }},
        UnusableCase{"Fifo", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }},
        UnusableCase{"WrongFirstLine",
                     [](const fs::path& p) {
                         writeText(p, "WINE REGISTRY Version 1\n" + gameSection("\"C:\\\\X\""));
                     }},
        UnusableCase{"Empty", [](const fs::path& p) { writeText(p, ""); }}),
    [](const ::testing::TestParamInfo<UnusableCase>& info) { return std::string(info.param.what); });

TEST_F(RegistryTest, The32BitViewComesFirstThenTheKeyAsGiven) {
    const std::string both = prefix(
        ".wine", registryText(gameSection("\"C:\\\\Plain\"", false) + gameSection("\"C:\\\\Wow\"", true)));
    TRegistry registry;
    bool opened = false;
    open(registry, opened);
    ASSERT_TRUE(opened);
    EXPECT_EQ(registry.ReadString("HardDriveRootPath"), "C:\\Wow");

    // A 32-bit prefix has no Wow6432Node.
    writeText(fs::path(both) / "system.reg",
              "WINE REGISTRY Version 2\n#arch=win32\n" + gameSection("\"C:\\\\Plain\"", false));
    open(registry, opened);
    ASSERT_TRUE(opened);
    EXPECT_EQ(registry.ReadString("HardDriveRootPath"), "C:\\Plain");
}

TEST_F(RegistryTest, ValuesOfTheWrongTypeFailWithInvalidDataType) {
    prefix(".wine",
           registryText(gameSection("dword:00000001") + gameSection("\"\"", false) +
                        "[Software\\\\Wow6432Node\\\\Vuzezevev\\\\Vuzezevev Games\\\\Skarn Rally 2]\n"
                        "\"Multi\"=str(7):\"a\\0\"\n\"Expand\"=hex(2):25,00,41,00,25,00,00,00\n"));
    TRegistry registry;
    bool opened = false;
    open(registry, opened);
    ASSERT_TRUE(opened);
    try {
        registry.ReadString("HardDriveRootPath");
        FAIL() << "a DWORD is no string";
    } catch (const ERegistryException& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'HardDriveRootPath'");
    }
    EXPECT_THROW(registry.ReadString("multi"), ERegistryException);
    EXPECT_EQ(registry.ReadString("EXPAND"), "%A%") << "expandable strings are taken unexpanded";
    EXPECT_EQ(registry.ReadString("Missing"), "");
    registry.CloseKey();
    EXPECT_EQ(registry.ReadString("HardDriveRootPath"), "") << "closed: nothing to read, nothing to fail";
}

} // namespace
