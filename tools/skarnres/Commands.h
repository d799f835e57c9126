#pragma once

#include <string>
#include <vector>

// The subcommands of skarnres. Each takes the words after its name, writes its result to standard
// output and returns the exit status; failures are thrown (Exception and its kin, or TUsageError)
// and reported by main as one line on standard error with exit status 1.

struct TUsageError {
    std::string message;
};

int CmdLs(const std::vector<std::string>& args);
int CmdCat(const std::vector<std::string>& args);
int CmdSceneName(const std::vector<std::string>& args);
int CmdTracks(const std::vector<std::string>& args);
int CmdGameRoot(const std::vector<std::string>& args);

// Track operations (CmdOperations.cpp), running the same code as the window's buttons.
int CmdStart(const std::vector<std::string>& args);
int CmdStop(const std::vector<std::string>& args);
int CmdStore(const std::vector<std::string>& args);
int CmdFetch(const std::vector<std::string>& args);
int CmdTga(const std::vector<std::string>& args);     // built with the toolkit only
int CmdPreview(const std::vector<std::string>& args); // built with the toolkit only
