#include "ContainerWriter.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "container/Descramble.h"

namespace {

void put32(std::vector<std::uint8_t>& out, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

} // namespace

std::vector<std::uint8_t> ScrambledBytes(std::vector<std::uint8_t> plain, std::uint8_t seed) {
    Scramble(plain.data(), plain.size(), seed);
    return plain;
}

std::vector<std::uint8_t> BytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> BuildContainer(const std::vector<TContainerEntry>& entries,
                                         const TContainerLayout& layout) {
    std::string magic = layout.bodyMagic.empty() ? (layout.scrambled ? "RES" : "RS2") : layout.bodyMagic;
    magic.resize(4, '\0');

    std::vector<std::uint8_t> directory(magic.begin(), magic.end());
    put32(directory, layout.count.value_or(static_cast<std::int32_t>(entries.size())));
    std::size_t directorySize = directory.size();
    for (const TContainerEntry& e : entries)
        directorySize += 12 + static_cast<std::size_t>(
                                  e.nameLength.value_or(static_cast<std::int32_t>(e.name.size() + 1)));

    std::int64_t next = static_cast<std::int64_t>(directorySize + layout.gapAfterDirectory);
    for (const TContainerEntry& e : entries) {
        const auto nameLength = e.nameLength.value_or(static_cast<std::int32_t>(e.name.size() + 1));
        put32(directory, nameLength);
        std::vector<std::uint8_t> name(e.name.begin(), e.name.end());
        name.resize(static_cast<std::size_t>(nameLength < 0 ? 0 : nameLength), 0);
        directory.insert(directory.end(), name.begin(), name.end());
        put32(directory, e.offset.value_or(static_cast<std::int32_t>(next)));
        put32(directory, e.length.value_or(static_cast<std::int32_t>(e.bytes.size())));
        next += static_cast<std::int64_t>(e.bytes.size());
    }

    std::vector<std::uint8_t> out;
    if (layout.scrambled) {
        out.assign(layout.prefix.begin(), layout.prefix.end());
        directory = ScrambledBytes(std::move(directory), layout.keySeed);
    }
    out.insert(out.end(), directory.begin(), directory.end());
    out.resize(out.size() + layout.gapAfterDirectory, 0x5A);
    for (const TContainerEntry& e : entries) {
        const auto stored = layout.scrambled ? ScrambledBytes(e.bytes, layout.keySeed) : e.bytes;
        out.insert(out.end(), stored.begin(), stored.end());
    }
    return out;
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
