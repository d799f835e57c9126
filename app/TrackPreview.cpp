#include "app/TrackPreview.h"

#include "app/TrackOperations.h"
#include "container/TSkarnFolder.h"
#include "tga/TBriskbTarga.h"

std::string PreviewEntryName(const std::string& fileName, int eventIndex) {
    return NameWithoutExtension(fileName) + (static_cast<unsigned>(eventIndex) < 2 ? "01s.tga" : "s.tga");
}

TPreviewOutcome DecodeTrackPreview(const std::string& path, int eventIndex, TBitmap& bitmap) {
    TSkarnFolder folder(path, true);
    const int index = folder.IndexOfEntry(PreviewEntryName(FileNamePart(path), eventIndex));
    if (index < 0)
        return TPreviewOutcome::NoEntry;
    TBriskbTarga reader;
    const std::uint8_t* data = folder.EntryData(index);
    // An entry without bytes (Length 0 or less) decodes as an image that ends at once.
    const std::int32_t size = data ? folder.EntrySize(index) : 0;
    // A fresh bitmap tells a picture from a decode that gave none: a rejected header leaves it 1 x 1,
    // data that end inside the header leave it empty. Either way the shown picture must not stay.
    TBitmap decoded;
    reader.DecodeToBitmap(data, static_cast<std::uint32_t>(size), decoded, 2);
    if (reader.Invalid() || decoded.Empty())
        return TPreviewOutcome::NoPicture;
    bitmap = std::move(decoded);
    return TPreviewOutcome::Picture;
}
