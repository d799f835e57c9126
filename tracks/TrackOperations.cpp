// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrackOperations.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <system_error>
#include <utility>

#include "platform/CopyFaults.h"
#include "platform/Exceptions.h"
#include "platform/NativePath.h"
#include "platform/TextCase.h"
#include "tracks/TFetchSources.h"
#include "tracks/TTrackArchive.h"
#include "tracks/TrackCatalogue.h"

std::string NameWithExtension(const std::string& name, const std::string& extension) {
    return NameWithoutExtension(name) + extension;
}

namespace {

// A batch is finished at this many copies or bytes, whichever comes first: few enough open files, and
// a flush short enough for the window to keep up its progress.
constexpr std::size_t BatchCopies = 128;
constexpr std::int64_t BatchBytes = std::int64_t{128} << 20;

} // namespace

void TTrackTransfer::Add(const std::string& source, const std::string& destination, bool deleteSource) {
    queue(source, destination, deleteSource, [&](std::string resolved) {
        return TPendingCopy(source, destination, m_written, m_faults ? *m_faults : TCopyFaults{},
                            std::move(resolved));
    });
}

void TTrackTransfer::Add(TByteSource& source, const std::string& destination) {
    queue({}, destination, false, [&](std::string resolved) {
        return TPendingCopy(source, destination, m_written, std::move(resolved));
    });
}

template <typename TMakeCopy>
void TTrackTransfer::queue(const std::string& source, const std::string& destination, bool deleteSource,
                           const TMakeCopy& makeCopy) {
    const std::size_t index = m_added++;
    try {
        const std::string resolved = folderOf(destination).PathOf(FileNamePart(destination));
        std::error_code error;
        const bool replaces = std::filesystem::exists(std::filesystem::symlink_status(
            std::filesystem::path(std::u8string(resolved.begin(), resolved.end())), error));
        TPendingCopy copy = makeCopy(resolved);
        m_batchBytes += copy.Size();
        m_batch.push_back(TQueued{index, source, deleteSource, replaces, std::move(copy)});
    } catch (...) {
        // The tracks before this one are finished, so that the failure ends the transfer where it came.
        Finish();
        throw;
    }
    if (m_batch.size() >= BatchCopies || m_batchBytes >= BatchBytes)
        Finish();
}

TFolderNames& TTrackTransfer::folderOf(const std::string& destination) {
    const std::string folder = FolderPart(destination);
    auto found = m_folders.find(folder);
    if (found == m_folders.end()) {
        // What a killed run left in the folder goes before the folder's names are read.
        TidyFolder(folder.empty() ? std::string(".") : folder);
        found = m_folders.try_emplace(folder, folder).first;
    }
    return found->second;
}

void TTrackTransfer::Finish() {
    std::vector<TQueued> batch = std::move(m_batch);
    m_batch.clear();
    m_batchBytes = 0;

    // A failed flush throws here, and the batch's temporaries go with it: nothing was placed.
    for (TQueued& queued : batch)
        queued.copy.Flush();

    std::exception_ptr failure;
    std::size_t placed = 0;
    std::vector<TCopyResult> results;
    results.reserve(batch.size());
    for (; placed < batch.size(); ++placed) {
        // Found in the folder again: an earlier copy may have taken the name in another letter case.
        const std::string& destination = batch[placed].copy.Destination();
        TFolderNames& folder = folderOf(destination);
        const std::string name = FileNamePart(destination);
        try {
            results.push_back(batch[placed].copy.Place(m_written, folder.PathOf(name)));
        } catch (...) {
            failure = std::current_exception();
            break;
        }
        folder.Add(name);
        m_written.push_back(results.back().copy);
    }

    std::vector<std::string> folders;
    for (std::size_t i = 0; i < placed; ++i) {
        const std::string folder = FolderPart(batch[i].copy.Destination());
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
            folders.push_back(folder);
            FlushFolderOf(batch[i].copy.Destination());
        }
    }

    // Only now, with every copy and its name on disk, do sources go.
    std::exception_ptr changed;
    for (std::size_t i = 0; i < placed; ++i) {
        const TQueued& queued = batch[i];
        TTransferred transferred{queued.index, false, queued.replaces, {}};
        if (queued.deleteSource) {
            const TDeletion deleted =
                m_faults ? DeleteFileIfUnchangedWithFaults(queued.source, results[i].source, *m_faults)
                         : DeleteFileIfUnchanged(queued.source, results[i].source);
            if (deleted.Result == TDeleteResult::Changed) {
                if (!changed)
                    changed = std::make_exception_ptr(EFileChanged(queued.source));
                continue;
            }
            transferred.sourceStayed = deleted.Result == TDeleteResult::Failed;
            transferred.sourceError = deleted.Error;
        }
        if (m_done)
            m_done(transferred);
    }
    if (changed)
        std::rethrow_exception(changed);
    if (failure)
        std::rethrow_exception(failure);
}

namespace {

namespace fs = std::filesystem;

fs::path fsPath(const std::string& native) {
    return fs::path(std::u8string(native.begin(), native.end()));
}

std::string nativeOf(const std::string& path) {
    return NativePath(path.empty() ? std::string(".") : path);
}

// Every track not yet reached is left as it is.
void cancelFrom(TOperationReport& report, std::size_t index) {
    report.CancelledCount = 0;
    for (std::size_t i = index; i < report.Tracks.size(); ++i)
        report.CancelledCount += report.Tracks[i].Fate == TTrackFate::Cancelled ? 1 : 0;
}

// A rename's failure as the fate of its track.
void setRenameFailure(TTrackOutcome& outcome, TFileError error, const std::string& newName) {
    outcome.Error = error;
    if (IsNameTaken(error)) {
        outcome.Fate = TTrackFate::TargetExists;
        outcome.Other = newName;
    } else if (IsFileMissing(error)) {
        outcome.Fate = TTrackFate::Missing;
    } else {
        outcome.Fate = TTrackFate::Refused;
    }
}

// Renames from to to in folder, the renamer of its folder; the outcome is told of to's fate.
void renameInto(TFolderRenamer& folder, const std::string& from, const std::string& to,
                TTrackOutcome& outcome) {
    const TFileError error = folder.Rename(from, to);
    if (error.Failed()) {
        setRenameFailure(outcome, error, to);
        return;
    }
    outcome.Fate = TTrackFate::Done;
    outcome.Result = to;
}

TOperationReport changeExtensions(TTrackOperation operation, const std::vector<TTrackFile>& tracks,
                                  const TProgress& progress) {
    TOperationReport report;
    report.Operation = operation;
    for (const TTrackFile& track : tracks)
        report.Tracks.push_back(TTrackOutcome{track.Name, track.Folder});
    // Each folder's names are read once for all its tracks.
    std::map<std::string, TFolderRenamer> folders;
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        if (progress && !progress(i, tracks.size())) {
            cancelFrom(report, i);
            break;
        }
        const TTrackFile& track = tracks[i];
        TTrackOutcome& outcome = report.Tracks[i];
        const bool activate = operation == TTrackOperation::Start ||
                              (operation == TTrackOperation::Toggle && IsInactiveTrack(track.Name));
        const std::string newName =
            NameWithExtension(track.Name, activate ? ActiveExtension : InactiveExtension);
        if (newName == track.Name) {
            outcome.Fate = TTrackFate::AlreadySo;
            continue;
        }
        renameInto(folders.try_emplace(track.Folder, track.Folder).first->second, track.Name, newName,
                   outcome);
    }
    return report;
}

// Adds the copy of the track at index to the transfer, to destinations[index].
using TAddCopy = std::function<void(TTrackTransfer& transfer, std::size_t index)>;

// Copies each track still Cancelled in report (the others are decided) to destinations[i] through add,
// all in one transfer, and tells the report of each track's fate. A failure ends it at its track, but an
// entry of an archive that cannot be read (EArchiveError) is only that track's. prepare, when given, is
// asked before each of those tracks is added; false leaves it out, decided by prepare.
void transferAll(TOperationReport& report, const TAddCopy& add, const std::vector<std::string>& destinations,
                 const TProgress& progress, const std::function<bool(TTrackOutcome&)>& prepare = {}) {
    std::vector<std::size_t> added; // the index in the report of each track added, in order
    std::vector<bool> undecided;
    for (const TTrackOutcome& track : report.Tracks)
        undecided.push_back(track.Fate == TTrackFate::Cancelled);
    TTrackTransfer transfer([&](const TTransferred& track) {
        TTrackOutcome& outcome = report.Tracks[added[track.index]];
        outcome.Fate = track.sourceStayed ? TTrackFate::SourceStayed : TTrackFate::Done;
        outcome.Result = destinations[added[track.index]];
        outcome.Replaced = outcome.Replaced || track.replaced;
        outcome.Error = track.sourceError;
    });
    try {
        for (std::size_t i = 0; i < destinations.size(); ++i) {
            if (progress && !progress(i, destinations.size())) {
                transfer.Finish();
                cancelFrom(report, i);
                return;
            }
            if (!undecided[i] || (prepare && !prepare(report.Tracks[i])))
                continue;
            added.push_back(i);
            try {
                add(transfer, i);
            } catch (const EArchiveError& failure) {
                // Nothing of the entry was written; the tracks before it are finished.
                report.Tracks[i].Fate = TTrackFate::Refused;
                report.Tracks[i].Message = failure.what();
            }
        }
        // Each track is moved whole (copied, flushed, then its source deleted) or not at all.
        transfer.Finish();
    } catch (const std::exception& failure) {
        // The failing track is the first one added that did not come through.
        for (const std::size_t i : added) {
            if (report.Tracks[i].Fate == TTrackFate::Cancelled) {
                report.Tracks[i].Fate = TTrackFate::Refused;
                report.Tracks[i].Message = failure.what();
                break;
            }
        }
        report.Failure = std::current_exception();
    }
}

// The names of a folder, folded for comparison, under each the name as stored.
std::map<std::string, std::string> foldedNamesOf(const std::string& nativeFolder) {
    std::map<std::string, std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(fsPath(nativeFolder), error), end; !error && entry != end;
         entry.increment(error)) {
        const std::u8string name = entry->path().filename().u8string();
        const std::string text(name.begin(), name.end());
        names.try_emplace(FoldedName(text), text);
    }
    return names;
}

// The same track in its other state: "t.~env" for "t.env" and the other way round; empty for a name
// that ends in neither.
std::string twinOf(const std::string& name) {
    const std::string extension = LowerAscii(FileExtension(name));
    if (extension == ActiveExtension)
        return NameWithExtension(name, InactiveExtension);
    if (extension == InactiveExtension)
        return NameWithExtension(name, ActiveExtension);
    return {};
}

} // namespace

bool FolderExists(const std::string& folder) {
    std::error_code error;
    return fs::is_directory(fsPath(nativeOf(folder)), error);
}

TOperationReport Start(const std::vector<TTrackFile>& tracks, const TProgress& progress) {
    return changeExtensions(TTrackOperation::Start, tracks, progress);
}

TOperationReport Stop(const std::vector<TTrackFile>& tracks, const TProgress& progress) {
    return changeExtensions(TTrackOperation::Stop, tracks, progress);
}

TOperationReport Toggle(const std::vector<TTrackFile>& tracks, const TProgress& progress) {
    return changeExtensions(TTrackOperation::Toggle, tracks, progress);
}

TOperationReport Store(const std::vector<TTrackFile>& tracks, const std::string& destinationFolder,
                       const TProgress& progress) {
    TOperationReport report;
    report.Operation = TTrackOperation::Store;
    std::vector<std::string> sources;
    std::vector<std::string> destinations;
    for (const TTrackFile& track : tracks) {
        sources.push_back(PathInFolder(track.Folder, track.Name));
        destinations.push_back(PathInFolder(destinationFolder, track.Name));
        report.Tracks.push_back(TTrackOutcome{track.Name, track.Folder});
    }
    transferAll(
        report,
        [&](TTrackTransfer& transfer, std::size_t i) { transfer.Add(sources[i], destinations[i], true); },
        destinations, progress);
    return report;
}

namespace {

// Fetch's decisions made before any copy, in order, so that of "t.env" and "t.~env" fetched together only
// the first comes in, and of two tracks of one name the first: each track that is there already, or whose
// other state is in the folder (Other names it: TargetExists, or undecided when it is to be replaced),
// and the source and destination of each. An archive among the paths gives its tracks (FetchSources). A
// twin that this Fetch itself puts in the folder (t.env and t.~env fetched together) always leaves the
// later track out, whatever twins says, as nothing there can make room for it; asked, when given, tells
// for each track whether its twin was in the folder before, which is what the player is asked about.
TOperationReport planFetch(const std::vector<std::string>& paths, const std::string& eventFolder,
                           TTwinChoice twins, std::vector<TFetchSource>& sources,
                           std::vector<std::string>& destinations, std::vector<bool>* asked = nullptr) {
    if (!FolderExists(eventFolder))
        throw EFolderMissing(eventFolder);
    std::error_code error;
    TOperationReport report;
    report.Operation = TTrackOperation::Fetch;
    sources = FetchSources(paths, report.Tracks);
    std::map<std::string, std::string> names = foldedNamesOf(nativeOf(eventFolder));
    // The names this Fetch brings, folded, with where each comes from.
    std::map<std::string, std::string> fetched;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const TFetchSource& source = sources[i];
        const std::string& name = source.fileName;
        destinations.push_back(name.empty() ? std::string() : PathInFolder(eventFolder, name));
        TTrackOutcome& outcome = report.Tracks[i];
        if (asked)
            asked->push_back(false);
        if (outcome.Fate != TTrackFate::Cancelled)
            continue; // an entry of an archive that is never fetched
        const auto take = [&] {
            names.try_emplace(FoldedName(name), name);
            fetched.try_emplace(FoldedName(name), source.entry.empty()
                                                      ? source.path
                                                      : source.entry + " in " + FileNamePart(source.path));
        };
        const std::string twin = twinOf(name);
        const auto twinFound = twin.empty() ? names.end() : names.find(FoldedName(twin));
        const auto first = fetched.find(FoldedName(name));
        if (source.entry.empty() && names.count(FoldedName(name)) &&
            fs::equivalent(fsPath(NativePath(source.path)), fsPath(NativePath(destinations.back())), error)) {
            outcome.Fate = TTrackFate::AlreadySo;
        } else if (first != fetched.end()) {
            outcome.Fate = TTrackFate::Refused;
            outcome.Message = "a track of this name is fetched from " + first->second + " already";
        } else if (twinFound != names.end()) {
            outcome.Other = twinFound->second;
            const bool ours = fetched.count(twinFound->first) > 0;
            if (asked)
                asked->back() = !ours;
            if (twins == TTwinChoice::Skip || ours) {
                outcome.Fate = TTrackFate::TargetExists;
            } else {
                names.erase(twinFound);
                take();
            }
        } else {
            take();
        }
    }
    return report;
}

} // namespace

std::vector<TFetchTwin> FetchTwins(const std::vector<std::string>& paths, const std::string& eventFolder) {
    std::vector<TFetchSource> sources;
    std::vector<std::string> destinations;
    std::vector<TFetchTwin> twins;
    std::vector<bool> asked;
    const TOperationReport plan =
        planFetch(paths, eventFolder, TTwinChoice::Skip, sources, destinations, &asked);
    for (std::size_t i = 0; i < plan.Tracks.size(); ++i) {
        if (plan.Tracks[i].Fate == TTrackFate::TargetExists && asked[i])
            twins.push_back({sources[i].fileName, plan.Tracks[i].Other});
    }
    return twins;
}

TOperationReport Fetch(const std::vector<std::string>& paths, const std::string& eventFolder,
                       const TProgress& progress, TTwinChoice twins, const TRemoveFile& removeTwin) {
    std::vector<TFetchSource> sources;
    std::vector<std::string> destinations;
    TOperationReport report = planFetch(paths, eventFolder, twins, sources, destinations);
    TFetchSources archives;
    const auto add = [&](TTrackTransfer& transfer, std::size_t i) {
        archives.Add(transfer, sources[i], destinations[i]);
    };
    // A twin to be replaced goes only once its track is reached: a cancel before it keeps it.
    transferAll(report, add, destinations, progress, [&](TTrackOutcome& track) {
        if (track.Other.empty() || !removeTwin)
            return true;
        const TRemoval removal = removeTwin(PathInFolder(eventFolder, track.Other));
        if (removal.Fate == TTrackFate::Refused) {
            track.Fate = TTrackFate::Refused;
            track.Error = removal.Error;
            track.Message =
                track.Other + " could not be moved out of the way: " + SystemErrorText(removal.Error.code);
            return false;
        }
        track.Replaced = true;
        return true;
    });
    return report;
}

TOperationReport Delete(const std::vector<TTrackFile>& tracks, const TRemoveFile& remove,
                        const TProgress& progress) {
    TOperationReport report;
    report.Operation = TTrackOperation::Delete;
    for (const TTrackFile& track : tracks)
        report.Tracks.push_back(TTrackOutcome{track.Name, track.Folder});
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        if (progress && !progress(i, tracks.size())) {
            cancelFrom(report, i);
            break;
        }
        const TRemoval removal = remove(PathInFolder(tracks[i].Folder, tracks[i].Name));
        TTrackOutcome& outcome = report.Tracks[i];
        outcome.Fate = removal.Fate;
        outcome.Error = removal.Error;
        outcome.Result = removal.Where;
    }
    return report;
}

TOperationReport Undo(const TOperationReport& done, const TRestoreFile& restore) {
    TOperationReport report;
    report.Operation = TTrackOperation::Undo;
    std::map<std::string, TFolderRenamer> folders;
    for (const TTrackOutcome& track : done.Tracks) {
        if (done.Operation == TTrackOperation::Delete && track.Fate == TTrackFate::Trashed) {
            TTrackOutcome outcome{track.Track, track.Folder};
            const TFileError error = restore(track.Result, PathInFolder(track.Folder, track.Track));
            if (error.Failed())
                setRenameFailure(outcome, error, track.Track);
            else
                outcome.Fate = TTrackFate::Done;
            outcome.Result = error.Failed() ? std::string() : track.Track;
            report.Tracks.push_back(std::move(outcome));
        } else if ((done.Operation == TTrackOperation::Start || done.Operation == TTrackOperation::Stop ||
                    done.Operation == TTrackOperation::Toggle) &&
                   track.Fate == TTrackFate::Done) {
            TTrackOutcome outcome{track.Result, track.Folder};
            renameInto(folders.try_emplace(track.Folder, track.Folder).first->second, track.Result,
                       track.Track, outcome);
            report.Tracks.push_back(std::move(outcome));
        }
    }
    return report;
}
