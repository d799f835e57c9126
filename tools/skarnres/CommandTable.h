// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/NativePath.h"

// The one table of skarnres' commands: main dispatches through it and checks each command's options
// against it, and the help, the manual page and the shell completions are written from it. A new
// command is one entry in CommandTable.cpp; a new option one entry in its command's option list.

// What a word on the command line is, so that a shell can complete it.
enum class TWordKind {
    None,    // nothing to complete (a flag's absence of a value, an entry name)
    Track,   // a track file: .env or .~env
    File,    // any file
    Tga,     // a TGA picture
    Png,     // a PNG picture to write
    Folder,  // a folder
    Choice,  // one of the option's choices
    Command, // a command's name
};

struct TOption {
    const char* name;      // the long name, "--to"
    const char* shortName; // "-o", or nullptr
    const char* value;     // what its value stands for in the help ("FOLDER"), nullptr for a flag
    TWordKind kind;        // what its value is
    std::span<const char* const> choices = {}; // the values of a Choice
    const char* help = "";                     // one line for the completions
};

struct TCommand {
    const char* name;
    const char* synopsis; // the words after "skarnres": upper-case words stand for arguments
    const char* summary;  // one line for the list of commands
    const char* details;  // paragraphs separated by blank lines
    TWordKind operands;   // what its operands are
    std::span<const TOption> options;
    // nullptr for help, which main answers itself
    int (*run)(const std::vector<std::string>& args, const TWinePrefix& prefix);
};

// Every command in the order they are listed; "help" is the last.
std::span<const TCommand> Commands();

// The command called name, or nullptr when there is none.
const TCommand* FindCommand(std::string_view name);

// The options that every command takes besides its own: --verbose and --help.
std::span<const TOption> CommonOptions();

// The option of command (or a common one) spelled word ("--to", "-o"), or nullptr.
const TOption* FindOption(const TCommand& command, std::string_view word);

// The words given to command, checked against its options and put in the form its run function
// reads (TArguments in Commands.h): each option as one word, "--to=FOLDER" or "--verbose" (short
// names replaced by long ones), then "--", then the operands in their order. "--" ends the options; a
// long option's value may follow an equals sign. Throws EUsageError for an option the command does
// not take, one given twice, or one whose value is missing.
std::vector<std::string> CanonicalArguments(const TCommand& command, const std::vector<std::string>& words);
