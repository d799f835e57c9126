// SPDX-License-Identifier: GPL-3.0-or-later
// Decode throughput of the TGA reader in mode 2 (the preview's), in output megapixels per second,
// beside two other decoders in the same run: stb_image and Qt's own TGA plugin (which reads only
// uncompressed true-colour images). The floor is a plain copy of the output's size.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#include <stb_image.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#ifdef BENCH_WITH_QT
#include <QCoreApplication>
#include <QImage>
#endif

#include "TgaWriter.h"
#include "platform/TBitmap.h"
#include "tga/TBriskbTarga.h"

namespace {

struct TBenchImage {
    const char* name;
    int width;
    int height;
    std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> noise(std::size_t count, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> out(count);
    for (auto& b : out)
        b = static_cast<std::uint8_t>(rng());
    return out;
}

// Rows of 24-bit pixels in bands of 64 equal pixels, the colour changing from band to band and row to
// row: run-length packets of 64.
std::vector<std::uint8_t> bands(int width, int height) {
    std::vector<std::uint8_t> out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out.insert(out.end(), {static_cast<std::uint8_t>(x / 64 * 16), static_cast<std::uint8_t>(y / 4),
                                   static_cast<std::uint8_t>(x / 64 + y)});
    return out;
}

// The bands again as 16-bit pixels.
std::vector<std::uint8_t> bands16(int width, int height) {
    const std::vector<std::uint8_t> bgr = bands(width, height);
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < bgr.size(); i += 3) {
        const unsigned w = (bgr[i] >> 3) | (bgr[i + 1] >> 3) << 5 | (bgr[i + 2] >> 3) << 10;
        out.insert(out.end(), {static_cast<std::uint8_t>(w), static_cast<std::uint8_t>(w >> 8)});
    }
    return out;
}

// Indexes in runs of 1 to 16 equal values.
std::vector<std::uint8_t> indexRuns(std::size_t count) {
    std::mt19937 rng(7);
    std::vector<std::uint8_t> out;
    while (out.size() < count) {
        const std::size_t run = 1 + rng() % 16;
        out.insert(out.end(), std::min(run, count - out.size()), static_cast<std::uint8_t>(rng()));
    }
    return out;
}

// A smooth picture, as a track preview is: gradients with a little noise.
std::vector<std::uint8_t> preview(int width, int height) {
    std::mt19937 rng(3);
    std::vector<std::uint8_t> out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out.insert(out.end(), {static_cast<std::uint8_t>(x * 255 / width + rng() % 4),
                                   static_cast<std::uint8_t>(y * 255 / height),
                                   static_cast<std::uint8_t>(128 + rng() % 8)});
    return out;
}

TBenchImage image(const char* name, std::uint8_t type, std::uint8_t depth, int width, int height,
                  std::vector<std::uint8_t> data, std::vector<std::uint8_t> colourMap = {}) {
    TTgaImage t;
    t.imageType = type;
    t.pixelDepth = depth;
    t.width = static_cast<std::uint16_t>(width);
    t.height = static_cast<std::uint16_t>(height);
    t.data = std::move(data);
    if (!colourMap.empty()) {
        t.colourMapType = 1;
        t.colourMap = std::move(colourMap);
    }
    // The format's 2.0 footer (no extension area, no developer area): Qt's plugin insists on it.
    const char signature[] = "TRUEVISION-XFILE.";
    t.trailer.assign(8, 0);
    t.trailer.insert(t.trailer.end(), signature, signature + sizeof signature);
    return {name, width, height, BuildTga(t)};
}

const std::vector<TBenchImage>& images() {
    static const std::vector<TBenchImage> all = [] {
        constexpr int N = 1024;
        const std::size_t pixels = N * N;
        const auto map = noise(256 * 3, 11);
        return std::vector<TBenchImage>{
            image("rgb24_raw", 2, 24, N, N, noise(pixels * 3, 1)),
            image("rgb24_rle_banded", 10, 24, N, N, EncodeRunLength(bands(N, N), 3, N)),
            image("rgb24_rle_noisy", 10, 24, N, N, EncodeRunLength(noise(pixels * 3, 2), 3, N)),
            image("mapped8_raw", 1, 8, N, N, noise(pixels, 4), map),
            image("mapped8_rle", 9, 8, N, N, EncodeRunLength(indexRuns(pixels), 1, N), map),
            image("rgb16_raw", 2, 16, N, N, noise(pixels * 2, 5)),
            image("rgb16_rle", 10, 16, N, N, EncodeRunLength(bands16(N, N), 2, N)),
            image("rgb32_raw", 2, 32, N, N, noise(pixels * 4, 6)),
            image("mono1_raw", 3, 1, N, N, noise(pixels / 8, 8)),
            image("preview_285x139", 2, 24, 285, 139, preview(285, 139)),
        };
    }();
    return all;
}

void setRate(benchmark::State& state, const TBenchImage& img) {
    const double pixels = static_cast<double>(img.width) * img.height;
    state.counters["MPix/s"] = benchmark::Counter(pixels * static_cast<double>(state.iterations()) / 1e6,
                                                  benchmark::Counter::kIsRate);
}

void BM_Ours(benchmark::State& state, std::size_t index) {
    const TBenchImage& img = images()[index];
    TBitmap bitmap; // reused, as the preview reuses its bitmap
    TBriskbTarga reader;
    for (auto _ : state) {
        reader.DecodeToBitmap(img.bytes.data(), static_cast<std::uint32_t>(img.bytes.size()), bitmap, 2);
        benchmark::DoNotOptimize(bitmap.Bits());
        benchmark::ClobberMemory();
    }
    if (bitmap.Width() != img.width || bitmap.Height() != img.height)
        state.SkipWithError("decode failed");
    setRate(state, img);
}

void BM_Stb(benchmark::State& state, std::size_t index) {
    const TBenchImage& img = images()[index];
    for (auto _ : state) {
        int w = 0;
        int h = 0;
        int n = 0;
        stbi_uc* pixels =
            stbi_load_from_memory(img.bytes.data(), static_cast<int>(img.bytes.size()), &w, &h, &n, 3);
        benchmark::DoNotOptimize(pixels);
        if (!pixels) {
            state.SkipWithError("stb_image cannot read this image");
            break;
        }
        stbi_image_free(pixels);
    }
    setRate(state, img);
}

#ifdef BENCH_WITH_QT
void BM_Qt(benchmark::State& state, std::size_t index) {
    const TBenchImage& img = images()[index];
    for (auto _ : state) {
        QImage decoded;
        const bool ok = decoded.loadFromData(img.bytes.data(), static_cast<int>(img.bytes.size()), "tga");
        benchmark::DoNotOptimize(decoded.constBits());
        if (!ok) {
            state.SkipWithError("Qt's plugin cannot read this image");
            break;
        }
    }
    setRate(state, img);
}
#endif

void BM_CopyFloor(benchmark::State& state, std::size_t index) {
    const TBenchImage& img = images()[index];
    const std::size_t size = static_cast<std::size_t>(img.width) * img.height * 3;
    const std::vector<std::uint8_t> from(size, 1);
    std::vector<std::uint8_t> to(size);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), size);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    setRate(state, img);
}

} // namespace

int main(int argc, char** argv) {
#ifdef BENCH_WITH_QT
    QCoreApplication app(argc, argv); // locates the image plugins
#endif
    for (std::size_t i = 0; i < images().size(); ++i) {
        const std::string name = images()[i].name;
        benchmark::RegisterBenchmark(("CopyFloor/" + name).c_str(), BM_CopyFloor, i);
        benchmark::RegisterBenchmark(("Ours/" + name).c_str(), BM_Ours, i);
        benchmark::RegisterBenchmark(("Stb/" + name).c_str(), BM_Stb, i);
#ifdef BENCH_WITH_QT
        benchmark::RegisterBenchmark(("Qt/" + name).c_str(), BM_Qt, i);
#endif
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
