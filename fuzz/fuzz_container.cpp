// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: a container file of any shape is opened and every entry walked.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "container/TSkarnFolder.h"
#include "platform/Exceptions.h"

namespace {

std::string writeTemp(const std::uint8_t* data, std::size_t size) {
    // The extension decides the key seed: vary it with the input.
    char name[] = "/tmp/fuzz-container-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0)
        return {};
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    std::string path = std::string(name) + (size % 2 ? ".res" : ".env");
    if (std::rename(name, path.c_str()) != 0) {
        ::unlink(name);
        return {};
    }
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = writeTemp(data, size);
    if (path.empty())
        return 0;
    try {
        for (bool dirOnly : {true, false}) {
            TSkarnFolder folder(path, dirOnly);
            for (int i = 0; i < folder.Count(); ++i) {
                FolderEntry rec{};
                folder.GetEntry(i, rec);
                const std::int32_t n = folder.EntrySize(i);
                const std::uint8_t* bytes = folder.EntryData(i);
                if (bytes && n > 0) {
                    volatile std::uint8_t sink = bytes[0] ^ bytes[n - 1];
                    (void)sink;
                }
                folder.FindEntry(rec.Name);
                folder.IndexOfEntry(rec.Name);
            }
            folder.FindEntry("scn");
            folder.IndexOfEntry("");
        }
    } catch (const Exception&) {
        // Out of memory or a vanished file are defined outcomes, not findings.
    }
    ::unlink(path.c_str());
    return 0;
}
