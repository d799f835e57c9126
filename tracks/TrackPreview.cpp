#include "tracks/TrackPreview.h"

#include <algorithm>
#include <cstddef>
#include <vector>

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

    // The header first: it tells how many bytes such a picture can need at the most.
    std::vector<std::uint8_t> plain(static_cast<std::size_t>(std::min<std::int64_t>(18, entry.Size())));
    entry.Read(plain.data(), plain.size());
    int width = 0;
    int height = 0;
    if (TBriskbTarga::ImageSize(plain.data(), plain.size(), width, height)) {
        const std::int64_t pixels = std::int64_t{width} * height;
        if (pixels > PreviewPixelLimit)
            return TPreviewOutcome::NoPicture;
        const std::size_t had = plain.size();
        plain.resize(static_cast<std::size_t>(std::min<std::int64_t>(
            entry.Size(),
            static_cast<std::int64_t>(TBriskbTarga::MaxEncodedSize(static_cast<std::uint64_t>(pixels))))));
        entry.Read(plain.data() + had, plain.size() - had);
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
