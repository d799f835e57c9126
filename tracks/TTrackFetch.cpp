// SPDX-License-Identifier: GPL-3.0-or-later
#include "TTrackFetch.h"

#include <algorithm>
#include <map>
#include <utility>

#include "TTrackArchive.h"
#include "TrackOperations.h"
#include "platform/NativePath.h"
#include "platform/PathParts.h"
#include "platform/TextCase.h"

TTrackFetch::TTrackFetch(std::string eventFolder, std::vector<std::string> chosenPaths)
    : m_eventFolder(std::move(eventFolder)), m_chosen(std::move(chosenPaths)) {
    for (const std::string& path : m_chosen) {
        if (!IsArchiveName(path)) {
            ++m_total;
            continue;
        }
        std::size_t tracks = 0;
        try {
            TTrackArchive archive(path);
            while (archive.Next())
                ++tracks;
            if (tracks == 0) {
                m_outcomes.push_back({path, {}, {}, TFetchFate::Refused, "it holds no tracks"});
                m_passedOver.insert(path);
            }
        } catch (const EArchiveRefused& failure) {
            // Nothing of an archive made to harm is fetched.
            m_outcomes.push_back({path, {}, {}, TFetchFate::Failed, failure.what()});
            m_passedOver.insert(path);
            tracks = 0;
        } catch (const Exception& failure) {
            // The tracks before the damage are fetched, and Run meets the damage again; an archive
            // damaged before its first track is told here.
            if (tracks == 0) {
                m_outcomes.push_back({path, {}, {}, TFetchFate::Failed, failure.what()});
                m_passedOver.insert(path);
            }
        }
        m_total += tracks;
    }
}

std::size_t TTrackFetch::Count(TFetchFate fate) const {
    return static_cast<std::size_t>(
        std::count_if(m_outcomes.begin(), m_outcomes.end(),
                      [&](const TFetchOutcome& outcome) { return outcome.fate == fate; }));
}

namespace {

std::string alreadyFetched(const std::string& from) {
    return "a track of this name is fetched from " + from + " already";
}

} // namespace

void TTrackFetch::Run(const std::function<bool(std::size_t done)>& proceed) {
    // The outcome of each track handed to the transfer, by the transfer's index.
    std::vector<std::size_t> added;
    TTrackTransfer transfer([&](const TTransferred& track) {
        TFetchOutcome& outcome = m_outcomes[added[track.index]];
        outcome.fate = TFetchFate::Fetched;
        outcome.reason.clear();
    });
    const auto addOutcome = [&](TFetchOutcome outcome) -> TFetchOutcome& {
        m_outcomes.push_back(std::move(outcome));
        return m_outcomes.back();
    };
    // Where each name of this Fetch came from, folded: a second track of a name is refused, not copied
    // over the first.
    std::map<std::string, std::string> taken;
    std::size_t done = 0;
    const auto goOn = [&] {
        if (!m_cancelled && proceed && !proceed(done))
            m_cancelled = true;
        ++done;
        return !m_cancelled;
    };

    for (const std::string& path : m_chosen) {
        if (m_passedOver.count(path))
            continue;
        if (!IsArchiveName(path)) {
            if (!goOn())
                break;
            const std::string name = FileNamePart(path);
            const auto [first, fresh] = taken.try_emplace(FoldedName(name), path);
            if (!fresh) {
                addOutcome({path, {}, name, TFetchFate::Refused, alreadyFetched(first->second)});
                continue;
            }
            added.push_back(m_outcomes.size());
            addOutcome({path, {}, name, TFetchFate::Failed, {}});
            transfer.Add(path, PathInFolder(m_eventFolder, name), false);
            continue;
        }
        try {
            TTrackArchive archive(path);
            while (archive.Next()) {
                if (!goOn())
                    break;
                const TArchiveTrack& track = archive.Track();
                TFetchOutcome& outcome = addOutcome({path, track.entryName, track.fileName,
                                                     TFetchFate::Refused, ArchiveEntryKindText(track.kind)});
                if (track.kind != TArchiveEntryKind::Track)
                    continue;
                const std::string folded = FoldedName(track.fileName);
                const auto [first, fresh] =
                    taken.try_emplace(folded, track.entryName + " in " + FileNamePart(path));
                if (!fresh) {
                    outcome.reason = alreadyFetched(first->second);
                    continue;
                }
                outcome.fate = TFetchFate::Failed;
                outcome.reason.clear();
                const std::size_t index = m_outcomes.size() - 1;
                added.push_back(index);
                try {
                    transfer.Add(archive.Data(), PathInFolder(m_eventFolder, track.fileName));
                } catch (const EArchiveError& failure) {
                    m_outcomes[index].reason = failure.what();
                    taken.erase(folded);
                }
            }
        } catch (const EArchiveError& failure) {
            // The rest of the archive cannot be read; what was read before stands.
            addOutcome({path, {}, {}, TFetchFate::Failed, failure.what()});
        } catch (const EFOpenError& failure) {
            addOutcome({path, {}, {}, TFetchFate::Failed, failure.what()});
        }
        if (m_cancelled)
            break;
    }
    transfer.Finish();
}
