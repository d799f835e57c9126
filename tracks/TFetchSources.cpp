// SPDX-License-Identifier: GPL-3.0-or-later
#include "TFetchSources.h"

#include "TTrackArchive.h"
#include "TrackOperations.h"
#include "platform/PathParts.h"

std::vector<TFetchSource> FetchSources(const std::vector<std::string>& paths,
                                       std::vector<TTrackOutcome>& outcomes) {
    std::vector<TFetchSource> sources;
    const auto add = [&](TFetchSource source, TTrackFate fate, std::string message) {
        TTrackOutcome outcome{source.path};
        outcome.Entry = source.entry;
        outcome.Fate = fate;
        outcome.Message = std::move(message);
        outcomes.push_back(std::move(outcome));
        sources.push_back(std::move(source));
    };
    for (const std::string& path : paths) {
        if (!IsArchiveName(path)) {
            add({path, {}, FileNamePart(path)}, TTrackFate::Cancelled, {});
            continue;
        }
        const std::size_t first = sources.size();
        const std::size_t firstOutcome = outcomes.size();
        try {
            TTrackArchive archive(path);
            for (std::size_t ordinal = 0; archive.Next(); ++ordinal) {
                const TArchiveTrack& track = archive.Track();
                const bool fetched = track.kind == TArchiveEntryKind::Track;
                add({path, track.entryName, track.fileName, ordinal},
                    fetched ? TTrackFate::Cancelled : TTrackFate::Refused, ArchiveEntryKindText(track.kind));
            }
            if (sources.size() == first)
                add({path}, TTrackFate::Refused, "it holds no tracks");
        } catch (const EArchiveRefused& failure) {
            // Nothing of an archive made to harm is fetched.
            sources.resize(first);
            outcomes.resize(firstOutcome);
            add({path}, TTrackFate::Refused, failure.what());
        } catch (const Exception& failure) {
            // The tracks before the damage are fetched all the same; the damage is told as the archive's,
            // since it may hide more tracks.
            add({path}, TTrackFate::Refused, failure.what());
        }
    }
    return sources;
}

TFetchSources::TFetchSources() = default;
TFetchSources::~TFetchSources() = default;

void TFetchSources::Add(TTrackTransfer& transfer, const TFetchSource& source,
                        const std::string& destination) {
    if (source.entry.empty()) {
        transfer.Add(source.path, destination, false);
        return;
    }
    if (source.path != m_path) {
        m_path = source.path;
        m_archive.reset();
        m_next = 0;
        m_broken = false;
    }
    if (m_broken)
        throw EArchiveError(m_path, source.entry, "the archive cannot be read as far as this entry");
    // The failure that breaks the archive is this entry's; the entries after it are told so.
    try {
        if (!m_archive)
            m_archive = std::make_unique<TTrackArchive>(source.path);
        for (; m_next <= source.ordinal; ++m_next) {
            if (!m_archive->Next())
                throw EArchiveError(m_path, source.entry, "it is no longer in the archive");
        }
    } catch (const EArchiveError&) {
        m_broken = true;
        throw;
    } catch (const Exception& failure) {
        m_broken = true;
        throw EArchiveError(m_path, source.entry, failure.what());
    }
    transfer.Add(m_archive->Data(), destination);
}
