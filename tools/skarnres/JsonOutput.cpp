// SPDX-License-Identifier: GPL-3.0-or-later
#include "JsonOutput.h"

#include <algorithm>
#include <iostream>

#include "TextEscape.h"
#include "tracks/TrackCatalogue.h"

bool WantsJson(const TArguments& args) {
    return args.Option("--json") != nullptr;
}

nlohmann::json JsonText(const std::string& bytes) {
    return EscapeJsonText(bytes);
}

void PrintJson(const nlohmann::json& value) {
    std::cout << value.dump() << '\n';
}

const char* FateWord(TTrackFate fate) {
    switch (fate) {
    case TTrackFate::Done:
        return "done";
    case TTrackFate::AlreadySo:
        return "already";
    case TTrackFate::TargetExists:
        return "exists";
    case TTrackFate::Missing:
        return "missing";
    case TTrackFate::Refused:
        return "refused";
    case TTrackFate::Trashed:
        return "trashed";
    case TTrackFate::Deleted:
        return "deleted";
    case TTrackFate::SourceStayed:
        return "source-stayed";
    case TTrackFate::Cancelled:
        return "cancelled";
    }
    return "";
}

std::string FateReason(const TOperationReport& report, const TTrackOutcome& track) {
    switch (track.Fate) {
    case TTrackFate::AlreadySo:
        if (report.Operation == TTrackOperation::Fetch)
            return "the file is the track in the folder already";
        return IsInactiveTrack(track.Track) ? "inactive already" : "active already";
    case TTrackFate::TargetExists:
        if (report.Operation == TTrackOperation::Fetch)
            return track.Other + ", the same track " +
                   (IsInactiveTrack(track.Other) ? "stopped" : "started") + ", is in the folder";
        return track.Other + " exists";
    case TTrackFate::Missing:
        return "the file is missing";
    case TTrackFate::Refused:
        return track.Message.empty() ? SystemErrorText(track.Error.code) : track.Message;
    case TTrackFate::SourceStayed:
        return "archived, but the track stayed where it was: its file cannot be deleted" +
               (track.Error.Failed() ? ": " + SystemErrorText(track.Error.code) : std::string());
    case TTrackFate::Cancelled:
        return report.Failure ? "not reached: the command failed before it" : "cancelled";
    default:
        return {};
    }
}
