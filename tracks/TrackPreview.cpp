#include "tracks/TrackPreview.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "container/Descramble.h"
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
    const std::int64_t size = std::max<std::int32_t>(folder.EntrySize(index), 0);

    // The entry's bytes as EntryData would give them (what the file no longer holds reads as zero
    // bytes), but only the first count of them.
    std::vector<std::uint8_t> bytes;
    const auto readUpTo = [&](std::int64_t count) {
        const std::size_t had = bytes.size();
        bytes.resize(static_cast<std::size_t>(std::min(count, size)));
        if (bytes.size() > had) {
            const std::size_t got = folder.ReadEntryPart(index, static_cast<std::int64_t>(had),
                                                         bytes.data() + had, bytes.size() - had);
            std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(had + got), bytes.end(), std::uint8_t{0});
        }
    };
    const auto descrambled = [&] {
        std::vector<std::uint8_t> plain = bytes;
        std::uint8_t key = folder.KeySeed();
        if (folder.Scrambled())
            Descramble(plain.data(), plain.size(), key);
        return plain;
    };

    readUpTo(18);
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> plain = descrambled();
    if (TBriskbTarga::ImageSize(plain.data(), plain.size(), width, height)) {
        const std::int64_t pixels = std::int64_t{width} * height;
        if (pixels > PreviewPixelLimit)
            return TPreviewOutcome::NoPicture;
        readUpTo(static_cast<std::int64_t>(TBriskbTarga::MaxEncodedSize(static_cast<std::uint64_t>(pixels))));
        plain = descrambled();
    }
    TBriskbTarga reader;
    // An entry without bytes (Length 0 or less) decodes as an image that ends at once.
    // A fresh bitmap tells a picture from a decode that gave none: a rejected header leaves it 1 x 1,
    // data that end inside the header leave it empty. Either way the shown picture must not stay.
    TBitmap decoded;
    reader.DecodeToBitmap(plain.empty() ? nullptr : plain.data(), static_cast<std::uint32_t>(plain.size()),
                          decoded, 2);
    if (reader.Invalid() || decoded.Empty())
        return TPreviewOutcome::NoPicture;
    bitmap = std::move(decoded);
    return TPreviewOutcome::Picture;
}
