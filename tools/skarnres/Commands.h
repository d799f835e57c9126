// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/NativePath.h"

// The subcommands of skarnres. Each takes the words after its name as main hands them over (options
// first, each as one word, then "--", then the operands: SplitArguments reads them; every path among
// them with its drive placed in prefix) and the prefix, whose AsGiven reads a placed path again as it
// was given for what the command writes. It writes its result to standard output and returns the exit
// status; failures are thrown (Exception and its kin, EUsageError or ECommandFailed) and reported by
// main as one line on standard error, with exit status 2 for EUsageError and 1 for the others.

// Words the command cannot take: the message is its usage or what the argument must be.
class EUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A command that was given good words and could not do its work (a file that cannot be written, an
// entry that is not there, a game that is not installed).
class ECommandFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A command's options and operands.
struct TArguments {
    std::vector<std::pair<std::string, std::string>> options; // long name, value ("" for a flag)
    std::vector<std::string> operands;
    // The value of the option called name ("--to"), or nullptr when it was not given.
    const std::string* Option(std::string_view name) const;
};

// The options and operands of the words main hands a command.
TArguments SplitArguments(const std::vector<std::string>& args);

int CmdLs(const std::vector<std::string>& args, const TWinePrefix& prefix);
int CmdCat(const std::vector<std::string>& args, const TWinePrefix& prefix);
int CmdSceneName(const std::vector<std::string>& args, const TWinePrefix& prefix);
int CmdTracks(const std::vector<std::string>& args, const TWinePrefix& prefix);
int CmdGameRoot(const std::vector<std::string>& args, const TWinePrefix& prefix);

// Track operations (CmdOperations.cpp), built on the operations of tracks/TrackOperations.h.
int CmdStart(const std::vector<std::string>& args, const TWinePrefix& prefix);
int CmdStop(const std::vector<std::string>& args, const TWinePrefix& prefix);
int CmdStore(const std::vector<std::string>& args, const TWinePrefix& prefix);
int CmdFetch(const std::vector<std::string>& args, const TWinePrefix& prefix);
// The tracks of a downloaded archive (CmdArchive.cpp).
int CmdLsArchive(const std::vector<std::string>& args, const TWinePrefix& prefix);
int CmdTga(const std::vector<std::string>& args, const TWinePrefix& prefix); // built with the toolkit only
int CmdPreview(const std::vector<std::string>& args,
               const TWinePrefix& prefix); // built with the toolkit only
