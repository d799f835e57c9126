// SPDX-License-Identifier: GPL-3.0-or-later
// demo-game PREFIX: writes a demo installation of the game in the layout of a Wine prefix, so that the
// track manager can be tried on a machine without the game. Existing tracks there are replaced.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include <fstream>

#include "FakeGame.h"
#include "TgaWriter.h"
#include "tracks/TrackCatalogue.h"

namespace {

struct TDemoTrack {
    const char* eventType;
    const char* fileName;
    const char* displayName; // Windows-1252 text
    enum Preview { Picture, RunLength, None, Broken } preview;
    bool scrambled;
};

// Tracks of every event type: active and inactive, scrambled and plain containers, names with
// accents, quotes and blanks, two tracks sharing a display name, capital extensions.
const TDemoTrack Tracks[] = {
    {"Baja", "dunes.env", "Desert Dunes", TDemoTrack::Picture, true},
    {"Baja", "canyon.env", "Red Canyon Run", TDemoTrack::RunLength, true},
    {"Baja", "mesa.~env", "Mesa Loop", TDemoTrack::Picture, true},
    {"Baja", "coast.env", "C\xF4te Sauvage", TDemoTrack::Picture, false},
    {"Baja", "SALTFLAT.ENV", "salt flat sprint", TDemoTrack::Picture, true},
    {"Baja", "oasis.env", "Oasis", TDemoTrack::None, true},
    {"Baja", "rocky.env", "Rocky Road", TDemoTrack::Picture, true},
    {"Enduro", "forest.env", "Black Forest", TDemoTrack::Picture, true},
    {"Enduro", "ridge.~env", "Ridge Runner", TDemoTrack::RunLength, true},
    {"Enduro", "swamp.env", "Swamp Thing", TDemoTrack::Picture, false},
    {"Enduro", "alps.env", "\xC4lpler H\xF6he", TDemoTrack::Picture, true},
    {"Enduro", "quarry loop.env", "Long Haul (2 laps)", TDemoTrack::Broken, true},
    {"National", "hangtown.env", "Hangtown", TDemoTrack::Picture, true},
    {"National", "redbud.env", "Redbud", TDemoTrack::RunLength, true},
    {"National", "redbud2.~env", "Redbud", TDemoTrack::Picture, true},
    {"National", "unadilla.env", "Unadilla", TDemoTrack::Picture, false},
    {"National", "budds.env", "Budds Creek", TDemoTrack::None, true},
    {"Quarries", "pit.env", "The Pit", TDemoTrack::Picture, true},
    {"Quarries", "gravel.env", "Gravel Gulch", TDemoTrack::RunLength, true},
    {"Quarries", "chalk.~env", "Chalk & Cheese", TDemoTrack::Picture, true},
    {"Quarries", "slate.env", "Slate \x96 Night", TDemoTrack::Picture, false},
    {"SX", "arena.env", "Arena Cross", TDemoTrack::Picture, true},
    {"SX", "stadium.env", "Stadium Lights", TDemoTrack::RunLength, true},
    {"SX", "whoops.~env", "Whoops!", TDemoTrack::Picture, true},
    {"SX", "triple.env", "Triple Trouble", TDemoTrack::Picture, true},
    {"SX", "indoor.env", "\"Indoor\" Classic", TDemoTrack::None, false},
    {"Tag", "chase.env", "Chase", TDemoTrack::Picture, true},
    {"Tag", "hide.env", "Hide & Seek", TDemoTrack::RunLength, true},
    {"Tag", "flags.~env", "Capture the Flags", TDemoTrack::Picture, true},
    {"Tag", "maze.env", "Maze", TDemoTrack::Picture, false},
};

constexpr int PreviewWidth = 285;
constexpr int PreviewHeight = 139;

// A landscape picture: sky, hills and a track, coloured by the track's number. Bottom-up rows of
// blue, green, red, as uncompressed TGA stores them.
std::vector<std::uint8_t> landscape(int seed) {
    std::vector<std::uint8_t> bgr;
    bgr.reserve(std::size_t{PreviewWidth} * PreviewHeight * 3);
    const double phase = seed * 0.7;
    for (int row = 0; row < PreviewHeight; ++row) {
        const int y = PreviewHeight - 1 - row; // from the top
        for (int x = 0; x < PreviewWidth; ++x) {
            const double hill = 70 + 18 * std::sin(x / 23.0 + phase) + 9 * std::sin(x / 7.0 + 2 * phase);
            const double track = 105 + 10 * std::sin(x / 40.0 + phase);
            std::uint8_t r, g, b;
            if (y < hill) {
                r = static_cast<std::uint8_t>(90 + y);
                g = static_cast<std::uint8_t>(140 + y / 2);
                b = 230;
            } else if (std::abs(y - track) < 5) {
                r = static_cast<std::uint8_t>(150 + (seed * 13) % 60);
                g = 110;
                b = 70;
            } else {
                r = static_cast<std::uint8_t>(40 + (seed * 29) % 80);
                g = static_cast<std::uint8_t>(120 + (y * 3 + seed * 17) % 60);
                b = static_cast<std::uint8_t>(30 + (seed * 7) % 40);
            }
            bgr.insert(bgr.end(), {b, g, r});
        }
    }
    return bgr;
}

// The picture as an uncompressed TGA image, or run-length encoded row by row.
std::vector<std::uint8_t> previewTga(int seed, bool runLength) {
    TTgaImage image;
    image.imageType = runLength ? 10 : 2;
    image.width = PreviewWidth;
    image.height = PreviewHeight;
    const auto pixels = landscape(seed);
    image.data = runLength ? EncodeRunLength(pixels, 3, PreviewWidth) : pixels;
    return BuildTga(image);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: demo-game PREFIX\n");
        return 1;
    }
    try {
        const std::filesystem::path prefix = std::filesystem::absolute(argv[1]);
        const TFakeGame game(prefix);
        int seed = 0;
        for (const TDemoTrack& track : Tracks) {
            ++seed;
            const std::string file = track.fileName;
            const std::string stem = file.substr(0, file.find_last_of('.'));
            const std::string eventType = track.eventType;
            const bool firstTwo = eventType == "Baja" || eventType == "Enduro";
            const std::string previewName = stem + (firstTwo ? "01s.tga" : "s.tga");
            std::vector<TContainerEntry> entries = {
                {"models\\" + stem + ".trk",
                 std::vector<std::uint8_t>(4096 + seed * 100, static_cast<std::uint8_t>(seed))},
            };
            switch (track.preview) {
            case TDemoTrack::Picture:
                entries.push_back({"textures\\" + previewName, previewTga(seed, false)});
                break;
            case TDemoTrack::RunLength:
                entries.push_back({"textures\\" + previewName, previewTga(seed, true)});
                break;
            case TDemoTrack::Broken:
                entries.push_back({previewName, {0, 0, 2, 0, 0}});
                break;
            case TDemoTrack::None:
                break;
            }
            game.AddTrack(eventType, file, track.displayName, entries, track.scrambled);
        }
        std::ofstream(prefix / DemoMarkerName)
            << "A demo installation of Skarn Rally 2 for the track manager, made by tools/demo-game.\n";
        std::printf("%s\n", prefix.string().c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo-game: %s\n", e.what());
        return 1;
    }
    return 0;
}
