// skarnres: looks into the game's files from a shell, through the same code the track manager uses.
#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "Commands.h"
#include "app/GameLocation.h"
#include "platform/Exceptions.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/WinText.h"
#endif

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

int run(const std::vector<std::string>& argv) {
    const int argc = static_cast<int>(argv.size());
    if (argc < 2 || argv[1] == "--help" || argv[1] == "-h") {
        printUsage(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 1 : 0;
    }
    const std::vector<std::string> args(argv.begin() + 2, argv.end());
    for (const TCommandInfo& c : commands) {
        if (argv[1] != c.name)
            continue;
        try {
            // Drive paths ("C:\\...") resolve through the prefix that holds the game, as in the
            // window; game-root reads the registry itself and says more.
            if (std::string_view(c.name) != "game-root") {
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

#ifdef _WIN32

// A console shows the program's UTF-8 text while it runs; its own code page comes back afterwards.
class TUtf8Console {
public:
    TUtf8Console() : m_previous(::GetConsoleOutputCP()) {
        if (m_previous != 0)
            ::SetConsoleOutputCP(CP_UTF8);
    }
    ~TUtf8Console() {
        if (m_previous != 0)
            ::SetConsoleOutputCP(m_previous);
    }
    TUtf8Console(const TUtf8Console&) = delete;
    TUtf8Console& operator=(const TUtf8Console&) = delete;

private:
    UINT m_previous;
};

} // namespace

// Windows hands the arguments over in UTF-16, so that any file name arrives whole, whatever the
// ANSI code page; the program's text is UTF-8.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i)
        args.push_back(Utf8FromWide(argv[i]));
    // The bytes go out as written: "cat" gives an entry's bytes unchanged, and lines end in "\n" as
    // on every other system.
    _setmode(_fileno(stdout), _O_BINARY);
    const TUtf8Console console;
    const int status = run(args);
    std::cout.flush();
    return status;
}

#else

} // namespace

int main(int argc, char** argv) {
    return run(std::vector<std::string>(argv, argv + argc));
}

#endif
