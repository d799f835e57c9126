// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>

#include "CommandTable.h"

// What skarnres says about itself, from the command table: `skarnres --help`, `skarnres help
// COMMAND`, `skarnres --version`, the manual page skarnres.1, the shell completions, and the window's
// `track-manager --help`, `--version` and manual page, which share the Wine prefix's description.

// The system whose paths and documents the help speaks of: a Windows player is shown C:\ paths and
// no manual page, a Linux player native paths and the Wine prefix.
enum class THelpSystem { Linux, Windows };

// The system this program was built for.
THelpSystem ThisSystem();

// "skarnres VERSION" and the licence.
void PrintVersion(std::ostream& out);

// The usage line, the commands with their summaries, and where to read more.
void PrintUsage(std::ostream& out, THelpSystem system = ThisSystem());

// The synopsis, the options and the details of one command, wrapped for a terminal.
void PrintCommandHelp(std::ostream& out, const TCommand& command);

// The manual page in the man macros of roff, for section ("1", or "6" where games keep theirs).
void WriteManPage(std::ostream& out, const char* section = "1");

// The window's usage (track-manager --help) and version.
void PrintWindowUsage(std::ostream& out, THelpSystem system = ThisSystem());
void PrintWindowVersion(std::ostream& out);

// The manual page of the window, track-manager(1).
void WriteWindowManPage(std::ostream& out, const char* section = "1");

// Completion scripts for bash, zsh and fish: the commands, their options, the values of options
// that take a choice, and files, folders or tracks (.env and .~env) where a command takes them.
void WriteBashCompletion(std::ostream& out);
void WriteZshCompletion(std::ostream& out);
void WriteFishCompletion(std::ostream& out);
