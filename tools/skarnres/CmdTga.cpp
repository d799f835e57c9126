#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <cstdint>
#include <iostream>
#include <limits>

#include "Commands.h"
#include "platform/Exceptions.h"
#include "platform/TBitmap.h"
#include "platform/TFileStream.h"
#include "tga/TBriskbTarga.h"

namespace {

std::vector<std::uint8_t> readWholeFile(const std::string& path) {
    TFileStream file(path);
    if (file.Size() > std::numeric_limits<std::uint32_t>::max())
        throw TUsageError{path + ": larger than a TGA image held in memory can be (4 GiB)"};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.Size()));
    if (file.Read(bytes.data(), bytes.size()) != bytes.size())
        throw EReadError();
    return bytes;
}

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

// skarnres tga IN.tga -o OUT.png [--mode 0|1|2]: decodes IN as the track manager does (mode 2 unless
// told otherwise) and writes the bitmap it leaves as a PNG, palette formats expanded to RGB. A damaged
// image gives what the decoder left (a 1 x 1 bitmap after a rejected header, the rows decoded so far
// after data that end early), as the program would show it.
int CmdTga(const std::vector<std::string>& args) {
    const char* usage = "usage: skarnres tga IN.tga -o OUT.png [--mode 0|1|2]";
    std::string input;
    std::string output;
    long mode = 2;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "-o" || args[i] == "--mode") && i + 1 == args.size())
            throw TUsageError{usage};
        if (args[i] == "-o") {
            output = args[++i];
        } else if (args[i] == "--mode") {
            const std::string& value = args[++i];
            if (value.empty() || value.size() > 5 ||
                value.find_first_not_of("0123456789") != std::string::npos || std::stol(value) > 0xFFFF)
                throw TUsageError{"--mode takes a number from 0 to 65535 (0, 1 or 2; others act as 2)"};
            mode = std::stol(value);
        } else if (input.empty()) {
            input = args[i];
        } else {
            throw TUsageError{usage};
        }
    }
    if (input.empty() || output.empty())
        throw TUsageError{usage};

    const std::vector<std::uint8_t> bytes = readWholeFile(input);
    TBitmap bitmap;
    TBriskbTarga reader;
    reader.DecodeToBitmap(bytes.data(), static_cast<std::uint32_t>(bytes.size()), bitmap,
                          static_cast<std::uint16_t>(mode));
    if (bitmap.Empty())
        throw TUsageError{input +
                          ": nothing decoded (the data end inside the header, image ID or colour map)"};
    if (reader.Invalid())
        std::cerr << "skarnres: " << input << ": " << reader.ErrorText()
                  << " (writing the 1 x 1 bitmap left)\n";

    const std::vector<std::uint8_t> rgb = rgbPixels(bitmap);
    if (!stbi_write_png(output.c_str(), bitmap.Width(), bitmap.Height(), 3, rgb.data(), bitmap.Width() * 3))
        throw TUsageError{"cannot write " + output};
    return 0;
}
