// SPDX-License-Identifier: GPL-3.0-or-later
// The preview driven through the window: clicks on the list show the track's picture or the placeholder.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include <algorithm>

#include "ContainerWriter.h"
#include "TFormFixture.h"
#include "TgaWriter.h"
#include "app/TPreviewImage.h"
#include "platform/TBitmap.h"

namespace {

// A solid 24-bit picture of the given size and colour.
std::vector<std::uint8_t> solidTga(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    TTgaImage image;
    image.width = static_cast<std::uint16_t>(width);
    image.height = static_cast<std::uint16_t>(height);
    for (int i = 0; i < width * height; ++i)
        image.data.insert(image.data.end(), {b, g, r});
    return BuildTga(image);
}

QColor pixel(const TForm1& form, int x, int y) {
    return form.Preview->Picture().pixelColor(x, y);
}

const QColor Fill(0x80, 0x9B, 0xBD);

class TForm1Preview : public TFormFixture {
protected:
    void SetUp() override {
        TFormFixture::SetUp();
        game.emplace(dir.path() / "pfx");
    }

    // Clicks the item at row, as the user does; with Ctrl it toggles.
    static void click(TForm1& form, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QRect rect = form.ActiveListBox->visualRect(form.Tracks().index(row));
        QTest::mouseClick(form.ActiveListBox->viewport(), Qt::LeftButton, modifiers, rect.center());
    }

    std::optional<TFakeGame> game;
};

struct EventCase {
    int index;
    const char* eventType;
    const char* shownEntry; // the entry whose picture must show
};

class PreviewEntry : public TForm1Preview, public ::testing::WithParamInterface<EventCase> {};

TEST_P(PreviewEntry, EachEventTypeLooksForItsOwnName) {
    const EventCase& c = GetParam();
    // Both names exist, each with a picture of its own colour.
    game->AddTrack(c.eventType, "jump.env", "Jump",
                   {{"jump01s.tga", solidTga(3, 2, 255, 0, 0)}, {"jumps.tga", solidTga(3, 2, 0, 0, 255)}});
    TForm1 form(dialogs);
    form.show();
    pickEvent(form, c.index);
    click(form, 0);
    EXPECT_EQ(form.StatusText->text(), QString(c.eventType) + "\\jump.env");
    ASSERT_EQ(form.Preview->Bitmap().Width(), 3);
    const QColor expected =
        std::string(c.shownEntry) == "jump01s.tga" ? QColor(255, 0, 0) : QColor(0, 0, 255);
    EXPECT_EQ(pixel(form, 1, 1), expected);
}

INSTANTIATE_TEST_SUITE_P(
    EventTypes, PreviewEntry,
    ::testing::Values(EventCase{0, "Baja", "jump01s.tga"}, EventCase{1, "Enduro", "jump01s.tga"},
                      EventCase{2, "National", "jumps.tga"}, EventCase{3, "Quarries", "jumps.tga"},
                      EventCase{4, "SX", "jumps.tga"}, EventCase{5, "Tag", "jumps.tga"}));

TEST_F(TForm1Preview, EntryNamesMatchWithoutRegardToCaseAndTheLaterWins) {
    game->AddTrack(
        "Baja", "jump.~env", "Jump",
        {{"JUMP01S.TGA", solidTga(2, 2, 255, 0, 0)}, {"textures\\Jump01s.tga", solidTga(4, 4, 0, 255, 0)}});
    TForm1 form(dialogs);
    form.show();
    click(form, 0);
    EXPECT_EQ(form.StatusText->text(), "Baja\\jump.~env") << "an inactive track looks for the same names";
    EXPECT_EQ(form.Preview->Bitmap().Width(), 4);
    EXPECT_EQ(pixel(form, 3, 3), QColor(0, 255, 0));
}

// The placeholder covers the whole preview: after a small picture, and at start.
void expectPlaceholder(const TForm1& form) {
    const QImage picture = form.Preview->Picture();
    ASSERT_EQ(picture.size(), QSize(285, 139));
    EXPECT_EQ(picture.pixelColor(0, 0), QColor(Qt::black)) << "outline";
    EXPECT_EQ(picture.pixelColor(284, 138), QColor(Qt::black));
    EXPECT_EQ(picture.pixelColor(200, 100), Fill);
    int dark = 0;
    for (int y = 15; y < 28; ++y)
        for (int x = 15; x < 120; ++x)
            dark += picture.pixelColor(x, y).lightness() < 60 ? 1 : 0;
    EXPECT_GT(dark, 40) << "the text \"No Preview Available\" from (15, 15)";
}

struct NoPictureCase {
    const char* what;
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> entries;
};

class NoPicture : public TForm1Preview, public ::testing::WithParamInterface<NoPictureCase> {};

// After a good picture, a track without one never keeps showing it.
TEST_P(NoPicture, ShowsThePlaceholderAtFullSizeWithoutAMessage) {
    game->AddTrack("Baja", "a.env", "A", {{"a01s.tga", solidTga(20, 10, 255, 255, 0)}});
    std::vector<TContainerEntry> entries;
    for (const auto& [name, bytes] : GetParam().entries)
        entries.push_back({name, bytes});
    game->AddTrack("Baja", "b.env", "B", entries);
    TForm1 form(dialogs);
    form.show();
    click(form, 0);
    ASSERT_EQ(form.Preview->Bitmap().Width(), 20);
    click(form, 1);
    EXPECT_EQ(form.StatusText->text(), "Baja\\b.env");
    expectPlaceholder(form);
    EXPECT_TRUE(dialogs.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, NoPicture,
    ::testing::Values(NoPictureCase{"no entry", {}}, NoPictureCase{"empty entry", {{"b01s.tga", {}}}},
                      NoPictureCase{"rejected header",
                                    {{"b01s.tga", {0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 5, 0, 24, 0}}}},
                      NoPictureCase{"header cut short", {{"b01s.tga", {0, 0, 2, 0, 0}}}}),
    [](const auto& info) {
        std::string name = info.param.what;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST_F(TForm1Preview, ATrackRemovedSinceTheListWasBuiltIsReported) {
    game->AddTrack("Baja", "a.env", "A", {{"a01s.tga", solidTga(5, 5, 255, 0, 0)}});
    const fs::path gone = game->AddTrack("Baja", "b.env", "B", {{"b01s.tga", solidTga(7, 7, 0, 0, 255)}});
    TForm1 form(dialogs);
    form.show();
    click(form, 0);
    fs::remove(gone);
    click(form, 1);
    EXPECT_EQ(form.StatusText->text(), "Baja\\b.env") << "set before the failure";
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QString::fromStdString("Cannot open file " + gone.string() + "."))
        << "the path as the player finds it";
    EXPECT_EQ(form.Preview->Bitmap().Width(), 5) << "the previous picture stays";
    EXPECT_EQ(pixel(form, 2, 2), QColor(255, 0, 0));
}

TEST_F(TForm1Preview, CtrlClickThatDeselectsStillShowsTheCurrentItem) {
    game->AddTrack("Baja", "a.env", "A", {{"a01s.tga", solidTga(5, 5, 255, 0, 0)}});
    game->AddTrack("Baja", "b.env", "B", {{"b01s.tga", solidTga(6, 6, 0, 255, 0)}});
    TForm1 form(dialogs);
    form.show();
    click(form, 1);
    click(form, 0, Qt::ControlModifier);
    click(form, 0, Qt::ControlModifier); // deselects a, which stays current
    EXPECT_FALSE(form.ActiveListBox->selectionModel()->isRowSelected(0));
    EXPECT_EQ(form.StatusText->text(), "Baja\\a.env");
    EXPECT_EQ(form.Preview->Bitmap().Width(), 5);
}

TEST_F(TForm1Preview, KeyboardMovesPreviewTooAndRebuildsKeepThePicture) {
    game->AddTrack("Baja", "a.env", "A", {{"a01s.tga", solidTga(5, 5, 255, 0, 0)}});
    game->AddTrack("Baja", "b.env", "B", {{"b01s.tga", solidTga(6, 6, 0, 255, 0)}});
    TForm1 form(dialogs);
    form.show();
    click(form, 0);
    QTest::keyClick(form.ActiveListBox, Qt::Key_Down);
    EXPECT_EQ(form.StatusText->text(), "Baja\\b.env");
    EXPECT_EQ(form.Preview->Bitmap().Width(), 6);
    fs::create_directories(game->EventFolder("Quarries"));
    pickEvent(form, 3);
    EXPECT_EQ(form.Preview->Bitmap().Width(), 6) << "a rebuild does not clear the preview";
    EXPECT_EQ(form.StatusText->text(), "Baja\\b.env");
}

// Moves of the current item that leave the selection as it is still move the preview and status bar,
// so that Store proposes the file the status bar names.
TEST_F(TForm1Preview, EveryMoveOfTheCurrentItemIsShown) {
    game->AddTrack("Baja", "a.env", "A", {{"a01s.tga", solidTga(5, 5, 255, 0, 0)}});
    game->AddTrack("Baja", "b.env", "B", {{"b01s.tga", solidTga(6, 6, 0, 255, 0)}});
    game->AddTrack("Baja", "c.env", "C", {{"c01s.tga", solidTga(7, 7, 0, 0, 255)}});
    TForm1 form(dialogs);
    showWithListFocused(form);
    click(form, 0);
    QTest::keyClick(form.ActiveListBox, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(form.StatusText->text(), "Baja\\b.env") << "Ctrl+Down";
    EXPECT_EQ(form.Preview->Bitmap().Width(), 6);
    EXPECT_TRUE(form.ActiveListBox->selectionModel()->isRowSelected(0)) << "the selection stays";

    QTest::keyClick(form.ActiveListBox, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(form.ActiveListBox, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(form.StatusText->text(), "Baja\\c.env") << "Shift+End after Ctrl+A";
    EXPECT_EQ(form.Preview->Bitmap().Width(), 7);

    QTest::mouseClick(form.ArchiveBtn, Qt::LeftButton);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].fileName, "c.env");
}

} // namespace
