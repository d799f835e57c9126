// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: any bytes decoded as a TGA image in all three modes, one after another, into a bitmap
// that already holds a picture. Besides the sanitizers' checks it traps when the bitmap's size is not
// one of the outcomes the reader allows.
#include <cstddef>
#include <cstdint>

#include "platform/TBitmap.h"
#include "tga/TBriskbTarga.h"

namespace {

void require(bool condition) {
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The picture held before: its shape and format vary with the input's size.
    TBitmap bitmap;
    const TPixelFormat formats[] = {TPixelFormat::pf1bit, TPixelFormat::pf4bit, TPixelFormat::pf8bit,
                                    TPixelFormat::pf24bit};
    bitmap.SetPixelFormat(formats[size % 4]);
    bitmap.SetSize(static_cast<int>(size % 13) + 1, static_cast<int>(size % 7) + 1);
    for (int y = 0; y < bitmap.Height(); ++y)
        for (std::size_t i = 0; i < bitmap.BytesPerLine(); ++i)
            bitmap.ScanLine(y)[i] = static_cast<std::uint8_t>(y * 31 + static_cast<int>(i));
    bitmap.SetPalette({{1, 2, 3, 0}});

    const int headerWidth = size >= 18 ? data[12] | data[13] << 8 : -1;
    const int headerHeight = size >= 18 ? data[14] | data[15] << 8 : -1;
    // Images of more than 4 M pixels (up to 2 GiB of bitmap) only cost time under the sanitizers, whose
    // bookkeeping touches every page of a large block; the code paths are those of smaller ones.
    if (static_cast<long>(headerWidth) * headerHeight > (1L << 22))
        return 0;
    TBriskbTarga reader;
    for (const std::uint16_t mode : {0, 1, 2}) {
        const int width = bitmap.Width();
        const int height = bitmap.Height();
        reader.DecodeToBitmap(data, static_cast<std::uint32_t>(size), bitmap, mode);
        if (reader.Invalid())
            require(bitmap.Width() == 1 && bitmap.Height() == 1);
        else
            require((bitmap.Width() == width && bitmap.Height() == height) ||
                    (bitmap.Width() == headerWidth && bitmap.Height() == headerHeight));
        // Every row the bitmap has must be its own memory.
        unsigned sum = 0;
        for (int y = 0; y < bitmap.Height(); y += 1 + bitmap.Height() / 64)
            sum += bitmap.ScanLine(y)[0] + bitmap.ScanLine(y)[bitmap.BytesPerLine() - 1];
        volatile unsigned sink = sum;
        (void)sink;
    }
    // And once more from the picture the last mode left, in mode 1 (the widest format change).
    reader.DecodeToBitmap(data, static_cast<std::uint32_t>(size), bitmap, 1);
    return 0;
}
