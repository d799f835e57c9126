#include "TrackOperations.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "platform/CopyFaults.h"
#include "platform/Exceptions.h"
#include "platform/NativePath.h"

std::string NameWithExtension(const std::string& name, const std::string& extension) {
    return NameWithoutExtension(name) + extension;
}

std::optional<std::string> ChangeTrackExtension(TFolderRenamer& eventFolder, const std::string& fileName,
                                                const std::string& extension) {
    std::string newName = NameWithExtension(fileName, extension);
    if (!eventFolder.Rename(fileName, newName))
        return std::nullopt;
    return newName;
}

std::optional<std::string> ChangeTrackExtension(const std::string& eventFolder, const std::string& fileName,
                                                const std::string& extension) {
    TFolderRenamer folder(eventFolder);
    return ChangeTrackExtension(folder, fileName, extension);
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
        TPendingCopy copy = makeCopy(folderOf(destination).PathOf(FileNamePart(destination)));
        m_batchBytes += copy.Size();
        m_batch.push_back(TQueued{index, source, deleteSource, std::move(copy)});
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
        TTransferred transferred{queued.index, false};
        if (queued.deleteSource) {
            const TDeleteResult deleted =
                m_faults ? DeleteFileIfUnchangedWithFaults(queued.source, results[i].source, *m_faults)
                         : DeleteFileIfUnchanged(queued.source, results[i].source);
            if (deleted == TDeleteResult::Changed) {
                if (!changed)
                    changed = std::make_exception_ptr(EFileChanged(queued.source));
                continue;
            }
            transferred.sourceStayed = deleted == TDeleteResult::Failed;
        }
        if (m_done)
            m_done(transferred);
    }
    if (changed)
        std::rethrow_exception(changed);
    if (failure)
        std::rethrow_exception(failure);
}

std::vector<std::string> ArchiveSelected(const std::string& eventFolder, const std::string& destinationFolder,
                                         const std::vector<std::string>& fileNames) {
    std::vector<std::string> stayed;
    TTrackTransfer transfer([&](const TTransferred& track) {
        if (track.sourceStayed)
            stayed.push_back(fileNames[track.index]);
    });
    for (const std::string& name : fileNames)
        transfer.Add(PathInFolder(eventFolder, name), PathInFolder(destinationFolder, name), true);
    transfer.Finish();
    return stayed;
}

void FetchTracks(const std::string& eventFolder, const std::vector<std::string>& chosenPaths) {
    TTrackTransfer transfer;
    for (const std::string& path : chosenPaths)
        transfer.Add(path, PathInFolder(eventFolder, FileNamePart(path)), false);
    transfer.Finish();
}

void DeleteTrack(const std::string& eventFolder, const std::string& fileName) {
    DeleteFile(PathInFolder(eventFolder, fileName));
}
