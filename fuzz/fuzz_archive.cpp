// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: an archive of any shape is fetched into a scratch event folder, through the reader,
// the temporary files and the transfer that Fetch uses, then the folder is removed again.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/Exceptions.h"
#include "tracks/TrackOperations.h"

namespace fs = std::filesystem;

// NOTE: the LZMA decoders of 7z and zip reserve the dictionary an archive declares, up to 4 GiB, in one
// allocation, and touch only as much of it as they unpack (which the reader's limits bound). libFuzzer
// takes any allocation beyond its limit (2 GiB by default) for running out of memory, so the limit is
// raised past 4 GiB; -rss_limit_mb still catches memory actually used.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static std::vector<char*> args;
    static char limit[] = "-malloc_limit_mb=4608";
    args.assign(*argv, *argv + *argc);
    args.insert(args.begin() + (*argc > 0 ? 1 : 0), limit);
    args.push_back(nullptr);
    *argc = static_cast<int>(args.size()) - 1;
    *argv = args.data();
    return 0;
}

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
        Fetch({(folder / "pack.zip").string()}, (folder / "event" / "").string());
    } catch (const Exception&) {
        // A full scratch disk is a defined outcome, not a finding.
    }
    fs::remove_all(folder, error);
    return 0;
}
