// skarnres: looks into the game's files from a shell, through the same code the track manager uses.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "Commands.h"
#include "Help.h"
#include "platform/ConsoleMain.h"
#include "platform/Exceptions.h"
#include "tracks/GameLocation.h"

namespace {

struct TCommandInfo {
    const char* name;
    int (*run)(const std::vector<std::string>&);
};

// What each command does is told in Help.cpp.
const TCommandInfo commands[] = {
    {"ls", CmdLs},
    {"cat", CmdCat},
    {"scene-name", CmdSceneName},
    {"tracks", CmdTracks},
    {"game-root", CmdGameRoot},
    {"start", CmdStart},
    {"stop", CmdStop},
    {"store", CmdStore},
    {"fetch", CmdFetch},
    {"ls-archive", CmdLsArchive},
#ifdef SKARNRES_PREVIEW
    {"tga", CmdTga},
    {"preview", CmdPreview},
#endif
};

// True for a path on a drive ("C:...").
bool isDrivePath(const std::string& arg) {
    return arg.size() >= 2 && arg[1] == ':' &&
           ((arg[0] >= 'A' && arg[0] <= 'Z') || (arg[0] >= 'a' && arg[0] <= 'z'));
}

// True for a path that the working folder resolves: neither native absolute ("/..."), rooted ("\...")
// nor on a drive ("C:...").
bool isRelativePath(const std::string& arg) {
    if (arg.empty() || arg[0] == '/' || arg[0] == '\\')
        return false;
    return !isDrivePath(arg);
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
            throw EUsageError("the working folder no longer exists, so the relative path " + args[i] +
                              " cannot be used; give an absolute path");
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

// skarnres help [COMMAND]
int help(const std::vector<std::string>& args) {
    if (args.empty()) {
        PrintUsage(std::cout);
        return checkOutput(0);
    }
    const TCommandHelp* command = args.size() == 1 ? FindCommandHelp(args[0]) : nullptr;
    if (!command) {
        std::cerr << "skarnres: "
                  << (args.size() == 1 ? "no command " + args[0] : "usage: skarnres help COMMAND")
                  << " (try skarnres --help)\n";
        return 1;
    }
    PrintCommandHelp(std::cout, *command);
    return checkOutput(0);
}

int run(const std::vector<std::string>& argv) {
    const int argc = static_cast<int>(argv.size());
    if (argc < 2 || argv[1] == "--help" || argv[1] == "-h") {
        if (argc < 2) {
            PrintUsage(std::cerr);
            return 1;
        }
        PrintUsage(std::cout);
        return checkOutput(0);
    }
    if (argv[1] == "--version") {
        PrintVersion(std::cout);
        return checkOutput(0);
    }
    const std::vector<std::string> args(argv.begin() + 2, argv.end());
    // "skarnres COMMAND --help" is "skarnres help COMMAND" (a file called --help can be given as ./--help).
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h"))
        return help({argv[1]});
    if (argv[1] == "help")
        return help(args);
    for (const TCommandInfo& c : commands) {
        if (argv[1] != c.name)
            continue;
        try {
            refuseRelativePathsWithoutWorkingFolder(args);
            // Drive paths ("C:\\...") resolve through the prefix that holds the game, as in the
            // window; game-root reads the registry itself and says more. Other paths need no game, and
            // looking for it (reading a prefix's registry of megabytes) would cost more than most
            // commands.
            const bool drivePaths = std::any_of(args.begin(), args.end(), isDrivePath);
            if (drivePaths && std::string_view(c.name) != "game-root") {
                const TGameLocation game = LocateGame();
                if (game.Installed && !game.Report.empty())
                    std::cerr << "skarnres: " << game.Report << '\n';
            }
            return checkOutput(c.run(args));
        } catch (const std::exception& e) {
            std::cerr << "skarnres: " << e.what() << '\n';
        }
        return checkOutput(1);
    }
    std::cerr << "skarnres: unknown command " << argv[1] << " (try skarnres --help)\n";
    return 1;
}

} // namespace

int ConsoleMain(const std::vector<std::string>& args) {
    return run(args);
}
