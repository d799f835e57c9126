// skarnres-manpage SKARNRES-OUT TRACK-MANAGER-OUT: writes the manual pages of skarnres and of the window
// (a build step; not installed).
#include <fstream>
#include <iostream>

#include "Help.h"

namespace {

bool write(const char* path, void (*page)(std::ostream&)) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    page(out);
    out.close();
    if (out)
        return true;
    std::cerr << "skarnres-manpage: cannot write " << path << '\n';
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: skarnres-manpage SKARNRES-OUT TRACK-MANAGER-OUT\n";
        return 1;
    }
    return write(argv[1], WriteManPage) && write(argv[2], WriteWindowManPage) ? 0 : 1;
}
