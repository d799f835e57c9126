#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "BitmapPng.h"

#include <cstdint>
#include <vector>

#include "Commands.h"
#include "platform/TBitmap.h"

namespace {

// The bitmap's pixels as red, green, blue bytes, row by row from the top. Palette formats are looked up
// in the bitmap's palette; values beyond it are black.
std::vector<std::uint8_t> rgbPixels(const TBitmap& bitmap) {
    const int width = bitmap.Width();
    const TPalette& palette = bitmap.Palette();
    const int bits = static_cast<int>(bitmap.PixelFormat());
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(bitmap.Height()) * 3);
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            if (bitmap.PixelFormat() == TPixelFormat::pf24bit) {
                const std::uint8_t* p = row + 3 * x;
                out.insert(out.end(), {p[2], p[1], p[0]});
                continue;
            }
            const int bit = x * bits;
            const unsigned index = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
            const TPaletteEntry e = index < palette.size() ? palette[index] : TPaletteEntry{};
            out.insert(out.end(), {e.peRed, e.peGreen, e.peBlue});
        }
    }
    return out;
}

} // namespace

void WriteBitmapPng(const TBitmap& bitmap, const std::string& path) {
    const std::vector<std::uint8_t> rgb = rgbPixels(bitmap);
    if (!stbi_write_png(path.c_str(), bitmap.Width(), bitmap.Height(), 3, rgb.data(), bitmap.Width() * 3))
        throw ECommandFailed("cannot write " + path);
}
