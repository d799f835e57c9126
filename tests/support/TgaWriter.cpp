#include "TgaWriter.h"

#include <algorithm>
#include <cstring>

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void encodeSpan(const std::uint8_t* values, std::size_t count, std::size_t size,
                std::vector<std::uint8_t>& out) {
    const auto same = [&](std::size_t a, std::size_t b) {
        return std::memcmp(values + a * size, values + b * size, size) == 0;
    };
    std::size_t i = 0;
    while (i < count) {
        std::size_t run = 1;
        while (i + run < count && run < 128 && same(i, i + run))
            ++run;
        if (run >= 2) {
            out.push_back(static_cast<std::uint8_t>(0x80 | (run - 1)));
            out.insert(out.end(), values + i * size, values + (i + 1) * size);
            i += run;
            continue;
        }
        std::size_t raw = 1;
        while (i + raw < count && raw < 128 && !(i + raw + 1 < count && same(i + raw, i + raw + 1)))
            ++raw;
        out.push_back(static_cast<std::uint8_t>(raw - 1));
        out.insert(out.end(), values + i * size, values + (i + raw) * size);
        i += raw;
    }
}

} // namespace

std::vector<std::uint8_t> BuildTga(const TTgaImage& image) {
    std::vector<std::uint8_t> out;
    out.push_back(image.idLength.value_or(static_cast<std::uint8_t>(image.imageId.size())));
    out.push_back(image.colourMapType);
    out.push_back(image.imageType);
    put16(out, image.colourMapFirst);
    const std::size_t entryBytes = (image.colourMapEntrySize + 7u) / 8u;
    const auto wholeEntries = entryBytes ? image.colourMap.size() / entryBytes : 0;
    put16(out, image.colourMapLength.value_or(static_cast<std::uint16_t>(wholeEntries)));
    out.push_back(image.colourMapEntrySize);
    put16(out, image.xOrigin);
    put16(out, image.yOrigin);
    put16(out, image.width);
    put16(out, image.height);
    out.push_back(image.pixelDepth);
    out.push_back(image.descriptor);
    for (const auto* part : {&image.imageId, &image.colourMap, &image.data, &image.trailer})
        out.insert(out.end(), part->begin(), part->end());
    return out;
}

std::vector<std::uint8_t> RepeatPacket(std::size_t count, const std::vector<std::uint8_t>& value) {
    std::vector<std::uint8_t> out(1 + value.size());
    out[0] = static_cast<std::uint8_t>(0x80 | ((count - 1) & 0x7F));
    std::copy(value.begin(), value.end(), out.begin() + 1);
    return out;
}

std::vector<std::uint8_t> RawPacket(const std::vector<std::uint8_t>& values, std::size_t valueSize) {
    std::vector<std::uint8_t> out(1 + values.size());
    out[0] = static_cast<std::uint8_t>((values.size() / valueSize - 1) & 0x7F);
    std::copy(values.begin(), values.end(), out.begin() + 1);
    return out;
}

std::vector<std::uint8_t> EncodeRunLength(const std::vector<std::uint8_t>& values, std::size_t valueSize,
                                          std::size_t rowUnits) {
    std::vector<std::uint8_t> out;
    const std::size_t count = values.size() / valueSize;
    const std::size_t span = rowUnits ? rowUnits : std::max<std::size_t>(count, 1);
    for (std::size_t at = 0; at < count; at += span)
        encodeSpan(values.data() + at * valueSize, std::min(span, count - at), valueSize, out);
    return out;
}

std::vector<std::uint8_t> Joined(const std::vector<std::vector<std::uint8_t>>& parts) {
    std::vector<std::uint8_t> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}
