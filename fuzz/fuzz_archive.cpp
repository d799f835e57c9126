// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: an archive of any shape is fetched into a scratch event folder, through the reader,
// the temporary files and the transfer that Fetch uses, then the folder is emptied again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "platform/Exceptions.h"
#include "tracks/TTrackFetch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    char folder[] = "/tmp/fuzz-archive-XXXXXX";
    if (!::mkdtemp(folder))
        return 0;
    const std::string archive = std::string(folder) + "/pack.zip";
    if (FILE* out = std::fopen(archive.c_str(), "wb")) {
        const bool written = std::fwrite(data, 1, size, out) == size;
        if (std::fclose(out) == 0 && written) {
            const std::string event = std::string(folder) + "/event/";
            std::filesystem::create_directory(event);
            try {
                TTrackFetch fetch(event, {archive});
                fetch.Run();
            } catch (const Exception&) {
                // A full scratch disk is a defined outcome, not a finding.
            }
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
