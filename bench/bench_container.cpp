// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a track and loading its scene entry, against the syscall floor of the same work: open, read
// of the first 4 KB, one read of the entry, close. Once as the reader's general contract has it (the
// file closed after the directory and opened again for the load), once the catalogue's way (kept open
// from the directory to the load).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "BenchTracks.h"
#include "ContainerWriter.h"
#include "TempDir.h"
#include "container/TSkarnFolder.h"

namespace {

constexpr int FileCount = 2000;

struct TTrackFolder {
    TTrackFolder() {
        // Eight entries (a directory of a few hundred bytes), a 1 KB scene descriptor, 60 KB in all.
        const auto bytes = BuildContainer(GameLikeTrack(std::vector<std::uint8_t>(1024, 'S'), 40000));
        TSkarnFolder probe = [&] {
            WriteFileBytes(dir.file("probe.env"), bytes);
            return TSkarnFolder(dir.file("probe.env"), true);
        }();
        FolderEntry rec{};
        probe.GetEntry(probe.FindEntry("scn"), rec);
        sceneOffset = rec.offset() + 4;
        sceneLength = rec.length();
        for (int i = 0; i < FileCount; ++i) {
            paths.push_back(dir.file("track" + std::to_string(i) + ".env"));
            WriteFileBytes(paths.back(), bytes);
        }
    }

    TTempDir dir;
    std::vector<std::string> paths;
    std::int64_t sceneOffset = 0;
    std::int32_t sceneLength = 0;
};

TTrackFolder& tracks() {
    static TTrackFolder folder;
    return folder;
}

// Argument 0: the reader's general contract (the file is opened again for the load); 1: the
// catalogue's way (kept open from the directory to the scene entry's load).
void BM_SkarnFolderSceneLoad(benchmark::State& state) {
    TTrackFolder& t = tracks();
    const bool keepOpen = state.range(0) != 0;
    for (auto _ : state) {
        for (const std::string& path : t.paths) {
            TSkarnFolder folder =
                keepOpen ? TSkarnFolder(path, true, TSkarnFolder::KeepOpen{}) : TSkarnFolder(path, true);
            const int index = folder.FindEntry("scn");
            folder.LoadEntry(index);
            FolderEntry rec{};
            folder.GetEntry(index, rec);
            benchmark::DoNotOptimize(rec.Data[0]);
        }
    }
    state.SetItemsProcessed(state.iterations() * FileCount);
}

void BM_SyscallFloor(benchmark::State& state) {
    TTrackFolder& t = tracks();
    std::vector<std::uint8_t> head(4096);
    std::vector<std::uint8_t> scene(static_cast<std::size_t>(t.sceneLength));
    for (auto _ : state) {
        for (const std::string& path : t.paths) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            benchmark::DoNotOptimize(::read(fd, head.data(), head.size()));
            benchmark::DoNotOptimize(::pread(fd, scene.data(), scene.size(), t.sceneOffset));
            ::close(fd);
            benchmark::DoNotOptimize(scene[0]);
        }
    }
    state.SetItemsProcessed(state.iterations() * FileCount);
}

} // namespace

BENCHMARK(BM_SyscallFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SkarnFolderSceneLoad)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
