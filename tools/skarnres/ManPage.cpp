// skarnres-manpage OUT: writes skarnres' manual page to OUT (a build step; not installed).
#include <fstream>
#include <iostream>

#include "Help.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: skarnres-manpage OUT\n";
        return 1;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    WriteManPage(out);
    out.close();
    if (!out) {
        std::cerr << "skarnres-manpage: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
