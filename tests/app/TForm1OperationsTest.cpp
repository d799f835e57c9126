// SPDX-License-Identifier: GPL-3.0-or-later
// The track operations driven through the window, with scripted dialog answers.
#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <cerrno>
#include <set>

#include "ContainerWriter.h"
#include "ImmutableFile.h"
#include "TFormFixture.h"
#include "app/TrackRemoval.h"
#include "platform/FileError.h"

namespace {

class TForm1Operations : public TFormFixture {
protected:
    void SetUp() override {
        TFormFixture::SetUp();
        // List order: Alpha, Bravo, Charlie, Delta.
        makeGame({{"a.env", "Alpha"}, {"b.~env", "Bravo"}, {"c.envx", "Charlie"}, {"d.env", "Delta"}});
        // Deleted tracks go to a trash of the test's own.
        if (const char* old = std::getenv("XDG_DATA_HOME"))
            oldDataHome = old;
        fs::create_directories(dir.path() / "data");
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString((dir.path() / "data").string()));
        trash = dir.path() / "data" / "Trash";
    }
    void TearDown() override {
        if (oldDataHome)
            qputenv("XDG_DATA_HOME", QByteArray::fromStdString(*oldDataHome));
        else
            qunsetenv("XDG_DATA_HOME");
        TFormFixture::TearDown();
    }

    fs::path trash;
    std::optional<std::string> oldDataHome;
};

TEST_F(TForm1Operations, StopAndStartRenameSelectedTracksAndKeepTheList) {
    TForm1 form(dialogs);
    selectRows(form, {0, 2}, 3);
    QTest::mouseClick(form.InactiveBtn, Qt::LeftButton);
    EXPECT_EQ(listed(form),
              (std::vector<std::string>{"Alpha|a.~env", "Bravo|b.~env", "Charlie|c.~env", "Delta|d.env"}));
    EXPECT_EQ(filesIn(baja), (std::set<std::string>{"a.~env", "b.~env", "c.~env", "d.env"}));
    EXPECT_TRUE(form.ActiveListBox->selectionModel()->isRowSelected(0)) << "the selection stays";
    EXPECT_EQ(form.ActiveListBox->currentIndex().row(), 3) << "the current item stays";

    selectRows(form, {1, 2}, 0);
    QTest::mouseClick(form.ActiveBtn, Qt::LeftButton);
    EXPECT_EQ(listed(form),
              (std::vector<std::string>{"Alpha|a.~env", "Bravo|b.env", "Charlie|c.env", "Delta|d.env"}));
    EXPECT_EQ(filesIn(baja), (std::set<std::string>{"a.~env", "b.env", "c.env", "d.env"}));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(TForm1Operations, StopOnATrackWhoseInactiveTwinExistsFailsSilently) {
    WriteFileBytes((baja / "D.~ENV").string(), {1, 2, 3});
    TForm1 form(dialogs);
    selectRows(form, {3}, 3);
    QTest::mouseClick(form.InactiveBtn, Qt::LeftButton);
    EXPECT_EQ(form.Tracks().Item(3).FileName, "d.env");
    EXPECT_TRUE(fs::exists(baja / "d.env"));
    EXPECT_EQ(ReadFileBytes((baja / "D.~ENV").string()), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(TForm1Operations, StoreOfATrackThatCannotBeDeletedSaysSoInTheStatusBar) {
    const fs::path archive = dir.path() / "archive";
    fs::create_directory(archive);
    const TImmutableFile locked((baja / "a.env").string());
    if (!locked.Set())
        GTEST_SKIP() << "this file system or these rights do not make files immutable";
    TForm1 form(dialogs);
    selectRows(form, {0, 3}, 0);
    dialogs.saveAnswers.push_back(QString::fromStdString((archive / "x.env").string()));
    QTest::mouseClick(form.ArchiveBtn, Qt::LeftButton);
    EXPECT_EQ(filesIn(archive), (std::set<std::string>{"a.env", "d.env"}));
    EXPECT_EQ(filesIn(baja), (std::set<std::string>{"a.env", "b.~env", "c.envx"}));
    EXPECT_TRUE(form.StatusText->text().endsWith("; 1 still in the game too, not deleted: Alpha (" +
                                                 QString::fromStdString(SystemErrorText(EPERM)) + ")"))
        << form.StatusText->text().toStdString();
    EXPECT_TRUE(dialogs.shown.empty()) << "no message box";
}

TEST_F(TForm1Operations, StoreMovesTheSelectedTracksAndRebuilds) {
    const fs::path archive = dir.path() / "archive";
    fs::create_directory(archive);
    TForm1 form(dialogs);
    selectRows(form, {0, 3}, 1);
    dialogs.saveAnswers.push_back(QString::fromStdString((archive / "any name.env").string()));
    QTest::mouseClick(form.ArchiveBtn, Qt::LeftButton);

    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].title, "Select a folder to archive to");
    EXPECT_EQ(dialogs.requests[0].filter, "Archived tracks|*.env;*.~env");
    EXPECT_EQ(dialogs.requests[0].fileName, "b.~env") << "the current item's name, though not selected";
    EXPECT_EQ(filesIn(archive), (std::set<std::string>{"a.env", "d.env"}));
    EXPECT_EQ(filesIn(baja), (std::set<std::string>{"b.~env", "c.envx"}));
    EXPECT_EQ(listed(form), (std::vector<std::string>{"Bravo|b.~env", "Charlie|c.envx"}));
}

TEST_F(TForm1Operations, StoreCancelledOrWithoutCurrentItemChangesNothing) {
    TForm1 form(dialogs);
    QTest::mouseClick(form.ArchiveBtn, Qt::LeftButton);
    EXPECT_TRUE(dialogs.requests.empty()) << "no current item: no dialog";
    selectRows(form, {0}, 0);
    QTest::mouseClick(form.ArchiveBtn, Qt::LeftButton);
    EXPECT_EQ(dialogs.requests[0].initialDir, QDir::homePath()) << "first the home folder";
    QTest::mouseClick(form.ArchiveBtn, Qt::LeftButton);
    EXPECT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(filesIn(baja).size(), 4u);
    EXPECT_TRUE(form.ActiveListBox->selectionModel()->isRowSelected(0)) << "no rebuild after a cancel";
}

TEST_F(TForm1Operations, StoreIntoTheEventFolderItselfReportsAndKeepsTheTrack) {
    TForm1 form(dialogs);
    selectRows(form, {0}, 0);
    const auto before = ReadFileBytes((baja / "a.env").string());
    dialogs.saveAnswers.push_back(QString::fromStdString((baja / "a.env").string()));
    QTest::mouseClick(form.ArchiveBtn, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text,
              QString::fromStdString("Cannot create file " + (baja / "a.env").string() + "."));
    EXPECT_EQ(dialogs.shown[0].caption, "Track manager");
    EXPECT_EQ(ReadFileBytes((baja / "a.env").string()), before);
    EXPECT_EQ(filesIn(baja).size(), 4u);
}

TEST_F(TForm1Operations, FetchCopiesIntoTheShownEventFolder) {
    const fs::path archive = dir.path() / "archive";
    fs::create_directory(archive);
    WriteFileBytes((archive / "e.~env").string(),
                   BuildContainer({{"e.scn", BytesOf(TFakeGame::SceneText("Echo"))}}));
    const fs::path sx = game->EventFolder("SX");
    TForm1 form(dialogs);
    pickEvent(form, 4);
    dialogs.openAnswers.push_back({QString::fromStdString((archive / "e.~env").string())});
    QTest::mouseClick(form.FetchBtn, Qt::LeftButton);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].title, "Select tracks to fetch");
    EXPECT_TRUE(
        dialogs.requests[0].filter.startsWith("Archived tracks|*.env;*.~env|Track archives|*.zip;*.7z;"))
        << dialogs.requests[0].filter.toStdString();
    EXPECT_TRUE(fs::exists(archive / "e.~env")) << "the archived copy stays";
    EXPECT_TRUE(fs::exists(sx / "e.~env"));
    EXPECT_EQ(listed(form), std::vector<std::string>{"Echo|e.~env"});
}

TEST_F(TForm1Operations, FetchOfAMissingFileIsReported) {
    TForm1 form(dialogs);
    const std::string missing = (dir.path() / "nowhere.env").string();
    dialogs.openAnswers.push_back({QString::fromStdString(missing)});
    QTest::mouseClick(form.FetchBtn, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QString::fromStdString("Cannot open file " + missing + "."));
}

// The freedesktop trash and the demo installation are what a Linux desktop has.
#ifndef _WIN32
// Linux file names may hold ":" and "\", which a Windows-style path would split; in the window's
// Windows-style event folder they stay names.
TEST_F(TForm1Operations, NamesWithColonsAndBackslashesStayNames) {
    game->AddTrack("Baja", "e:f.env", "Echo");
    game->AddTrack("Baja", "g\\h.env", "Golf");
    const fs::path archive = dir.path() / "archive";
    fs::create_directory(archive);
    WriteFileBytes((archive / "x:d.env").string(), BytesOf("archived x:d"));
    TForm1 form(dialogs);
    ASSERT_EQ(listed(form), (std::vector<std::string>{"Alpha|a.env", "Bravo|b.~env", "Charlie|c.envx",
                                                      "Delta|d.env", "Echo|e:f.env", "Golf|g\\h.env"}));
    selectRows(form, {5}, 5);
    selectRows(form, {4, 5}, 5); // the selection change shows g\\h.env's preview
    QTest::mouseClick(form.InactiveBtn, Qt::LeftButton);
    EXPECT_EQ(filesIn(baja),
              (std::set<std::string>{"a.env", "b.~env", "c.envx", "d.env", "e:f.~env", "g\\h.~env"}));

    dialogs.saveAnswers.push_back(QString::fromStdString((archive / "any.env").string()));
    QTest::mouseClick(form.ArchiveBtn, Qt::LeftButton);
    dialogs.openAnswers.push_back({QString::fromStdString((archive / "x:d.env").string())});
    QTest::mouseClick(form.FetchBtn, Qt::LeftButton);
    EXPECT_EQ(filesIn(archive), (std::set<std::string>{"e:f.~env", "g\\h.~env", "x:d.env"}));
    EXPECT_EQ(filesIn(baja), (std::set<std::string>{"a.env", "b.~env", "c.envx", "d.env", "x:d.env"}));
    EXPECT_EQ(ReadFileBytes((baja / "x:d.env").string()), BytesOf("archived x:d"));
    EXPECT_NE(ReadFileBytes((baja / "d.env").string()), BytesOf("archived x:d"));
    EXPECT_TRUE(dialogs.shown.empty()) << (dialogs.shown.empty() ? "" : dialogs.shown[0].text.toStdString());
}

TEST_F(TForm1Operations, DeleteAsksFirstWithNoAsDefaultAndUsesTheTrash) {
    TForm1 form(dialogs);
    showWithListFocused(form);
    selectRows(form, {1, 2}, 0);
    dialogs.answers.push_back(TDialogs::idNo);
    QTest::keyClick(form.ActiveListBox, Qt::Key_Delete);
    ASSERT_EQ(dialogs.shown.size(), 1u) << "the Delete key asks as the button does";
    EXPECT_EQ(dialogs.shown[0].text, "Are you sure you want to delete these 2 tracks? They go to the trash.");
    EXPECT_EQ(dialogs.shown[0].caption, "Track delete");
    EXPECT_EQ(dialogs.shown[0].flags, 0x134u) << "warning icon, Yes and No, No the default";
    EXPECT_EQ(filesIn(baja).size(), 4u);
    EXPECT_TRUE(form.ActiveListBox->selectionModel()->isRowSelected(1)) << "No: no rebuild";

    dialogs.answers.push_back(TDialogs::idYes);
    QTest::mouseClick(form.DeleteBtn, Qt::LeftButton);
    EXPECT_EQ(filesIn(baja), (std::set<std::string>{"a.env", "d.env"}));
    EXPECT_EQ(listed(form), (std::vector<std::string>{"Alpha|a.env", "Delta|d.env"}));
    EXPECT_EQ(filesIn(trash / "files"), (std::set<std::string>{"b.~env", "c.envx"}))
        << "a mistake can be undone";
    EXPECT_EQ(form.StatusText->text(), "2 tracks moved to the trash");

    // Ctrl+Z brings them back from the trash.
    QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(filesIn(baja), (std::set<std::string>{"a.env", "b.~env", "c.envx", "d.env"}));
    EXPECT_EQ(filesIn(trash / "files"), std::set<std::string>{});
    EXPECT_EQ(filesIn(trash / "info"), std::set<std::string>{}) << "the trash forgets them";
    EXPECT_EQ(form.StatusText->text(), "Undone: 2 tracks put back");

    selectRows(form, {0}, 0);
    dialogs.answers.push_back(TDialogs::idYes);
    QTest::mouseClick(form.DeleteBtn, Qt::LeftButton);
    EXPECT_EQ(dialogs.shown.back().text, "Are you sure you want to delete \"Alpha\"? It goes to the trash.");
}
#endif

TEST_F(TForm1Operations, CtrlZRenamesBackWhatStopDidButNeverOverAFile) {
    TForm1 form(dialogs);
    EXPECT_EQ(form.StatusText->text(), "4 tracks, 3 active") << "the count when there is nothing else to say";
    showWithListFocused(form);
    selectRows(form, {0, 3}, 0);
    QTest::mouseClick(form.InactiveBtn, Qt::LeftButton);
    EXPECT_EQ(form.StatusText->text(), "2 tracks stopped");
    WriteFileBytes((baja / "D.ENV").string(), {1}); // takes Delta's old name meanwhile
    QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(filesIn(baja), (std::set<std::string>{"a.env", "b.~env", "c.envx", "D.ENV", "d.~env"}));
    EXPECT_EQ(form.StatusText->text(), "Undone: Alpha put back; 1 left as it was: Delta: d.env is taken now");
    QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form.StatusText->text(), "Nothing to undo.");

    // The report of the last operation opens from the status bar, and with Ctrl+R.
    QTest::mouseClick(form.StatusText, Qt::LeftButton);
    QTest::keyClick(&form, Qt::Key_R, Qt::ControlModifier);
    ASSERT_EQ(dialogs.reports.size(), 2u);
    EXPECT_EQ(dialogs.reports[0].text,
              "Undone: Alpha put back; 1 left as it was: Delta: d.env is taken now\n\n"
              "Alpha (a.~env) - put back: now a.env\n"
              "Delta (d.~env) - left as it was (d.env is taken now)");
}

TEST_F(TForm1Operations, FetchSaysWhatItLeftAndReplacedAndNeverMakesATwin) {
    const fs::path archive = dir.path() / "archive";
    fs::create_directory(archive);
    WriteFileBytes((archive / "a.~env").string(),
                   BuildContainer({{"a.scn", BytesOf(TFakeGame::SceneText("Old A"))}}));
    WriteFileBytes((archive / "d.env").string(),
                   BuildContainer({{"d.scn", BytesOf(TFakeGame::SceneText("New D"))}}));
    TForm1 form(dialogs);
    dialogs.openAnswers.push_back({QString::fromStdString((archive / "a.~env").string()),
                                   QString::fromStdString((archive / "d.env").string()),
                                   QString::fromStdString((baja / "b.~env").string())});
    QTest::mouseClick(form.FetchBtn, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown.size(), 1u) << "one question, and no error box for what is there already";
    // Where no trash takes the track (under Wine), the question says it is deleted for good.
    const QString fate =
        TrashTakes((baja / "a.env").string()) ? "It goes to the trash." : "It is deleted for good.";
    EXPECT_EQ(dialogs.shown[0].text,
              "a.env, the same track as a.~env, is in Baja already. Replace it with a.~env? " + fate +
                  " No leaves a.~env out.");
    EXPECT_EQ(dialogs.shown[0].flags, 0x134u) << "No is the default";
    EXPECT_EQ(filesIn(baja), (std::set<std::string>{"a.env", "b.~env", "c.envx", "d.env"}));
    EXPECT_EQ(form.StatusText->text(),
              "New D fetched into Baja, replacing an older copy; 2 left as they were: "
              "a.~env not fetched: a.env is the same track, started, Bravo is there already")
        << form.StatusText->text().toStdString();

    // Yes: the one in the folder goes to the trash and the fetched one takes its place.
    dialogs.answers.push_back(TDialogs::idYes);
    dialogs.openAnswers.push_back({QString::fromStdString((archive / "a.~env").string())});
    QTest::mouseClick(form.FetchBtn, Qt::LeftButton);
    EXPECT_EQ(filesIn(baja), (std::set<std::string>{"a.~env", "b.~env", "c.envx", "d.env"}));
#ifndef _WIN32
    EXPECT_EQ(filesIn(trash / "files"), std::set<std::string>{"a.env"}) << "the freedesktop trash";
#endif
    EXPECT_EQ(form.StatusText->text(), "Old A fetched into Baja, replacing an older copy");
    dialogs.shown.clear();

    // An event folder that does not exist is named, and Fetch into it says so before any dialog.
    pickEvent(form, 4);
    EXPECT_TRUE(form.StatusText->text().startsWith("Missing folder: "))
        << form.StatusText->text().toStdString();
    EXPECT_TRUE(
        QDir::fromNativeSeparators(form.StatusText->toolTip()).endsWith("/Vevozura/SX/ does not exist"))
        << form.StatusText->toolTip().toStdString();
    QTest::mouseClick(form.FetchBtn, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, form.StatusText->toolTip() + ".");
    EXPECT_EQ(dialogs.requests.size(), 2u) << "no dialog in vain";
}

TEST_F(TForm1Operations, StoreAndDeleteWithNothingSelectedSaySoAndAskNothing) {
    TForm1 form(dialogs);
    selectRows(form, {}, 2); // a current item, but nothing selected
    QTest::mouseClick(form.ArchiveBtn, Qt::LeftButton);
    EXPECT_EQ(form.StatusText->text(), "No track is selected: nothing to store.");
    QTest::mouseClick(form.DeleteBtn, Qt::LeftButton);
    EXPECT_EQ(form.StatusText->text(), "No track is selected: nothing to delete.");
    EXPECT_TRUE(dialogs.requests.empty());
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(filesIn(baja).size(), 4u);
}

// What was done and what was left, with the reason, after each operation.
TEST_F(TForm1Operations, StatusBarSaysWhatWasDoneAndWhatWasLeft) {
    WriteFileBytes((baja / "d.~env").string(), {1, 2, 3});
    const fs::path archive = dir.path() / "archive";
    fs::create_directory(archive);
    TForm1 form(dialogs);
    selectRows(form, {0, 1, 3}, 0);
    QTest::mouseClick(form.InactiveBtn, Qt::LeftButton);
    EXPECT_EQ(form.StatusText->text(),
              "Alpha stopped; 2 left as they were: Bravo is inactive already, Delta: d.~env exists");

    selectRows(form, {0, 1}, 0);
    dialogs.saveAnswers.push_back(QString::fromStdString((archive / "x.env").string()));
    QTest::mouseClick(form.ArchiveBtn, Qt::LeftButton);
    EXPECT_EQ(form.StatusText->toolTip(),
              QString::fromStdString("2 tracks stored in " + (archive / "").string()));

    // A failure ends the operation: the report says why, and so does the status bar.
    game->AddTrack("Baja", "e.env", "Echo");
    game->AddTrack("Baja", "f.env", "Foxtrot");
    form.ReloadTrackList();
    selectRows(form, {2, 3}, 2);
    fs::create_directory(archive / "f.env"); // a folder in the way of the second track
    dialogs.saveAnswers.push_back(QString::fromStdString((archive / "x.env").string()));
    QTest::mouseClick(form.ArchiveBtn, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(form.StatusText->toolTip(),
              QString::fromStdString("Failed: 1 of 2 stored in " + (archive / "").string() +
                                     "; Cannot create file " + (archive / "f.env").string()));
}

} // namespace
