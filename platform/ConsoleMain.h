// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// The start of a command-line program (the platform_console_main library): the program defines
// ConsoleMain, which is given the command line's words in UTF-8, the program's name first, and returns
// the exit status. On Windows the words arrive whole in UTF-16 whatever the ANSI code page (the program
// links with -municode), standard output takes the bytes as written, and the console shows UTF-8 text
// while the program runs.
int ConsoleMain(const std::vector<std::string>& args);
