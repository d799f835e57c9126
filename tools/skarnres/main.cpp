// skarnres: looks into the game's files from a shell, through the same code the track manager uses.
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
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
    {"tga", CmdTga, "tga IN.tga -o OUT.png [--mode 0|1|2]  decode a TGA image as the program does (mode 2)"},
#ifdef SKARNRES_PREVIEW
    {"preview", CmdPreview,
     "preview FILE --event TYPE -o OUT.png  the track's preview as the window shows it"},
#endif
};

void printUsage(std::ostream& out) {
    out << "usage: skarnres COMMAND ARGS...\n";
    for (const TCommandInfo& c : commands)
        out << "  skarnres " << c.usage << '\n';
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        printUsage(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 1 : 0;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
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
        } catch (const TUsageError& e) {
            std::cerr << "skarnres: " << e.message << '\n';
        } catch (const std::exception& e) {
            std::cerr << "skarnres: " << e.what() << '\n';
        }
        return 1;
    }
    std::cerr << "skarnres: unknown command " << argv[1] << " (try skarnres --help)\n";
    return 1;
}
