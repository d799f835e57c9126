#include "TrackOperations.h"

#include <algorithm>

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

bool TTrackTransfer::Copy(const std::string& source, const std::string& destination, bool deleteSource) {
    const std::string folder = FolderPart(destination);
    if (std::find(m_tidiedFolders.begin(), m_tidiedFolders.end(), folder) == m_tidiedFolders.end()) {
        TidyFolder(folder.empty() ? std::string(".") : folder);
        m_tidiedFolders.push_back(folder);
    }
    const TCopyResult copied = m_faults
                                   ? CopyFileReplacingWithFaults(source, destination, *m_faults, m_written)
                                   : CopyFileReplacing(source, destination, m_written);
    m_written.push_back(copied.copy);
    if (!deleteSource)
        return true;
    const TDeleteResult deleted = m_faults ? DeleteFileIfUnchangedWithFaults(source, copied.source, *m_faults)
                                           : DeleteFileIfUnchanged(source, copied.source);
    switch (deleted) {
    case TDeleteResult::Deleted:
        return true;
    case TDeleteResult::Changed:
        throw EFileChanged(source);
    case TDeleteResult::Failed:
        break;
    }
    return false;
}

bool CopyTrackFile(const std::string& source, const std::string& destination, bool deleteSource) {
    TTrackTransfer transfer;
    return transfer.Copy(source, destination, deleteSource);
}

std::vector<std::string> ArchiveSelected(const std::string& eventFolder, const std::string& destinationFolder,
                                         const std::vector<std::string>& fileNames) {
    TTrackTransfer transfer;
    std::vector<std::string> stayed;
    for (const std::string& name : fileNames) {
        if (!transfer.Copy(PathInFolder(eventFolder, name), PathInFolder(destinationFolder, name), true))
            stayed.push_back(name);
    }
    return stayed;
}

void FetchTracks(const std::string& eventFolder, const std::vector<std::string>& chosenPaths) {
    TTrackTransfer transfer;
    for (const std::string& path : chosenPaths)
        transfer.Copy(path, PathInFolder(eventFolder, FileNamePart(path)), false);
}

void DeleteTrack(const std::string& eventFolder, const std::string& fileName) {
    DeleteFile(PathInFolder(eventFolder, fileName));
}
