// SPDX-License-Identifier: GPL-3.0-or-later
// skarnres-manpage SECTION PAGE-FOLDER COMPLETION-FOLDER: writes the manual pages of skarnres and of the
// window (skarnres.SECTION, track-manager.SECTION) and the completions of bash, zsh and fish
// (skarnres.bash, _skarnres, skarnres.fish). A build step; not installed.
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>

#include "Help.h"

namespace {

bool write(const std::filesystem::path& path, const std::function<void(std::ostream&)>& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    text(out);
    out.close();
    if (out)
        return true;
    std::cerr << "skarnres-manpage: cannot write " << path.string() << '\n';
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: skarnres-manpage SECTION PAGE-FOLDER COMPLETION-FOLDER\n";
        return 2;
    }
    const std::string section = argv[1];
    const std::filesystem::path pages = argv[2];
    const std::filesystem::path completions = argv[3];
    std::error_code error;
    std::filesystem::create_directories(completions, error);
    const bool written = write(pages / ("skarnres." + section),
                               [&](std::ostream& out) { WriteManPage(out, section.c_str()); }) &&
                         write(pages / ("track-manager." + section),
                               [&](std::ostream& out) { WriteWindowManPage(out, section.c_str()); }) &&
                         write(completions / "skarnres.bash", WriteBashCompletion) &&
                         write(completions / "_skarnres", WriteZshCompletion) &&
                         write(completions / "skarnres.fish", WriteFishCompletion);
    return written ? 0 : 1;
}
