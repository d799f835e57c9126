// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/TBitmap.h"
#include "platform/TSpanReader.h"

// Decodes one TGA image held whole in memory into a TBitmap, in one of three output modes:
//   0 (native): 1- and 8-bit images keep their depth, 16-, 24- and 32-bit ones become 24 bits;
//   1: an 8-bit bitmap (1-bit pixels as 0 and 1, 8-bit indexes as they are, true colour as grey);
//   2: a 24-bit bitmap (blue, green, red bytes) for every image. The track preview uses this mode.
//
// Accepted: image types 1, 2, 3 (uncompressed) and 9, 10, 11 (run-length encoded), pixel depths 1, 8,
// 16, 24 and 32. The image type only decides whether rows are run-length encoded; the pixel depth
// alone decides how pixels are read, so a true-colour type with depth 8 reads indexes into the colour
// table. The origin fields, attribute bits, extension area and footer are not used.
//
// Colour maps and grey levels are held on a 0..63 scale: an 8-bit pixel in mode 2 comes out as
// table value * 4 + 3 per channel.
class TBriskbTarga {
public:
    // The widest image whose rows of 3 bytes per pixel fit the 16-bit row size, and the highest image
    // whose rows the 16-bit signed row numbers reach.
    static constexpr int MaxWidth = 65535 / 3;
    static constexpr int MaxHeight = 32767;

    TBriskbTarga();
    ~TBriskbTarga();
    TBriskbTarga(const TBriskbTarga&) = delete;
    TBriskbTarga& operator=(const TBriskbTarga&) = delete;

    // Decodes the imageSize bytes at imageData (the caller's; read in place, never kept) into bitmap:
    // sets its size, pixel format and palette and fills its rows. The failures of damaged or short
    // data and of memory (EReadError, EOutOfMemory, std::bad_alloc) end the decode quietly and none
    // reaches the caller; anything else would be a fault of the reader and goes on:
    //   - a rejected header (see Invalid) leaves the bitmap 1 x 1, its pixel format and palette as
    //     they were;
    //   - data that end inside the header, the image ID or the colour map leave the bitmap untouched;
    //   - data that end inside the rows (or memory that runs out once the bitmap is sized) leave the
    //     image's size, pixel format and palette and every row stored before; the unfinished row and
    //     the later ones keep what the resize and the format change left in them.
    // A mode other than 0, 1 and 2 acts as 2.
    void DecodeToBitmap(const std::uint8_t* imageData, std::uint32_t imageSize, TBitmap& bitmap,
                        std::uint16_t mode);

    // The width and height that the header of the image at data gives (the 16-bit fields at 0x0C and
    // 0x0E); false when data are too short to hold the 18-byte header.
    static bool ImageSize(const std::uint8_t* data, std::size_t size, int& width, int& height);

    // True when a decode of the size bytes at data gives the bitmap the image's size and pixel format
    // (memory permitting): the header is accepted and the image ID and the colour map are whole.
    static bool SizesBitmap(const std::uint8_t* data, std::size_t size);

    // The most bytes the decoder can read of an image of that many pixels: header, image ID, the
    // largest colour map and run-length encoding at its worst (a packet of one 32-bit pixel for every
    // pixel). Bytes beyond this never change the picture, so a caller may hold only this many.
    static std::uint64_t MaxEncodedSize(std::uint64_t pixels) {
        return 18 + 255 + std::uint64_t{65535} * 32 + 5 * pixels;
    }

    // True when the last decode's header was rejected: an image type or pixel depth the reader does
    // not accept, a 4-bit image, a width or height of 0, or a size beyond MaxWidth x MaxHeight.
    bool Invalid() const { return m_invalid; }
    // True when the last decode stored every row of the image in the bitmap.
    bool Complete() const { return m_complete; }
    // "Invalid TGA file!" after a rejected header; empty otherwise.
    const std::string& ErrorText() const { return m_errorText; }

    // The weighted grey value (32 red + 64 green + 12 blue) div 108.
    static std::uint8_t GreyLevel(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
        return static_cast<std::uint8_t>((32u * red + 64u * green + 12u * blue) / 108u);
    }

private:
    // The 18-byte file header, fields in file order, multi-byte fields little-endian.
    struct THeader {
        std::uint8_t idLength = 0;           // 0x00
        std::uint8_t colourMapType = 0;      // 0x01
        std::uint8_t imageType = 0;          // 0x02
        std::uint16_t colourMapFirst = 0;    // 0x03
        std::uint16_t colourMapLength = 0;   // 0x05
        std::uint8_t colourMapEntrySize = 0; // 0x07
        std::uint16_t xOrigin = 0;           // 0x08
        std::uint16_t yOrigin = 0;           // 0x0A
        std::uint16_t width = 0;             // 0x0C
        std::uint16_t height = 0;            // 0x0E
        std::uint8_t pixelDepth = 0;         // 0x10
        std::uint8_t descriptor = 0;         // 0x11: 0x10 right to left, 0x20 top to bottom
    };
    struct TColourTableEntry {
        std::uint8_t red = 0;
        std::uint8_t green = 0;
        std::uint8_t blue = 0;
    };
    // How DecodeRow reads and converts the pixel values of the current decode.
    enum class TPixelKind {
        Copy1,
        Copy3,
        IndexToBgr,
        WordToBgr,
        WordToGrey,
        BgrToGrey,
        BgraToBgr,
        BgraToGrey
    };

    // The header's fields from its 18 bytes; accepted: whether the reader decodes such an image.
    static THeader parseHeader(const std::uint8_t* raw);
    static bool accepted(const THeader& header);
    // The bytes of the image ID and the colour map that follow the header.
    static std::size_t idAndColourMapSize(const THeader& header);

    void DecodeImage(TBitmap& bitmap, std::uint16_t mode);
    void ReadHeader();
    void readColourMap();
    void setFormatAndPalette(TBitmap& bitmap);
    void prepareRows();
    void DecodeRow(std::uint8_t* to);
    template <class TKind> void decodeRowAs(std::uint8_t* to);
    void ExpandMonoRow();
    void finishMonoRow(std::uint8_t* line);
    void MirrorRow(TPixelFormat format, std::uint8_t* line) const;

    // Input reads. Each throws EReadError when fewer bytes are left than it needs; consuming exactly
    // all of the input is no error.
    std::uint8_t ReadByte();
    std::uint16_t ReadWord();
    void ReadBlock(void* destination, std::uint16_t count);

    void SetMonoPalette(TBitmap& bitmap);
    void ApplyColourTable(TBitmap& bitmap);
    void MakeGreyRamp();
    void MakeColourCube();

    THeader m_header;
    std::uint8_t m_imageId[256] = {};
    TSpanReader m_input;
    bool m_invalid = false;
    bool m_complete = false;
    TColourTableEntry m_colourTable[256] = {};
    TLogPalette m_logPalette;
    std::vector<std::uint8_t> m_rowBuffer;
    std::vector<std::uint8_t> m_scratchRow;
    std::string m_errorText;
    bool m_native = false;
    std::uint16_t m_targetDepth = 24;

    // The row plan of the current decode.
    bool m_runLength = false;
    bool m_mirror = false;
    TPixelKind m_kind = TPixelKind::Copy1;
    std::size_t m_units = 0;          // packed bytes (depth 1) or pixels per row
    std::size_t m_outRowSize = 0;     // bytes stored per bitmap row
    std::uint32_t m_lookup[256] = {}; // depth 8 in mode 2: blue | green << 8 | red << 16 of each index
    // A run-length packet that runs past the end of a row goes on in the next row.
    std::size_t m_packetLeft = 0;
    bool m_packetRepeats = false;
    std::uint8_t m_repeatValue[4] = {}; // the pixel value of a repeating packet, as stored
};
