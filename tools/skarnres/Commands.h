#pragma once

#include <stdexcept>
#include <string>
#include <vector>

// The subcommands of skarnres. Each takes the words after its name, writes its result to standard
// output and returns the exit status; failures are thrown (Exception and its kin, EUsageError or
// ECommandFailed) and reported by main as one line on standard error with exit status 1.

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

int CmdLs(const std::vector<std::string>& args);
int CmdCat(const std::vector<std::string>& args);
int CmdSceneName(const std::vector<std::string>& args);
int CmdTracks(const std::vector<std::string>& args);
int CmdGameRoot(const std::vector<std::string>& args);

// Track operations (CmdOperations.cpp), built on the operations of tracks/TrackOperations.h.
int CmdStart(const std::vector<std::string>& args);
int CmdStop(const std::vector<std::string>& args);
int CmdStore(const std::vector<std::string>& args);
int CmdFetch(const std::vector<std::string>& args);
int CmdTga(const std::vector<std::string>& args);     // built with the toolkit only
int CmdPreview(const std::vector<std::string>& args); // built with the toolkit only
