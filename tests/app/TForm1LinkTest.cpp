// SPDX-License-Identifier: GPL-3.0-or-later
// The window facing a dangling symbolic link among the tracks (POSIX systems).
#include <gtest/gtest.h>

#include "TFormFixture.h"

namespace {

using TForm1Test = TFormFixture;

TEST_F(TForm1Test, AnUnopenableTrackIsReportedAndEveryOtherTrackListed) {
    TFakeGame game(dir.path() / "pfx");
    game.AddTrack("Baja", "good.env", "Good");
    fs::create_symlink(game.EventFolder("Baja") / "nowhere", game.EventFolder("Baja") / "broken.env");
    TForm1 form(dialogs);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text,
              QString::fromStdString("Cannot open file " +
                                     (game.EventFolder("Baja") / "broken.env").string() + "."))
        << "the native path, where the player finds the file";
    EXPECT_EQ(dialogs.shown[0].caption, "Track manager");
    EXPECT_EQ(listed(form), std::vector<std::string>{"Good|good.env"});
    EXPECT_EQ(form.EventSelectBox->currentText(), "Baja");
}

} // namespace
