#include "TrackOperations.h"

#include "platform/FileOps.h"

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

void CopyTrackFile(const std::string& source, const std::string& destination, bool deleteSource) {
    CopyFileReplacing(source, destination);
    if (deleteSource)
        DeleteFile(source);
}

void ArchiveSelected(const std::string& eventFolder, const std::string& destinationFolder,
                     const std::vector<std::string>& fileNames) {
    for (const std::string& name : fileNames)
        CopyTrackFile(eventFolder + name, destinationFolder + name, true);
}

void FetchTracks(const std::string& eventFolder, const std::vector<std::string>& chosenPaths) {
    for (const std::string& path : chosenPaths)
        CopyTrackFile(path, eventFolder + FileNamePart(path), false);
}

void DeleteTrack(const std::string& eventFolder, const std::string& fileName) {
    DeleteFile(eventFolder + fileName);
}
