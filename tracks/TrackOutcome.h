// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "platform/FileError.h"

// What an operation over a selection of tracks answers: one outcome per track, in the order the tracks
// were given, and what was left undone. The operations only do; the window and skarnres word it.

// The operations, for whoever words their outcomes.
enum class TTrackOperation { Start, Stop, Toggle, Store, Fetch, Delete, Undo };

// What became of one track.
enum class TTrackFate {
    Done,         // started, stopped, stored or fetched
    AlreadySo,    // nothing to do: already active or inactive, or the file fetched is that track itself
    TargetExists, // left as it was: another file has the name it would take (Other names it)
    Missing,      // left as it was: its file is not there
    Refused,      // left as it was: the disk refused; Error says why, Message for a failed copy
    Trashed,      // moved to the desktop's trash; Result is its place there, where it can be restored from
    Deleted,      // deleted for good
    SourceStayed, // copied, but its source could not be deleted (Error says why): in both places now
    Cancelled,    // not reached: cancelled, or the operation ended at an earlier track's failure
};

struct TTrackOutcome {
    // The track as it was given: a file name of Folder, or the chosen path of a Fetch.
    std::string Track;
    // The folder of Track and of a new name in Result (Start, Stop, Toggle, Delete, Undo); empty for Fetch.
    std::string Folder;
    // Where the track is now: its new file name (Start, Stop, Toggle), the path of its copy (Store, Fetch),
    // its place in the trash (Delete); empty when that is unknown or unchanged.
    std::string Result;
    TTrackFate Fate = TTrackFate::Cancelled;
    TFileError Error;
    // The message of the failure that refused the track ("Cannot create file ..."), when it came from a
    // copy or from moving its other state out of the way; empty otherwise.
    std::string Message;
    // TargetExists: the name in the way ("t.~env", a stopped copy of the same track).
    std::string Other;
    // Done by Store or Fetch: an earlier file of that name was replaced.
    bool Replaced = false;
    // Fetch from a downloaded archive (Track): the entry's name inside it; empty for the archive as a
    // whole (one that cannot be read or holds no track) and for a track file.
    std::string Entry;
};

struct TOperationReport {
    TTrackOperation Operation = TTrackOperation::Start;
    std::vector<TTrackOutcome> Tracks;
    // How many tracks, at the end, were not reached because the player cancelled.
    std::size_t CancelledCount = 0;
    // The failure that ended a Store or Fetch at a track (that track is Refused, those after it
    // Cancelled); null when the operation ran to its end or was cancelled.
    std::exception_ptr Failure;

    std::size_t Count(TTrackFate fate) const {
        std::size_t count = 0;
        for (const TTrackOutcome& track : Tracks)
            count += track.Fate == fate ? 1 : 0;
        return count;
    }
};

// Told before each track, with its index (from 0) and the number of tracks; returning false cancels: that
// track and the ones after it are left as they are. The track in hand is always finished.
using TProgress = std::function<bool(std::size_t index, std::size_t total)>;

// A track file: its folder (ending in a separator) and its name without folder. Names are kept apart from
// folders because a Linux file name may hold "\" or ":", which a Windows-style path would split.
struct TTrackFile {
    std::string Folder;
    std::string Name;
};

// How one file was removed: Trashed (Where: its place in the trash), Deleted, Missing or Refused (Error).
struct TRemoval {
    TTrackFate Fate = TTrackFate::Refused;
    TFileError Error;
    std::string Where;
};

// Removes the file at a path, into a trash or for good. Never throws.
using TRemoveFile = std::function<TRemoval(const std::string& path)>;

// Puts the file that a TRemoveFile moved to the trash (trashPlace, its Where) back at path, never
// replacing a file there: the name in use says so with the system's "file exists" error. Never throws.
using TRestoreFile = std::function<TFileError(const std::string& trashPlace, const std::string& path)>;
