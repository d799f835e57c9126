#include <exception>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>

#include "Commands.h"
#include "TextEscape.h"
#include "platform/NativePath.h"
#include "platform/PathParts.h"
#include "tracks/TTrackFetch.h"
#include "tracks/TrackOperations.h"

namespace {

// The files of "FILE... OPTION FOLDER" and the folder, ending in a separator.
struct TFilesAndFolder {
    std::vector<std::string> files;
    std::string folder;
};

TFilesAndFolder filesAndFolder(const std::vector<std::string>& args, const std::string& option,
                               const std::string& usage) {
    TFilesAndFolder result;
    bool haveFolder = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != option) {
            result.files.push_back(args[i]);
            continue;
        }
        if (haveFolder || i + 1 >= args.size() || args[i + 1].empty())
            throw EUsageError(usage);
        result.folder = args[++i];
        haveFolder = true;
    }
    if (!haveFolder || result.files.empty())
        throw EUsageError(usage);
    result.folder = WithTrailingSeparator(std::move(result.folder));
    return result;
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
    return changeExtensions(args, ActiveExtension, "usage: skarnres start FILE...");
}

// skarnres stop FILE...: makes tracks inactive, renaming each to end in ".~env".
int CmdStop(const std::vector<std::string>& args) {
    return changeExtensions(args, InactiveExtension, "usage: skarnres stop FILE...");
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

// skarnres fetch FILE... --into EVENT-FOLDER [--json]: copies archived tracks into an event folder, as
// Fetch does; an archive among the files gives its tracks. Each track fetched is a line: the file (or the
// archive and the entry) and the path of its copy, separated by tabs. What is not fetched is named on
// standard error and makes the status 1.
int CmdFetch(const std::vector<std::string>& words) {
    std::vector<std::string> args = words;
    const bool json = TakeJsonOption(args);
    const TFilesAndFolder request =
        filesAndFolder(args, "--into", "usage: skarnres fetch FILE... --into EVENT-FOLDER [--json]");
    TTrackFetch fetch(request.folder, request.files);
    std::exception_ptr failure;
    try {
        fetch.Run();
    } catch (const std::exception&) {
        // The tracks fetched before the failure are told first.
        failure = std::current_exception();
    }
    nlohmann::json tracks = nlohmann::json::array();
    int status = 0;
    for (const TFetchOutcome& outcome : fetch.Outcomes()) {
        const std::string destination =
            outcome.fileName.empty() ? std::string() : PathInFolder(request.folder, outcome.fileName);
        const bool fetched = outcome.fate == TFetchFate::Fetched;
        if (!fetched)
            status = 1;
        if (!fetched && outcome.reason.empty())
            continue; // told by the failure that ended the fetch
        if (json) {
            static const char* const fates[] = {"fetched", "refused", "failed"};
            tracks.push_back({{"source", outcome.source},
                              {"entry", outcome.entry},
                              {"fileName", outcome.fileName},
                              {"destination", destination},
                              {"outcome", fates[static_cast<int>(outcome.fate)]},
                              {"reason", outcome.reason}});
        } else if (fetched) {
            std::cout << EscapeField(outcome.source) << '\t'
                      << (outcome.entry.empty() ? "" : EscapeField(outcome.entry) + '\t')
                      << EscapeField(destination) << '\n';
        } else {
            std::cerr << "skarnres: " << outcome.source << (outcome.entry.empty() ? "" : ": " + outcome.entry)
                      << ": not fetched: " << outcome.reason << '\n';
        }
    }
    if (json) {
        const nlohmann::json result = {{"eventFolder", request.folder}, {"tracks", tracks}};
        std::cout << result.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    }
    if (failure)
        std::rethrow_exception(failure);
    return status;
}
