// The list widget's part of the catalogue alone (sorting, model reset, view layout), to see how it
// grows with n. The fill itself, beside its floors, is in bench_scale.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListView>
#include <string>
#include <vector>

#include "app/TTrackListModel.h"
#include "tracks/TrackCatalogue.h"

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

} // namespace

BENCHMARK(BM_ListWidgetPart)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
