#include "TrackOperations.h"

#include "platform/FileOps.h"

namespace {

// Where the file name starts: after the last separator, or 0.
std::size_t nameStart(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\:/");
    return cut == std::string::npos ? 0 : cut + 1;
}

} // namespace

std::string NameWithoutExtension(const std::string& name) {
    const std::size_t dot = name.find_last_of(".\\:");
    if (dot == std::string::npos || name[dot] != '.')
        return name;
    return name.substr(0, dot);
}

std::string NameWithExtension(const std::string& name, const std::string& extension) {
    return NameWithoutExtension(name) + extension;
}

std::optional<std::string> ChangeTrackExtension(const std::string& eventFolder, const std::string& fileName,
                                                const std::string& extension) {
    std::string newName = NameWithExtension(fileName, extension);
    if (!RenameFile(eventFolder + fileName, eventFolder + newName))
        return std::nullopt;
    return newName;
}

std::optional<std::string> StartTrack(const std::string& eventFolder, const std::string& fileName) {
    return ChangeTrackExtension(eventFolder, fileName, ActiveExtension);
}

std::optional<std::string> StopTrack(const std::string& eventFolder, const std::string& fileName) {
    return ChangeTrackExtension(eventFolder, fileName, InactiveExtension);
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

std::string FileNamePart(const std::string& path) {
    return path.substr(nameStart(path));
}

std::string FolderPart(const std::string& path) {
    return path.substr(0, nameStart(path));
}
