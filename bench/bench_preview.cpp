// SPDX-License-Identifier: GPL-3.0-or-later
// Click to painted: the list's click handler (open the container, decode the picture) and the repaint
// of the preview, on a 285 x 139 preview like the demo's and on a 1024 x 1024 one, raw and run-length.
// The baseline is decoding the same bytes with stb_image and painting that image.
//
// Click to preview of the largest picture the preview decodes (2048 x 2048, raw, in a scrambled
// container) beside its floor: read the container file into a buffer, descramble it and convert its
// rows into a 24-bit picture (the buffers made once, as a decoder that keeps them would).
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#include <stb_image.h>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QItemSelectionModel>
#include <QListView>
#include <QPainter>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "FakeGame.h"
#include "TSilentDialogs.h"
#include "TempDir.h"
#include "TgaWriter.h"
#include "app/TForm1.h"
#include "app/TPreviewImage.h"
#include "app/TTrackListModel.h"
#include "container/Descramble.h"

namespace {

std::vector<std::uint8_t> landscape(int width, int height, bool runLength) {
    std::vector<std::uint8_t> bgr;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bgr.insert(bgr.end(),
                       {static_cast<std::uint8_t>(y < height / 2 ? 230 : 40),
                        static_cast<std::uint8_t>(120 + (y / 8) % 60), static_cast<std::uint8_t>(x / 8)});
    TTgaImage image;
    image.imageType = runLength ? 10 : 2;
    image.width = static_cast<std::uint16_t>(width);
    image.height = static_cast<std::uint16_t>(height);
    image.data = runLength ? EncodeRunLength(bgr, 3, static_cast<std::size_t>(width)) : bgr;
    return BuildTga(image);
}

struct TPreviewGame {
    TPreviewGame() {
        setenv("WINEPREFIX", (dir.path() / "pfx").c_str(), 1);
        TFakeGame game(dir.path() / "pfx");
        pictures = {landscape(285, 139, false), landscape(1024, 1024, false), landscape(1024, 1024, true)};
        game.AddTrack("Baja", "a.env", "a demo-sized picture", {{"a01s.tga", pictures[0]}});
        game.AddTrack("Baja", "b.env", "b 1024 raw", {{"b01s.tga", pictures[1]}});
        game.AddTrack("Baja", "c.env", "c 1024 run-length", {{"c01s.tga", pictures[2]}});
        largest = game.AddTrack("Baja", "d.env", "d 2048 raw", {{"d01s.tga", landscape(2048, 2048, false)}});
        form = std::make_unique<TForm1>(dialogs);
        form->show();
    }

    TTempDir dir;
    TSilentDialogs dialogs;
    std::vector<std::vector<std::uint8_t>> pictures;
    std::filesystem::path largest;
    std::unique_ptr<TForm1> form;
};

TPreviewGame& game() {
    static TPreviewGame g;
    return g;
}

void BM_ClickToPainted(benchmark::State& state) {
    TForm1& form = *game().form;
    const QModelIndex item = form.Tracks().index(static_cast<int>(state.range(0)));
    form.ActiveListBox->selectionModel()->setCurrentIndex(item, QItemSelectionModel::NoUpdate);
    for (auto _ : state) {
        form.ActiveListBoxClick();
        form.Preview->repaint();
    }
}

void BM_StbDecodeAndPaint(benchmark::State& state) {
    const std::vector<std::uint8_t>& bytes = game().pictures[static_cast<std::size_t>(state.range(0))];
    QImage target(1024, 1024, QImage::Format_RGB32);
    for (auto _ : state) {
        int width = 0;
        int height = 0;
        int channels = 0;
        stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height,
                                                &channels, 3);
        {
            const QImage image(pixels, width, height, width * 3, QImage::Format_RGB888);
            QPainter painter(&target);
            painter.drawImage(0, 0, image);
        }
        stbi_image_free(pixels);
    }
}

void BM_ClickToPreviewLargest(benchmark::State& state) {
    TForm1& form = *game().form;
    form.ActiveListBox->selectionModel()->setCurrentIndex(form.Tracks().index(3),
                                                          QItemSelectionModel::NoUpdate);
    for (auto _ : state)
        form.ActiveListBoxClick();
}

void BM_ReadDescrambleConvertFloor(benchmark::State& state) {
    const std::filesystem::path path = game().largest;
    const std::size_t fileSize = std::filesystem::file_size(path);
    const std::size_t row = 2048 * 3;
    std::vector<std::uint8_t> file(fileSize);
    std::vector<std::uint8_t> picture(row * 2048);
    // The picture's pixels are the file's last bytes.
    const std::size_t pixelsAt = fileSize - picture.size();
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        in.read(reinterpret_cast<char*>(file.data()), static_cast<std::streamsize>(fileSize));
        std::uint8_t key = 0xB1;
        Descramble(file.data(), file.size(), key);
        for (std::size_t y = 0; y < 2048; ++y)
            std::memcpy(picture.data() + (2047 - y) * row, file.data() + pixelsAt + y * row, row);
        benchmark::DoNotOptimize(picture.data());
        benchmark::ClobberMemory();
    }
}

} // namespace

// Rows of the list: 0 the 285 x 139 picture, 1 the 1024 x 1024 raw one, 2 the run-length one.
BENCHMARK(BM_ClickToPainted)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StbDecodeAndPaint)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDescrambleConvertFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClickToPreviewLargest)->Unit(benchmark::kMillisecond);
