// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "app/TPreviewImage.h"

#include "TFormFixture.h"

namespace {

using TForm1Test = TFormFixture;

TEST_F(TForm1Test, StartsOnTheGameAndListsBaja) {
    TFakeGame game(dir.path() / "pfx");
    game.AddTrack("Baja", "zulu.env", "Zulu");
    game.AddTrack("Baja", "alpha.~env", "alpha");
    game.AddTrack("Baja", "Mike.ENV", "Mike");
    game.AddTrack("SX", "sx1.env", "Supercross");

    TForm1 form(dialogs);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(form.GameRoot(), game.GameRoot());
    EXPECT_EQ(form.EventSelectBox->currentText(), "Baja");
    EXPECT_EQ(listed(form), (std::vector<std::string>{"alpha|alpha.~env", "Mike|Mike.ENV", "Zulu|zulu.env"}));
    EXPECT_EQ(form.windowTitle(), "Skarn2 Track manager");

    pickEvent(form, 4);
    EXPECT_EQ(listed(form), std::vector<std::string>{"Supercross|sx1.env"});
    pickEvent(form, 5);
    EXPECT_TRUE(listed(form).empty()) << "a missing event folder lists nothing, quietly";
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(TForm1Test, LettersShowActiveAndInactiveTracks) {
    TFakeGame game(dir.path() / "pfx");
    game.AddTrack("Baja", "a.env", "A track");
    game.AddTrack("Baja", "b.~env", "B track");
    TForm1 form(dialogs);
    form.show();
    const QImage list = form.ActiveListBox->viewport()->grab().toImage();
    // The letter sits in the first columns of each 13-pixel row: green for "A", red for "X".
    const auto dominant = [&](int row) {
        int red = 0;
        int green = 0;
        for (int y = row * 13; y < row * 13 + 13; ++y)
            for (int x = 0; x < 12; ++x) {
                const QColor c = list.pixelColor(x, y);
                red += c.red() > 150 && c.green() < 100 ? 1 : 0;
                green += c.green() > 90 && c.red() < 80 && c.blue() < 80 ? 1 : 0;
            }
        return red > green ? 'X' : green > red ? 'A' : '?';
    };
    EXPECT_EQ(dominant(0), 'A');
    EXPECT_EQ(dominant(1), 'X');
}

TEST_F(TForm1Test, MissingKeyShowsTheRegistryErrorAndGoesOn) {
    TFakeGame game(dir.path() / "pfx", {.writeKey = false});
    TForm1 form(dialogs);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Skarn2 doesn't seem to be installed.");
    EXPECT_EQ(dialogs.shown[0].caption, "Registry error");
    EXPECT_EQ(dialogs.shown[0].flags, 0u);
    EXPECT_EQ(form.GameRoot(), "");
    EXPECT_EQ(form.EventSelectBox->currentText(), "Baja");
#ifndef _WIN32
    // Once open, the window says where it looked, and how to pick a prefix.
    EXPECT_TRUE(form.StatusText->text().startsWith("No game found: no Wine prefix holds"))
        << form.StatusText->text().toStdString();
    EXPECT_TRUE(form.StatusText->text().contains("WINEPREFIX"));
#endif
}

TEST_F(TForm1Test, ValueOfAnotherTypeEndsFormCreate) {
    TFakeGame game(dir.path() / "pfx", {.valueKind = TFakeGame::TValueKind::Dword});
    game.AddTrack("Baja", "a.env", "A");
    TForm1 form(dialogs);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Invalid data type for 'HardDriveRootPath'")
        << "a quote sorts before the full stop";
    EXPECT_EQ(dialogs.shown[0].caption, "Track manager");
    EXPECT_EQ(dialogs.shown[0].flags, TDialogs::mbOK | TDialogs::mbIconError);
    EXPECT_EQ(form.EventSelectBox->currentIndex(), -1) << "no event type selected";
    EXPECT_EQ(form.Tracks().rowCount(), 0);
}

TEST_F(TForm1Test, ValueEndingInABackslashStillFindsTheTracks) {
    TFakeGame game(dir.path() / "pfx",
                   {.valueKind = TFakeGame::TValueKind::ExpandString, .valueSuffix = "\\"});
    game.AddTrack("Baja", "a.env", "A");
    TForm1 form(dialogs);
    EXPECT_EQ(form.GameRoot(), game.GameRoot());
    EXPECT_EQ(form.GameRoot().substr(form.GameRoot().size() - 2), "\\\\");
    EXPECT_EQ(listed(form), std::vector<std::string>{"A|a.env"});
}

TEST_F(TForm1Test, GeometryAndAnchors) {
    TFakeGame game(dir.path() / "pfx");
    TForm1 form(dialogs);
    EXPECT_EQ(form.size(), QSize(332, 431));
    EXPECT_EQ(form.minimumSize(), QSize(332, 270));
    EXPECT_EQ(form.ActiveListBox->geometry(), QRect(4, 151, 325, 211));
    EXPECT_EQ(form.ExitBtn->geometry(), QRect(4, 3, 35, 36));
    EXPECT_EQ(form.ExitBtn->toolTip(), "Exit track manager (Alt+X)");
    form.show();
    form.resize(500, 600);
    EXPECT_EQ(form.BriskPanel1->geometry(), QRect(0, 0, 500, 42));
    EXPECT_EQ(form.StatusBar->geometry(), QRect(0, 581, 500, 19));
    EXPECT_EQ(form.ActiveListBox->geometry(), QRect(4, 151, 493, 380));
    EXPECT_EQ(form.Preview->geometry(), QRect(500 - 5 - 285, 6, 285, 139));
}

TEST_F(TForm1Test, ExitClosesTheWindow) {
    TFakeGame game(dir.path() / "pfx");
    TForm1 form(dialogs);
    form.show();
    ASSERT_TRUE(form.isVisible());
    QTest::mouseClick(form.ExitBtn, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(TForm1Test, HorizontalScrollBarOnlyForANameWiderThanTheList) {
    TFakeGame game(dir.path() / "pfx");
    for (int i = 0; i < 40; ++i)
        game.AddTrack("Baja", "t" + std::to_string(i) + ".env", "Track " + std::to_string(i));
    TForm1 form(dialogs);
    form.show();
    QApplication::processEvents();
    EXPECT_TRUE(form.ActiveListBox->verticalScrollBar()->isVisible());
    EXPECT_FALSE(form.ActiveListBox->horizontalScrollBar()->isVisible()) << "short names fit";

    game.AddTrack("Baja", "long.env", std::string(80, 'W'));
    pickEvent(form, 0);
    QApplication::processEvents();
    EXPECT_TRUE(form.ActiveListBox->horizontalScrollBar()->isVisible());
}

// The freedesktop trash and the demo installation are what a Linux desktop has.
#ifndef _WIN32
TEST_F(TForm1Test, StatusBarNamesTheDemoInstallation) {
    TFakeGame game(dir.path() / "pfx");
    {
        TForm1 form(dialogs);
        EXPECT_FALSE(form.StatusText->text().contains("Demo")) << "the game itself";
    }
    std::ofstream(dir.path() / "pfx" / DemoMarkerName) << "demo\n";
    TForm1 form(dialogs);
    EXPECT_EQ(form.StatusText->text(),
              QString::fromStdString("Demo installation in use: " + (dir.path() / "pfx").string()));
}
#endif

} // namespace
