// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: an archive of any shape is fetched into a scratch event folder, through the reader,
// the temporary files and the transfer that Fetch uses, then the folder is removed again.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/Exceptions.h"
#include "tracks/TTrackFetch.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::mt19937_64 random{std::random_device{}()};
    const fs::path folder = fs::temp_directory_path() / ("fuzz-archive-" + std::to_string(random()));
    std::error_code error;
    fs::create_directories(folder / "event", error);
    if (error)
        return 0;
    {
        std::ofstream out(folder / "pack.zip", std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    try {
        TTrackFetch fetch((folder / "event" / "").string(), {(folder / "pack.zip").string()});
        fetch.Run();
    } catch (const Exception&) {
        // A full scratch disk is a defined outcome, not a finding.
    }
    fs::remove_all(folder, error);
    return 0;
}
