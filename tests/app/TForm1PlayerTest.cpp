// SPDX-License-Identifier: GPL-3.0-or-later
// The window as a player uses it beyond the buttons: keys, drops, a folder changed from outside, long
// operations, tooltips and names for screen readers.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <set>

#include "ArchiveWriter.h"
#include "ContainerWriter.h"
#include "TFormFixture.h"
#include "app/TStatusLabel.h"
#include "platform/PathParts.h"

namespace {

class TForm1Player : public TFormFixture {
protected:
    void SetUp() override {
        TFormFixture::SetUp();
        makeGame({{"a.env", "Alpha"}, {"b.~env", "Bravo"}, {"c.env", "Charlie"}});
    }

    // Waits until the list holds count items, or three seconds have gone by (it takes a quarter of one; the
    // rest is room for a busy machine).
    static bool waitForRows(TForm1& form, int count) {
        return QTest::qWaitFor([&] { return form.Tracks().rowCount() == count; }, 10000);
    }
};

TEST_F(TForm1Player, EnterDoubleClickAndAcceleratorsActOnTheTracks) {
    TForm1 form(dialogs);
    showWithListFocused(form);
    selectRows(form, {0, 1}, 1);
    QTest::keyClick(form.ActiveListBox, Qt::Key_Return);
    EXPECT_EQ(filesIn(baja), (std::set<std::string>{"a.~env", "b.env", "c.env"}))
        << "each selected one switches";
    EXPECT_EQ(form.StatusText->text(), "1 track stopped, 1 started") << "never \"0 tracks started\"";

    selectRows(form, {}, 2);
    QTest::keyClick(form.ActiveListBox, Qt::Key_Enter);
    EXPECT_TRUE(fs::exists(baja / "c.~env")) << "nothing selected: the current track";

    const QRect first = form.ActiveListBox->visualRect(form.Tracks().index(0));
    QTest::mouseDClick(form.ActiveListBox->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_TRUE(fs::exists(baja / "a.env")) << "a double-click switches the track clicked";

    selectRows(form, {1}, 1);
    QTest::keyClick(&form, Qt::Key_T, Qt::AltModifier);
    EXPECT_TRUE(fs::exists(baja / "b.~env")) << "Alt+T stops";
    QTest::keyClick(&form, Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(fs::exists(baja / "b.env")) << "Alt+S starts";
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(TForm1Player, FolderChangesFromOutsideShowWithinASecondKeepingTheSelection) {
    TForm1 form(dialogs);
    showWithListFocused(form);
    selectRows(form, {2}, 1);
    game->AddTrack("Baja", "0.env", "Aardvark"); // goes first: the rows below move
    ASSERT_TRUE(waitForRows(form, 4));
    EXPECT_EQ(listed(form)[0], "Aardvark|0.env");
    EXPECT_TRUE(form.ActiveListBox->selectionModel()->isRowSelected(3)) << "Charlie stays selected";
    EXPECT_EQ(form.ActiveListBox->currentIndex().row(), 2) << "Bravo stays current";

    fs::rename(baja / "c.env", baja / "c.~env");
    fs::remove(baja / "0.env");
    ASSERT_TRUE(waitForRows(form, 3));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.Tracks().Item(2).FileName == "c.~env"; }, 10000));
    EXPECT_EQ(form.ActiveListBox->currentIndex().row(), 1) << "Bravo stays current";
    // Where the listing tells the file's identity (Linux), a renamed track is the same track and stays
    // selected; where it tells only size and time (Windows), it is another track, shown unselected.
    EXPECT_EQ(form.ActiveListBox->selectionModel()->isRowSelected(2), !NativePathsAreWindowsPaths())
        << "Charlie, renamed";

    // A folder made after the start is seen too.
    pickEvent(form, 4);
    game->AddTrack("SX", "s.env", "Supercross");
    ASSERT_TRUE(waitForRows(form, 1));

    // F5 reads the folder again at once.
    game->AddTrack("SX", "t.env", "Tag along");
    QTest::keyClick(&form, Qt::Key_F5);
    EXPECT_EQ(form.Tracks().rowCount(), 2);
    EXPECT_EQ(form.StatusText->text(), "Read the folder again: 2 tracks, 2 active");
    EXPECT_TRUE(dialogs.shown.empty());
}

// On Windows the toolkit's watcher of the folder is not told of a file in it written over: the list
// shows that at the next change in the folder, or F5.
#ifndef _WIN32
TEST_F(TForm1Player, ATrackRewrittenInPlaceShowsItsNewName) {
    TForm1 form(dialogs);
    showWithListFocused(form);
    // A pack unpacked over its tracks writes into the same files, which list as before.
    game->AddTrack("Baja", "a.env", "Zulu");
    ASSERT_TRUE(QTest::qWaitFor([&] { return listed(form)[2] == "Zulu|a.env"; }, 10000)) << listed(form)[2];
    EXPECT_EQ(form.Tracks().rowCount(), 3);
}
#endif

TEST_F(TForm1Player, AStreamOfChangesIsFollowedWhileItLasts) {
    TForm1 form(dialogs);
    showWithListFocused(form);
    // A change every 50 ms never lets the folder settle; the list follows at the latest after a second.
    QElapsedTimer streaming;
    streaming.start();
    bool followed = false;
    for (int i = 0; streaming.elapsed() < 3 * TForm1::FolderMaxDelayMs && !followed; ++i) {
        game->AddTrack("Baja", "s" + std::to_string(i) + ".env", "Stream " + std::to_string(i));
        QTest::qWait(50);
        followed = form.Tracks().rowCount() > 3;
    }
    EXPECT_TRUE(followed) << "the list waited for the stream to end";
}

TEST_F(TForm1Player, DialogsStartInTheFolderLastUsed) {
    const fs::path archive = dir.path() / "archive";
    fs::create_directory(archive);
    WriteFileBytes((archive / "e.env").string(),
                   BuildContainer({{"e.scn", BytesOf(TFakeGame::SceneText("Echo"))}}));
    TForm1 form(dialogs);
    dialogs.openAnswers.push_back({QString::fromStdString((archive / "e.env").string())});
    QTest::mouseClick(form.FetchBtn, Qt::LeftButton);
    selectRows(form, {0}, 0);
    QTest::mouseClick(form.ArchiveBtn, Qt::LeftButton); // cancelled
    ASSERT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(dialogs.requests[0].initialDir, QDir::homePath());
    EXPECT_EQ(QDir::toNativeSeparators(dialogs.requests[1].initialDir),
              QString::fromStdString(archive.string()));
    EXPECT_NE(dialogs.requests[1].initialDir, QDir::currentPath());
}

TEST_F(TForm1Player, DroppedTrackFilesAndArchivesAreFetchedOthersIgnored) {
    const fs::path outside = dir.path() / "downloads";
    fs::create_directory(outside);
    WriteFileBytes((outside / "e.~env").string(),
                   BuildContainer({{"e.scn", BytesOf(TFakeGame::SceneText("Echo"))}}));
    WriteFileBytes((outside / "notes.txt").string(), {1, 2});
    const std::vector<std::uint8_t> foxtrot =
        BuildContainer({{"f.scn", BytesOf(TFakeGame::SceneText("Foxtrot"))}});
    WriteFileBytes((outside / "Pack.ZIP").string(),
                   WriteArchive("zip", {{"pack/f.env", std::string(foxtrot.begin(), foxtrot.end())},
                                        {"pack/link.env", "", TArchiveItem::Symlink, "f.env"}}));
    TForm1 form(dialogs);
    form.show();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString((outside / "e.~env").string())),
                  QUrl::fromLocalFile(QString::fromStdString((outside / "notes.txt").string())),
                  QUrl::fromLocalFile(QString::fromStdString((outside / "Pack.ZIP").string()))});
    QWidget* viewport = form.ActiveListBox->viewport();
    const QPoint at = viewport->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    EXPECT_TRUE(fs::exists(baja / "e.~env"));
    EXPECT_FALSE(fs::exists(baja / "notes.txt"));
    EXPECT_TRUE(fs::exists(outside / "e.~env")) << "fetched, so the archived copy stays";
    EXPECT_TRUE(fs::exists(baja / "f.env"));
    EXPECT_EQ(form.Tracks().rowCount(), 5);
    EXPECT_EQ(form.StatusText->text(),
              "2 tracks fetched into Baja; 1 left as it was: link.env: a link, not a "
              "file; Not a track: notes.txt (track files end in .env or .~env; "
              "archives of tracks are .zip, .7z, .rar or .tar.gz)");

    QMimeData other;
    other.setUrls({QUrl::fromLocalFile(QString::fromStdString((outside / "notes.txt").string()))});
    QDragEnterEvent refused(at, Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_EQ(form.StatusText->text(), "Not a track: notes.txt (track files end in .env or .~env; archives "
                                       "of tracks are .zip, .7z, .rar or .tar.gz)");
}

// Long operations show their progress, and a cancel leaves every track either done or untouched.
TEST_F(TForm1Player, LongStoreShowsProgressAndCancelsBetweenTracks) {
    for (int i = 0; i < 20; ++i)
        game->AddTrack("Baja", "t" + std::to_string(100 + i) + ".env", "Track " + std::to_string(100 + i));
    const fs::path archive = dir.path() / "archive";
    fs::create_directory(archive);
    TForm1 form(dialogs);
    showWithListFocused(form);
    form.SetProgressInterval(0);
    QStringList progress;
    QObject::connect(&form, &TForm1::Progressed, [&](qsizetype done, qsizetype) {
        progress.push_back(form.StatusText->text());
        if (done == 5)
            QTest::keyClick(form.ActiveListBox, Qt::Key_Escape);
        QTest::mouseClick(form.DeleteBtn, Qt::LeftButton); // held back while the work runs
    });
    QTest::keyClick(form.ActiveListBox, Qt::Key_A, Qt::ControlModifier);
    dialogs.saveAnswers.push_back(QString::fromStdString((archive / "x.env").string()));
    QTest::mouseClick(form.ArchiveBtn, Qt::LeftButton);

    ASSERT_GE(progress.size(), 6);
    EXPECT_EQ(progress[0], "Storing 1 of 23 (Esc cancels)");
    EXPECT_EQ(progress[5], "Storing 6 of 23 (Esc cancels)");
    EXPECT_EQ(filesIn(archive).size(), 5u) << "cancelled before the sixth track";
    EXPECT_EQ(filesIn(baja).size(), 18u) << "each track moved whole or not at all";
    EXPECT_EQ(form.StatusText->text(), "Cancelled: 5 of 23 stored") << "the outcome first";
    EXPECT_EQ(form.StatusText->toolTip(), form.StatusText->text());
    EXPECT_TRUE(form.LastReport().contains("Track 105 (t105.env) - cancelled before it"));
    EXPECT_EQ(dialogs.shown.size(), 0u) << "the Delete click during the work was held back";

    // Closing the window cancels too; it closes once the track in hand is done.
    QObject::disconnect(&form, &TForm1::Progressed, nullptr, nullptr);
    QObject::connect(&form, &TForm1::Progressed, [&](qsizetype done, qsizetype) {
        if (done == 2)
            form.close();
    });
    selectRows(form, {0, 1, 2, 3, 4, 5}, 0);
    dialogs.saveAnswers.push_back(QString::fromStdString((archive / "x.env").string()));
    QTest::mouseClick(form.ArchiveBtn, Qt::LeftButton);
    EXPECT_EQ(filesIn(archive).size(), 7u);
    EXPECT_TRUE(form.isVisible()) << "not while the work runs";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 10000));
}

TEST_F(TForm1Player, AStatusTooLongForTheBarEndsInAnEllipsis) {
    TForm1 form(dialogs);
    form.show();
    const int width = form.width();
    auto* status = dynamic_cast<TStatusLabel*>(form.StatusText);
    ASSERT_NE(status, nullptr);
    status->setText("Cancelled: 5 of 23 stored");
    EXPECT_EQ(status->ShownText(), status->text());
    const QString whole =
        "2 tracks stopped; 3 left as they were: Bravo is inactive already, Delta: d.~env exists, "
        "Echo: Permission denied";
    status->setText(whole);
    QApplication::processEvents();
    EXPECT_TRUE(status->ShownText().endsWith(QChar(0x2026))) << status->ShownText().toStdString();
    EXPECT_TRUE(whole.startsWith(status->ShownText().chopped(1)));
    EXPECT_LE(status->fontMetrics().horizontalAdvance(status->ShownText()), status->width());
    EXPECT_EQ(form.width(), width) << "a long status never widens the window";
}

TEST_F(TForm1Player, TooltipsAndNamesForScreenReaders) {
    TForm1 form(dialogs);
    EXPECT_EQ(form.Tracks().data(form.Tracks().index(1), Qt::ToolTipRole).toString(), "Bravo\nb.~env");
    EXPECT_EQ(form.ActiveBtn->accessibleName(), "Start");
    EXPECT_EQ(form.ActiveBtn->accessibleDescription(), "Make selected tracks active");
    EXPECT_EQ(form.DeleteBtn->toolTip(), "Delete selected tracks (Del or Alt+D)");
    EXPECT_EQ(form.ActiveListBox->accessibleName(), "Tracks");

    QAccessibleInterface* stop = QAccessible::queryAccessibleInterface(form.InactiveBtn);
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->role(), QAccessible::Button);
    EXPECT_EQ(stop->text(QAccessible::Name), "Stop");
    selectRows(form, {0}, 0);
    stop->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(fs::exists(baja / "a.~env")) << "a screen reader can press it";
}

} // namespace
