#include <iostream>
#include <map>

#include "Commands.h"
#include "TextEscape.h"
#include "platform/NativePath.h"
#include "platform/PathParts.h"
#include "tracks/TrackOperations.h"

namespace {

// The files of "FILE... OPTION FOLDER" and the folder, ending in a separator.
struct TFilesAndFolder {
    std::vector<std::string> files;
    std::string folder;
};

TFilesAndFolder filesAndFolder(const std::vector<std::string>& words, const std::string& option,
                               const std::string& usage) {
    TArguments args = SplitArguments(words);
    const std::string* folder = args.Option(option);
    if (!folder || folder->empty() || args.operands.empty())
        throw EUsageError(usage);
    return {std::move(args.operands), WithTrailingSeparator(*folder)};
}

int changeExtensions(const std::vector<std::string>& files, const std::string& extension,
                     const std::string& usage) {
    if (files.empty())
        throw EUsageError(usage);
    int status = 0;
    // Each folder's names are read once for all its files.
    std::map<std::string, TFolderRenamer> renamers;
    for (const std::string& file : files) {
        const std::string folder = FolderPart(file);
        TFolderRenamer& renamer = renamers.try_emplace(folder, folder).first->second;
        const std::optional<std::string> newName =
            ChangeTrackExtension(renamer, FileNamePart(file), extension);
        if (newName) {
            std::cout << EscapeField(file) << '\t' << EscapeField(folder + *newName) << '\n';
        } else {
            std::cout << EscapeField(file) << "\t(left as it was: the rename failed)\n";
            status = 1;
        }
    }
    return status;
}

} // namespace

// skarnres start FILE...: makes tracks active, renaming each to end in ".env".
int CmdStart(const std::vector<std::string>& args) {
    return changeExtensions(SplitArguments(args).operands, ActiveExtension, "usage: skarnres start FILE...");
}

// skarnres stop FILE...: makes tracks inactive, renaming each to end in ".~env".
int CmdStop(const std::vector<std::string>& args) {
    return changeExtensions(SplitArguments(args).operands, InactiveExtension, "usage: skarnres stop FILE...");
}

// skarnres store FILE... --to FOLDER: moves tracks into an archive folder, as Store does: one transfer,
// so a later track never replaces an earlier one's copy. A track whose file cannot be deleted after it
// was archived is named on standard error and gives exit status 1.
int CmdStore(const std::vector<std::string>& args) {
    const TFilesAndFolder request = filesAndFolder(args, "--to", "usage: skarnres store FILE... --to FOLDER");
    std::vector<std::string> destinations;
    for (const std::string& file : request.files)
        destinations.push_back(PathInFolder(request.folder, FileNamePart(file)));
    int status = 0;
    TTrackTransfer transfer([&](const TTransferred& track) {
        const std::string& file = request.files[track.index];
        const std::string& destination = destinations[track.index];
        if (!track.sourceStayed) {
            std::cout << EscapeField(file) << '\t' << EscapeField(destination) << '\n';
        } else {
            std::cerr << "skarnres: " << file << ": archived as " << destination
                      << ", but the track stayed where it was: its file cannot be deleted\n";
            status = 1;
        }
    });
    for (std::size_t i = 0; i < request.files.size(); ++i)
        transfer.Add(request.files[i], destinations[i], true);
    transfer.Finish();
    return status;
}

// skarnres fetch FILE... --into EVENT-FOLDER: copies archived tracks into an event folder, as Fetch does.
int CmdFetch(const std::vector<std::string>& args) {
    const TFilesAndFolder request =
        filesAndFolder(args, "--into", "usage: skarnres fetch FILE... --into EVENT-FOLDER");
    std::vector<std::string> destinations;
    for (const std::string& file : request.files)
        destinations.push_back(PathInFolder(request.folder, FileNamePart(file)));
    TTrackTransfer transfer([&](const TTransferred& track) {
        std::cout << EscapeField(request.files[track.index]) << '\t' << EscapeField(destinations[track.index])
                  << '\n';
    });
    for (std::size_t i = 0; i < request.files.size(); ++i)
        transfer.Add(request.files[i], destinations[i], false);
    transfer.Finish();
    return 0;
}
