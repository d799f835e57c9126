// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cstdint>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

#include "Commands.h"
#include "Pictures.h"
#include "platform/Exceptions.h"
#include "platform/TBitmap.h"
#include "platform/TFileStream.h"
#include "tga/TBriskbTarga.h"

namespace {

// The largest picture skarnres tga decodes, in pixels (8192 x 8192: 192 MiB as a 24-bit bitmap).
constexpr std::int64_t TgaPixelLimit = std::int64_t{64} * 1024 * 1024;

// The bytes of the image file that the decoder can need: all of them, or as many as a picture of the
// size its header gives can take. Throws ECommandFailed for a picture above TgaPixelLimit.
std::vector<std::uint8_t> readImage(const std::string& path) {
    TFileStream file(path);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min<std::int64_t>(file.Size(), 18)));
    if (file.Read(bytes.data(), bytes.size()) != bytes.size())
        throw EReadError();
    int width = 0;
    int height = 0;
    std::int64_t wanted = file.Size();
    if (TBriskbTarga::ImageSize(bytes.data(), bytes.size(), width, height)) {
        const std::int64_t pixels = std::int64_t{width} * height;
        if (pixels > TgaPixelLimit)
            throw ECommandFailed(path + ": the picture is " + std::to_string(width) + " x " +
                                 std::to_string(height) + " pixels, more than skarnres decodes (" +
                                 std::to_string(TgaPixelLimit) + ")");
        wanted = std::min<std::int64_t>(wanted, static_cast<std::int64_t>(TBriskbTarga::MaxEncodedSize(
                                                    static_cast<std::uint64_t>(pixels))));
    }
    if (wanted > std::numeric_limits<std::uint32_t>::max())
        throw ECommandFailed(path + ": larger than a TGA image held in memory can be (4 GiB)");
    const std::size_t had = bytes.size();
    bytes.resize(static_cast<std::size_t>(std::max<std::int64_t>(wanted, static_cast<std::int64_t>(had))));
    if (file.Read(bytes.data() + had, bytes.size() - had) != bytes.size() - had)
        throw EReadError();
    return bytes;
}

} // namespace

// skarnres tga IN.tga -o OUT.png [--mode 0|1|2]: decodes IN as the track manager does (mode 2 unless
// told otherwise) and writes the bitmap it leaves as a PNG. Pictures above TgaPixelLimit are refused. A
// damaged image gives what the decoder left (a 1 x 1 bitmap after a rejected header, the rows decoded so far
// after data that end early), as the program would show it.
int CmdTga(const std::vector<std::string>& words, const TWinePrefix& prefix) {
    const char* usage = "usage: skarnres tga IN.tga -o OUT.png [--mode 0|1|2]";
    const TArguments args = SplitArguments(words);
    long mode = 2;
    if (const std::string* value = args.Option("--mode")) {
        if (value->empty() || value->size() > 5 ||
            value->find_first_not_of("0123456789") != std::string::npos || std::stol(*value) > 0xFFFF)
            throw EUsageError("--mode takes a number from 0 to 65535 (0, 1 or 2; others act as 2)");
        mode = std::stol(*value);
    }
    const std::string* outputOption = args.Option("--output");
    if (args.operands.size() != 1 || args.operands[0].empty() || !outputOption || outputOption->empty())
        throw EUsageError(usage);
    const std::string& input = args.operands[0];
    const std::string& output = *outputOption;

    const std::vector<std::uint8_t> bytes = readImage(input);
    TBitmap bitmap;
    TBriskbTarga reader;
    reader.DecodeToBitmap(bytes.data(), static_cast<std::uint32_t>(bytes.size()), bitmap,
                          static_cast<std::uint16_t>(mode));
    if (bitmap.Empty())
        throw ECommandFailed(input +
                             ": nothing decoded (the data end inside the header, image ID or colour map)");
    if (reader.Invalid())
        std::cerr << "skarnres: " << prefix.AsGiven(input) << ": " << reader.ErrorText()
                  << " (writing the 1 x 1 bitmap left)\n";

    Pictures().writePng(bitmap, output);
    return 0;
}
