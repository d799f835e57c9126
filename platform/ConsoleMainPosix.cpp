// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ConsoleMain.h"

int main(int argc, char** argv) {
    return ConsoleMain(std::vector<std::string>(argv, argv + argc));
}
