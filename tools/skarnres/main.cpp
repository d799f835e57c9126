// skarnres: looks into the game's files from a shell, through the same code the track manager uses.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "Commands.h"
#include "app/GameLocation.h"
#include "platform/Exceptions.h"

namespace {

struct TCommandInfo {
    const char* name;
    int (*run)(const std::vector<std::string>&);
    const char* usage;
};

const TCommandInfo commands[] = {
    {"ls", CmdLs, "ls FILE                 list a container's entries: index, name, offset, length"},
    {"cat", CmdCat, "cat FILE ENTRY          write an entry's bytes (descrambled) to standard output"},
    {"scene-name", CmdSceneName, "scene-name FILE         print a track's display name"},
    {"tracks", CmdTracks, "tracks EVENT-FOLDER     list an event folder as the window does: A/X, name, file"},
    {"game-root", CmdGameRoot, "game-root               print the game's root folder from the registry"},
    {"start", CmdStart, "start FILE...           make tracks active (rename to .env); exit 1 if one stays"},
    {"stop", CmdStop, "stop FILE...            make tracks inactive (rename to .~env); exit 1 if one stays"},
    {"store", CmdStore,
     "store FILE... --to FOLDER\n"
     "                                   move tracks into an archive folder, replacing copies there"},
    {"fetch", CmdFetch,
     "fetch FILE... --into EVENT-FOLDER\n"
     "                                   copy archived tracks into an event folder"},
#ifdef SKARNRES_PICTURES
    {"tga", CmdTga, "tga IN.tga -o OUT.png [--mode 0|1|2]  decode a TGA image as the program does (mode 2)"},
    {"preview", CmdPreview,
     "preview FILE --event TYPE -o OUT.png  the track's preview as the window shows it"},
#endif
};

// True for a path that the working folder resolves: neither native absolute ("/..."), rooted ("\...")
// nor on a drive ("C:...").
bool isRelativePath(const std::string& arg) {
    if (arg.empty() || arg[0] == '/' || arg[0] == '\\')
        return false;
    const bool drive = arg.size() >= 2 && arg[1] == ':' &&
                       ((arg[0] >= 'A' && arg[0] <= 'Z') || (arg[0] >= 'a' && arg[0] <= 'z'));
    return !drive;
}

// With the working folder deleted a relative path would resolve against the file-system root: such
// paths are refused. Options and the values of --mode and --event are no paths.
void refuseRelativePathsWithoutWorkingFolder(const std::vector<std::string>& args) {
    std::error_code error;
    [[maybe_unused]] const std::filesystem::path folder = std::filesystem::current_path(error);
    if (!error)
        return;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i].starts_with("-")) {
            if (args[i] == "--mode" || args[i] == "--event")
                ++i;
            continue;
        }
        if (isRelativePath(args[i]))
            throw TUsageError{"the working folder no longer exists, so the relative path " + args[i] +
                              " cannot be used; give an absolute path"};
    }
}

// Standard output is written through a buffer: a failure (a full disk, /dev/full) shows when it is
// flushed. Returns status, or 1 after a message when the output did not reach its place.
int checkOutput(int status) {
    std::cout.flush();
    if (std::fflush(stdout) != 0 || std::ferror(stdout) || !std::cout) {
        std::cerr << "skarnres: cannot write to standard output: " << std::strerror(errno) << '\n';
        return 1;
    }
    return status;
}

void printUsage(std::ostream& out) {
    out << "usage: skarnres COMMAND ARGS...\n";
    for (const TCommandInfo& c : commands)
        out << "  skarnres " << c.usage << '\n';
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        printUsage(argc < 2 ? std::cerr : std::cout);
        return checkOutput(argc < 2 ? 1 : 0);
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    for (const TCommandInfo& c : commands) {
        if (std::strcmp(argv[1], c.name) != 0)
            continue;
        try {
            refuseRelativePathsWithoutWorkingFolder(args);
            // Drive paths ("C:\\...") resolve through the prefix that holds the game, as in the
            // window; game-root reads the registry itself and says more.
            if (std::strcmp(c.name, "game-root") != 0) {
                const TGameLocation game = LocateGame();
                if (game.Installed && !game.Report.empty())
                    std::cerr << "skarnres: " << game.Report << '\n';
            }
            return checkOutput(c.run(args));
        } catch (const TUsageError& e) {
            std::cerr << "skarnres: " << e.message << '\n';
        } catch (const std::exception& e) {
            std::cerr << "skarnres: " << e.what() << '\n';
        }
        return checkOutput(1);
    }
    std::cerr << "skarnres: unknown command " << argv[1] << " (try skarnres --help)\n";
    return 1;
}
