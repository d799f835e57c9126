// skarnres: looks into the game's files from a shell, through the same code the track manager uses.
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

#include "CommandTable.h"
#include "Commands.h"
#include "Help.h"
#include "platform/Exceptions.h"
#include "tracks/GameLocation.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/WinText.h"
#endif

namespace {

// Exit statuses: the work failed, or the command line cannot be taken.
constexpr int kFailed = 1;
constexpr int kUsage = 2;

// True for a path that the working folder resolves: neither native absolute ("/..."), rooted ("\...")
// nor on a drive ("C:...").
bool isRelativePath(const std::string& arg) {
    if (arg.empty() || arg[0] == '/' || arg[0] == '\\')
        return false;
    const bool drive = arg.size() >= 2 && arg[1] == ':' &&
                       ((arg[0] >= 'A' && arg[0] <= 'Z') || (arg[0] >= 'a' && arg[0] <= 'z'));
    return !drive;
}

bool isPath(TWordKind kind) {
    return kind != TWordKind::None && kind != TWordKind::Choice && kind != TWordKind::Command;
}

// With the working folder deleted a relative path would resolve against the file-system root: such
// paths are refused. args are the command's words as CanonicalArguments gives them.
void refuseRelativePathsWithoutWorkingFolder(const TCommand& command, const std::vector<std::string>& args) {
    std::error_code error;
    [[maybe_unused]] const std::filesystem::path folder = std::filesystem::current_path(error);
    if (!error)
        return;
    const TArguments split = SplitArguments(args);
    std::vector<std::string> paths;
    for (const auto& [name, value] : split.options) {
        const TOption* option = FindOption(command, name);
        if (option && isPath(option->kind))
            paths.push_back(value);
    }
    if (isPath(command.operands))
        paths.insert(paths.end(), split.operands.begin(), split.operands.end());
    for (const std::string& path : paths) {
        if (isRelativePath(path))
            throw ECommandFailed("the working folder no longer exists, so the relative path " + path +
                                 " cannot be used; give an absolute path");
    }
}

// Standard output is written through a buffer: a failure (a full disk, /dev/full) shows when it is
// flushed. Returns status, or 1 after a message when the output did not reach its place.
int checkOutput(int status) {
    std::cout.flush();
    if (std::fflush(stdout) != 0 || std::ferror(stdout) || !std::cout) {
        std::cerr << "skarnres: cannot write to standard output: " << std::strerror(errno) << '\n';
        return kFailed;
    }
    return status;
}

int usageError(const std::string& message) {
    std::cerr << "skarnres: " << message << '\n';
    return kUsage;
}

// The message of a failure, with the system's reason where the failure knows it.
std::string failureText(const std::exception& failure) {
    if (const auto* open = dynamic_cast<const EFOpenError*>(&failure); open && !open->Reason().empty())
        return std::string(open->what()) + ": " + open->Reason();
    if (const auto* create = dynamic_cast<const EFCreateError*>(&failure);
        create && !create->Reason().empty())
        return std::string(create->what()) + ": " + create->Reason();
    return failure.what();
}

// skarnres help [COMMAND]
int help(const std::vector<std::string>& args) {
    if (args.empty()) {
        PrintUsage(std::cout);
        return checkOutput(0);
    }
    const TCommand* command = args.size() == 1 ? FindCommand(args[0]) : nullptr;
    if (!command)
        return usageError((args.size() == 1 ? "no command " + args[0] : "usage: skarnres help COMMAND") +
                          " (try skarnres --help)");
    PrintCommandHelp(std::cout, *command);
    return checkOutput(0);
}

// The Wine prefix used, and the others that hold the game, for -v.
void reportPrefixes(const TGameLocation& game) {
    if (!game.Report.empty())
        std::cerr << "skarnres: " << PrefixChoiceReport(game, OtherGamePrefixes(game)) << '\n';
}

int runCommand(const TCommand& command, const std::vector<std::string>& words) {
    std::vector<std::string> args;
    try {
        args = CanonicalArguments(command, words);
    } catch (const EUsageError& e) {
        return usageError(e.what());
    }
    const TArguments split = SplitArguments(args);
    if (split.Option("--help")) {
        PrintCommandHelp(std::cout, command);
        return checkOutput(0);
    }
    if (!command.run)
        return help(split.operands);
    const bool verbose = split.Option("--verbose") != nullptr;
    try {
        refuseRelativePathsWithoutWorkingFolder(command, args);
        // Drive paths ("C:\\...") resolve through the prefix that holds the game, as in the window.
        const TGameLocation game = LocateGame();
        if (verbose && game.Installed)
            reportPrefixes(game);
        return checkOutput(command.run(args));
    } catch (const EUsageError& e) {
        checkOutput(0);
        return usageError(e.what());
    } catch (const std::exception& e) {
        std::cerr << "skarnres: " << failureText(e) << '\n';
    }
    return checkOutput(kFailed);
}

int run(const std::vector<std::string>& argv) {
    if (argv.size() < 2) {
        PrintUsage(std::cerr);
        return kUsage;
    }
    const std::string& first = argv[1];
    const std::vector<std::string> words(argv.begin() + 2, argv.end());
    if (first == "--help" || first == "-h") {
        if (!words.empty())
            return usageError("--help takes nothing after it (try skarnres help COMMAND)");
        PrintUsage(std::cout);
        return checkOutput(0);
    }
    if (first == "--version") {
        if (!words.empty())
            return usageError("--version takes nothing after it");
        PrintVersion(std::cout);
        return checkOutput(0);
    }
    const TCommand* command = FindCommand(first);
    if (!command)
        return usageError((first.starts_with("-") ? "unknown option " : "unknown command ") + first +
                          " (try skarnres --help)");
    return runCommand(*command, words);
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
