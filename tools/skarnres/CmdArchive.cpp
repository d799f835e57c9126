// SPDX-License-Identifier: GPL-3.0-or-later
// skarnres ls-archive: the tracks a downloaded archive holds, as Fetch would bring them.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>

#include "Commands.h"
#include "JsonOutput.h"
#include "TextEscape.h"
#include "platform/AnsiText.h"
#include "tracks/TTrackArchive.h"
#include "tracks/TrackCatalogue.h"

namespace fs = std::filesystem;

namespace {

// The display name of a track read from an archive: its bytes go into a file of the system's
// temporary folder for the catalogue's reader, which needs to seek, and the file goes again.
std::string displayNameOf(TByteSource& bytes) {
    std::random_device random;
    const fs::path path = fs::temp_directory_path() / ("skarnres-" + std::to_string(random()) + ".env");
    struct TRemove {
        const fs::path& path;
        ~TRemove() {
            std::error_code ignored;
            fs::remove(path, ignored);
        }
    } remove{path};
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        std::vector<unsigned char> buffer(std::size_t{64} * 1024);
        while (const std::size_t count = bytes.Read(buffer.data(), buffer.size()))
            out.write(reinterpret_cast<const char*>(buffer.data()), static_cast<std::streamsize>(count));
        if (!out.flush())
            throw ECommandFailed("cannot write a temporary file in the system's temporary folder");
    }
    const std::u8string name = path.u8string();
    return ReadSceneName(std::string(name.begin(), name.end()));
}

} // namespace

// skarnres ls-archive ARCHIVE [--json]
int CmdLsArchive(const std::vector<std::string>& words, const TWinePrefix& prefix) {
    const TArguments parsed = SplitArguments(words);
    const bool json = WantsJson(parsed);
    const std::vector<std::string>& args = parsed.operands;
    if (args.size() != 1)
        throw EUsageError("usage: skarnres ls-archive ARCHIVE [--json]");
    TTrackArchive archive(args[0]);
    nlohmann::json tracks = nlohmann::json::array();
    int status = 0;
    std::size_t listed = 0;
    while (archive.Next()) {
        ++listed;
        const TArchiveTrack& track = archive.Track();
        const bool fetched = track.kind == TArchiveEntryKind::Track;
        std::string displayName;
        if (fetched)
            displayName = Utf8FromAnsi(displayNameOf(archive.Data()));
        const std::string reason = ArchiveEntryKindText(track.kind);
        if (!fetched)
            status = 1;
        if (json) {
            tracks.push_back({{"entry", JsonText(track.entryName)},
                              {"fileName", JsonText(track.fileName)},
                              {"size", track.size},
                              {"active", !IsInactiveTrack(track.fileName)},
                              {"fetchable", fetched},
                              {"displayName", JsonText(displayName)},
                              {"reason", reason}});
            continue;
        }
        std::cout << (fetched ? IsInactiveTrack(track.fileName) ? "X" : "A" : "-") << '\t'
                  << EscapeField(displayName) << '\t' << EscapeField(track.fileName) << '\t'
                  << EscapeField(track.entryName);
        if (!fetched)
            std::cout << '\t' << reason;
        std::cout << '\n';
    }
    if (json) {
        PrintJson(
            {{"command", "ls-archive"}, {"archive", JsonText(prefix.AsGiven(args[0]))}, {"tracks", tracks}});
    } else if (listed == 0) {
        std::cerr << "skarnres: " << prefix.AsGiven(args[0]) << " holds no tracks\n";
    }
    return status;
}
