// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "tracks/TrackOutcome.h"

class TTrackArchive;
class TTrackTransfer;

// Fetch takes track files and downloaded archives (IsArchiveName) alike: an archive among the chosen
// paths gives one track per entry named like a track (TTrackArchive.h).

// One track of a Fetch: a chosen file, or an entry of a chosen archive.
struct TFetchSource {
    std::string path;        // the chosen path
    std::string entry;       // the entry inside the archive at path; empty for a file
    std::string fileName;    // its name in the event folder; empty for an archive that gives no track
    std::size_t ordinal = 0; // its place among the entries of its archive named like tracks
};

// The tracks of a Fetch of paths, in order, each with its outcome appended to outcomes: Track the chosen
// path, Entry the entry's name. An entry that is never fetched (encrypted, a link, ...) is Refused with
// the reason as Message; an archive that holds no track, or cannot be read (from its start, or past the
// tracks before its damage), has one Refused outcome of its own with an empty fileName. The others are
// Cancelled: still to be fetched.
std::vector<TFetchSource> FetchSources(const std::vector<std::string>& paths,
                                       std::vector<TTrackOutcome>& outcomes);

// Hands the tracks of a Fetch to its transfer in order, reading each archive once through.
class TFetchSources {
public:
    TFetchSources();
    ~TFetchSources();
    TFetchSources(const TFetchSources&) = delete;
    TFetchSources& operator=(const TFetchSources&) = delete;

    // Adds the copy of source to destination: a file as TTrackTransfer::Add does, an archive's entry
    // through the archive, read on from the entry before. Throws EArchiveError when the entry cannot be
    // read (only that track is lost; an archive damaged before it gives the same failure for each of its
    // later entries), and the transfer's failures.
    void Add(TTrackTransfer& transfer, const TFetchSource& source, const std::string& destination);

private:
    std::string m_path; // of the archive being read
    std::unique_ptr<TTrackArchive> m_archive;
    std::size_t m_next = 0; // the ordinal Next moves to
    bool m_broken = false;  // the archive can be read no further
};
