// SPDX-License-Identifier: GPL-3.0-or-later
#include <iostream>

#include "Commands.h"
#include "JsonOutput.h"
#include "TextEscape.h"
#include "platform/NativePath.h"
#include "platform/PathParts.h"
#include "tracks/TrackOperations.h"

namespace {

// The files of "FILE... OPTION FOLDER" and the folder, ending in a separator.
struct TFilesAndFolder {
    std::vector<std::string> files;
    std::string folder;
};

TFilesAndFolder filesAndFolder(const TArguments& args, const std::string& option, const std::string& usage) {
    const std::string* folder = args.Option(option);
    if (!folder || folder->empty() || args.operands.empty())
        throw EUsageError(usage);
    return {args.operands, WithTrailingSeparator(*folder)};
}

std::vector<TTrackFile> trackFiles(const std::vector<std::string>& files) {
    std::vector<TTrackFile> tracks;
    tracks.reserve(files.size());
    for (const std::string& file : files)
        tracks.push_back(TTrackFile{FolderPart(file), FileNamePart(file)});
    return tracks;
}

const char* commandName(TTrackOperation operation) {
    switch (operation) {
    case TTrackOperation::Start:
        return "start";
    case TTrackOperation::Stop:
        return "stop";
    case TTrackOperation::Store:
        return "store";
    case TTrackOperation::Fetch:
        return "fetch";
    default:
        return "";
    }
}

// Says what became of each track: one line each on standard output (fate, track, where it is now,
// reason), or one JSON object; each track left as it was also on standard error. A failure that ended
// the command is thrown once every track is told. Returns 1 when a track was left as it was. Placed paths
// read as they were given.
int tell(const TOperationReport& report, const std::vector<std::string>& placed, const TWinePrefix& prefix,
         bool json) {
    int status = 0;
    nlohmann::json tracks = nlohmann::json::array();
    for (std::size_t i = 0; i < report.Tracks.size(); ++i) {
        const TTrackOutcome& track = report.Tracks[i];
        const std::string given = prefix.AsGiven(placed[i]);
        // A new name comes back without its folder; the line names the path.
        const std::string now = prefix.AsGiven(track.Result.empty() ? std::string()
                                               : report.Operation == TTrackOperation::Store ||
                                                       report.Operation == TTrackOperation::Fetch
                                                   ? track.Result
                                                   : track.Folder + track.Result);
        const std::string reason = prefix.AsGiven(FateReason(report, track));
        const bool left = track.Fate != TTrackFate::Done && track.Fate != TTrackFate::AlreadySo;
        if (left) {
            status = 1;
            if (!report.Failure || track.Fate != TTrackFate::Refused)
                std::cerr << "skarnres: " << given << ": " << reason << '\n';
        }
        if (json) {
            tracks.push_back({{"track", JsonText(given)},
                              {"fate", FateWord(track.Fate)},
                              {"result", JsonText(now)},
                              {"reason", JsonText(reason)},
                              {"other", JsonText(track.Other)},
                              {"replaced", track.Replaced}});
        } else {
            // Paths read as the system writes them: on Windows with single backslashes.
            const bool windowsPaths = NativePathsAreWindowsPaths();
            std::cout << FateWord(track.Fate) << '\t' << EscapePathField(given, windowsPaths) << '\t'
                      << EscapePathField(now, windowsPaths) << '\t' << EscapePathField(reason, windowsPaths)
                      << '\n';
        }
    }
    std::string failure;
    if (report.Failure) {
        try {
            std::rethrow_exception(report.Failure);
        } catch (const std::exception& e) {
            failure = prefix.AsGiven(e.what());
        }
    }
    if (json)
        PrintJson({{"command", commandName(report.Operation)},
                   {"tracks", tracks},
                   {"failure", failure.empty() ? nlohmann::json() : JsonText(failure)}});
    if (report.Failure)
        std::rethrow_exception(report.Failure);
    return status;
}

int changeExtensions(const std::vector<std::string>& words, const TWinePrefix& prefix,
                     TTrackOperation operation, const std::string& usage) {
    const TArguments args = SplitArguments(words);
    if (args.operands.empty())
        throw EUsageError(usage);
    const std::vector<TTrackFile> tracks = trackFiles(args.operands);
    return tell(operation == TTrackOperation::Start ? Start(tracks) : Stop(tracks), args.operands, prefix,
                WantsJson(args));
}

} // namespace

// skarnres start FILE...: makes tracks active, renaming each to end in ".env".
int CmdStart(const std::vector<std::string>& args, const TWinePrefix& prefix) {
    return changeExtensions(args, prefix, TTrackOperation::Start, "usage: skarnres start FILE... [--json]");
}

// skarnres stop FILE...: makes tracks inactive, renaming each to end in ".~env".
int CmdStop(const std::vector<std::string>& args, const TWinePrefix& prefix) {
    return changeExtensions(args, prefix, TTrackOperation::Stop, "usage: skarnres stop FILE... [--json]");
}

// skarnres store FILE... --to FOLDER: moves tracks into an archive folder, as Store does.
int CmdStore(const std::vector<std::string>& args, const TWinePrefix& prefix) {
    const TArguments parsed = SplitArguments(args);
    const TFilesAndFolder request =
        filesAndFolder(parsed, "--to", "usage: skarnres store FILE... --to FOLDER [--json]");
    return tell(Store(trackFiles(request.files), request.folder), request.files, prefix, WantsJson(parsed));
}

// skarnres fetch FILE... --into EVENT-FOLDER: copies archived tracks into an event folder, as Fetch does.
int CmdFetch(const std::vector<std::string>& args, const TWinePrefix& prefix) {
    const TArguments parsed = SplitArguments(args);
    const bool json = WantsJson(parsed);
    const TFilesAndFolder request =
        filesAndFolder(parsed, "--into", "usage: skarnres fetch FILE... --into EVENT-FOLDER [--json]");
    const TOperationReport report = Fetch(request.files, request.folder);
    // A track from an archive is named by the archive and its entry.
    std::vector<std::string> named;
    for (const TTrackOutcome& track : report.Tracks)
        named.push_back(track.Entry.empty() ? track.Track : track.Track + ":" + track.Entry);
    return tell(report, named, prefix, json);
}
