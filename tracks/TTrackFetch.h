// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <set>
#include <string>
#include <vector>

// Fetch from what the player chose: track files, copied as they are, and downloaded archives
// (IsArchiveName), whose tracks are written straight into the event folder. Every track goes through
// one TTrackTransfer: into a temporary file in the event folder, flushed, then put in place under its
// name, replacing an older track of that name. A second track of a name (in any letter case) is refused
// and named, never copied over the first.

// What became of one track of a Fetch, or of an archive as a whole.
enum class TFetchFate {
    Fetched, // in place in the event folder
    Refused, // an entry that is not fetched (encrypted, a link, ...), a second track of one name, or an
             // archive without tracks
    Failed,  // could not be read, and nothing of it was written; without a reason: handed to the
             // transfer, whose failure ended the Fetch before it was put in place
};

struct TFetchOutcome {
    std::string source;   // the chosen path
    std::string entry;    // the entry's name in the archive; empty for a track file and an archive as a whole
    std::string fileName; // the track's name in the event folder; empty for an archive as a whole
    TFetchFate fate = TFetchFate::Failed;
    std::string reason; // why it was not fetched
};

class TTrackFetch {
public:
    // Lists the archives among chosenPaths to count their tracks. An archive that cannot be read, or
    // holds no track, is an outcome at once and is passed over by Run.
    TTrackFetch(std::string eventFolder, std::vector<std::string> chosenPaths);

    // The tracks Run visits: the track files and the entries of the archives named like tracks.
    std::size_t Total() const { return m_total; }

    // Fetches in the order chosen, an archive's tracks in the archive's order. proceed(done) is asked
    // before each track, done counting the tracks visited; false cancels it and those after it. An entry
    // that cannot be read, or is refused, is an outcome and the Fetch goes on. A failure of the transfer
    // (TTrackTransfer: "Cannot open file", "Cannot create file", "Stream write error", ...) ends the
    // Fetch with its exception, the tracks before it fetched and in Outcomes.
    void Run(const std::function<bool(std::size_t done)>& proceed = {});

    // In the order of the tracks; outcomes of whole archives (unreadable, no tracks) come first.
    const std::vector<TFetchOutcome>& Outcomes() const { return m_outcomes; }
    std::size_t Count(TFetchFate fate) const;
    bool Cancelled() const { return m_cancelled; }

private:
    std::string m_eventFolder;
    std::vector<std::string> m_chosen;
    std::set<std::string> m_passedOver; // archives Run does not open
    std::size_t m_total = 0;
    bool m_cancelled = false;
    std::vector<TFetchOutcome> m_outcomes;
};
