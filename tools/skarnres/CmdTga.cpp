#include <cstdint>
#include <iostream>
#include <limits>

#include "BitmapPng.h"
#include "Commands.h"
#include "platform/Exceptions.h"
#include "platform/TBitmap.h"
#include "platform/TFileStream.h"
#include "tga/TBriskbTarga.h"

namespace {

std::vector<std::uint8_t> readWholeFile(const std::string& path) {
    TFileStream file(path);
    if (file.Size() > std::numeric_limits<std::uint32_t>::max())
        throw ECommandFailed(path + ": larger than a TGA image held in memory can be (4 GiB)");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.Size()));
    if (file.Read(bytes.data(), bytes.size()) != bytes.size())
        throw EReadError();
    return bytes;
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
            throw EUsageError(usage);
        if (args[i] == "-o") {
            output = args[++i];
        } else if (args[i] == "--mode") {
            const std::string& value = args[++i];
            if (value.empty() || value.size() > 5 ||
                value.find_first_not_of("0123456789") != std::string::npos || std::stol(value) > 0xFFFF)
                throw EUsageError("--mode takes a number from 0 to 65535 (0, 1 or 2; others act as 2)");
            mode = std::stol(value);
        } else if (input.empty()) {
            input = args[i];
        } else {
            throw EUsageError(usage);
        }
    }
    if (input.empty() || output.empty())
        throw EUsageError(usage);

    const std::vector<std::uint8_t> bytes = readWholeFile(input);
    TBitmap bitmap;
    TBriskbTarga reader;
    reader.DecodeToBitmap(bytes.data(), static_cast<std::uint32_t>(bytes.size()), bitmap,
                          static_cast<std::uint16_t>(mode));
    if (bitmap.Empty())
        throw ECommandFailed(input +
                             ": nothing decoded (the data end inside the header, image ID or colour map)");
    if (reader.Invalid())
        std::cerr << "skarnres: " << input << ": " << reader.ErrorText()
                  << " (writing the 1 x 1 bitmap left)\n";

    WriteBitmapPng(bitmap, output);
    return 0;
}
