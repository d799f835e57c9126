#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

// What skarnres says about itself. The texts below are the one source of `skarnres --help`,
// `skarnres help COMMAND`, `skarnres --version` and the manual page skarnres.1 (and of the window's
// manual page, track-manager.1).

struct TCommandHelp {
    const char* name;
    const char* synopsis; // the words after "skarnres": upper-case words stand for arguments
    const char* summary;  // one line for the list of commands
    const char* details;  // paragraphs separated by blank lines
};

// Every command, in the order they are listed; "help" is the last.
std::span<const TCommandHelp> CommandHelp();

// The help of the command called name, or nullptr when there is none.
const TCommandHelp* FindCommandHelp(std::string_view name);

// "skarnres VERSION", the version being the project's.
void PrintVersion(std::ostream& out);

// The usage line, the commands with their summaries, and where to read more.
void PrintUsage(std::ostream& out);

// The synopsis and the details of one command, wrapped for a terminal.
void PrintCommandHelp(std::ostream& out, const TCommandHelp& command);

// The manual page in the man macros of roff.
void WriteManPage(std::ostream& out);

// The manual page of the window, track-manager(1), which shares the Wine prefix's description.
void WriteWindowManPage(std::ostream& out);
