// SPDX-License-Identifier: GPL-3.0-or-later
// A deleted track comes back from the trash the way a trash client brings it: by its record's Path=.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ContainerWriter.h"
#include "FakeGame.h"
#include "TrashTestSupport.h"
#include "platform/NativePath.h"
#include "platform/Trash.h"
#include "tracks/TrackCatalogue.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> listed(const std::string& folder) {
    TTrackList list;
    list.Fill(folder);
    std::vector<std::string> names;
    for (const TTrackItem& item : list.Items())
        names.push_back(item.FileName);
    return names;
}

TEST_F(TTrashTest, ATrackRestoredByItsRecordIsBackByteForByte) {
    const TFakeGame game(dir.path() / "pfx");
    const fs::path track = game.AddTrack("Baja", "Dune \xC3\xA9t\xC3\xA9.env", "Dune");
    game.AddTrack("Baja", "other.env", "Other");
    const std::vector<std::uint8_t> bytes = ReadFileBytes(track.string());
    const std::string folder =
        TWinePrefix(game.Prefix().string()).Place(game.GameRoot() + "Vevozura\\Baja\\");

    const TTrashResult result =
        MoveToTrash(PathInFolder(folder, track.filename().string()), TWithoutTrash::Refuse);
    ASSERT_EQ(result.outcome, TTrashOutcome::Trashed) << SystemErrorText(result.error.code);
    EXPECT_EQ(listed(folder), std::vector<std::string>{"other.env"});

    // A trash client reads the record and moves the file back.
    const fs::path trash = home / ".local/share/Trash";
    int restored = 0;
    for (const auto& info : fs::directory_iterator(trash / "info")) {
        const std::string name = info.path().stem().string();
        fs::rename(trash / "files" / name, TrashedPathOf(info.path()));
        fs::remove(info.path());
        ++restored;
    }
    EXPECT_EQ(restored, 1);
    EXPECT_EQ(ReadFileBytes(track.string()), bytes);
    EXPECT_EQ(listed(folder), (std::vector<std::string>{"Dune \xC3\xA9t\xC3\xA9.env", "other.env"}));
}

} // namespace
