// skarnres: looks into the game's files from a shell, through the same code the track manager uses.
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"
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
    {"tga", CmdTga, "tga IN.tga -o OUT.png [--mode 0|1|2]  decode a TGA image as the program does (mode 2)"},
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
