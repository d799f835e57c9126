#include "app/TrackPreview.h"

#include "app/TrackOperations.h"
#include "container/TSkarnFolder.h"
#include "tga/TBriskbTarga.h"

std::string PreviewEntryName(const std::string& fileName, int eventIndex) {
    return NameWithoutExtension(fileName) + (static_cast<unsigned>(eventIndex) < 2 ? "01s.tga" : "s.tga");
}

bool DecodeTrackPreview(const std::string& path, int eventIndex, TBitmap& bitmap) {
    TSkarnFolder folder(path, true);
    const int index = folder.IndexOfEntry(PreviewEntryName(FileNamePart(path), eventIndex));
    if (index < 0)
        return false;
    TBriskbTarga reader;
    const std::uint8_t* data = folder.EntryData(index);
    // An entry without bytes (Length 0 or less) decodes as an image that ends at once.
    const std::int32_t size = data ? folder.EntrySize(index) : 0;
    reader.DecodeToBitmap(data, static_cast<std::uint32_t>(size), bitmap, 2);
    return true;
}
