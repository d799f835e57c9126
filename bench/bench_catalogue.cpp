// Filling the catalogue of one event folder, against the syscall floor of the same folder measured in
// the same run: list the folder; per file open, read the directory and the scene entry, close. And
// the list widget's part alone (sorting, model reset, view layout), to see how it grows with n.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListView>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "ContainerWriter.h"
#include "TempDir.h"
#include "app/TTrackListModel.h"
#include "app/TrackCatalogue.h"
#include "container/TSkarnFolder.h"

namespace {

struct TEventFolder {
    explicit TEventFolder(int count) {
        for (int i = 0; i < count; ++i) {
            const std::string name = "Track number " + std::to_string((i * 7919) % count);
            const std::vector<TContainerEntry> entries = {
                {"track.scn", BytesOf("[Scene]\r\nSceneName=" + name + "\r\nLaps=3\r\nWeather=dry\r\n")},
                {"tracks.tga", std::vector<std::uint8_t>(1500, 7)},
                {"track.trk", std::vector<std::uint8_t>(500, 1)},
            };
            WriteFileBytes(dir.file("t" + std::to_string(i) + ".env"), BuildContainer(entries));
        }
        TSkarnFolder probe(dir.file("t0.env"), true);
        FolderEntry rec{};
        probe.GetEntry(probe.FindEntry("scn"), rec);
        sceneOffset = rec.offset() + 4;
        sceneLength = rec.length();
        folder = dir.path().string() + "/";
    }

    TTempDir dir;
    std::string folder;
    std::int64_t sceneOffset = 0;
    std::int32_t sceneLength = 0;
};

TEventFolder& eventFolder(int count) {
    static std::map<int, std::unique_ptr<TEventFolder>> folders;
    auto& slot = folders[count];
    if (!slot)
        slot = std::make_unique<TEventFolder>(count);
    return *slot;
}

void BM_SyscallFloor(benchmark::State& state) {
    TEventFolder& f = eventFolder(static_cast<int>(state.range(0)));
    std::vector<std::uint8_t> head(4096);
    std::vector<std::uint8_t> scene(static_cast<std::size_t>(f.sceneLength));
    for (auto _ : state) {
        DIR* dir = ::opendir(f.folder.c_str());
        while (const dirent* e = ::readdir(dir)) {
            if (e->d_name[0] == '.')
                continue;
            const std::string path = f.folder + e->d_name;
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            benchmark::DoNotOptimize(::read(fd, head.data(), head.size()));
            benchmark::DoNotOptimize(::pread(fd, scene.data(), scene.size(), f.sceneOffset));
            ::close(fd);
        }
        ::closedir(dir);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_CatalogueFill(benchmark::State& state) {
    TEventFolder& f = eventFolder(static_cast<int>(state.range(0)));
    TTrackList list;
    for (auto _ : state) {
        list.Fill(f.folder);
        benchmark::DoNotOptimize(list.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ListWidgetPart(benchmark::State& state) {
    std::vector<TTrackItem> items;
    const int count = static_cast<int>(state.range(0));
    for (int i = 0; i < count; ++i)
        items.push_back(
            {"Track number " + std::to_string((i * 7919) % count), "t" + std::to_string(i) + ".env"});
    TTrackListModel model;
    QListView view;
    view.setUniformItemSizes(true);
    view.setModel(&model);
    view.resize(325, 211);
    for (auto _ : state) {
        model.Assign(items);
        view.doItemsLayout();
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.SetComplexityN(count);
}

} // namespace

BENCHMARK(BM_SyscallFloor)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CatalogueFill)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListWidgetPart)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
