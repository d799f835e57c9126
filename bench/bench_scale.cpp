// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue and the operations at scale, each beside its floor measured in the same run:
//   - the hot fill of an event folder against the 3-call floor (list the folder; per file open, one
//     read of its first block, close) at 1k, 10k and 100k tracks;
//   - the cold fill (page cache dropped before every pass; needs root, skipped otherwise) against
//     the same work on 64 threads;
//   - Stop then Start of 3,000 tracks against a plain loop of 6,000 renames;
//   - Store of 1,000 tracks of 100 KB against copying the same files and one sync.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "BenchTracks.h"
#include "ContainerWriter.h"
#include "TempDir.h"
#include "tracks/TrackCatalogue.h"
#include "tracks/TrackOperations.h"

namespace fs = std::filesystem;

namespace {

// Tracks of 60 KB with their display name in the scene descriptor.
std::vector<std::uint8_t> trackBytes(const std::string& displayName, std::size_t textureBytes) {
    return BuildContainer(GameLikeTrack(
        BytesOf("[Scene]\r\nSceneName=" + displayName + "\r\nLaps=3\r\nWeather=dry\r\n"), textureBytes));
}

// The tracks' directories and scene entries are written; the rest of each file is left sparse, so
// that 100,000 tracks of 60 KB take little room on the disk.
struct TEventFolder {
    TEventFolder(int count, std::size_t textureBytes) {
        for (int i = 0; i < count; ++i) {
            std::vector<std::uint8_t> bytes =
                trackBytes("Track number " + std::to_string((i * 7919) % count), textureBytes);
            const std::size_t size = bytes.size();
            bytes.resize(std::min<std::size_t>(size, 1024));
            const std::string path = dir.file("t" + std::to_string(i) + ".env");
            WriteFileBytes(path, bytes);
            fs::resize_file(path, size);
        }
        folder = dir.path().string() + "/";
    }

    TTempDir dir;
    std::string folder;
};

// One folder per size, made on first use and kept for the run.
TEventFolder& eventFolder(int count, std::size_t textureBytes = 40000) {
    static std::map<std::pair<int, std::size_t>, std::unique_ptr<TEventFolder>> folders;
    auto& slot = folders[{count, textureBytes}];
    if (!slot)
        slot = std::make_unique<TEventFolder>(count, textureBytes);
    return *slot;
}

std::vector<std::string> filesOf(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    while (const dirent* e = ::readdir(dir)) {
        if (e->d_name[0] != '.')
            names.emplace_back(e->d_name);
    }
    ::closedir(dir);
    return names;
}

void readFirstBlock(const std::string& path) {
    static thread_local std::vector<std::uint8_t> block(4096);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    benchmark::DoNotOptimize(::read(fd, block.data(), block.size()));
    ::close(fd);
}

// The floor: list the folder, then open, read the first block and close each file, on threads.
void floorPass(const std::string& folder, unsigned threads) {
    const std::vector<std::string> names = filesOf(folder);
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < names.size(); i = next++)
            readFirstBlock(folder + names[i]);
    };
    std::vector<std::thread> helpers;
    for (unsigned k = 1; k < threads; ++k)
        helpers.emplace_back(work);
    work();
    for (std::thread& t : helpers)
        t.join();
}

bool dropPageCache() {
    ::sync();
    std::ofstream drop("/proc/sys/vm/drop_caches");
    drop << "3\n";
    drop.close();
    return static_cast<bool>(drop);
}

void BM_HotFloor(benchmark::State& state) {
    TEventFolder& f = eventFolder(static_cast<int>(state.range(0)));
    for (auto _ : state)
        floorPass(f.folder, 1);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
}

void BM_HotFill(benchmark::State& state) {
    TEventFolder& f = eventFolder(static_cast<int>(state.range(0)));
    TTrackList list;
    for (auto _ : state) {
        list.Fill(f.folder);
        benchmark::DoNotOptimize(list.size());
    }
    if (list.size() != static_cast<std::size_t>(state.range(0)))
        state.SkipWithError("the fill missed tracks");
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
}

template <class TPass> void coldPasses(benchmark::State& state, TPass pass) {
    for (auto _ : state) {
        state.PauseTiming();
        if (!dropPageCache()) {
            state.ResumeTiming();
            state.SkipWithError("the page cache cannot be dropped (needs root)");
            break;
        }
        state.ResumeTiming();
        pass();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ColdFloor64Threads(benchmark::State& state) {
    TEventFolder& f = eventFolder(static_cast<int>(state.range(0)), 4000);
    coldPasses(state, [&] { floorPass(f.folder, 64); });
}

void BM_ColdFill(benchmark::State& state) {
    TEventFolder& f = eventFolder(static_cast<int>(state.range(0)), 4000);
    TTrackList list;
    coldPasses(state, [&] {
        list.Fill(f.folder);
        benchmark::DoNotOptimize(list.size());
    });
}

// Stop then Start of every track of the folder.
void BM_RenameLoopFloor(benchmark::State& state) {
    TEventFolder& f = eventFolder(static_cast<int>(state.range(0)), 100);
    const std::vector<std::string> names = filesOf(f.folder);
    for (auto _ : state) {
        for (const std::string& name : names)
            std::rename((f.folder + name).c_str(), (f.folder + NameWithExtension(name, ".~env")).c_str());
        for (const std::string& name : names)
            std::rename((f.folder + NameWithExtension(name, ".~env")).c_str(), (f.folder + name).c_str());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_StopStartTracks(benchmark::State& state) {
    TEventFolder& f = eventFolder(static_cast<int>(state.range(0)), 100);
    const std::vector<std::string> names = filesOf(f.folder);
    std::vector<TTrackFile> tracks;
    for (const std::string& name : names)
        tracks.push_back(TTrackFile{f.folder, name});
    std::size_t renamed = 0;
    for (auto _ : state) {
        const TOperationReport stopped = Stop(tracks);
        std::vector<TTrackFile> back;
        back.reserve(tracks.size());
        for (const TTrackOutcome& track : stopped.Tracks)
            back.push_back(TTrackFile{f.folder, track.Fate == TTrackFate::Done ? track.Result : track.Track});
        renamed += Start(back).Count(TTrackFate::Done);
    }
    if (renamed != state.iterations() * names.size())
        state.SkipWithError("a rename failed");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Store: 1,000 tracks of 100 KB moved into an archive folder; between passes they go back (untimed).
struct TStoreFolders {
    TStoreFolders() {
        fs::create_directories(dir.path() / "event");
        fs::create_directories(dir.path() / "archive");
        const std::vector<std::uint8_t> bytes(100 * 1024, 0x5A);
        for (int i = 0; i < 1000; ++i) {
            names.push_back("t" + std::to_string(i) + ".env");
            WriteFileBytes(event() + names.back(), bytes);
        }
    }
    std::string event() const { return dir.path().string() + "/event/"; }
    std::string archive() const { return dir.path().string() + "/archive/"; }
    std::vector<TTrackFile> tracks() const {
        std::vector<TTrackFile> all;
        for (const std::string& name : names)
            all.push_back(TTrackFile{event(), name});
        return all;
    }

    TTempDir dir;
    std::vector<std::string> names;
};

void BM_CopyAndSyncFloor(benchmark::State& state) {
    TStoreFolders folders;
    std::vector<char> buffer(1 << 16);
    for (auto _ : state) {
        for (const std::string& name : folders.names) {
            const int in = ::open((folders.event() + name).c_str(), O_RDONLY | O_CLOEXEC);
            const int out =
                ::open((folders.archive() + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            for (ssize_t n; (n = ::read(in, buffer.data(), buffer.size())) > 0;)
                benchmark::DoNotOptimize(::write(out, buffer.data(), static_cast<std::size_t>(n)));
            ::close(out);
            ::close(in);
        }
        ::sync();
        state.PauseTiming();
        for (const std::string& name : folders.names)
            ::unlink((folders.archive() + name).c_str());
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(folders.names.size()));
}

void BM_StoreTracks(benchmark::State& state) {
    TStoreFolders folders;
    for (auto _ : state) {
        if (Store(folders.tracks(), folders.archive()).Count(TTrackFate::Done) != folders.names.size())
            state.SkipWithError("a track was not stored");
        state.PauseTiming();
        for (const std::string& name : folders.names)
            std::rename((folders.archive() + name).c_str(), (folders.event() + name).c_str());
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(folders.names.size()));
}

} // namespace

BENCHMARK(BM_HotFloor)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Complexity();
BENCHMARK(BM_HotFill)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Complexity();
BENCHMARK(BM_ColdFloor64Threads)->Arg(4000)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ColdFill)->Arg(4000)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenameLoopFloor)->Arg(3000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StopStartTracks)->Arg(3000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopyAndSyncFloor)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StoreTracks)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
