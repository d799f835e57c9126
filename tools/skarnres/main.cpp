// skarnres: looks into the game's files from a shell, through the same code the track manager uses.
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"
#include "Help.h"
#include "app/GameLocation.h"
#include "platform/Exceptions.h"

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
    {"tga", CmdTga},
#ifdef SKARNRES_PREVIEW
    {"preview", CmdPreview},
#endif
};

// The status after writing to standard output: 1 when the text could not all be written.
int writtenToStandardOutput() {
    if (std::cout.flush())
        return 0;
    std::cerr << "skarnres: cannot write to standard output\n";
    return 1;
}

// skarnres help [COMMAND]
int help(const std::vector<std::string>& args) {
    if (args.empty()) {
        PrintUsage(std::cout);
        return writtenToStandardOutput();
    }
    const TCommandHelp* command = args.size() == 1 ? FindCommandHelp(args[0]) : nullptr;
    if (!command) {
        std::cerr << "skarnres: "
                  << (args.size() == 1 ? "no command " + args[0] : "usage: skarnres help COMMAND")
                  << " (try skarnres --help)\n";
        return 1;
    }
    PrintCommandHelp(std::cout, *command);
    return writtenToStandardOutput();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        if (argc < 2) {
            PrintUsage(std::cerr);
            return 1;
        }
        PrintUsage(std::cout);
        return writtenToStandardOutput();
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        PrintVersion(std::cout);
        return writtenToStandardOutput();
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    // "skarnres COMMAND --help" is "skarnres help COMMAND" (a file called --help can be given as ./--help).
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h"))
        return help({argv[1]});
    if (std::strcmp(argv[1], "help") == 0)
        return help(args);
    for (const TCommandInfo& c : commands) {
        if (std::strcmp(argv[1], c.name) != 0)
            continue;
        try {
            // Drive paths ("C:\\...") resolve through the prefix that holds the game, as in the
            // window; game-root reads the registry itself and says more.
            if (std::strcmp(c.name, "game-root") != 0) {
                const TGameLocation game = LocateGame();
                if (game.Installed && !game.Report.empty())
                    std::cerr << "skarnres: " << game.Report << '\n';
            }
            return c.run(args);
        } catch (const std::exception& e) {
            std::cerr << "skarnres: " << e.what() << '\n';
        }
        return 1;
    }
    std::cerr << "skarnres: unknown command " << argv[1] << " (try skarnres --help)\n";
    return 1;
}
