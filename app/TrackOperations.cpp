#include "TrackOperations.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "platform/CopyFaults.h"
#include "platform/Exceptions.h"
#include "platform/NativePath.h"
#include "platform/TextCase.h"

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
    const std::size_t index = m_added++;
    try {
        const std::string folder = FolderPart(destination);
        if (std::find(m_tidiedFolders.begin(), m_tidiedFolders.end(), folder) == m_tidiedFolders.end()) {
            TidyFolder(folder.empty() ? std::string(".") : folder);
            m_tidiedFolders.push_back(folder);
        }
        TPendingCopy copy = m_faults ? TPendingCopy(source, destination, m_written, *m_faults)
                                     : TPendingCopy(source, destination, m_written);
        const bool nameSeenBefore = !m_foldedNames.insert(FoldedName(FileNamePart(destination))).second;
        m_batchBytes += copy.Size();
        m_batch.push_back(TQueued{index, source, deleteSource, nameSeenBefore, std::move(copy)});
    } catch (...) {
        // The tracks before this one are finished, so that the failure ends the transfer where it came.
        Finish();
        throw;
    }
    if (m_batch.size() >= BatchCopies || m_batchBytes >= BatchBytes)
        Finish();
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
        try {
            results.push_back(batch[placed].copy.Place(m_written, batch[placed].nameSeenBefore));
        } catch (...) {
            failure = std::current_exception();
            break;
        }
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
