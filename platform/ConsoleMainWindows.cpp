// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ConsoleMain.h"

#include <fcntl.h>
#include <io.h>
#include <iostream>
#include <windows.h>

#include "platform/WinText.h"

namespace {

// A console shows the program's UTF-8 text while it runs; its own code page comes back afterwards.
class TUtf8Console {
public:
    TUtf8Console() : m_previous(::GetConsoleOutputCP()) {
        if (m_previous != 0)
            ::SetConsoleOutputCP(CP_UTF8);
    }
    ~TUtf8Console() {
        if (m_previous != 0)
            ::SetConsoleOutputCP(m_previous);
    }
    TUtf8Console(const TUtf8Console&) = delete;
    TUtf8Console& operator=(const TUtf8Console&) = delete;

private:
    UINT m_previous;
};

} // namespace

// Windows hands the arguments over in UTF-16, so that any file name arrives whole, whatever the
// ANSI code page; the program's text is UTF-8.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i)
        args.push_back(Utf8FromWide(argv[i]));
    // The bytes go out as written: "cat" gives an entry's bytes unchanged, and lines end in "\n" as
    // on every other system.
    _setmode(_fileno(stdout), _O_BINARY);
    const TUtf8Console console;
    const int status = ConsoleMain(args);
    std::cout.flush();
    return status;
}
