// SPDX-License-Identifier: GPL-3.0-or-later
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
#include "platform/ConsoleMain.h"
#include "platform/Exceptions.h"
#include "platform/PathParts.h"
#include "tracks/GameLocation.h"

namespace {

// Exit statuses: the work failed, or the command line cannot be taken.
constexpr int kFailed = 1;
constexpr int kUsage = 2;

// True for a path that the working folder resolves: neither native absolute ("/..."), rooted ("\...")
// nor on a drive ("C:...").
bool isRelativePath(const std::string& arg) {
    if (arg.empty() || arg[0] == '/' || arg[0] == '\\')
        return false;
    return !IsDrivePath(arg);
}

bool isPath(TWordKind kind) {
    return kind != TWordKind::None && kind != TWordKind::Choice && kind != TWordKind::Command;
}

// Calls visit with each path among args, the command's words as CanonicalArguments gives them: the
// values of its path options and, when they are paths, its operands.
template <class Visit>
void forEachPath(const TCommand& command, std::vector<std::string>& args, Visit visit) {
    bool operands = false;
    for (std::string& word : args) {
        if (operands) {
            if (isPath(command.operands))
                visit(word);
        } else if (word == "--") {
            operands = true;
        } else if (const std::size_t equals = word.find('='); equals != std::string::npos) {
            const TOption* option = FindOption(command, std::string_view(word).substr(0, equals));
            if (option && isPath(option->kind)) {
                std::string value = word.substr(equals + 1);
                visit(value);
                word.replace(equals + 1, std::string::npos, value);
            }
        }
    }
}

// With the working folder deleted a relative path would resolve against the file-system root: such
// paths are refused.
void refuseRelativePathsWithoutWorkingFolder(const TCommand& command, std::vector<std::string> args) {
    std::error_code error;
    [[maybe_unused]] const std::filesystem::path folder = std::filesystem::current_path(error);
    if (error)
        forEachPath(command, args, [](const std::string& path) {
            if (isRelativePath(path))
                throw ECommandFailed("the working folder no longer exists, so the relative path " + path +
                                     " cannot be used; give an absolute path");
        });
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
    // Drive paths ("C:\\...") go through the prefix that holds the game, as in the window; game-root
    // reads the registry itself. Other paths need no game, and looking for it (reading a prefix's
    // registry of megabytes) would cost more than most commands; -v names it all the same.
    TWinePrefix prefix;
    try {
        refuseRelativePathsWithoutWorkingFolder(command, args);
        bool drivePaths = false;
        forEachPath(command, args,
                    [&](const std::string& path) { drivePaths = drivePaths || IsDrivePath(path); });
        if (verbose || (drivePaths && std::string_view(command.name) != "game-root")) {
            const TGameLocation game = LocateGame();
            prefix = game.Prefix;
            if (verbose && game.Installed)
                reportPrefixes(game);
        }
        forEachPath(command, args, [&](std::string& path) { path = prefix.Place(path); });
        return checkOutput(command.run(args, prefix));
    } catch (const EUsageError& e) {
        checkOutput(0);
        return usageError(prefix.AsGiven(e.what()));
    } catch (const std::exception& e) {
        std::cerr << "skarnres: " << prefix.AsGiven(failureText(e)) << '\n';
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

} // namespace

int ConsoleMain(const std::vector<std::string>& args) {
    return run(args);
}
