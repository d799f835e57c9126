#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Builds TGA images byte by byte, for tests, fuzz seeds and benchmarks. Nothing is checked: any header
// a file could hold can be written.

struct TTgaImage {
    std::uint8_t imageType = 2;
    std::uint8_t pixelDepth = 24;
    std::uint16_t width = 1;
    std::uint16_t height = 1;
    std::uint8_t descriptor = 0;
    std::uint16_t xOrigin = 0;
    std::uint16_t yOrigin = 0;
    std::vector<std::uint8_t> imageId;
    std::optional<std::uint8_t> idLength; // stored ID length; default the size of imageId
    std::uint8_t colourMapType = 0;
    std::uint16_t colourMapFirst = 0;
    std::optional<std::uint16_t> colourMapLength; // default: the whole entries colourMap holds
    std::uint8_t colourMapEntrySize = 24;
    std::vector<std::uint8_t> colourMap; // the entries as stored
    std::vector<std::uint8_t> data;      // the pixel data as stored: rows, or run-length packets
    std::vector<std::uint8_t> trailer;   // bytes after the pixel data, such as a footer
};

// The file's bytes: the 18-byte header, image ID, colour map, pixel data and trailer.
std::vector<std::uint8_t> BuildTga(const TTgaImage& image);

// A run-length packet that repeats one pixel value count times (1 to 128).
std::vector<std::uint8_t> RepeatPacket(std::size_t count, const std::vector<std::uint8_t>& value);
// A raw run-length packet of the given pixel values (1 to 128 of them, each valueSize bytes).
std::vector<std::uint8_t> RawPacket(const std::vector<std::uint8_t>& values, std::size_t valueSize);

// Run-length encodes pixel values of valueSize bytes: runs of two or more equal values become repeat
// packets, the rest raw packets, at most 128 values each. With rowUnits > 0 every row of that many
// values starts a new packet; with rowUnits 0 packets run on across rows.
std::vector<std::uint8_t> EncodeRunLength(const std::vector<std::uint8_t>& values, std::size_t valueSize,
                                          std::size_t rowUnits);

// The bytes of the parts one after another.
std::vector<std::uint8_t> Joined(const std::vector<std::vector<std::uint8_t>>& parts);
