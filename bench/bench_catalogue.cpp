// SPDX-License-Identifier: GPL-3.0-or-later
// The list widget's part of the catalogue alone (sorting, model reset, view layout), to see how it
// grows with n. The fill itself, beside its floors, is in bench_scale.
//
// Following a folder of 30,000 tracks that another program changes, in the window (offscreen):
//   - one rename followed (list the folder, read what changed, update the rows, lay the list out)
//     against its floor: listing the folder's names plus reading one track;
//   - a rename every 100 ms for a while (60 s unless BENCH_RENAME_SECONDS says otherwise), with the
//     window's event loop running: the share of one core that the process used (core_share).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QSignalBlocker>
#include <QTimer>
#include <atomic>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "ContainerWriter.h"
#include "FakeGame.h"
#include "TSilentDialogs.h"
#include "TempDir.h"
#include "app/TFolderWatch.h"
#include "app/TForm1.h"
#include "app/TTrackListModel.h"
#include "tracks/TrackCatalogue.h"

namespace fs = std::filesystem;

namespace {

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

constexpr int FollowedTracks = 30000;

// A game whose Baja folder holds 30,000 tracks, shown in the window with a track selected.
struct TFollowedGame {
    TFollowedGame() {
        setenv("WINEPREFIX", (dir.path() / "pfx").c_str(), 1);
        const TFakeGame game(dir.path() / "pfx");
        baja = game.EventFolder("Baja");
        for (int i = 0; i < FollowedTracks; ++i) {
            const std::string name = "Track number " + std::to_string((i * 7919) % FollowedTracks);
            WriteFileBytes((baja / ("t" + std::to_string(i) + ".env")).string(),
                           BuildContainer({{"t.scn", BytesOf("[Scene]\r\nSceneName=" + name + "\r\n")}}));
        }
        form = std::make_unique<TForm1>(dialogs);
        form->show();
        watcher = form->findChild<TFolderWatch*>();
        form->ActiveListBox->setCurrentIndex(form->Tracks().index(FollowedTracks / 2));
        QApplication::processEvents();
    }
    // Stops t<i>.env, or starts it again.
    void toggle(int i) {
        const fs::path active = baja / ("t" + std::to_string(i) + ".env");
        const fs::path inactive = baja / ("t" + std::to_string(i) + ".~env");
        if (fs::exists(active))
            fs::rename(active, inactive);
        else
            fs::rename(inactive, active);
    }

    TTempDir dir;
    fs::path baja;
    TSilentDialogs dialogs;
    std::unique_ptr<TForm1> form;
    TFolderWatch* watcher = nullptr; // the window's own following, quiet for a timed update
};

TFollowedGame& followedGame() {
    // Made on first use; gone with the application, before the window system.
    static TFollowedGame* game = nullptr;
    if (!game) {
        game = new TFollowedGame;
        qAddPostRoutine([] { delete game; });
    }
    return *game;
}

void BM_FollowOneRenameFloor(benchmark::State& state) {
    const std::string folder = followedGame().baja.string() + "/";
    std::vector<std::uint8_t> block(4096);
    for (auto _ : state) {
        std::vector<std::string> names;
        DIR* dir = ::opendir(folder.c_str());
        while (const dirent* e = ::readdir(dir))
            names.emplace_back(e->d_name);
        ::closedir(dir);
        const int fd = ::open((folder + names[names.size() / 2]).c_str(), O_RDONLY | O_CLOEXEC);
        benchmark::DoNotOptimize(::read(fd, block.data(), block.size()));
        ::close(fd);
        benchmark::DoNotOptimize(names.data());
    }
}

void BM_FollowOneRename(benchmark::State& state) {
    TFollowedGame& game = followedGame();
    const QSignalBlocker quiet(game.watcher);
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        game.toggle(i++ % 16);
        state.ResumeTiming();
        game.form->UpdateTrackList();
        QApplication::processEvents(); // the list lays itself out again
    }
    if (game.form->Tracks().rowCount() != FollowedTracks)
        state.SkipWithError("the list lost tracks");
}

double cpuSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_RenameEvery100ms(benchmark::State& state) {
    TFollowedGame& game = followedGame();
    const char* seconds = std::getenv("BENCH_RENAME_SECONDS");
    const int runMs = 1000 * (seconds ? std::atoi(seconds) : 60);
    for (auto _ : state) {
        std::atomic<bool> stop{false};
        std::atomic<double> renamerCpu{0};
        const double before = cpuSeconds(RUSAGE_SELF);
        QElapsedTimer wall;
        wall.start();
        std::thread renamer([&] {
            for (int i = 0; !stop; ++i) {
                game.toggle(i % 16);
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            renamerCpu = cpuSeconds(RUSAGE_THREAD);
        });
        QEventLoop loop;
        QTimer::singleShot(runMs, &loop, &QEventLoop::quit);
        loop.exec();
        stop = true;
        renamer.join();
        const double used = cpuSeconds(RUSAGE_SELF) - before - renamerCpu;
        state.counters["core_share"] = used / (static_cast<double>(wall.elapsed()) / 1000.0);
    }
}

} // namespace

BENCHMARK(BM_ListWidgetPart)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
BENCHMARK(BM_FollowOneRenameFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FollowOneRename)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenameEvery100ms)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
