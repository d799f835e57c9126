// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "FakeGame.h"
#include "TempDir.h"
#include "platform/Exceptions.h"
#include "platform/NativePath.h"
#include "tracks/GameLocation.h"
#include "tracks/TrackCatalogue.h"

namespace fs = std::filesystem;

namespace {

#ifndef _WIN32
// The game is looked for as the program starts: in a launcher's prefix found from $HOME, or in the
// prefix $WINEPREFIX names.
class GameLocation : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"HOME", "WINEPREFIX"}) {
            if (const char* value = std::getenv(name))
                m_saved.emplace_back(name, value);
        }
        ::setenv("HOME", (dir.path() / "home").c_str(), 1);
        ::unsetenv("WINEPREFIX");
    }
    void TearDown() override {
        ::unsetenv("WINEPREFIX");
        for (const auto& [name, value] : m_saved)
            ::setenv(name.c_str(), value.c_str(), 1);
    }

    TTempDir dir;

private:
    std::vector<std::pair<std::string, std::string>> m_saved;
};

TEST_F(GameLocation, DrivePathsResolveThroughThePrefixThatHoldsTheGame) {
    const TFakeGame game(dir.path() / "home/.local/share/bottles/bottles/Skarn");
    const TGameLocation location = LocateGame();
    ASSERT_TRUE(location.Installed);
    EXPECT_EQ(location.GameRoot, game.GameRoot());
    EXPECT_EQ(location.Report, "using the Wine prefix " + game.Prefix().string());
    const auto resolvesToTheGame = [&] {
        return fs::equivalent(NativePath(location.Prefix.Place(EventFolder(location.GameRoot, "Baja"))),
                              game.EventFolder("Baja"));
    };
    EXPECT_TRUE(resolvesToTheGame());

    // The prefix the player chose, with a trailing slash, is the only one looked in.
    ::setenv("WINEPREFIX", (game.Prefix().string() + "/").c_str(), 1);
    EXPECT_EQ(LocateGame().Report, "using the Wine prefix " + game.Prefix().string());
    ::setenv("WINEPREFIX", (dir.path() / "empty").c_str(), 1);
    const TGameLocation missing = LocateGame();
    EXPECT_FALSE(missing.Installed);
    EXPECT_EQ(missing.Prefix.Folder(), (dir.path() / "empty").string())
        << "drive paths go through the chosen one";
    EXPECT_TRUE(resolvesToTheGame()) << "a later search leaves the first game's drives as they were";
    EXPECT_NE(missing.Report.find("no Wine prefix holds HKEY_LOCAL_MACHINE\\" + std::string(GameRegistryKey) +
                                  " (searched: " + (dir.path() / "empty").string() + ")"),
              std::string::npos);

    ::setenv("WINEPREFIX", "relative/pfx", 1);
    try {
        LocateGame();
        FAIL() << "a relative prefix was taken";
    } catch (const EWinePrefixError& e) {
        EXPECT_STREQ(e.what(), "WINEPREFIX must be an absolute path: relative/pfx");
    }
}

// When several prefixes hold the game, the player is told which was taken and where else it is.
TEST_F(GameLocation, OtherPrefixesHoldingTheGameAreNamed) {
    const TFakeGame taken(dir.path() / "home/.wine");
    const TFakeGame second(dir.path() / "home/.local/share/bottles/bottles/Skarn");
    const TFakeGame third(dir.path() / "home/.local/share/wineprefixes/skarn");
    const TGameLocation location = LocateGame();
    ASSERT_TRUE(location.Installed);
    EXPECT_EQ(location.Prefix.Folder(), taken.Prefix().string());
    const std::vector<std::string> others = OtherGamePrefixes(location);
    EXPECT_EQ(others, (std::vector<std::string>{second.Prefix().string(), third.Prefix().string()}));
    EXPECT_EQ(PrefixChoiceReport(location, others), "using the Wine prefix " + taken.Prefix().string() +
                                                        "; the game is also in " + second.Prefix().string() +
                                                        " and " + third.Prefix().string() +
                                                        " (set WINEPREFIX to use another)");
    EXPECT_EQ(PrefixChoiceReport(location, {}), location.Report);
}
#endif

} // namespace
