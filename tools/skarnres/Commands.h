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
int CmdTga(const std::vector<std::string>& args);
