// SPDX-License-Identifier: GPL-3.0-or-later
#include <iostream>

#include "Commands.h"
#include "JsonOutput.h"
#include "TextEscape.h"
#include "platform/AnsiText.h"
#include "platform/PathParts.h"
#include "platform/TSearchRec.h"
#include "tracks/GameLocation.h"
#include "tracks/TrackCatalogue.h"

// skarnres scene-name FILE: the track's display name (as UTF-8), or nothing when it has none.
int CmdSceneName(const std::vector<std::string>& words, const TWinePrefix& /*prefix*/) {
    const std::vector<std::string> args = SplitArguments(words).operands;
    if (args.size() != 1)
        throw EUsageError("usage: skarnres scene-name FILE");
    const std::string name = ReadSceneName(args[0]);
    std::cout << Utf8FromAnsi(name) << '\n';
    return 0;
}

// skarnres tracks EVENT-FOLDER [--json]: the list the window shows for that folder, one line per item in
// list order: A or X, tab, display name, tab, file name (both escaped by EscapeField). Track files that
// cannot be read are left out and named on standard error, one line each, with exit status 1.
int CmdTracks(const std::vector<std::string>& words, const TWinePrefix& prefix) {
    const TArguments parsed = SplitArguments(words);
    const bool json = WantsJson(parsed);
    const std::vector<std::string>& args = parsed.operands;
    if (args.size() != 1)
        throw EUsageError("usage: skarnres tracks EVENT-FOLDER [--json]");
    const std::string folder = WithTrailingSeparator(args[0]);
    {
        // An empty list must mean an empty folder, not one that is missing or cannot be listed.
        TSearchRec probe;
        const int found = FindFirst(folder + "*.*", faAnyFile, probe);
        if (found == kErrorPathNotFound || found == kErrorAccessDenied)
            throw ECommandFailed("Cannot open folder " + args[0] +
                                 (found == kErrorPathNotFound ? ": no such folder" : ": permission denied"));
    }
    TTrackList list;
    std::vector<std::string> unreadable;
    try {
        list.Fill(folder);
    } catch (const ETracksUnreadable& failure) {
        unreadable = failure.Messages();
    }
    nlohmann::json tracks = nlohmann::json::array();
    for (const TTrackItem& item : list.Items()) {
        if (json)
            tracks.push_back({{"active", !IsInactiveTrack(item.FileName)},
                              {"name", JsonText(Utf8FromAnsi(item.DisplayName))},
                              {"file", JsonText(item.FileName)}});
        else
            std::cout << (IsInactiveTrack(item.FileName) ? 'X' : 'A') << '\t'
                      << EscapeField(Utf8FromAnsi(item.DisplayName)) << '\t' << EscapeField(item.FileName)
                      << '\n';
    }
    if (json) {
        nlohmann::json failures = nlohmann::json::array();
        for (const std::string& message : unreadable)
            failures.push_back(JsonText(prefix.AsGiven(message)));
        PrintJson({{"command", "tracks"},
                   {"folder", JsonText(prefix.AsGiven(args[0]))},
                   {"tracks", tracks},
                   {"unreadable", failures}});
    }
    for (const std::string& message : unreadable)
        std::cerr << "skarnres: " << prefix.AsGiven(message) << '\n';
    return unreadable.empty() ? 0 : 1;
}

// skarnres game-root [-v] [--json]: the game's root folder as the program reads it from the registry;
// exit 1 when the game's key cannot be opened.
int CmdGameRoot(const std::vector<std::string>& words, const TWinePrefix& /*prefix*/) {
    const TArguments args = SplitArguments(words);
    const bool json = WantsJson(args);
    if (!args.operands.empty())
        throw EUsageError("usage: skarnres game-root [--json]");
    // With -v main has named the prefix used; where the game was looked for is the reason it is missing.
    const TGameLocation game = LocateGame();
    if (!game.Installed && !game.Report.empty())
        std::cerr << "skarnres: " << game.Report << '\n';
    if (json)
        PrintJson({{"command", "game-root"},
                   {"installed", game.Installed},
                   {"gameRoot", game.Installed ? JsonText(game.GameRoot) : nlohmann::json()},
                   {"report", JsonText(game.Report)}});
    if (!game.Installed)
        throw ECommandFailed("Skarn2 doesn't seem to be installed.");
    if (!json)
        std::cout << game.GameRoot << '\n';
    return 0;
}
