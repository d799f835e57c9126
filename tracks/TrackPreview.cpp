// SPDX-License-Identifier: GPL-3.0-or-later
#include "tracks/TrackPreview.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>

#include "container/TSkarnFolder.h"
#include "tga/TBriskbTarga.h"
#include "tracks/TrackOperations.h"

std::string PreviewEntryName(const std::string& fileName, int eventIndex) {
    return NameWithoutExtension(fileName) + (static_cast<unsigned>(eventIndex) < 2 ? "01s.tga" : "s.tga");
}

TPreviewOutcome DecodeTrackPreview(const std::string& path, int eventIndex, TBitmap& bitmap) {
    // The picture is read right after the directory, through the same open file.
    TSkarnFolder folder(path, true, TSkarnFolder::KeepOpen{});
    const int index = folder.IndexOfEntry(PreviewEntryName(FileNamePart(path), eventIndex));
    if (index < 0)
        return TPreviewOutcome::NoEntry;
    TEntryReader entry = folder.OpenEntry(index);

    // The header first: it tells how many bytes such a picture can need at the most. Only these are
    // read, straight into one buffer (no need to clear it first) and descrambled there.
    std::uint8_t header[18];
    const std::size_t headerSize = entry.Read(header, sizeof header);
    int width = 0;
    int height = 0;
    if (!TBriskbTarga::ImageSize(header, headerSize, width, height))
        return TPreviewOutcome::NoPicture;
    const std::int64_t pixels = std::int64_t{width} * height;
    if (pixels > PreviewPixelLimit)
        return TPreviewOutcome::NoPicture;
    const auto size = static_cast<std::size_t>(std::min<std::int64_t>(
        entry.Size(),
        static_cast<std::int64_t>(TBriskbTarga::MaxEncodedSize(static_cast<std::uint64_t>(pixels)))));
    const auto bytes = std::make_unique_for_overwrite<std::uint8_t[]>(size);
    std::memcpy(bytes.get(), header, headerSize);
    entry.Read(bytes.get() + headerSize, size - headerSize);
    // What the decoder would not size the bitmap for leaves the shown picture as it is.
    if (!TBriskbTarga::SizesBitmap(bytes.get(), size))
        return TPreviewOutcome::NoPicture;

    // Decoded straight into the shown bitmap: a picture of the size and format already shown reuses
    // its memory.
    const bool reused =
        bitmap.Width() == width && bitmap.Height() == height && bitmap.PixelFormat() == TPixelFormat::pf24bit;
    TBriskbTarga reader;
    reader.DecodeToBitmap(bytes.get(), static_cast<std::uint32_t>(size), bitmap, 2);
    if (bitmap.Width() != width || bitmap.Height() != height)
        return TPreviewOutcome::NoPicture; // no memory for the picture
    if (reused && !reader.Complete()) {
        // A picture whose data end early leaves its later rows as they were: black in fresh memory,
        // never the last picture's rows.
        TBitmap fresh;
        reader.DecodeToBitmap(bytes.get(), static_cast<std::uint32_t>(size), fresh, 2);
        bitmap = std::move(fresh);
    }
    return TPreviewOutcome::Picture;
}
